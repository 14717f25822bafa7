// The pronunciation lexicon: read at start, edited in its dialog, which the engines open
// through the reading driver's pronunciation editor launch.
#include "app/form1.h"
#include "app/lexicondialog.h"
#include "app/proneditorinfoform.h"
#include "app/statustext.h"
#include "platform/shell/debuglog.h"
#include "platform/shell/usermessage.h"
#include "platform/speechapi/pronunciationlexicon.h"
#include "speech/lexiconstore.h"

const QString TForm1::kPronunciationTitle = QStringLiteral("Quillsong MP3 Pronunciation");

void TForm1::CreateLexicon() {
    m_lexicon = new LexiconStore(LexiconFile::defaultPath(), this);
    QString error;
    if (!m_lexicon->load(&error)) {
        m_lexiconNotice = error;
    } else if (!m_lexicon->problems().isEmpty()) {
        const auto count = m_lexicon->problems().size();
        m_lexiconNotice = QStringLiteral(
                              "Lexicon: %1 unreadable line%2 skipped (Options > "
                              "Pronunciation Editor)")
                              .arg(count)
                              .arg(count == 1 ? QString() : QStringLiteral("s"));
    }
    // The engines' lexicon dialog is this window's while it lives.
    PronunciationLexicon::setDialog([this](const PronunciationLexicon::DialogRequest& request) {
        return ShowLexiconDialog(request);
    });
    connect(m_ttsForm.get(), &TTTSForm::OnPronEditorInfo, this, [this] {
        TPronEditorInfoForm info(*m_prefs, this);
        info.exec();
    });
}

void TForm1::DestroyLexicon() {
    PronunciationLexicon::setDialog({});
}

uint32_t TForm1::ShowLexiconDialog(const PronunciationLexicon::DialogRequest& request) {
    // Read again: the file may have been edited since, and the dialog saves what it shows.
    QString error;
    m_lexicon->reloadIfChanged(&error);
    auto* parent = qobject_cast<QWidget*>(request.window);
    QString voiceName = request.voiceName;
    for (const auto& voice : m_ttsForm->Catalogue.voiceList) {
        if (voice->ModeID == m_ttsForm->TTS1.ModeID()) {
            voiceName = voice->Name;  // as the voice lists show it
        }
    }
    LexiconDialog dialog(
        *m_lexicon, {request.speaker, voiceName, request.voiceLanguage, request.acceptsPhonemes},
        request.title, parent ? parent : this);
    dialog.setSampleText(m_lexiconSample);
    dialog.exec();
    m_lexiconSample = dialog.sampleText();
    return 0;
}

void TForm1::PronunciationEditorMItmClick() {
    debugLog(QStringLiteral("PronunciationEditorMItmClick"));
    const TTTSForm::EditorMessage message =
        m_ttsForm->LaunchPronunciationEditor(this, kPronunciationTitle);
    if (!message.text.isEmpty()) {
        message.kind == UserMessage::Kind::Error ? UserMessage::showError(message.text)
                                                 : UserMessage::show(message.text);
    }
}
