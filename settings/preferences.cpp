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
};

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
                    this->*member = uint8_t(value.toInt() & 0xFF);
                } else if constexpr (std::is_same_v<M, int32_t P::*>) {
                    this->*member = value.toInt();
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
