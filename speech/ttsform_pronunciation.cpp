#include "platform/shell/debuglog.h"
#include "settings/preferences.h"
#include "speech/eoleerror.h"
#include "speech/espeecherror.h"
#include "speech/ttsform.h"

namespace {

// The maker whose engine has a lexicon dialog of its own.
const QString kLexiconMaker = QStringLiteral("Microsoft");

const QString kNotEnabled = QStringLiteral(
    "Microsoft TTS Engine is not enabled\r\rQuillsong MP3 has detected that you have disabled "
    "the Microsoft\rText-To-Speech engine.  The engine must be enabled for the\rPronunciation "
    "Editor to work.\r\rPlease select the Engines/Voices tab on the options panel and enable\r"
    "the engine.");

}  // namespace

const QString TTTSForm::kLexiconActivationFailed =
    QStringLiteral("TTS Activation failed in Lexicon Dialog");

TVoiceEntry* TTTSForm::PronunciationVoice(const TEngineEntry* engine) const {
    TVoiceEntry* voice = FindVoice(m_prefs.TTS_DefaultVoiceName);
    if (!engine || (voice && voice->Engine == engine)) {
        return voice;
    }
    for (const char* name : {"Mary", "Mike", "Sam"}) {
        if (TVoiceEntry* named = FindVoice(QString::fromLatin1(name))) {
            return named;
        }
    }
    // None of the three: any voice of that engine will do.
    for (const auto& other : Catalogue.voiceList) {
        if (other->Engine == engine) {
            return other.get();
        }
    }
    return voice;
}

bool TTTSForm::PronunciationEngineReady(TEngineEntry** engine, EditorMessage* message) {
    *engine = Catalogue.engines.FindEngineByName(kLexiconMaker);
    if (!*engine) {
        // The program's own lexicon serves every engine: the default voice's will do, and
        // nothing needs saying about which voices it affects.
        return true;
    }
    if (!(*engine)->Enabled) {
        *message = {UserMessage::Kind::Error, kNotEnabled};
        return false;
    }
    bool others = false;
    for (int i = 0; i < Catalogue.engines.count(); ++i) {
        others = others || Catalogue.engines.Maker(i) != kLexiconMaker;
    }
    if (m_prefs.ShowPronEditWarning && others) {
        Q_EMIT OnPronEditorInfo();
    }
    return true;
}

TTTSForm::EditorMessage TTTSForm::LaunchPronunciationEditor(QObject* window, const QString& title) {
    EditorMessage message;
    if (TTS1.Active()) {
        return message;
    }
    TEngineEntry* engine = nullptr;
    if (!PronunciationEngineReady(&engine, &message)) {
        return message;
    }
    TVoiceEntry* voice = PronunciationVoice(engine);
    if (!voice && !Catalogue.voiceList.empty()) {
        voice = Catalogue.voiceList.front().get();
    }
    m_lexiconOpen = true;
    try {
        if (!voice) {
            throw EOleError(kLexiconActivationFailed);
        }
        if (voice->MinPitch == -1) {
            Catalogue.ReadVoiceLimits(*voice);
        }
        // The sound card, so that no stored file is opened again for the dialog.
        TTS1.OutputDest = odAudioDevice;
        TTS1.SetOutputFile(QString());
        TTS1.SetModeID(voice->ModeID);
        TTS1.SetActive(true);
        if (!TTS1.Active()) {
            message = {UserMessage::Kind::Error, kLexiconActivationFailed};
        } else {
            TTS1.SetPitch(voice->Pitch);
            TTS1.SetSpeed(uint32_t(qMax(0, voice->Speed)));
            TTS1.ShowLexiconDlg(window, title);
        }
    } catch (const std::exception& error) {
        debugLog(QString::fromUtf8(error.what()));
        message = {UserMessage::Kind::Error, QString::fromUtf8(error.what())};
    } catch (...) {
        message = {UserMessage::Kind::Information, kLexiconActivationFailed};
    }
    try {
        TTS1.SetActive(false);
    } catch (const std::exception& error) {
        debugLog(QStringLiteral("Lexicon dialog: ") + QString::fromUtf8(error.what()));
    }
    m_lexiconOpen = false;
    return message;
}
