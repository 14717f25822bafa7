#include "app/cbpromptform.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "settings/preferences.h"

namespace {

constexpr int kMillisecondsPerSecond = 1000;

}  // namespace

TCB_PromptForm::TCB_PromptForm(TPreferences& prefs, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), m_prefs(prefs) {
    setWindowTitle(QStringLiteral("Quillsong MP3"));
    setObjectName(QStringLiteral("CB_PromptForm"));
    auto* layout = new QVBoxLayout(this);
    // A fixed border: the window manager offers no maximising or resizing.
    layout->setSizeConstraint(QLayout::SetFixedSize);
    auto* heading = new QLabel(QStringLiteral("Copy Clipboard to Speech Buffer ?"), this);
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);
    layout->addWidget(heading);
    auto* buttons = new QHBoxLayout;
    m_new = new QPushButton(QStringLiteral("New"), this);
    m_append = new QPushButton(QStringLiteral("Append"), this);
    m_cancel = new QPushButton(QStringLiteral("Cancel"), this);
    for (QPushButton* button : {m_new, m_append, m_cancel}) {
        button->setAutoDefault(false);
        buttons->addWidget(button);
    }
    layout->addLayout(buttons);
    ModeValue = new QLabel(this);
    layout->addWidget(ModeValue);
    connect(m_new, &QPushButton::clicked, this, &TCB_PromptForm::NewClick);
    connect(m_append, &QPushButton::clicked, this, &TCB_PromptForm::AppendClick);
    connect(m_cancel, &QPushButton::clicked, this, &TCB_PromptForm::CancelClick);
    Timer1.setSingleShot(true);
    connect(&Timer1, &QTimer::timeout, this, &TCB_PromptForm::Timer1Timer);
    FormCreate();
}

void TCB_PromptForm::FormCreate() {
    m_append->setToolTip(QStringLiteral("Append text to current article"));
    m_cancel->setToolTip(QStringLiteral("Cancel clipboard copy to Quillsong MP3"));
    adjustSize();
    if (m_prefs.CB_PromptLeft < 0) {
        const QScreen* screen = QGuiApplication::primaryScreen();
        if (screen) {
            move(screen->availableGeometry().center() - rect().center());
        }
    } else {
        move(m_prefs.CB_PromptLeft, m_prefs.CB_PromptTop);
    }
}

QPushButton* TCB_PromptForm::Button(ClipboardRules::Action action) const {
    switch (action) {
        case ClipboardRules::Action::New:
            return m_new;
        case ClipboardRules::Action::Append:
            return m_append;
        default:
            return m_cancel;
    }
}

void TCB_PromptForm::Prompt(bool multiArticleMode, bool appendEnabled) {
    if (m_prefs.CB_Prompt && m_prefs.CB_PromptDelay <= 0) {
        // No time to answer: the default is taken at once, without a window that would
        // appear and vanish under the user's typing.
        m_append->setEnabled(appendEnabled);
        m_default = ClipboardRules::PromptDefault(m_prefs.CB_DfltPromptAction,
                                                  m_prefs.CB_LastPromptAction, appendEnabled);
        Take(m_default);
        return;
    }
    FormShow(multiArticleMode, appendEnabled);
    show();
    FormActivate();
    // Above whatever program the text was copied from, without staying above it.
    raise();
    activateWindow();
}

void TCB_PromptForm::FormShow(bool multiArticleMode, bool appendEnabled) {
    m_append->setEnabled(appendEnabled);
    ModeValue->setText(multiArticleMode ? QStringLiteral("Current Mode is Multi-Article Mode")
                                        : QStringLiteral("Current Mode is Single-Article Mode"));
    m_new->setToolTip(multiArticleMode ? QStringLiteral("Add new article")
                                       : QStringLiteral("Overwrite current article"));
    if (m_prefs.CB_Prompt) {
        Timer1.start(qMax(0, m_prefs.CB_PromptDelay) * kMillisecondsPerSecond);
    } else {
        Timer1.stop();
    }
    if (m_prefs.CB_PromptLeft >= 0) {
        move(m_prefs.CB_PromptLeft, m_prefs.CB_PromptTop);
    }
}

void TCB_PromptForm::FormActivate() {
    m_default = ClipboardRules::PromptDefault(m_prefs.CB_DfltPromptAction,
                                              m_prefs.CB_LastPromptAction, m_append->isEnabled());
    QPushButton* button = Button(m_default);
    button->setDefault(true);
    button->setFocus();
}

void TCB_PromptForm::reject() {
    // Escape, or a close box that the window manager adds anyway, cancels like the button:
    // the countdown must not take an action for a prompt the user has dismissed.
    CancelClick();
}

void TCB_PromptForm::Timer1Timer() {
    Timer1.stop();
    Take(m_default);
}

void TCB_PromptForm::Choose(ClipboardRules::Action action) {
    // A key that reaches the dialog after it has closed (the window system may still send it
    // a keystroke or two) chooses nothing.
    if (!isVisible()) {
        return;
    }
    Take(action);
}

void TCB_PromptForm::Take(ClipboardRules::Action action) {
    m_prefs.CB_LastPromptAction = uint8_t(action);
    Timer1.stop();
    hide();
    if (action != ClipboardRules::Action::Cancel) {
        Q_EMIT actionChosen(action);
    }
}
