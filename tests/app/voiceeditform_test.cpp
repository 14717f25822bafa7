// The voice edit dialog opened from the main window: a voice's limits probed before the sliders
// are set, a test that sounds with the values being tried, Cancel and Ok, Reset Defaults; and
// speaking a voice's test sentence outside the article list.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTest>
#include <QTimer>
#include <functional>

#include "app/form1.h"
#include "app/readingsession.h"
#include "app/voiceeditform.h"
#include "articles/memoentry.h"
#include "articles/memolistbox.h"
#include "articles/mymemo.h"
#include "settings/formplacement.h"
#include "speech/ttsform.h"
#include "tests/app/mainwindowstart.h"
#include "tests/common/capturedmessages.h"
#include "tests/common/printers.h"
#include "tests/common/sounddevice.h"
#include "tests/common/testprofile.h"

namespace {

const QString kVoice = QStringLiteral("eSpeak English (America)");
const QString kFliteVoice = QStringLiteral("Flite kal");
const QString kThanks = QStringLiteral("Thanks for trying Quillsong MP3");
constexpr int kSpeechMs = 60000;

class VoiceEdit : public ::testing::Test {
  protected:
    void SetUp() override {
        SKIP_WITHOUT_SOUND_DEVICE();
        testprofile::Reset();
        m_form = StartMainWindow({{QStringLiteral("FirstTimeUser"), QStringLiteral("false")},
                                  {QStringLiteral("ML_ListMode"), QStringLiteral("1")}});
    }

    TVoiceEntry& Voice(const QString& name) const {
        TVoiceEntry* voice = m_form->Driver()->FindVoice(name);
        EXPECT_NE(voice, nullptr) << name.toStdString();
        return *voice;
    }
    template <typename T>
    static T* Control(const TVoiceEditForm& dialog, const char* name) {
        T* control = dialog.findChild<T*>(QString::fromUtf8(name));
        EXPECT_NE(control, nullptr) << name;
        return control;
    }
    // Runs open, which shows the dialog modally, and act on the dialog once it is shown; the
    // dialog is closed with Cancel if act leaves it open. Answers whether act ran.
    bool WithDialog(const std::function<void()>& open,
                    const std::function<void(TVoiceEditForm&)>& act) {
        bool ran = false;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<TVoiceEditForm*>(QApplication::activeModalWidget());
            if (!dialog) {
                return;
            }
            act(*dialog);
            ran = true;
            if (dialog->isVisible()) {
                dialog->reject();
            }
        });
        open();
        return ran;
    }
    bool WaitState(ReadingState state) const {
        return QTest::qWaitFor([&] { return m_form->State() == state; }, kSpeechMs);
    }

    CapturedMessages m_messages;
    std::unique_ptr<TForm1> m_form;
};

}  // namespace

TEST_F(VoiceEdit, AVoiceNeverProbedIsProbedBeforeTheSlidersAreSet) {
    // Through the article menu: the voice in the current article's voice box.
    QMenu* menu = m_form->findChild<QMenu*>(QStringLiteral("PopupMenu1"));
    ASSERT_NE(menu, nullptr);
    QAction* item = nullptr;
    for (QAction* action : menu->actions()) {
        item = action->text() == QStringLiteral("Edit Selected Voice") ? action : item;
    }
    ASSERT_NE(item, nullptr);
    ASSERT_NE(m_form->List()->CurrentEntry(), nullptr);
    m_form->List()->CurrentEntry()->SelectVoice(kVoice);
    // The dialog takes its stored place when it is made, and stores it when it closes.
    const QString placementName = QStringLiteral("VoiceEditForm");
    FormPlacementStore::save(placementName, {.top = 30, .left = 40, .width = 450, .height = 200});
    for (const QString& name : {kVoice, kFliteVoice}) {
        TVoiceEntry& voice = Voice(name);
        ASSERT_EQ(voice.MinPitch, -1) << name.toStdString();
        const auto open = [&] { name == kVoice ? item->trigger() : m_form->EditVoice(name); };
        const bool shown = WithDialog(open, [&](TVoiceEditForm& dialog) {
            EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Voice Edit"));
            if (name == kVoice) {
                EXPECT_EQ(dialog.pos(), QPoint(40, 30));
                dialog.move(60, 50);
            }
            EXPECT_EQ(dialog.minimumSize(), dialog.maximumSize()) << "fixed in size";
            EXPECT_FALSE(dialog.windowFlags() & Qt::WindowCloseButtonHint);
            EXPECT_EQ(Control<QLabel>(dialog, "VoiceCaptionLbl")->text(), name);
            EXPECT_NE(voice.MinPitch, -1);
            EXPECT_LT(voice.MinSpeed, voice.MaxSpeed);
            auto* pitch = Control<QSlider>(dialog, "PitchSlider");
            auto* speed = Control<QSlider>(dialog, "SpeedSlider");
            EXPECT_EQ(pitch->minimum(), voice.MinPitch);
            EXPECT_EQ(pitch->maximum(), voice.MaxPitch);
            EXPECT_EQ(pitch->value(), voice.Pitch);
            EXPECT_EQ(speed->minimum(), voice.MinSpeed);
            EXPECT_EQ(speed->maximum(), voice.MaxSpeed);
            EXPECT_EQ(speed->value(), voice.Speed);
            EXPECT_EQ(voice.Pitch, voice.DefaultPitch) << "a voice never set takes the engine's";
            EXPECT_EQ(Control<QLabel>(dialog, "PitchMinLbl")->text().toInt(), voice.MinPitch);
            EXPECT_EQ(Control<QLabel>(dialog, "PitchMaxLbl")->text().toInt(), voice.MaxPitch);
            EXPECT_EQ(Control<QLabel>(dialog, "PitchValLbl")->text().toInt(), voice.Pitch);
            EXPECT_EQ(Control<QLabel>(dialog, "SpeedMinLbl")->text().toInt(), voice.MinSpeed);
            EXPECT_EQ(Control<QLabel>(dialog, "SpeedMaxLbl")->text().toInt(), voice.MaxSpeed);
            EXPECT_EQ(Control<QLabel>(dialog, "SpeedValLbl")->text().toInt(), voice.Speed);
            EXPECT_EQ(dialog.PendingPitch(), voice.Pitch);
            EXPECT_EQ(dialog.PendingSpeed(), voice.Speed);
            // Tab goes from the sliders through the buttons in their row.
            QStringList order;
            QWidget* widget = pitch;
            for (int i = 0; i < 6; ++i, widget = widget->nextInFocusChain()) {
                while (!(widget->focusPolicy() & Qt::TabFocus)) {
                    widget = widget->nextInFocusChain();
                }
                order << widget->objectName();
            }
            EXPECT_EQ(order, (QStringList{"PitchSlider", "SpeedSlider", "OkBtn", "ResetBtn",
                                          "TestBtn", "CancelBtn"}));
            QStringList captions;
            for (const char* name : {"OkBtn", "ResetBtn", "TestBtn", "CancelBtn"}) {
                captions << Control<QPushButton>(dialog, name)->text();
            }
            EXPECT_EQ(captions, (QStringList{"Ok", "Reset Defaults", "Test", "Cancel"}));
            QTest::mouseClick(Control<QPushButton>(dialog, "CancelBtn"), Qt::LeftButton);
            EXPECT_FALSE(dialog.isVisible());
        });
        EXPECT_TRUE(shown) << name.toStdString();
    }
    EXPECT_EQ(m_form->findChildren<TVoiceEditForm*>().size(), 1) << "one dialog for the window";
    const auto placement = FormPlacementStore::restore(placementName, QSize(1366, 768));
    ASSERT_TRUE(placement.has_value());
    EXPECT_EQ(QPoint(placement->left, placement->top), QPoint(60, 50));
    EXPECT_EQ(placement->width, m_form->VoiceEditForm()->width());
    EXPECT_TRUE(m_messages.all.isEmpty()) << m_messages.all.join(';').toStdString();
}

TEST_F(VoiceEdit, ATestSoundsWithTheValuesTriedAndCancelKeepsTheVoice) {
    TVoiceEntry& voice = Voice(kVoice);
    m_form->Driver()->Catalogue.ReadVoiceLimits(voice);
    const int pitch = voice.Pitch;
    const int speed = voice.Speed;
    const QVariant storedPitch = m_form->Preferences().GetValue(QStringLiteral("PIT_") + voice.Key);
    QSignalSpy status(m_form.get(), &TForm1::statusChanged);
    const bool shown = WithDialog(
        [&] { m_form->EditVoice(kVoice); },
        [&](TVoiceEditForm& dialog) {
            auto* pitchSlider = Control<QSlider>(dialog, "PitchSlider");
            auto* speedSlider = Control<QSlider>(dialog, "SpeedSlider");
            // A drag shows its value at once; the value is taken when the thumb is let go.
            pitchSlider->setSliderDown(true);
            pitchSlider->setValue(pitch + 10);
            EXPECT_EQ(Control<QLabel>(dialog, "PitchValLbl")->text().toInt(), pitch + 10);
            EXPECT_EQ(dialog.PendingPitch(), pitch);
            pitchSlider->setSliderDown(false);
            EXPECT_EQ(dialog.PendingPitch(), pitch + 10);
            // A key ends its own movement.
            speedSlider->setFocus();
            QTest::keyClick(speedSlider, Qt::Key_PageUp);
            const int triedSpeed = speedSlider->value();
            EXPECT_GT(triedSpeed, speed);
            EXPECT_EQ(dialog.PendingSpeed(), triedSpeed);
            EXPECT_EQ(Control<QLabel>(dialog, "SpeedValLbl")->text().toInt(), triedSpeed);

            QTest::mouseClick(Control<QPushButton>(dialog, "TestBtn"), Qt::LeftButton);
            EXPECT_EQ(m_form->State(), rsReading) << m_messages.all.join(';').toStdString();
            EXPECT_EQ(m_form->StatusPanelText(0), QStringLiteral("Reading Test Message"));
            EXPECT_TRUE(m_form->Session()->speakingText());
            EXPECT_FALSE(m_form->CommandEnabled(TForm1::cmdSkip)) << "a test cannot be skipped";
            EXPECT_TRUE(m_form->CommandEnabled(TForm1::cmdStop));
            // The engine speaks with the values tried; the voice keeps its own.
            EXPECT_EQ(m_form->Driver()->TTS1.Pitch(), pitch + 10);
            EXPECT_EQ(int(m_form->Driver()->TTS1.Speed()), triedSpeed);
            EXPECT_EQ(voice.Pitch, pitch);
            EXPECT_EQ(voice.Speed, speed);
            EXPECT_TRUE(WaitState(rsIdle));
            EXPECT_NE(m_form->StatusPanelText(0), QStringLiteral("Reading Test Message"));
            QTest::mouseClick(Control<QPushButton>(dialog, "CancelBtn"), Qt::LeftButton);
        });
    ASSERT_TRUE(shown);
    EXPECT_EQ(m_form->VoiceEditForm()->result(), QDialog::Rejected);
    EXPECT_EQ(voice.Pitch, pitch);
    EXPECT_EQ(voice.Speed, speed);
    EXPECT_EQ(m_form->Preferences().GetValue(QStringLiteral("PIT_") + voice.Key), storedPitch);

    // The next article read is highlighted again, and can be skipped.
    TMemoEntry* entry = m_form->List()->CurrentEntry();
    ASSERT_NE(entry, nullptr);
    entry->SetArticleText(QStringLiteral("After the test the words are highlighted once more."));
    m_form->PlayAllBtnClick();
    EXPECT_TRUE(m_form->CommandEnabled(TForm1::cmdSkip));
    EXPECT_TRUE(QTest::qWaitFor([&] { return entry->Editor()->SelLength() > 0; }, kSpeechMs));
    m_form->StopBtnClick();
    EXPECT_TRUE(WaitState(rsIdle));
    EXPECT_TRUE(m_messages.all.isEmpty()) << m_messages.all.join(';').toStdString();
}

TEST_F(VoiceEdit, ResetDefaultsThenOkStoresTheEnginesOwnValues) {
    for (const QString& name : {kFliteVoice, kVoice}) {
        TVoiceEntry& voice = Voice(name);
        m_form->Driver()->Catalogue.ReadVoiceLimits(voice);
        voice.Pitch = voice.DefaultPitch == voice.MaxPitch ? voice.MinPitch : voice.MaxPitch;
        voice.Speed = voice.DefaultSpeed == voice.MaxSpeed ? voice.MinSpeed : voice.MaxSpeed;
        ASSERT_NE(voice.Speed, voice.DefaultSpeed) << name.toStdString();
        const bool shown = WithDialog(
            [&] { m_form->EditVoice(name); },
            [&](TVoiceEditForm& dialog) {
                EXPECT_EQ(Control<QSlider>(dialog, "SpeedSlider")->value(), voice.Speed);
                QTest::mouseClick(Control<QPushButton>(dialog, "ResetBtn"), Qt::LeftButton);
                EXPECT_EQ(Control<QSlider>(dialog, "PitchSlider")->value(), voice.DefaultPitch);
                EXPECT_EQ(Control<QSlider>(dialog, "SpeedSlider")->value(), voice.DefaultSpeed);
                EXPECT_EQ(Control<QLabel>(dialog, "SpeedValLbl")->text().toInt(),
                          voice.DefaultSpeed);
                QTest::mouseClick(Control<QPushButton>(dialog, "OkBtn"), Qt::LeftButton);
            });
        ASSERT_TRUE(shown);
        EXPECT_EQ(m_form->VoiceEditForm()->result(), QDialog::Accepted);
        EXPECT_EQ(voice.Pitch, voice.DefaultPitch) << name.toStdString();
        EXPECT_EQ(voice.Speed, voice.DefaultSpeed) << name.toStdString();
        const TPreferences& prefs = m_form->Preferences();
        EXPECT_EQ(prefs.GetValue(QStringLiteral("PIT_") + voice.Key).toInt(), voice.DefaultPitch);
        EXPECT_EQ(prefs.GetValue(QStringLiteral("SPD_") + voice.Key).toInt(), voice.DefaultSpeed);
    }

    // Ok while the voice reads an article: the reading goes on with the new speed.
    TVoiceEntry& voice = Voice(kVoice);
    TMemoEntry* entry = m_form->List()->CurrentEntry();
    ASSERT_NE(entry, nullptr);
    entry->SelectVoice(kVoice);
    entry->SetArticleText(
        QString(QStringLiteral("A sentence that goes on for a while. ")).repeated(8));
    m_form->PlayAllBtnClick();
    ASSERT_EQ(m_form->State(), rsReading);
    const bool shown =
        WithDialog([&] { m_form->EditVoiceforSelectedArticle1Click(); },
                   [&](TVoiceEditForm& dialog) {
                       auto* speed = Control<QSlider>(dialog, "SpeedSlider");
                       speed->setFocus();
                       QTest::keyClick(speed, Qt::Key_End);
                       QTest::mouseClick(Control<QPushButton>(dialog, "OkBtn"), Qt::LeftButton);
                   });
    ASSERT_TRUE(shown);
    EXPECT_EQ(voice.Speed, voice.MaxSpeed);
    EXPECT_EQ(m_form->Preferences().GetValue(QStringLiteral("SPD_") + voice.Key).toInt(),
              voice.MaxSpeed);
    EXPECT_EQ(m_form->State(), rsReading) << "the reading goes on";
    m_form->StopBtnClick();
    EXPECT_TRUE(WaitState(rsIdle));
    EXPECT_TRUE(m_messages.all.isEmpty()) << m_messages.all.join(';').toStdString();
}

TEST_F(VoiceEdit, AnEngineWithoutATestSentenceThanksTheUser) {
    const VoiceCatalogue& catalogue = m_form->Driver()->Catalogue;
    TVoiceEntry& voice = Voice(kFliteVoice);
    EXPECT_EQ(catalogue.TestText(voice), catalogue.TestSentence(*voice.Engine).trimmed());
    EXPECT_FALSE(catalogue.TestText(voice).isEmpty());
    EXPECT_NE(catalogue.TestText(voice), kThanks);

    // The same engine in a language the test sentences do not cover.
    TEngineEntry* own = voice.Engine;
    TEngineEntry unknown = *own;
    unknown.LanguageID = 0;
    voice.Engine = &unknown;
    EXPECT_TRUE(catalogue.TestSentence(unknown).trimmed().isEmpty());
    EXPECT_EQ(catalogue.TestText(voice), kThanks);
    QStringList tested;
    const bool shown =
        WithDialog([&] { m_form->EditVoice(kFliteVoice); },
                   [&](TVoiceEditForm& dialog) {
                       QObject::connect(&dialog, &TVoiceEditForm::testRequested,
                                        [&](const QString& text) { tested << text; });
                       QTest::mouseClick(Control<QPushButton>(dialog, "TestBtn"), Qt::LeftButton);
                       EXPECT_EQ(m_form->State(), rsReading);
                       EXPECT_TRUE(WaitState(rsIdle));
                   });
    ASSERT_TRUE(shown);
    EXPECT_EQ(tested, QStringList{kThanks});

    // The window's own voice test speaks it too, in place of an article being read.
    TMemoEntry* entry = m_form->List()->CurrentEntry();
    ASSERT_NE(entry, nullptr);
    entry->SetArticleText(
        QString(QStringLiteral("A sentence that goes on for a while. ")).repeated(8));
    m_form->PlayAllBtnClick();
    ASSERT_EQ(m_form->State(), rsReading);
    QSignalSpy textEnded(m_form->Session(), &ReadingSession::textFinished);
    m_form->TestVoice(kFliteVoice);
    EXPECT_EQ(m_form->State(), rsReading);
    EXPECT_TRUE(m_form->Session()->speakingText());
    EXPECT_EQ(m_form->StatusPanelText(0), QStringLiteral("Reading Test Message"));
    EXPECT_TRUE(WaitState(rsIdle));
    EXPECT_EQ(textEnded.count(), 1);
    EXPECT_EQ(entry->Editor()->SelLength(), 0) << "the test's words highlight nothing";
    voice.Engine = own;
    EXPECT_TRUE(m_messages.all.isEmpty()) << m_messages.all.join(';').toStdString();
}
