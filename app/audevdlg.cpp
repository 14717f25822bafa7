#include "app/audevdlg.h"

#include "app/myaudiodevicedlg.h"

bool TAuDevDlg::Execute(QWidget* parent) {
    TMyAudioDeviceDlg dialog(DlgUse, AudioDeviceID, parent);
    if (dialog.exec() != QDialog::Accepted) {
        return false;
    }
    AudioDeviceID = dialog.DeviceID();
    return true;
}
