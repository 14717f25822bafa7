// The program's own start: what it takes from the stored settings and what it leaves alone.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "app/form1.h"
#include "platform/registry/registry.h"
#include "platform/wavedevices/waveoutdevices.h"
#include "speech/tts.h"
#include "tests/app/mainwindowstart.h"
#include "tests/common/sounddevice.h"
#include "tests/common/testprofile.h"

namespace {

const QString kKey = QStringLiteral("Software\\HalcyxTech\\Quillsong");

ino_t SettingsFileIdentity() {
    struct stat info {};
    const QString file = Registry::storageFile(RootKey::CurrentUser);
    return ::stat(qPrintable(file), &info) == 0 ? info.st_ino : 0;
}

class Startup : public ::testing::Test {
  protected:
    void SetUp() override {
        testprofile::Reset();
        SKIP_WITHOUT_SOUND_DEVICE();
    }
};

}  // namespace

TEST_F(Startup, TheStoredAudioDeviceReachesTheSpeechComponent) {
    // As in a fresh process: nothing has looked for a wave output device yet.
    WaveOutPresent = false;
    testprofile::Store(kKey, QStringLiteral("TTS_AudioDeviceID"), QStringLiteral("0"));
    auto form = StartMainWindow();
    EXPECT_TRUE(WaveOutPresent);
    EXPECT_EQ(form->Driver()->TTS1.AudioDeviceID(), 0);
}

TEST_F(Startup, NothingIsWrittenToTheSettingsWhenNothingChanged) {
    {
        auto first = StartMainWindow();
        first->StorePreferencesNow();
    }
    const ino_t stored = SettingsFileIdentity();
    ASSERT_NE(stored, ino_t(0));

    auto form = StartMainWindow();
    EXPECT_EQ(SettingsFileIdentity(), stored) << "the settings were rewritten at start";
    form->StorePreferencesNow();
    EXPECT_EQ(SettingsFileIdentity(), stored) << "unchanged settings were rewritten";

    // A change is saved, through the atomic replacement of the file.
    form->Preferences().ML_ListMode = form->Preferences().ML_ListMode == 1 ? 0 : 1;
    form->StorePreferencesNow();
    EXPECT_NE(SettingsFileIdentity(), stored);
}
