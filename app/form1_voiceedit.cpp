// Speaking outside the article list, and the voice edit dialog, for the main window.
#include "app/form1.h"
#include "app/readingsession.h"
#include "app/voiceeditform.h"
#include "articles/memoentry.h"
#include "articles/memolistbox.h"
#include "platform/shell/usermessage.h"
#include "speech/ttsform.h"

namespace {

const QString kReadingTestMessage = QStringLiteral("Reading Test Message");

}  // namespace

void TForm1::SpeakText(const QString& text, const QString& voiceName) {
    SetPauseCaptions(false);
    if (m_readingState != rsIdle && !m_session->speakingText()) {
        // The article being read stops first; its end must not take the status that the
        // caller has just shown for the text.
        const QString status = m_shortText;
        m_session->stop();
        UpdateStatus(status);
    }
    m_session->SpeakText(text, voiceName);
}

void TForm1::SpeakTextFinished() {
    SetPauseCaptions(false);
    ResetStatus();
}

void TForm1::TestVoice(const QString& voiceName) {
    const TVoiceEntry* voice = m_ttsForm->FindVoice(voiceName);
    if (!voice) {
        return;
    }
    UpdateStatus(kReadingTestMessage);
    SpeakText(m_ttsForm->Catalogue.TestText(*voice), voiceName);
}

void TForm1::EditVoice(const QString& voiceName) {
    TVoiceEntry* voice = m_ttsForm->FindVoice(voiceName);
    if (!voice) {
        return;
    }
    if (!m_voiceEditForm) {
        m_voiceEditForm = new TVoiceEditForm(m_ttsForm->Catalogue, this);
        // The test speaks at once, while the dialog's voice holds the values to try.
        connect(m_voiceEditForm, &TVoiceEditForm::testRequested, this,
                [this](const QString& text, const QString& name) {
                    UpdateStatus(kReadingTestMessage);
                    SpeakText(text, name);
                });
    }
    m_voiceEditForm->SetVoice(voice);
    const int result = m_voiceEditForm->exec();
    if (!m_voiceEditForm->Failure().isEmpty()) {
        UserMessage::showError(m_voiceEditForm->Failure());
        return;
    }
    if (result != QDialog::Accepted) {
        return;
    }
    // A reading in this voice goes on with the new values.
    try {
        m_ttsForm->ApplyPitch(*voice);
        m_ttsForm->ApplySpeed(*voice);
    } catch (const std::exception& error) {
        UserMessage::showError(QString::fromUtf8(error.what()));
    }
    m_ttsForm->SaveVoiceSettings();
}

void TForm1::EditVoiceforSelectedArticle1Click() {
    if (TMemoEntry* entry = m_list->CurrentEntry()) {
        // An article that names no voice is read with the default voice.
        const QString voice = entry->Voice();
        EditVoice(voice.isEmpty() ? m_prefs->TTS_DefaultVoiceName : voice);
    }
}
