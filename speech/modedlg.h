#pragma once

#include <QObject>

#include "speech/tts.h"

// Names which kind of speech dialog a form offers; it has no behaviour of its own.
class TModeDlg : public QObject {
    Q_OBJECT
  public:
    explicit TModeDlg(QObject* owner = nullptr) : QObject(owner) {}
    TDlgUse DlgUse = duNone;
};
