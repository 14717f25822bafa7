#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>

#include "platform/shell/programfolders.h"
#include "settings/preferences.h"
#include "tests/common/testprofile.h"

namespace {

const QString kKey = QStringLiteral("Software\\HalcyxTech\\Quillsong");

// Every setting of the program, as the settings file names them.
const QStringList kSettingNames = {
    "ShowOptions",
    "ShowToolbar",
    "SI_AutoSpeak",
    "SI_Voice",
    "SI_ShowBusyDialog",
    "MI_Voice",
    "ML_AutoDelete",
    "ML_VisibleEntries",
    "ML_ListMode",
    "TTS_DefaultVoiceName",
    "TTS_HighlightPosition",
    "TTS_FilterSymbols",
    "TTS_AudioDeviceID",
    "TTS_SoundCardCheckErr",
    "CB_Monitor",
    "CB_Prompt",
    "CB_PromptDelay",
    "CB_ThreshHold",
    "CB_PromptTop",
    "CB_PromptLeft",
    "CB_DfltPromptAction",
    "CB_LastPromptAction",
    "CB_ClearOnCopy",
    "OUT_FileDest",
    "OUT_FileFormat",
    "OUT_Directory",
    "OpenDlgInitialDir",
    "RunMinimized",
    "ToolbarOnMinOption",
    "ToolbarOnTop",
    "FirstTimeUser",
    "BitRate",
    "ShowPronEditWarning",
    "SI_DefaultTitles",
    "TTS_WaveConvRate",
    "OUT_Subtitles",
    "OUT_VorbisQuality",
    "OUT_OpusBitRate",
    "SI_ListRemoval",
    "ML_KeptArticles",
};

QStringList sorted(QStringList names) {
    names.sort();
    return names;
}

class Preferences : public ::testing::Test {
  protected:
    void SetUp() override { testprofile::Reset(); }

    // A start of the program: create, read, apply.
    static std::unique_ptr<TPreferences> load() {
        auto prefs = std::make_unique<TPreferences>();
        prefs->ReadAll();
        prefs->ApplyStoredValues();
        return prefs;
    }
};

}  // namespace

TEST_F(Preferences, AFreshProfileReadsTheDefaultsAndTheFirstSaveWritesEverySettingAsText) {
    auto prefs = load();
    EXPECT_TRUE(prefs->ShowOptions);
    EXPECT_TRUE(prefs->ShowToolbar);
    EXPECT_FALSE(prefs->SI_AutoSpeak);
    EXPECT_EQ(prefs->ML_VisibleEntries, 3);
    EXPECT_EQ(prefs->TTS_AudioDeviceID, -1);
    EXPECT_EQ(prefs->CB_PromptDelay, 3);
    EXPECT_EQ(prefs->CB_ThreshHold, 10);
    EXPECT_EQ(prefs->CB_DfltPromptAction, 2);
    EXPECT_EQ(prefs->ToolbarOnMinOption, 1);
    EXPECT_TRUE(prefs->FirstTimeUser);
    EXPECT_EQ(prefs->BitRate, 32);
    EXPECT_EQ(prefs->TTS_WaveConvRate, 2560);
    EXPECT_FALSE(prefs->OUT_Subtitles);
    EXPECT_TRUE(prefs->TTS_DefaultVoiceName.isEmpty());
    EXPECT_EQ(prefs->Version(), QStringLiteral("1.3"));
    EXPECT_EQ(prefs->DefaultOutDir, ProgramFolders::userFolder() + QStringLiteral("/Files"));
    EXPECT_TRUE(QFileInfo(prefs->DefaultOutDir).isDir());
    EXPECT_EQ(prefs->OUT_Directory, prefs->DefaultOutDir);

    EXPECT_EQ(testprofile::StoredNames(kKey).size(), 0);
    prefs->CollectValues();
    ASSERT_TRUE(prefs->WriteAll());
    EXPECT_EQ(sorted(testprofile::StoredNames(kKey)), sorted(kSettingNames));
    EXPECT_EQ(testprofile::StoredText(kKey, QStringLiteral("RunMinimized")),
              QStringLiteral("false"));
    EXPECT_EQ(testprofile::StoredText(kKey, QStringLiteral("ShowOptions")), QStringLiteral("true"));
    EXPECT_EQ(testprofile::StoredText(kKey, QStringLiteral("TTS_AudioDeviceID")),
              QStringLiteral("-1"));
    EXPECT_EQ(testprofile::StoredText(kKey, QStringLiteral("TTS_WaveConvRate")),
              QStringLiteral("2560"));
    EXPECT_EQ(testprofile::StoredText(kKey, QStringLiteral("OUT_Subtitles")),
              QStringLiteral("false"));
    EXPECT_EQ(testprofile::StoredText(kKey, QStringLiteral("TTS_DefaultVoiceName")), QString());
}

TEST_F(Preferences, StoredTextConvertsByTypeAndBadNumbersFallBackToTheirDefaults) {
    testprofile::Store(kKey, QStringLiteral("ShowToolbar"), QStringLiteral("FALSE"));
    testprofile::Store(kKey, QStringLiteral("SI_AutoSpeak"), QStringLiteral("TRUE"));
    testprofile::Store(kKey, QStringLiteral("CB_Monitor"), QStringLiteral("1"));
    testprofile::Store(kKey, QStringLiteral("SI_Voice"), QStringLiteral("258"));
    testprofile::Store(kKey, QStringLiteral("ML_VisibleEntries"), QStringLiteral("many"));
    testprofile::Store(kKey, QStringLiteral("CB_PromptDelay"), QStringLiteral("12abc"));
    testprofile::Store(kKey, QStringLiteral("BitRate"), QStringLiteral("99999999999"));
    testprofile::Store(kKey, QStringLiteral("TTS_WaveConvRate"), QStringLiteral("12800"));
    testprofile::Store(kKey, QStringLiteral("TTS_DefaultVoiceName"),
                       QStringLiteral("defaultvalue"));
    testprofile::Store(kKey, QStringLiteral("OUT_Directory"), QStringLiteral("   "));

    auto prefs = load();
    EXPECT_FALSE(prefs->ShowToolbar);
    EXPECT_TRUE(prefs->SI_AutoSpeak);
    EXPECT_FALSE(prefs->CB_Monitor) << "only the text true counts as true";
    EXPECT_EQ(prefs->SI_Voice, 0) << "more than an 8-bit field holds reads as the default";
    EXPECT_EQ(prefs->ML_VisibleEntries, 3);
    EXPECT_EQ(prefs->CB_PromptDelay, 3);
    EXPECT_EQ(prefs->BitRate, 32);
    EXPECT_EQ(prefs->TTS_WaveConvRate, 12800) << "values after a bad one are still read";
    EXPECT_TRUE(prefs->TTS_DefaultVoiceName.isEmpty()) << "defaultvalue marks a missing value";
    EXPECT_EQ(prefs->OUT_Directory, prefs->DefaultOutDir);
    EXPECT_TRUE(QFileInfo(prefs->OUT_Directory).isDir());
}

TEST_F(Preferences, NumbersOutsideTheirRangeReadAsTheirDefaults) {
    const struct {
        const char* name;
        const char* stored;
        int32_t TPreferences::*field;
        int32_t expected;
    } cases[] = {
        {"ML_VisibleEntries", "2147483647", &TPreferences::ML_VisibleEntries, 3},
        {"CB_PromptDelay", "-1", &TPreferences::CB_PromptDelay, 3},
        {"CB_ThreshHold", "-2147483648", &TPreferences::CB_ThreshHold, 10},
        {"CB_PromptTop", "2147483647", &TPreferences::CB_PromptTop, -1},
        {"CB_PromptLeft", "-5000000", &TPreferences::CB_PromptLeft, -1},
        {"TTS_AudioDeviceID", "-7", &TPreferences::TTS_AudioDeviceID, -1},
        {"BitRate", "33", &TPreferences::BitRate, 32},
        {"TTS_WaveConvRate", "65536", &TPreferences::TTS_WaveConvRate, 2560},
        {"OUT_OpusBitRate", "40", &TPreferences::OUT_OpusBitRate, 24},
        {"OUT_VorbisQuality", "11", &TPreferences::OUT_VorbisQuality, 2},
    };
    for (const auto& c : cases) {
        testprofile::Store(kKey, QString::fromLatin1(c.name), QString::fromLatin1(c.stored));
    }
    testprofile::Store(kKey, QStringLiteral("ML_ListMode"), QStringLiteral("2"));
    testprofile::Store(kKey, QStringLiteral("OUT_FileFormat"), QStringLiteral("4"));
    testprofile::Store(kKey, QStringLiteral("OUT_FileDest"), QStringLiteral("3"));
    testprofile::Store(kKey, QStringLiteral("ToolbarOnMinOption"), QStringLiteral("256"));
    auto prefs = load();
    for (const auto& c : cases) {
        EXPECT_EQ(prefs.get()->*c.field, c.expected) << c.name << " = " << c.stored;
    }
    EXPECT_EQ(prefs->ML_ListMode, 0);
    EXPECT_EQ(prefs->OUT_FileFormat, 0);
    EXPECT_EQ(prefs->OUT_FileDest, 0);
    EXPECT_EQ(prefs->ToolbarOnMinOption, 1);

    // The ends of each range are kept.
    const struct {
        const char* name;
        const char* stored;
        int32_t TPreferences::*field;
        int32_t expected;
    } ends[] = {
        {"ML_VisibleEntries", "50", &TPreferences::ML_VisibleEntries, 50},
        {"CB_PromptDelay", "3600", &TPreferences::CB_PromptDelay, 3600},
        {"CB_ThreshHold", "0", &TPreferences::CB_ThreshHold, 0},
        {"CB_PromptTop", "-32767", &TPreferences::CB_PromptTop, -32767},
        {"CB_PromptLeft", "32767", &TPreferences::CB_PromptLeft, 32767},
        {"TTS_AudioDeviceID", "3", &TPreferences::TTS_AudioDeviceID, 3},
        {"BitRate", "64", &TPreferences::BitRate, 64},
        {"TTS_WaveConvRate", "65535", &TPreferences::TTS_WaveConvRate, 65535},
        {"OUT_OpusBitRate", "16", &TPreferences::OUT_OpusBitRate, 16},
        {"OUT_VorbisQuality", "-1", &TPreferences::OUT_VorbisQuality, -1},
    };
    for (const auto& c : ends) {
        testprofile::Store(kKey, QString::fromLatin1(c.name), QString::fromLatin1(c.stored));
    }
    testprofile::Store(kKey, QStringLiteral("ML_ListMode"), QStringLiteral("1"));
    testprofile::Store(kKey, QStringLiteral("ToolbarOnMinOption"), QStringLiteral("255"));
    // 2 and 3 are Ogg Vorbis and Opus; 1, as in settings written before them, is still MP3.
    testprofile::Store(kKey, QStringLiteral("OUT_FileFormat"), QStringLiteral("3"));
    prefs = load();
    EXPECT_EQ(prefs->OUT_FileFormat, 3);
    testprofile::Store(kKey, QStringLiteral("OUT_FileFormat"), QStringLiteral("1"));
    prefs = load();
    EXPECT_EQ(prefs->OUT_FileFormat, 1);
    for (const auto& c : ends) {
        EXPECT_EQ(prefs.get()->*c.field, c.expected) << c.name << " = " << c.stored;
    }
    EXPECT_EQ(prefs->ML_ListMode, 1);
    EXPECT_EQ(prefs->ToolbarOnMinOption, 255);
}

TEST_F(Preferences, FieldsRoundTripThroughTheStoreAndRunMinimizedIsKeptAsStored) {
    testprofile::Store(kKey, QStringLiteral("RunMinimized"), QStringLiteral("true"));
    {
        auto prefs = load();
        prefs->ShowOptions = false;
        prefs->ML_ListMode = 1;
        prefs->TTS_DefaultVoiceName = QStringLiteral("Flite - slt");
        prefs->OUT_Directory = QStringLiteral("/srv/audio books");
        prefs->CB_PromptLeft = -5;
        prefs->FirstTimeUser = false;
        prefs->CollectValues();
        ASSERT_TRUE(prefs->WriteAll());
    }
    auto prefs = load();
    EXPECT_FALSE(prefs->ShowOptions);
    EXPECT_EQ(prefs->ML_ListMode, 1);
    EXPECT_EQ(prefs->TTS_DefaultVoiceName, QStringLiteral("Flite - slt"));
    EXPECT_EQ(prefs->OUT_Directory, QStringLiteral("/srv/audio books"));
    EXPECT_EQ(prefs->CB_PromptLeft, -5);
    EXPECT_FALSE(prefs->FirstTimeUser);
    EXPECT_EQ(testprofile::StoredText(kKey, QStringLiteral("RunMinimized")),
              QStringLiteral("true"));
}

TEST_F(Preferences, ModeDependentAccessors) {
    auto prefs = load();
    prefs->SI_AutoSpeak = true;
    prefs->ML_AutoDelete = true;
    prefs->ML_VisibleEntries = 5;
    prefs->OUT_FileDest = 1;
    prefs->SI_DefaultTitles = false;
    prefs->SI_Voice = 1;
    prefs->MI_Voice = 2;

    prefs->ML_ListMode = 0;
    EXPECT_TRUE(prefs->AutoSpeak());
    EXPECT_FALSE(prefs->AutoDelete());
    EXPECT_EQ(prefs->VisibleEntries(), 1);
    EXPECT_EQ(prefs->FileDest(), 0);
    EXPECT_FALSE(prefs->DefaultTitles());
    EXPECT_EQ(prefs->VoiceSelection(), 1);

    prefs->ML_ListMode = 1;
    EXPECT_FALSE(prefs->AutoSpeak());
    EXPECT_TRUE(prefs->AutoDelete());
    EXPECT_EQ(prefs->VisibleEntries(), 5);
    EXPECT_EQ(prefs->FileDest(), 1);
    EXPECT_TRUE(prefs->DefaultTitles());
    EXPECT_EQ(prefs->VoiceSelection(), 2);
    prefs->setVoiceSelection(0);
    EXPECT_EQ(prefs->MI_Voice, 0);
    EXPECT_EQ(prefs->SI_Voice, 1) << "multi-article mode leaves the single-article choice alone";

    prefs->ML_ListMode = 7;  // neither mode: answers as single-article mode, but never speaks
    EXPECT_FALSE(prefs->AutoSpeak());
    EXPECT_FALSE(prefs->AutoDelete());
    EXPECT_EQ(prefs->VisibleEntries(), 1);
    EXPECT_EQ(prefs->FileDest(), 0);
    EXPECT_EQ(prefs->VoiceSelection(), 1);
}

TEST_F(Preferences, AnOutputFolderThatCannotBeCreatedBecomesABlank) {
    // A file where the folder should be.
    QFile blocker(ProgramFolders::userFolder() + QStringLiteral("/Files"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    TPreferences prefs;
    EXPECT_EQ(prefs.DefaultOutDir, QStringLiteral(" "));
}
