#pragma once

#include <QElapsedTimer>
#include <QPixmap>
#include <QWidget>

// The picture shown while the program starts. It stays at least its minimum time; Finish()
// closes it then, without blocking the event loop.
class TSplashForm : public QWidget {
    Q_OBJECT
  public:
    explicit TSplashForm(int minimumMs, QWidget* parent = nullptr);
    void Finish();

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QPixmap picture_;
    QElapsedTimer shownFor_;
    int minimumMs_;
};
