#include "settings/preferences.h"

#include <QDir>
#include <QFileInfo>
#include <variant>

#include "platform/shell/debuglog.h"
#include "platform/shell/programfolders.h"
#include "platform/shell/utilsclass.h"

namespace {

using Field = std::variant<std::monostate, bool TPreferences::*, uint8_t TPreferences::*,
                           int32_t TPreferences::*, QString TPreferences::*>;

RegType typeOf(const Field& field) {
    if (std::holds_alternative<QString TPreferences::*>(field)) {
        return RegType::String;
    }
    if (std::holds_alternative<uint8_t TPreferences::*>(field) ||
        std::holds_alternative<int32_t TPreferences::*>(field)) {
        return RegType::Int;
    }
    return RegType::Bool;
}

using P = TPreferences;

// Every stored setting, in the order the store reads and writes them, with its default.
const struct {
    const char* name;
    Field field;
    QVariant def;
} kSettings[] = {
    {"ShowOptions", &P::ShowOptions, true},
    {"ShowToolbar", &P::ShowToolbar, true},
    {"SI_AutoSpeak", &P::SI_AutoSpeak, false},
    {"SI_Voice", &P::SI_Voice, 0},
    {"SI_ShowBusyDialog", &P::SI_ShowBusyDialog, true},
    {"MI_Voice", &P::MI_Voice, 0},
    {"ML_AutoDelete", &P::ML_AutoDelete, false},
    {"ML_VisibleEntries", &P::ML_VisibleEntries, 3},
    {"ML_ListMode", &P::ML_ListMode, 0},
    {"TTS_DefaultVoiceName", &P::TTS_DefaultVoiceName, QString()},
    {"TTS_HighlightPosition", &P::TTS_HighlightPosition, true},
    {"TTS_FilterSymbols", &P::TTS_FilterSymbols, true},
    {"TTS_AudioDeviceID", &P::TTS_AudioDeviceID, -1},
    {"TTS_SoundCardCheckErr", &P::TTS_SoundCardCheckErr, true},
    {"CB_Monitor", &P::CB_Monitor, true},
    {"CB_Prompt", &P::CB_Prompt, true},
    {"CB_PromptDelay", &P::CB_PromptDelay, 3},
    {"CB_ThreshHold", &P::CB_ThreshHold, 10},
    {"CB_PromptTop", &P::CB_PromptTop, -1},
    {"CB_PromptLeft", &P::CB_PromptLeft, -1},
    {"CB_DfltPromptAction", &P::CB_DfltPromptAction, 2},
    {"CB_LastPromptAction", &P::CB_LastPromptAction, 2},
    {"CB_ClearOnCopy", &P::CB_ClearOnCopy, false},
    {"OUT_FileDest", &P::OUT_FileDest, 0},
    {"OUT_FileFormat", &P::OUT_FileFormat, 0},
    {"OUT_Directory", &P::OUT_Directory, QVariant()},          // DefaultOutDir
    {"OpenDlgInitialDir", &P::OpenDlgInitialDir, QVariant()},  // the home folder
    {"RunMinimized", std::monostate{}, false},
    {"ToolbarOnMinOption", &P::ToolbarOnMinOption, 1},
    {"ToolbarOnTop", &P::ToolbarOnTop, false},
    {"FirstTimeUser", &P::FirstTimeUser, true},
    {"BitRate", &P::BitRate, 32},
    {"ShowPronEditWarning", &P::ShowPronEditWarning, true},
    {"SI_DefaultTitles", &P::SI_DefaultTitles, true},
    {"TTS_WaveConvRate", &P::TTS_WaveConvRate, 2560},
    {"OUT_Subtitles", &P::OUT_Subtitles, false},
    {"OUT_VorbisQuality", &P::OUT_VorbisQuality, 2},
    {"OUT_OpusBitRate", &P::OUT_OpusBitRate, 24},
    {"SI_ListRemoval", &P::SI_ListRemoval, 0},
    {"ML_KeptArticles", &P::ML_KeptArticles, QString()},
};

// The values a stored number may take; any other value, or text that is no number, reads as
// the setting's default. Numbers not listed here only have to fit their field.
struct Range {
    const char* name;
    qint64 minimum;
    qint64 maximum;
};

// Window places are kept in 16 bits by the window systems.
constexpr qint64 kMaxCoordinate = 32767;
// More entries than this would share the list's height in slivers too thin to read.
constexpr qint64 kMaxVisibleEntries = 50;

const Range kRanges[] = {
    {"ML_VisibleEntries", 1, kMaxVisibleEntries},
    {"ML_ListMode", 0, 1},
    {"TTS_AudioDeviceID", -1, 65535},
    {"CB_PromptDelay", 0, 3600},
    {"CB_ThreshHold", 0, 1000000},
    {"CB_PromptTop", -kMaxCoordinate, kMaxCoordinate},
    {"CB_PromptLeft", -kMaxCoordinate, kMaxCoordinate},
    {"OUT_FileDest", 0, 2},
    // 0 WAV, 1 MP3, 2 Ogg Vorbis, 3 Opus.
    {"OUT_FileFormat", 0, 3},
    {"OUT_VorbisQuality", -1, 10},
    {"SI_ListRemoval", 0, 2},
    {"BitRate", 16, 64},
    // The writing pace, in 256ths of real time, is held in 16 bits.
    {"TTS_WaveConvRate", 0, 65535},
};

// The MP3 bit rates the encoder is asked for.
bool IsBitRate(qint64 value) {
    return value == 16 || value == 32 || value == 40 || value == 48 || value == 56 || value == 64;
}

// The Opus bit rates offered.
bool IsOpusBitRate(qint64 value) {
    return value == 16 || value == 24 || value == 32 || value == 48 || value == 64;
}

// The stored number, or the default when it is out of its range or no number at all.
qint64 StoredNumber(const char* name, const QVariant& value, const QVariant& def, qint64 minimum,
                    qint64 maximum) {
    for (const Range& range : kRanges) {
        if (qstrcmp(range.name, name) == 0) {
            minimum = range.minimum;
            maximum = range.maximum;
        }
    }
    bool ok = false;
    const qint64 number = value.toString().trimmed().toLongLong(&ok);
    const bool valid = ok && number >= minimum && number <= maximum &&
                       (qstrcmp(name, "BitRate") != 0 || IsBitRate(number)) &&
                       (qstrcmp(name, "OUT_OpusBitRate") != 0 || IsOpusBitRate(number));
    return valid ? number : def.toLongLong();
}

}  // namespace

TPreferences::TPreferences() {
    ProductSubKey = QStringLiteral("Quillsong");
    DefaultOutDir = makeDefaultOutDir();
    for (const auto& setting : kSettings) {
        const QString name = QString::fromLatin1(setting.name);
        QVariant def = setting.def;
        if (name == QStringLiteral("OUT_Directory")) {
            def = DefaultOutDir;
        } else if (name == QStringLiteral("OpenDlgInitialDir")) {
            // The open dialog starts where the user keeps documents.
            def = QDir::homePath();
        }
        RegisterValue(name, RegLocation::ProductKey, QString(), def, typeOf(setting.field));
    }
}

QString TPreferences::makeDefaultOutDir() {
    const QString folder = ProgramFolders::userFolder() + QStringLiteral("/Files");
    if (QFileInfo(folder).isDir() || QDir().mkdir(folder)) {
        return folder;
    }
    UtilsClass::WriteDebugLine(QStringLiteral("Cannot create the output folder ") + folder);
    return QStringLiteral(" ");
}

void TPreferences::ApplyStoredValues() {
    for (const auto& setting : kSettings) {
        const QVariant value = GetValue(QString::fromLatin1(setting.name));
        std::visit(
            [&](auto member) {
                using M = decltype(member);
                if constexpr (std::is_same_v<M, bool P::*>) {
                    this->*member = value.toBool();
                } else if constexpr (std::is_same_v<M, uint8_t P::*>) {
                    this->*member =
                        uint8_t(StoredNumber(setting.name, value, setting.def, 0, UINT8_MAX));
                } else if constexpr (std::is_same_v<M, int32_t P::*>) {
                    this->*member = int32_t(
                        StoredNumber(setting.name, value, setting.def, INT32_MIN, INT32_MAX));
                } else if constexpr (std::is_same_v<M, QString P::*>) {
                    this->*member = value.toString();
                }
            },
            setting.field);
    }
    if (OUT_Directory.trimmed().isEmpty()) {
        OUT_Directory = DefaultOutDir;
    }
}

void TPreferences::CollectValues() {
    for (const auto& setting : kSettings) {
        const QString name = QString::fromLatin1(setting.name);
        std::visit(
            [&](auto member) {
                using M = decltype(member);
                if constexpr (std::is_same_v<M, bool P::*> || std::is_same_v<M, int32_t P::*> ||
                              std::is_same_v<M, QString P::*>) {
                    debugLogFailure(SetValue(name, this->*member));
                } else if constexpr (std::is_same_v<M, uint8_t P::*>) {
                    debugLogFailure(SetValue(name, int(this->*member)));
                }
            },
            setting.field);
    }
}

bool TPreferences::AutoSpeak() const {
    return ML_ListMode == 0 && SI_AutoSpeak;
}
void TPreferences::setAutoSpeak(bool value) {
    SI_AutoSpeak = value;
}
bool TPreferences::AutoDelete() const {
    return multiMode() && ML_AutoDelete;
}
void TPreferences::setAutoDelete(bool value) {
    ML_AutoDelete = value;
}
int TPreferences::VisibleEntries() const {
    return multiMode() ? ML_VisibleEntries : 1;
}
uint8_t TPreferences::FileDest() const {
    return multiMode() ? OUT_FileDest : 0;
}
void TPreferences::setFileDest(uint8_t value) {
    OUT_FileDest = value;
}
uint8_t TPreferences::VoiceSelection() const {
    return multiMode() ? MI_Voice : SI_Voice;
}

void TPreferences::setVoiceSelection(uint8_t value) {
    (multiMode() ? MI_Voice : SI_Voice) = value;
}

bool TPreferences::DefaultTitles() const {
    return multiMode() || SI_DefaultTitles;
}
void TPreferences::setDefaultTitles(bool value) {
    SI_DefaultTitles = value;
}
