// The main window's choice of the audio device.
#include "app/audevdlg.h"
#include "app/form1.h"
#include "platform/shell/debuglog.h"
#include "settings/preferences.h"
#include "speech/ttsform.h"

void TForm1::SelAudioDevMItmClick() {
    TAuDevDlg dialog(this);
    dialog.DlgUse = duTTS;
    dialog.AudioDeviceID = m_prefs->TTS_AudioDeviceID;
    if (!dialog.Execute(this)) {
        return;
    }
    const int device = dialog.AudioDeviceID;
    if (!m_ttsForm->CheckAudioDevice(device)) {
        return;
    }
    try {
        m_ttsForm->TTS1.SetAudioDeviceID(device);
    } catch (const std::exception& error) {
        // The check has just started the engine on it: only a device gone since can fail here.
        debugLog(QStringLiteral("Audio device ") + QString::number(device) + QStringLiteral(": ") +
                 QString::fromUtf8(error.what()));
        return;
    }
    m_prefs->TTS_AudioDeviceID = device;
}
