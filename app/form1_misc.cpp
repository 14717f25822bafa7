// The window's part of the Misc sheet: the highlight switched on while reading shows the word
// at once, the login entry, and the default voice's choices.
#include <QTimer>

#include "app/form1.h"
#include "app/miscsheet.h"
#include "app/optionsarea.h"
#include "articles/memoentry.h"
#include "articles/memolistbox.h"
#include "articles/mymemo.h"
#include "platform/shell/programfolders.h"
#include "platform/shell/usermessage.h"
#include "settings/runatlogin.h"

void TForm1::CreateMiscSheet() {
    m_miscSheet = new MiscSheet(*m_prefs, Panel3);
    m_miscSheet->Load();
    Panel3->SetSheet(OptionsArea::Sheet::Misc, m_miscSheet);
    connect(m_miscSheet, &MiscSheet::highlightClicked, this, &TForm1::HighlightPosnClick);
    connect(m_miscSheet, &MiscSheet::autoStartClicked, this, &TForm1::AutoStartAppCBClick);
    connect(m_miscSheet, &MiscSheet::shown, this, &TForm1::MiscSheetShow);
    connect(m_miscSheet, &MiscSheet::defaultVoiceChosen, this,
            [this] { m_list->FollowDefaultVoice(m_prefs->TTS_DefaultVoiceName); });
}

void TForm1::HighlightPosnClick() {
    if (!m_prefs->TTS_HighlightPosition || m_readingState != rsReading) {
        return;
    }
    if (TMemoEntry* entry = ReadingEntry()) {
        m_list->ScrollIntoView(entry);
        // Once the list has shown it: the click that got here still holds the focus now.
        QTimer::singleShot(0, entry, &TMemoEntry::FocusEditor);
    }
}

void TForm1::MiscSheetShow() {
    m_miscSheet->SetAutoStart(IsRunAtLogin(kAutostartEntry));
}

void TForm1::AutoStartAppCBClick(bool enabled) {
    SetRunAtLogin(kAutostartEntry, runAtLoginCommand(ProgramFolders::programPath()), enabled);
    // The box shows what the desktop will do, also when the entry could not be changed.
    const bool done = IsRunAtLogin(kAutostartEntry);
    m_miscSheet->SetAutoStart(done);
    if (done != enabled) {
        UserMessage::showError(
            enabled ? QStringLiteral("Quillsong could not add itself to the programs started at "
                                     "login (see the debug log for the reason).")
                    : QStringLiteral("Quillsong could not remove itself from the programs "
                                     "started at login (see the debug log for the reason)."));
    }
}
