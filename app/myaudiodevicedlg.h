#pragma once

#include <QDialog>

#include "speech/tts.h"

class QLabel;
class QListWidget;

// Lists the wave output devices that exist when it is made, with the default device first,
// and shows what the selected one can play. Each use makes a new dialog that reads the devices
// anew, so a device plugged in while the program runs appears the next time.
class TMyAudioDeviceDlg : public QDialog {
    Q_OBJECT
  public:
    static const QString kMapperItem;
    static const QString kNotReported;

    TMyAudioDeviceDlg(TDlgUse use, int deviceId, QWidget* parent = nullptr);

    // The chosen device number: -1 for the default device or when nothing is selected.
    int DeviceID() const;

  private:
    void FillList();
    void ShowSelected();
    QLabel* AddDetail(class QFormLayout* layout, const QString& caption, const char* name);

    TDlgUse m_use;
    int m_deviceId;
    QListWidget* ListBox1 = nullptr;
    QLabel* lDeviceID = nullptr;
    QLabel* lManufacturer = nullptr;
    QLabel* lProduct = nullptr;
    QLabel* lVersion = nullptr;
    QLabel* lFormat = nullptr;
    QLabel* lChannels = nullptr;
    QLabel* lSupports = nullptr;
};
