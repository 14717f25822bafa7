// Message boxes of the program: a long path or file name wraps inside a box that fits the
// screen.
#include <gtest/gtest.h>

#include <QLabel>
#include <QScreen>
#include <QTest>
#include <QTextDocument>

#include "app/messagebox.h"

TEST(MessageBoxes, ALongFileNameWrapsInsideABoxThatFitsTheScreen) {
    const QString path = QStringLiteral("/home/reader/Audio/") + QString(240, QLatin1Char('A')) +
                         QStringLiteral(".mp3");
    const QStringList texts = {
        QStringLiteral("The MP3 file could not be made.\rThe speech is kept in ") + path,
        QStringLiteral("Cannot write ") + path + QStringLiteral(": File name too long")};
    for (const QString& text : texts) {
        SCOPED_TRACE(text.left(40).toStdString());
        MessageBox box(QMessageBox::Critical, QStringLiteral("Quillsong MP3"), text,
                       QMessageBox::Ok);
        box.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
        auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
        ASSERT_NE(label, nullptr);
        EXPECT_LE(box.frameGeometry().width(), box.screen()->availableGeometry().width());
        EXPECT_LE(label->geometry().right(), box.width()) << "the text ends inside the box";
        // Laid out at the label's width, no line is wider than the label.
        QTextDocument layout;
        layout.setDefaultFont(label->font());
        layout.setDocumentMargin(0);
        layout.setPlainText(label->text());
        layout.setTextWidth(label->width());
        EXPECT_LE(layout.idealWidth(), label->width());
        EXPECT_GE(label->height(), int(layout.size().height())) << "and every line shows";
    }
}
