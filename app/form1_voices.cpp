// The Engines / Voices sheet of the options area: the window keeps its favourite voices and
// the stored settings in step with the sheet, and edits and tests the voices it names.
#include "app/form1.h"
#include "app/optionsarea.h"
#include "app/voicessheet.h"
#include "articles/memolistbox.h"

void TForm1::CreateVoicesSheet() {
    auto* sheet = new VoicesSheet(m_ttsForm->Catalogue, *m_prefs);
    Panel3->SetSheet(OptionsArea::Sheet::EnginesVoices, sheet);
    connect(sheet, &VoicesSheet::voicesChanged, this, [this] {
        LoadFavoriteVoices();
        m_ttsForm->SaveVoiceSettings();
        m_list->FollowDefaultVoice(m_prefs->TTS_DefaultVoiceName);
    });
    connect(sheet, &VoicesSheet::editVoiceRequested, this, &TForm1::EditVoice);
    connect(sheet, &VoicesSheet::testVoiceRequested, this, &TForm1::TestVoice);
}
