#include "app/proneditorinfoform.h"

#include <QCheckBox>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "settings/preferences.h"

namespace {

const QStringList kInfoLines = {
    QStringLiteral("A note on using the pronunciation editor ..."),
    QString(),
    QStringLiteral("Quillsong MP3 currently supports editing pronunciations only with the "),
    QStringLiteral("Microsoft Text-To-Speech engine.   That means any pronuncation changes "),
    QStringLiteral("you make will be applied to the Microsoft engine only.  Mary, Mike and Sam "),
    QStringLiteral("are the only voices affected."),
    QString(),
    QStringLiteral("Future versions of Quillsong will support pronunciation editing across "
                   "engines."),
};

}  // namespace

TPronEditorInfoForm::TPronEditorInfoForm(TPreferences& prefs, QWidget* parent)
    : QDialog(parent), m_prefs(prefs) {
    setObjectName(QStringLiteral("PronEditorInfoForm"));
    setWindowTitle(QStringLiteral("Pronunciation Editor Info"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 24, 24, 16);

    Memo1 = new QPlainTextEdit(kInfoLines.join(QLatin1Char('\n')), this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setReadOnly(true);
    Memo1->setFrameShape(QFrame::NoFrame);
    Memo1->setFocusPolicy(Qt::NoFocus);
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // In the colour of the dialog, as a note rather than a field.
    QPalette palette = Memo1->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Button));
    Memo1->setPalette(palette);
    Memo1->setAccessibleName(QStringLiteral("A note on using the pronunciation editor"));
    const QFontMetrics metrics(Memo1->font());
    int width = 0;
    for (const QString& line : kInfoLines) {
        width = qMax(width, metrics.horizontalAdvance(line));
    }
    Memo1->setFixedSize(width + 2 * int(Memo1->document()->documentMargin()) + 4,
                        metrics.lineSpacing() * int(kInfoLines.size()) +
                            2 * int(Memo1->document()->documentMargin()) + 4);
    layout->addWidget(Memo1);

    Button1 = new QPushButton(QStringLiteral("Continue"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setDefault(true);
    Button1->setMinimumWidth(75);
    connect(Button1, &QPushButton::clicked, this, &TPronEditorInfoForm::Button1Click);
    layout->addWidget(Button1, 0, Qt::AlignHCenter);

    CheckBox1 = new QCheckBox(QStringLiteral("Do not display this dialog again"), this);
    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
    connect(CheckBox1, &QCheckBox::clicked, this, &TPronEditorInfoForm::CheckBox1Click);
    layout->addWidget(CheckBox1);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    Button1->setFocus();
    adjustSize();
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
}

void TPronEditorInfoForm::Button1Click() {
    close();
}

void TPronEditorInfoForm::CheckBox1Click() {
    m_prefs.ShowPronEditWarning = !CheckBox1->isChecked();
}
