// "&Select Audio Device" against the real devices of a PulseAudio server of the test's own, with
// several null sinks. Qt Multimedia meets that server first, so these tests run apart from the
// other window tests.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>

#include "app/form1.h"
#include "app/myaudiodevicedlg.h"
#include "articles/memolistbox.h"
#include "articles/mymemo.h"
#include "platform/shell/utilsclass.h"
#include "platform/wavedevices/waveoutdevices.h"
#include "settings/preferences.h"
#include "speech/ttsform.h"
#include "tests/app/mainwindowstart.h"
#include "tests/common/capturedmessages.h"
#include "tests/common/privateaudioserver.h"
#include "tests/common/testprofile.h"

namespace {

constexpr int kWaitMs = 30000;
constexpr int kModalPollMs = 10;
const QString kSecondSink = QStringLiteral("quillsong_second");
const QString kSecondDescription = QStringLiteral("QuillsongSecondOutput");
const QString kThirdSink = QStringLiteral("quillsong_third");
const QString kThirdDescription = QStringLiteral("QuillsongThirdOutput");

// The device number of the device with that description; -2 when there is none.
int DeviceNumber(const QString& description) {
    for (int device = 0; device < WaveOutDevices::count(); ++device) {
        QAudioDevice found;
        if (WaveOutDevices::device(device, &found) && found.description() == description) {
            return device;
        }
    }
    return -2;
}

// Runs an action on the device dialog once it is open, from inside its event loop; fails the
// test when none opens in time.
void OnDeviceDialog(const std::function<void(TMyAudioDeviceDlg*)>& action) {
    auto* poll = new QTimer(qApp);
    auto* waited = new QElapsedTimer;
    waited->start();
    QObject::connect(poll, &QTimer::timeout, poll, [=] {
        auto* dialog = qobject_cast<TMyAudioDeviceDlg*>(QApplication::activeModalWidget());
        const bool opened = dialog && dialog->isVisible();
        if (!opened && waited->elapsed() < kWaitMs) {
            return;
        }
        poll->stop();
        poll->deleteLater();
        delete waited;
        if (opened) {
            action(dialog);
        } else {
            ADD_FAILURE() << "the device dialog did not open";
        }
    });
    poll->start(kModalPollMs);
}

QListWidget* List(QWidget* dialog) {
    return dialog->findChild<QListWidget*>(QStringLiteral("ListBox1"));
}

QString Detail(QWidget* dialog, const char* name) {
    auto* label = dialog->findChild<QLabel*>(QString::fromLatin1(name));
    return label ? label->text() : QStringLiteral("<no %1>").arg(QString::fromLatin1(name));
}

QListWidgetItem* Item(QWidget* dialog, const QString& text) {
    const QList<QListWidgetItem*> found = List(dialog)->findItems(text, Qt::MatchExactly);
    return found.isEmpty() ? nullptr : found.first();
}

void ClickOk(QWidget* dialog) {
    for (QPushButton* button : dialog->findChildren<QPushButton*>()) {
        if (button->text() == QStringLiteral("OK")) {
            button->click();
            return;
        }
    }
    ADD_FAILURE() << "no OK button";
}

QAction* SelectAudioDeviceItem(TForm1& form) {
    for (QAction* action : form.findChildren<QAction*>()) {
        if (action->text() == QStringLiteral("&Select Audio Device")) {
            return action;
        }
    }
    return nullptr;
}

QString ReadLog() {
    QFile file(UtilsClass::logFileName());
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

class AudioDevice : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        if (!PrivateAudioServer::Installed()) {
            return;
        }
        s_folder = new QTemporaryDir;
        s_server = new PrivateAudioServer(s_folder->path());
        QString error;
        if (!s_server->Start(&error) ||
            !s_server->AddSink(kSecondSink, kSecondDescription, &error)) {
            s_error = error;
            return;
        }
        // Before anything of Qt Multimedia runs: it plays through this server only.
        qputenv("PULSE_SERVER", s_server->Address().toUtf8());
        s_ready = true;
    }
    static void TearDownTestSuite() {
        delete s_server;
        delete s_folder;
        s_server = nullptr;
        s_folder = nullptr;
    }

    void SetUp() override {
        if (!PrivateAudioServer::Installed()) {
            GTEST_SKIP() << "no audio server: run make test";
        }
        ASSERT_TRUE(s_ready) << s_error.toStdString();
        ASSERT_TRUE(QTest::qWaitFor([] { return DeviceNumber(kSecondDescription) >= 0; }, kWaitMs))
            << "Qt Multimedia lists the second sink";
        testprofile::Reset();
    }

    static inline QTemporaryDir* s_folder = nullptr;
    static inline PrivateAudioServer* s_server = nullptr;
    static inline bool s_ready = false;
    static inline QString s_error;
    CapturedMessages m_messages;
};

TEST_F(AudioDevice, TheMapperStandsForTheDefaultAndTheSecondSinkIsStoredAndSpokenOn) {
    auto form = StartMainWindow({{QStringLiteral("FirstTimeUser"), QStringLiteral("false")},
                                 {QStringLiteral("ML_ListMode"), QStringLiteral("1")},
                                 {QStringLiteral("TTS_AudioDeviceID"), QStringLiteral("-1")}});
    QAction* item = SelectAudioDeviceItem(*form);
    ASSERT_NE(item, nullptr);
    ASSERT_TRUE(item->isEnabled());
    const int second = DeviceNumber(kSecondDescription);
    const int first = DeviceNumber(QString::fromLatin1(PrivateAudioServer::kSinkDescription));
    ASSERT_GE(first, 0);

    // -1 selects the mapper, whose details are those of the default device; OK keeps -1.
    bool checked = false;
    OnDeviceDialog([&](TMyAudioDeviceDlg* dialog) {
        EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Audio Destination Device ID"));
        QListWidget* list = List(dialog);
        ASSERT_NE(list, nullptr);
        ASSERT_EQ(list->count(), 1 + WaveOutDevices::count());
        EXPECT_EQ(list->item(0)->text(), TMyAudioDeviceDlg::kMapperItem);
        EXPECT_EQ(list->currentRow(), 0);
        EXPECT_EQ(Detail(dialog, "lDeviceID"), QStringLiteral("-1 (Wave_mapper)"));
        EXPECT_TRUE(Detail(dialog, "lFormat")
                        .split(QLatin1Char('\n'))
                        .contains(QStringLiteral("22.05 kHz, Mono, 16-bit")))
            << Detail(dialog, "lFormat").toStdString();
        EXPECT_EQ(Detail(dialog, "lChannels"), QStringLiteral("Stereo"));
        EXPECT_EQ(Detail(dialog, "lManufacturer"), TMyAudioDeviceDlg::kNotReported);
        EXPECT_EQ(Detail(dialog, "lSupports"), QStringLiteral("Supports volume control. "));
        EXPECT_NE(Item(dialog, QString::fromLatin1(PrivateAudioServer::kSinkDescription)), nullptr);
        // A click on another device shows its number.
        QListWidgetItem* other = Item(dialog, kSecondDescription);
        ASSERT_NE(other, nullptr);
        const QRect place = list->visualItemRect(other);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, place.center());
        EXPECT_EQ(Detail(dialog, "lDeviceID"), QString::number(second));
        list->setCurrentRow(0);
        checked = true;
        ClickOk(dialog);
    });
    item->trigger();
    EXPECT_TRUE(checked);
    EXPECT_EQ(form->Preferences().TTS_AudioDeviceID, -1);
    EXPECT_EQ(form->Driver()->TTS1.AudioDeviceID(), -1);
    EXPECT_EQ(m_messages.all, QStringList{});

    // A double click on the second sink chooses it.
    OnDeviceDialog([&](TMyAudioDeviceDlg* dialog) {
        QListWidgetItem* chosen = Item(dialog, kSecondDescription);
        ASSERT_NE(chosen, nullptr);
        const QRect place = List(dialog)->visualItemRect(chosen);
        QTest::mouseClick(List(dialog)->viewport(), Qt::LeftButton, {}, place.center());
        QTest::mouseDClick(List(dialog)->viewport(), Qt::LeftButton, {}, place.center());
    });
    item->trigger();
    EXPECT_EQ(m_messages.all, QStringList{});
    EXPECT_EQ(form->Preferences().TTS_AudioDeviceID, second);
    EXPECT_EQ(form->Driver()->TTS1.AudioDeviceID(), second);

    // The reading plays on the second sink, not on the server's default one; meanwhile the
    // device cannot be changed.
    form->AddNewArticle();
    form->List()->CurrentEntry()->SetArticleText(
        QStringLiteral("This article is long enough for the audio server to be asked which of "
                       "its sinks plays it while the voice is still speaking."));
    form->PlayAllBtnClick();
    ASSERT_EQ(form->State(), rsReading) << m_messages.all.join(QLatin1Char(';')).toStdString();
    EXPECT_FALSE(item->isEnabled());
    QString error;
    QStringList playing;
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            playing = s_server->PlayingSinks(&error);
            return !playing.isEmpty();
        },
        kWaitMs))
        << error.toStdString();
    EXPECT_EQ(playing, QStringList{kSecondSink});
    form->StopBtnClick();
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->State() == rsIdle; }, kWaitMs));
    EXPECT_TRUE(item->isEnabled());
}

TEST_F(AudioDevice, ADeviceTheEngineCannotStartOnLeavesThePreviousOneInForce) {
    QString error;
    ASSERT_TRUE(s_server->AddSink(kThirdSink, kThirdDescription, &error)) << error.toStdString();
    ASSERT_TRUE(QTest::qWaitFor([] { return DeviceNumber(kThirdDescription) >= 0; }, kWaitMs));
    const int second = DeviceNumber(kSecondDescription);
    const int third = DeviceNumber(kThirdDescription);
    // Removing the last device leaves its number pointing at nothing.
    ASSERT_EQ(third, WaveOutDevices::count() - 1);
    auto form = StartMainWindow({{QStringLiteral("FirstTimeUser"), QStringLiteral("false")},
                                 {QStringLiteral("TTS_AudioDeviceID"), QString::number(second)}});
    ASSERT_EQ(form->Driver()->TTS1.AudioDeviceID(), second);

    // The third sink goes away between the listing and the choice.
    bool chosen = false;
    OnDeviceDialog([&](TMyAudioDeviceDlg* dialog) {
        EXPECT_EQ(List(dialog)->currentItem()->text(), kSecondDescription);
        QListWidgetItem* gone = Item(dialog, kThirdDescription);
        ASSERT_NE(gone, nullptr);
        List(dialog)->setCurrentItem(gone);
        EXPECT_EQ(Detail(dialog, "lDeviceID"), QString::number(third));
        QString removeError;
        ASSERT_TRUE(s_server->RemoveSink(kThirdSink, &removeError)) << removeError.toStdString();
        ASSERT_TRUE(QTest::qWaitFor([] { return DeviceNumber(kThirdDescription) < 0; }, kWaitMs));
        chosen = true;
        ClickOk(dialog);
    });
    SelectAudioDeviceItem(*form)->trigger();
    ASSERT_TRUE(chosen);
    EXPECT_EQ(m_messages.messages, QStringList{TTTSForm::kAudioDeviceCheckFailedText});
    EXPECT_EQ(m_messages.errors.size(), 1) << m_messages.all.join(QLatin1Char(';')).toStdString();
    EXPECT_EQ(form->Preferences().TTS_AudioDeviceID, second);
    EXPECT_EQ(form->Driver()->TTS1.AudioDeviceID(), second);
    EXPECT_FALSE(form->Driver()->TTS1.Active());

    // A number no device ever had fails the same way.
    m_messages.clear();
    EXPECT_FALSE(form->Driver()->CheckAudioDevice(99));
    EXPECT_EQ(m_messages.messages, QStringList{TTTSForm::kAudioDeviceCheckFailedText});
    EXPECT_EQ(
        m_messages.errors,
        QStringList{QStringLiteral(
            "The value specified for the AudioDeviceID is outside the range of available IDs")});
    EXPECT_EQ(form->Driver()->TTS1.AudioDeviceID(), second);
}

TEST_F(AudioDevice, AStoredDeviceThatIsGoneFallsBackToTheDefaultWithALogLine) {
    auto form = StartMainWindow({{QStringLiteral("FirstTimeUser"), QStringLiteral("false")},
                                 {QStringLiteral("TTS_AudioDeviceID"), QStringLiteral("9")}});
    EXPECT_EQ(form->Driver()->TTS1.AudioDeviceID(), -1);
    EXPECT_EQ(form->Preferences().TTS_AudioDeviceID, -1);
    EXPECT_TRUE(ReadLog().contains(
        QStringLiteral("Audio device 9 no longer exists: using the default device")));
    EXPECT_EQ(m_messages.all, QStringList{});
    // The dialog then shows the default device chosen.
    OnDeviceDialog([&](TMyAudioDeviceDlg* dialog) {
        EXPECT_EQ(List(dialog)->currentRow(), 0);
        dialog->reject();
    });
    SelectAudioDeviceItem(*form)->trigger();
    EXPECT_EQ(form->Preferences().TTS_AudioDeviceID, -1);
}

}  // namespace
