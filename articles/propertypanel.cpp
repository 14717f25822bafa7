#include "articles/propertypanel.h"

#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "articles/articletext.h"
#include "speech/voicesource.h"

namespace {

// The voice box asks for fresh voices each time its list opens.
class VoiceComboBox : public QComboBox {
  public:
    VoiceComboBox(QWidget* parent, std::function<void()> beforePopup)
        : QComboBox(parent), beforePopup_(std::move(beforePopup)) {}
    void showPopup() override {
        beforePopup_();
        QComboBox::showPopup();
    }

  private:
    std::function<void()> beforePopup_;
};

QLabel* BoldLabel(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    label->adjustSize();
    return label;
}

QPushButton* Button(const QString& text, const QString& hint, QWidget* parent) {
    auto* button = new QPushButton(text, parent);
    button->setToolTip(hint);
    button->setFixedHeight(23);
    button->adjustSize();
    button->hide();
    return button;
}

}  // namespace

TPropertyPanel::TPropertyPanel(const TVoiceSource* voices, QWidget* parent)
    : QFrame(parent), voices_(voices) {
    setFixedHeight(kHeight);
    TitleLabel = BoldLabel(QStringLiteral("Title: "), this);
    TitleBox = new QLineEdit(this);
    VoiceLabel = BoldLabel(QStringLiteral("Voice: "), this);
    VoiceBox = new VoiceComboBox(this, [this] { RefreshVoices(); });
    VoiceBox->setEditable(false);
    VoiceBox->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    VoiceBox->setMinimumContentsLength(18);
    ReadButton = Button(QStringLiteral("Read"), QStringLiteral("Read selected article"), this);
    ReadToFileButton = Button(QStringLiteral("Read to File"),
                              QStringLiteral("Read selected article to file"), this);
    DeleteButton =
        Button(QStringLiteral("Delete"), QStringLiteral("Delete selected article"), this);
    connect(ReadButton, &QPushButton::clicked, this, &TPropertyPanel::readClicked);
    connect(ReadToFileButton, &QPushButton::clicked, this, &TPropertyPanel::readToFileClicked);
    connect(DeleteButton, &QPushButton::clicked, this, &TPropertyPanel::deleteClicked);
    connect(TitleBox, &QLineEdit::textEdited, this, &TPropertyPanel::TitleEdited);
    for (QWidget* clickable : {static_cast<QWidget*>(TitleLabel), static_cast<QWidget*>(VoiceLabel),
                               static_cast<QWidget*>(TitleBox), static_cast<QWidget*>(VoiceBox)}) {
        clickable->installEventFilter(this);
    }
    if (voices_) {
        for (const VoiceChoice& voice : voices_->Voices()) {
            if (voice.Favourite) {
                VoiceBox->addItem(voice.Name);
            }
        }
    }
    VoiceBox->setCurrentIndex(-1);
    LayOut(250);
}

void TPropertyPanel::LayOut(int voiceLabelLeft) {
    TitleLabel->move(5, 5);
    TitleBox->setGeometry(TitleLabel->width() + 5, 2,
                          qMax(60, voiceLabelLeft - TitleLabel->width() - 15), 21);
    VoiceLabel->move(voiceLabelLeft, 5);
    VoiceBox->setGeometry(voiceLabelLeft + VoiceLabel->width(), 2, VoiceBox->sizeHint().width(),
                          21);
    int left = VoiceBox->geometry().right() + 1 + 15;
    for (QPushButton* button : {ReadButton, ReadToFileButton, DeleteButton}) {
        button->move(left, 2);
        left += button->width() + 2;
    }
}

void TPropertyPanel::ApplyMultiArticleLayout() {
    LayOut(180);
    for (QPushButton* button : {ReadButton, ReadToFileButton, DeleteButton}) {
        button->show();
    }
}

QString TPropertyPanel::Title() const {
    return TitleBox->text();
}
void TPropertyPanel::SetTitle(const QString& title) {
    TitleBox->setText(title);
}
QString TPropertyPanel::Voice() const {
    return VoiceBox->currentText();
}
void TPropertyPanel::SelectVoice(const QString& name) {
    VoiceBox->setCurrentIndex(VoiceBox->findText(name, Qt::MatchExactly | Qt::MatchCaseSensitive));
}

void TPropertyPanel::TitleEdited() {
    if (!TitleBox->hasFocus() || TitleBox->text().isEmpty()) {
        return;
    }
    const int caret = TitleBox->cursorPosition();
    if (caret > 0 && !ArticleText::IsTitleChar(TitleBox->text().at(caret - 1))) {
        QString text = TitleBox->text();
        text.remove(caret - 1, 1);
        TitleBox->setText(text);
        TitleBox->setCursorPosition(caret - 1);
        QApplication::beep();
    }
}

void TPropertyPanel::RefreshVoices() {
    if (VoicesFresh || !voices_) {
        return;
    }
    const QString current = VoiceBox->currentText();
    VoiceBox->clear();
    int chosen = -1;
    for (const VoiceChoice& voice : voices_->Voices()) {
        const bool offered = voice.Favourite && voice.EngineEnabled;
        if (offered || voice.Name == current) {
            if (voice.Name == current) {
                chosen = VoiceBox->count();
            }
            VoiceBox->addItem(voice.Name);
        }
    }
    VoiceBox->setCurrentIndex(chosen >= 0 ? chosen : (VoiceBox->count() ? 0 : -1));
    VoicesFresh = true;
}

void TPropertyPanel::mousePressEvent(QMouseEvent* event) {
    RefreshVoices();
    QFrame::mousePressEvent(event);
}

bool TPropertyPanel::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress) {
        RefreshVoices();
    } else if (event->type() == QEvent::FocusOut && (watched == TitleBox || watched == VoiceBox)) {
        VoicesFresh = false;
    }
    return QFrame::eventFilter(watched, event);
}
