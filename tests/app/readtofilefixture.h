// The main window started for reading articles into files, and what the tests look at.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include "app/form1.h"
#include "app/readingsession.h"
#include "app/readtofilejob.h"
#include "articles/memoentry.h"
#include "articles/memolistbox.h"
#include "articles/mymemo.h"
#include "articles/propertypanel.h"
#include "platform/about/programversion.h"
#include "tests/audio/audiotools.h"
#include "tests/audio/id3frames.h"
#include "tests/audio/smalldisk.h"
#include "tests/common/capturedmessages.h"
#include "tests/common/printers.h"
#include "tests/common/sounddevice.h"
#include "tests/common/testprofile.h"
#include "tests/common/threadnames.h"
#include "tests/documents/epubmaker.h"

namespace readtofiletest {

const QString kKey = QStringLiteral("Software\\HalcyxTech\\Quillsong");
// How often a test looks at the output folder for a file it waits for.
constexpr int kWatchMs = 2;

struct Article {
    QString title;
    QString text;
    QString voice;
};

class ReadToFile : public ::testing::Test {
  protected:
    void SetUp() override {
        SKIP_WITHOUT_SOUND_DEVICE();
        testprofile::Reset();
        ASSERT_TRUE(dir_.isValid());
        Store("FirstTimeUser", QStringLiteral("false"));
        Store("OUT_Directory", dir_.path() + QLatin1Char('/'));
    }
    static void Store(const char* name, const QString& value) {
        testprofile::Store(kKey, QString::fromLatin1(name), value);
    }

    // A started main window in the given list mode holding the given articles.
    std::unique_ptr<TForm1> Start(int mode, const QList<Article>& articles) {
        Store("ML_ListMode", QString::number(mode));
        auto form = std::make_unique<TForm1>(QStringList{QStringLiteral("quillsong")});
        form->SetSplashMinimum(0);
        QSignalSpy started(form.get(), &TForm1::startupFinished);
        form->show();
        EXPECT_TRUE(started.wait(10000));
        for (const Article& article : articles) {
            form->AddNewArticle();
            TMemoEntry* entry = form->List()->CurrentEntry();
            entry->SetArticleText(article.text);
            entry->SetTitle(article.title);
            if (!article.voice.isEmpty()) {
                entry->SelectVoice(article.voice);
                EXPECT_EQ(entry->Voice(), article.voice);
            }
        }
        return form;
    }
    static bool WaitIdle(TForm1& form) {
        return QTest::qWaitFor([&] { return form.State() == rsIdle; }, 60000);
    }
    // Hidden files too: a temporary left behind shows.
    QStringList Files() const {
        return QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }
    // The size of the largest temporary file of a reading with this suffix in folder (the
    // test's own when empty); -1 when none.
    int64_t TemporarySize(const QString& suffix, const QString& folder = {}) const {
        int64_t largest = -1;
        const QDir where(folder.isEmpty() ? dir_.path() : folder);
        for (const QFileInfo& file : where.entryInfoList({QStringLiteral(".quillsong-*") + suffix},
                                                         QDir::Files | QDir::Hidden)) {
            largest = qMax(largest, file.size());
        }
        return largest;
    }
    QString PathOf(const QString& name) const { return dir_.filePath(name); }

    QTemporaryDir dir_;
    CapturedMessages messages_;
};

}  // namespace readtofiletest
