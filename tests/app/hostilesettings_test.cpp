// A settings file with impossible window places and sizes, or more visible articles than any
// list can hold: the window still comes up whole on the screen and its list still works.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QScreen>

#include "app/form1.h"
#include "articles/memoentry.h"
#include "articles/memolistbox.h"
#include "settings/formplacement.h"
#include "tests/app/mainwindowstart.h"
#include "tests/common/capturedmessages.h"
#include "tests/common/sounddevice.h"
#include "tests/common/testprofile.h"

namespace {

class HostileSettings : public ::testing::Test {
  protected:
    void SetUp() override {
        SKIP_WITHOUT_SOUND_DEVICE();
        testprofile::Reset();
    }
    CapturedMessages m_messages;
};

struct Placement {
    const char* left;
    const char* top;
    const char* width;
    const char* height;
    const char* visibleEntries;
};

}  // namespace

TEST_F(HostileSettings, TheWindowComesUpWholeOnTheScreenAndTheListWorks) {
    const QRect room = QGuiApplication::primaryScreen()->availableGeometry();
    // The size the window has without a stored one.
    QSize ownSize;
    {
        auto fresh = StartMainWindow({{QStringLiteral("FirstTimeUser"), QStringLiteral("false")}});
        ownSize = fresh->size();
    }
    ASSERT_TRUE(room.contains(QRect(room.topLeft(), ownSize)));

    for (const Placement& stored :
         {Placement{"2147483647", "-2147483648", "2147483647", "2147483647", "2147483647"},
          Placement{"-5000", "-5000", "-5000", "-5000", "-5000"},
          Placement{"-2147483648", "2147483647", "-2147483648", "-2147483648", "-2147483648"},
          Placement{"5000", "5000", "40000", "300", "0"},
          Placement{"-2147483648", "-2147483648", "64", "2147483647", "many"}}) {
        SCOPED_TRACE(testing::Message()
                     << stored.left << ", " << stored.top << ", " << stored.width << " x "
                     << stored.height << ", " << stored.visibleEntries << " entries");
        testprofile::Reset();
        const QString key = FormPlacementStore::keyFor(QStringLiteral("Form1"));
        testprofile::Store(key, QStringLiteral("Maximized"), QStringLiteral("0"));
        testprofile::Store(key, QStringLiteral("Left"), QString::fromLatin1(stored.left));
        testprofile::Store(key, QStringLiteral("Top"), QString::fromLatin1(stored.top));
        testprofile::Store(key, QStringLiteral("Width"), QString::fromLatin1(stored.width));
        testprofile::Store(key, QStringLiteral("Height"), QString::fromLatin1(stored.height));
        auto form = StartMainWindow(
            {{QStringLiteral("FirstTimeUser"), QStringLiteral("false")},
             {QStringLiteral("ML_ListMode"), QStringLiteral("1")},
             {QStringLiteral("ML_VisibleEntries"), QString::fromLatin1(stored.visibleEntries)}});
        ASSERT_TRUE(form);
        EXPECT_TRUE(room.contains(form->frameGeometry()))
            << form->frameGeometry().x() << ", " << form->frameGeometry().y() << ", "
            << form->frameGeometry().width() << " x " << form->frameGeometry().height();
        EXPECT_EQ(form->size(), ownSize)
            << form->width() << " x " << form->height() << ": the window's own size";
        EXPECT_GE(form->width(), form->minimumSizeHint().width());
        EXPECT_GE(form->height(), form->minimumSizeHint().height());

        // The list shares its height among the default three entries and pages through more.
        TMemoListBox* list = form->List();
        EXPECT_EQ(list->VisibleEntries, 3);
        for (int i = 0; i < 4; ++i) {
            form->AddArticle(QStringLiteral("Article %1.").arg(i + 1), QString());
        }
        ASSERT_GE(list->VisibleCount(), 4);
        EXPECT_GT(list->EntryHeight(), 0);
        int shown = 0;
        for (int i = 0; i < list->VisibleCount(); ++i) {
            const TMemoEntry* entry = list->Entries[i];
            if (entry->isVisible()) {
                ++shown;
                EXPECT_EQ(entry->height(), list->EntryHeight());
                EXPECT_LE(entry->geometry().bottom(), list->height());
            }
        }
        EXPECT_EQ(shown, 3);
        EXPECT_EQ(list->Entries[list->VisibleCount() - 1]->GetArticleText(),
                  QStringLiteral("Article 4."));
    }
    EXPECT_TRUE(m_messages.all.isEmpty()) << m_messages.all.join(QLatin1Char('|')).toStdString();
}
