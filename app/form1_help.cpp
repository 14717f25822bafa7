// The Help and Audio Help menus, Tell a Friend and the about box, for the main window.
#include <QAction>

#include "app/aboutform.h"
#include "app/audiohelp.h"
#include "app/form1.h"
#include "app/links.h"
#include "app/tellafriend.h"
#include "platform/shell/usermessage.h"
#include "speech/languagetables.h"
#include "speech/ttsform.h"

namespace {

const QString kReadingAudioHelp = QStringLiteral("Reading Audio Help");
const QString kNoEnglishVoice = QStringLiteral(
    "An English Voice was not found on your computer.\rAudio Help is currently "
    "available in English only");

}  // namespace

void TForm1::AudioHelpTopicClick(QAction* item) {
    const QString text = TAudioHelp::TopicText(TAudioHelp::TopicOf(item));
    // The topics are written in English: the default voice speaks them only if it is English.
    const TVoiceEntry* voice = m_ttsForm->FindVoice(m_prefs->TTS_DefaultVoiceName);
    if (!voice || !voice->Engine ||
        LanguageCode(voice->Engine->LanguageID) != QStringLiteral("eng")) {
        voice = m_ttsForm->FindEnglishVoice();
    }
    if (!voice) {
        UserMessage::showError(kNoEnglishVoice);
        return;
    }
    UpdateStatus(kReadingAudioHelp);
    SpeakText(text, voice->Name);
}

void TForm1::HelpContentsClick() {
    Links::open(Links::Page::Contents);
}

void TForm1::VisitHalcyxClick() {
    Links::open(Links::Page::HomePage);
}

void TForm1::PortablePlayersClick() {
    Links::open(Links::Page::Mp3Players);
}

void TForm1::TellAFriendClick() {
    Links::openMail(
        TellAFriend::MailCommand(TellAFriend::Subject(), TellAFriend::Body(Links::webSite())),
        QStringLiteral("telling a friend about Quillsong MP3"));
}

void TForm1::AboutClick() {
    TAboutForm about(this);
    about.exec();
}
