#include "app/splashform.h"

#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QTimer>

#include "platform/shell/programfolders.h"

TSplashForm::TSplashForm(int minimumMs, QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      picture_(ProgramFolders::programFolder() + QStringLiteral("/splash.jpg")),
      minimumMs_(minimumMs) {
    setObjectName(QStringLiteral("SplashForm"));
    setWindowTitle(QStringLiteral("Quillsong MP3 - starting"));
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_ShowWithoutActivating);
    resize(picture_.isNull() ? QSize(480, 270) : picture_.size());
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->geometry().center() - rect().center());
    }
    shownFor_.start();
}

void TSplashForm::Finish() {
    const qint64 remaining = minimumMs_ - shownFor_.elapsed();
    if (remaining <= 0) {
        close();
    } else {
        QTimer::singleShot(int(remaining), this, &QWidget::close);
    }
}

void TSplashForm::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (!picture_.isNull()) {
        painter.drawPixmap(0, 0, picture_);
        return;
    }
    painter.fillRect(rect(), QColor(0x1f, 0x3a, 0x5f));
    painter.setPen(Qt::white);
    QFont font = painter.font();
    font.setPointSize(24);
    painter.setFont(font);
    painter.drawText(rect(), Qt::AlignCenter, QStringLiteral("Quillsong MP3"));
}
