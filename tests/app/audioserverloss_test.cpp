// Reading aloud while the audio server goes away and comes back. The test runs its own PulseAudio
// server, which it stops and starts; this executable points Qt Multimedia at it before anything
// plays, so it runs apart from the other window tests.
#include <gtest/gtest.h>

#include <QProgressBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "app/form1.h"
#include "articles/memolistbox.h"
#include "articles/mymemo.h"
#include "platform/wavedevices/waveoutdevices.h"
#include "tests/common/capturedmessages.h"
#include "tests/common/printers.h"
#include "tests/common/privateaudioserver.h"
#include "tests/common/testprofile.h"

namespace {

const QString kKey = QStringLiteral("Software\\HalcyxTech\\Quillsong");

// Whether the default wave output device can be opened: Qt Multimedia is connected to a server.
bool DeviceOpens() {
    return WaveOutDevices::tryOpen(WaveOutDevices::kDefaultDevice, 22050, 1, 16) ==
           WaveOutDevices::Availability::Available;
}

bool Highlighting(TForm1& form) {
    return QTest::qWaitFor([&] { return form.List()->Entries.first()->Editor()->SelLength() > 0; },
                           30000);
}

bool WaitIdle(TForm1& form) {
    return QTest::qWaitFor([&] { return form.State() == rsIdle; }, 30000);
}

}  // namespace

TEST(AudioServerLoss, AReadingEndsWithItsMessageWhenTheServerGoesAndAloudWorksOnceItIsBack) {
    if (!PrivateAudioServer::Installed()) {
        GTEST_SKIP() << "pulseaudio is not installed: run make test";
    }
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    PrivateAudioServer server(folder.path());
    QString error;
    ASSERT_TRUE(server.Start(&error)) << error.toStdString();
    qputenv("PULSE_SERVER", server.Address().toUtf8());
    ASSERT_TRUE(DeviceOpens()) << "Qt Multimedia plays through the test's own server";

    testprofile::Reset();
    testprofile::Store(kKey, QStringLiteral("FirstTimeUser"), QStringLiteral("false"));
    testprofile::Store(kKey, QStringLiteral("ML_ListMode"), QStringLiteral("1"));
    CapturedMessages messages;
    TForm1 form({QStringLiteral("quillsong")});
    form.SetSplashMinimum(0);
    QSignalSpy started(&form, &TForm1::startupFinished);
    form.show();
    ASSERT_TRUE(started.wait(10000));
    form.AddNewArticle();
    TMemoEntry* entry = form.List()->CurrentEntry();
    entry->SetArticleText(
        QStringLiteral("This article goes on for a good while, so that the audio server can go "
                       "away in the middle of it and the reading has to notice by itself."));
    auto* gauge = form.findChild<QProgressBar*>(QStringLiteral("StatusGauge"));
    ASSERT_NE(gauge, nullptr);

    form.PlayAllBtnClick();
    ASSERT_EQ(form.State(), rsReading) << messages.all.join(QLatin1Char(';')).toStdString();
    ASSERT_TRUE(Highlighting(form));

    // The server goes away in the middle of the reading, and comes straight back.
    server.Stop();
    ASSERT_TRUE(server.Start(&error)) << error.toStdString();
    ASSERT_TRUE(WaitIdle(form)) << "the reading ends by itself";
    EXPECT_EQ(
        messages.errors,
        QStringList{QStringLiteral("The reading stopped: the sound device \"%1\" is gone (the "
                                   "audio server stopped, or the device was removed).")
                        .arg(QString::fromLatin1(PrivateAudioServer::kSinkDescription))});
    EXPECT_FALSE(entry->Locked);
    EXPECT_FALSE(gauge->isVisible());
    EXPECT_TRUE(form.CommandEnabled(TForm1::cmdAloud));
    EXPECT_FALSE(form.CommandEnabled(TForm1::cmdStop));

    // Once Qt Multimedia has found the server again, Aloud works without a restart.
    ASSERT_TRUE(QTest::qWaitFor(DeviceOpens, 30000));
    messages.clear();
    form.PlayAllBtnClick();
    ASSERT_EQ(form.State(), rsReading) << messages.all.join(QLatin1Char(';')).toStdString();
    EXPECT_TRUE(Highlighting(form));
    ASSERT_TRUE(WaitIdle(form));
    EXPECT_EQ(messages.all, QStringList{});
}
