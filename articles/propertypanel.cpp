#include "articles/propertypanel.h"

#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyleOptionComboBox>
#include <QStylePainter>
#include <QToolTip>

#include "articles/articletext.h"
#include "speech/voicesource.h"

namespace {

// Where the voice label stood in each mode: the title box keeps short of it.
constexpr int kSingleVoiceLabelLeft = 250;
constexpr int kMultiVoiceLabelLeft = 180;
constexpr int kMinimumTitleWidth = 90;
constexpr int kTitleStretch = 100;

// Why a typed character did not go into the title: a title names the article's file.
const QString kTitleCharacters = QStringLiteral(
    "A title holds letters, digits and _ only: it names the article's file. A space becomes _ in "
    "a title made from the text.");
// Characters the voice box always shows, however narrow the panel.
constexpr int kMinimumVoiceCharacters = 12;
constexpr int kBoxHeight = 21;
constexpr int kButtonHeight = 23;
constexpr int kButtonPadding = 12;

// The voice box: asks for fresh voices each time its list opens, is as wide as its longest
// voice name when there is room, and otherwise elides the name in the middle and shows it
// whole as its tooltip.
class VoiceComboBox : public QComboBox {
  public:
    VoiceComboBox(QWidget* parent, std::function<void()> beforePopup)
        : QComboBox(parent), beforePopup_(std::move(beforePopup)) {
        setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        setMinimumContentsLength(kMinimumVoiceCharacters);
        for (auto signal : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved}) {
            connect(model(), signal, this, [this] { updateGeometry(); });
        }
        connect(this, &QComboBox::currentTextChanged, this, [this] { UpdateToolTip(); });
    }

    void showPopup() override {
        beforePopup_();
        QComboBox::showPopup();
    }

    // The minimum contents length, widened to the longest name offered.
    QSize sizeHint() const override {
        QSize hint = QComboBox::sizeHint();
        const QFontMetrics metrics = fontMetrics();
        int longest = 0;
        for (int i = 0; i < count(); ++i) {
            longest = qMax(longest, metrics.horizontalAdvance(itemText(i)));
        }
        const int minimum = metrics.horizontalAdvance(QLatin1Char('x')) * minimumContentsLength();
        hint.rwidth() += qMax(0, longest - minimum);
        return hint;
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QStylePainter painter(this);
        painter.setPen(palette().color(QPalette::Text));
        QStyleOptionComboBox option;
        initStyleOption(&option);
        painter.drawComplexControl(QStyle::CC_ComboBox, option);
        option.currentText = ShownText();
        painter.drawControl(QStyle::CE_ComboBoxLabel, option);
    }

    void resizeEvent(QResizeEvent* event) override {
        QComboBox::resizeEvent(event);
        UpdateToolTip();
    }

  private:
    QString ShownText() const {
        QStyleOptionComboBox option;
        initStyleOption(&option);
        // The label is drawn one pixel in from each side of the text field.
        const int room =
            style()
                ->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this)
                .width() -
            2;
        return fontMetrics().elidedText(currentText(), Qt::ElideMiddle, room);
    }

    void UpdateToolTip() { setToolTip(ShownText() == currentText() ? QString() : currentText()); }

    std::function<void()> beforePopup_;
};

QLabel* BoldLabel(const QString& text, QWidget* buddy, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    label->setBuddy(buddy);
    return label;
}

QPushButton* Button(const QString& text, const QString& hint, QWidget* parent) {
    auto* button = new QPushButton(text, parent);
    button->setToolTip(hint);
    button->setFixedHeight(kButtonHeight);
    // As wide as the caption needs, not the style's wider minimum: the strip has little room.
    button->ensurePolished();
    const int captionWidth = button->fontMetrics().horizontalAdvance(text) + 2 * kButtonPadding;
    button->setFixedWidth(qMin(button->sizeHint().width(), captionWidth));
    button->hide();
    return button;
}

}  // namespace

TPropertyPanel::TPropertyPanel(const VoiceSource* voices, QWidget* parent)
    : QFrame(parent), voices_(voices) {
    setFixedHeight(kHeight);
    TitleBox = new QLineEdit(this);
    TitleBox->setAccessibleName(QStringLiteral("Title"));
    TitleBox->setFixedHeight(kBoxHeight);
    TitleBox->setMinimumWidth(kMinimumTitleWidth);
    TitleLabel = BoldLabel(QStringLiteral("Title: "), TitleBox, this);
    VoiceBox = new VoiceComboBox(this, [this] { RefreshVoices(); });
    VoiceBox->setAccessibleName(QStringLiteral("Voice"));
    VoiceBox->setEditable(false);
    VoiceBox->setFixedHeight(kBoxHeight);
    VoiceLabel = BoldLabel(QStringLiteral("Voice: "), VoiceBox, this);
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
        for (const VoiceChoice& voice : voices_->voices()) {
            if (voice.favourite) {
                VoiceBox->addItem(voice.name);
            }
        }
    }
    VoiceBox->setCurrentIndex(-1);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(5, 0, 5, 0);
    layout->setSpacing(0);
    layout->addWidget(TitleLabel);
    // Room to spare goes to the title box first, up to its width, then after the buttons.
    layout->addWidget(TitleBox, kTitleStretch);
    layout->addSpacing(10);
    layout->addWidget(VoiceLabel);
    layout->addWidget(VoiceBox);
    layout->addSpacing(15);
    for (QPushButton* button : {ReadButton, ReadToFileButton, DeleteButton}) {
        layout->addWidget(button);
        layout->addSpacing(2);
    }
    layout->addStretch(1);
    SetTitleBoxWidth(kSingleVoiceLabelLeft);
}

void TPropertyPanel::SetTitleBoxWidth(int voiceLabelLeft) {
    TitleLabel->ensurePolished();
    TitleBox->setMaximumWidth(
        qMax(kMinimumTitleWidth, voiceLabelLeft - TitleLabel->sizeHint().width() - 15));
}

void TPropertyPanel::ApplyMultiArticleLayout() {
    SetTitleBoxWidth(kMultiVoiceLabelLeft);
    for (QPushButton* button : {ReadButton, ReadToFileButton, DeleteButton}) {
        button->show();
    }
}

QString TPropertyPanel::Title() const {
    return TitleBox->text();
}
void TPropertyPanel::SetTitle(const QString& title) {
    TitleBox->setText(title);
    TitleBox->setCursorPosition(0);  // a long title shows its beginning
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
    QString text = TitleBox->text();
    if (caret <= 0) {
        return;
    }
    // A character outside the basic plane is a pair of units: both are looked at, and go.
    const bool pair =
        caret > 1 && text[caret - 1].isLowSurrogate() && text[caret - 2].isHighSurrogate();
    const int width = pair ? 2 : 1;
    const char32_t c =
        pair ? QChar::surrogateToUcs4(text[caret - 2], text[caret - 1]) : text[caret - 1].unicode();
    if (!ArticleText::IsTitleChar(c)) {
        text.remove(caret - width, width);
        TitleBox->setText(text);
        TitleBox->setCursorPosition(caret - width);
        QApplication::beep();
        QToolTip::showText(TitleBox->mapToGlobal(QPoint(0, TitleBox->height())), kTitleCharacters,
                           TitleBox);
    }
}

void TPropertyPanel::RefreshVoices() {
    if (VoicesFresh || !voices_) {
        return;
    }
    const QString current = VoiceBox->currentText();
    VoiceBox->clear();
    int chosen = -1;
    for (const VoiceChoice& voice : voices_->voices()) {
        const bool offered = voice.favourite && voice.engineEnabled;
        if (offered || voice.name == current) {
            if (voice.name == current) {
                chosen = VoiceBox->count();
            }
            VoiceBox->addItem(voice.name);
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
