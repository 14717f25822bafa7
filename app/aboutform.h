#pragma once

#include <QDialog>

// The about box: the program's name and version over its splash picture, the libraries it runs
// on with their versions and licences, and the program's links.
class TAboutForm : public QDialog {
    Q_OBJECT
  public:
    explicit TAboutForm(QWidget* parent = nullptr);
};
