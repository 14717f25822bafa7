#include "articles/memoentry.h"

#include <QComboBox>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QVBoxLayout>

#include "articles/articletext.h"
#include "articles/mymemo.h"
#include "articles/propertypanel.h"
#include "platform/shell/utilsclass.h"
#include "speech/voicesource.h"
#include "text/textfile.h"

TMemoEntry::TMemoEntry(const VoiceSource* voices, QWidget* parent)
    : QFrame(parent), voices_(voices) {
    setFrameShape(QFrame::StyledPanel);
}

TMemoEntry::~TMemoEntry() = default;

void TMemoEntry::Build() {
    if (built_) {
        return;
    }
    built_ = true;
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(1, 1, 1, 1);
    layout->setSpacing(0);
    panel_ = new TPropertyPanel(voices_, this);
    editor_ = new TMyPlusMemo(this);
    layout->addWidget(panel_);
    layout->addWidget(editor_, 1);
    panel_->SetTitle(title_);
    // The voice was offered when the article got it (or there is no catalogue to choose from
    // yet, or it is the default voice): it stays the article's voice.
    SelectDefaultVoice(voice_);
    // Tab moves on to the next control; Ctrl+Tab types a tab.
    editor_->setTabChangesFocus(true);
    NameEditor();
    connect(panel_->TitleBox, &QLineEdit::textChanged, this, &TMemoEntry::NameEditor);
    connect(panel_->TitleBox, &QLineEdit::textEdited, this, [this] { followLimit_ = 0; });
    connect(editor_, &QPlainTextEdit::textChanged, this, &TMemoEntry::FollowText);
    editor_->installEventFilter(this);
    editor_->SetText(text_);
    UpdateReadOnly();
    if (color_.isValid()) {
        editor_->SetBackground(color_);
    }
    if (multiLayout_) {
        panel_->ApplyMultiArticleLayout();
    }
    editor_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(editor_, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        Q_EMIT focused(this);
        if (menu_) {
            menu_->popup(editor_->mapToGlobal(at));
        }
    });
    text_.clear();
    connect(panel_, &TPropertyPanel::readClicked, this, [this] {
        if (OnRead)
            OnRead(this);
    });
    connect(panel_, &TPropertyPanel::readToFileClicked, this, [this] {
        if (OnReadToFile)
            OnReadToFile(this);
    });
    connect(panel_, &TPropertyPanel::deleteClicked, this, [this] {
        if (OnDelete)
            OnDelete(this);
    });
    connect(editor_, &TMyPlusMemo::focused, this, [this] { Q_EMIT focused(this); });
    panel_->TitleBox->installEventFilter(this);
    panel_->VoiceBox->installEventFilter(this);
}

bool TMemoEntry::eventFilter(QObject* watched, QEvent* event) {
    if (watched == editor_) {
        if (event->type() == QEvent::KeyPress && EditorKeyPress(static_cast<QKeyEvent*>(event))) {
            return true;
        }
    } else if (event->type() == QEvent::FocusIn) {
        Q_EMIT focused(this);  // the title or the voice box: this article becomes current
    }
    return QFrame::eventFilter(watched, event);
}

bool TMemoEntry::EditorKeyPress(QKeyEvent* event) {
    const Qt::KeyboardModifiers modifiers =
        event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    if (event->key() == Qt::Key_Tab && modifiers == Qt::ControlModifier) {
        if (!editor_->isReadOnly()) {
            editor_->insertPlainText(QStringLiteral("\t"));
        }
        return true;
    }
    if (event->matches(QKeySequence::Paste) && editor_->isReadOnly()) {
        Q_EMIT pasteRefused(this);
        return true;
    }
    if (event->key() == Qt::Key_F10 && modifiers == Qt::ShiftModifier) {
        // As the Menu key: a keyboard context menu at the caret.
        const QPoint at = editor_->viewport()->mapToParent(editor_->cursorRect().center());
        QContextMenuEvent menuEvent(QContextMenuEvent::Keyboard, at, editor_->mapToGlobal(at),
                                    event->modifiers());
        QCoreApplication::sendEvent(editor_, &menuEvent);
        return true;
    }
    return false;
}

void TMemoEntry::NameEditor() {
    // Screen readers name the text after its article.
    const QString title = panel_->Title().trimmed();
    editor_->setAccessibleName(title.isEmpty() ? QStringLiteral("Article text")
                                               : QStringLiteral("Text of ") + title);
}

void TMemoEntry::showEvent(QShowEvent* event) {
    Build();
    QFrame::showEvent(event);
}

TPropertyPanel* TMemoEntry::PropertyPanel() {
    Build();
    return panel_;
}

TMyPlusMemo* TMemoEntry::Editor() {
    Build();
    return editor_;
}

QString TMemoEntry::Title() const {
    return built_ ? panel_->Title() : title_;
}

void TMemoEntry::SetTitle(const QString& title) {
    followLimit_ = 0;
    ShowTitle(title);
}

void TMemoEntry::ShowTitle(const QString& title) {
    if (built_) {
        panel_->SetTitle(title);
    } else {
        title_ = title;
    }
}

QString TMemoEntry::Voice() const {
    return built_ ? panel_->Voice() : voice_;
}

void TMemoEntry::SelectDefaultVoice(const QString& name) {
    if (!built_) {
        voice_ = name;
        return;
    }
    panel_->SelectVoice(name);
    if (panel_->VoiceBox->currentIndex() < 0 && !name.isEmpty()) {
        panel_->VoiceBox->addItem(name);
        panel_->SelectVoice(name);
    }
}

void TMemoEntry::FollowDefaultVoice(const QString& name) {
    m_defaultVoice = name;
    SelectDefaultVoice(name);
}

bool TMemoEntry::FollowsDefaultVoice() const {
    return !m_defaultVoice.isEmpty() && Voice() == m_defaultVoice;
}

QString TMemoEntry::OwnVoice() const {
    return FollowsDefaultVoice() ? QString() : Voice();
}

void TMemoEntry::SelectVoice(const QString& name) {
    if (built_) {
        panel_->SelectVoice(name);
        return;
    }
    voice_.clear();
    if (!voices_) {
        voice_ = name;
        return;
    }
    for (const VoiceChoice& voice : voices_->voices()) {
        if (voice.favourite && voice.name == name) {
            voice_ = name;
        }
    }
}

QString TMemoEntry::GetArticleText() const {
    return built_ ? editor_->Text() : text_;
}

void TMemoEntry::SetArticleText(const QString& text) {
    if (built_) {
        editor_->SetText(text);
        UpdateReadOnly();
    } else {
        text_ = text;
        FollowText();
    }
}

void TMemoEntry::FollowTextWithTitle(int limit) {
    followLimit_ = qMax(1, limit);
    FollowText();
}

void TMemoEntry::FollowText() {
    if (followLimit_ <= 0) {
        return;
    }
    // The title comes from the text's beginning: a long text is not copied at every keystroke.
    constexpr int kTitleSource = 4096;
    QString start;
    if (built_) {
        const QTextDocument* document = editor_->document();
        const int length = qMin(kTitleSource, document->characterCount() - 1);
        start.reserve(length);
        for (int i = 0; i < length; ++i) {
            start += document->characterAt(i);
        }
    } else {
        start = text_.left(kTitleSource);
    }
    ShowTitle(ArticleText::MakeTitle(start, followLimit_));
}

int TMemoEntry::LineCount() const {
    return ArticleText::LineCount(GetArticleText());
}

void TMemoEntry::SetColor(const QColor& color) {
    color_ = color;
    if (built_) {
        editor_->SetBackground(color);
    }
}

void TMemoEntry::SetDefaultTitle(int limit) {
    SetTitle(ArticleText::MakeTitle(GetArticleText(), limit));
}

void TMemoEntry::SetDefaultTitleFrom(const QString& text, int limit) {
    SetTitle(ArticleText::MakeTitle(text, limit));
}

void TMemoEntry::SetFileEntry(bool fileEntry) {
    fileEntry_ = fileEntry;
    if (built_) {
        UpdateReadOnly();
    }
}

void TMemoEntry::UpdateReadOnly() {
    editor_->setReadOnly(fileEntry_ || editor_->ShownInPieces());
}

void TMemoEntry::FocusProperties() {
    Build();
    panel_->VoicesFresh = false;
    panel_->TitleBox->setFocus();
    panel_->RefreshVoices();
}

void TMemoEntry::FocusEditor() {
    if (built_ && isVisible()) {
        editor_->setFocus();
    }
}

QList<QWidget*> TMemoEntry::FocusOrder() {
    Build();
    QList<QWidget*> order;
    for (QWidget* control :
         {static_cast<QWidget*>(panel_->TitleBox), static_cast<QWidget*>(panel_->VoiceBox),
          static_cast<QWidget*>(panel_->ReadButton),
          static_cast<QWidget*>(panel_->ReadToFileButton),
          static_cast<QWidget*>(panel_->DeleteButton), static_cast<QWidget*>(editor_)}) {
        if (!control->isHidden() && control->isEnabled() &&
            (control->focusPolicy() & Qt::TabFocus)) {
            order << control;
        }
    }
    return order;
}

void TMemoEntry::ApplyMultiArticleLayout() {
    multiLayout_ = true;
    if (built_) {
        panel_->ApplyMultiArticleLayout();
    }
}

void TMemoEntry::SetContextMenu(QMenu* menu) {
    menu_ = menu;
}

bool TMemoEntry::LoadFromFile(const QString& fileName, QString& readError) {
    readError.clear();
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        return false;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        readError = QStringLiteral("Error reading input file");
    }
    // What was read stays, even after an error.
    const QString added = TextFile::splitLines(TextFile::decode(bytes)).join(QLatin1Char('\n'));
    const QString current = GetArticleText();
    SetArticleText(current.isEmpty() ? added : current + QLatin1Char('\n') + added);
    return true;
}
