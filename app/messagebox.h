#pragma once

#include <QMessageBox>

// A message box that fits the screen whatever it says: the program's lines (ended by "\r") are
// kept, a line wider than the screen wraps, and a long path or file name without blanks wraps
// too instead of running off the box's edge.
class MessageBox : public QMessageBox {
    Q_OBJECT
  public:
    MessageBox(Icon icon, const QString& title, const QString& text, StandardButtons buttons,
               QWidget* parent = nullptr);
};
