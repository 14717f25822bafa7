#pragma once

#include <QObject>

#include "speech/tts.h"

class QWidget;

// Asks the user for an audio device: shows the device dialog for a use and a device number,
// and holds the choice afterwards.
class TAuDevDlg : public QObject {
    Q_OBJECT
  public:
    explicit TAuDevDlg(QObject* owner = nullptr) : QObject(owner) {}

    // Shows the dialog modally; true, with AudioDeviceID set to the choice, when confirmed.
    bool Execute(QWidget* parent = nullptr);

    TDlgUse DlgUse = duNone;
    int AudioDeviceID = -1;
};
