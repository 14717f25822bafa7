#include "app/voicessheet.h"

#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/appicons.h"
#include "app/links.h"
#include "app/voicetree.h"
#include "platform/shell/programfolders.h"
#include "platform/shell/shellopen.h"
#include "platform/shell/usermessage.h"
#include "speech/voicecatalogue.h"

namespace {

// The kinds of node of the tree; each carries its catalogue entry in kEntryRole.
constexpr int kEngineNode = QTreeWidgetItem::UserType;
constexpr int kVoiceNode = QTreeWidgetItem::UserType + 1;
constexpr int kEntryRole = Qt::UserRole;

template <typename Entry>
Entry* EntryOf(const QTreeWidgetItem* node, int kind) {
    if (!node || node->type() != kind) {
        return nullptr;
    }
    return reinterpret_cast<Entry*>(node->data(0, kEntryRole).value<quintptr>());
}

QPushButton* Button(const QString& text, const char* name, QWidget* parent) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QString::fromLatin1(name));
    return button;
}

QAction* MenuItem(QMenu* menu, const QString& text, const char* name) {
    QAction* item = menu->addAction(text);
    item->setObjectName(QString::fromLatin1(name));
    return item;
}

}  // namespace

VoicesSheet::VoicesSheet(VoiceCatalogue& catalogue, TPreferences& prefs, QWidget* parent)
    : QWidget(parent), m_catalogue(catalogue), m_prefs(prefs), m_choices(catalogue, prefs) {
    setObjectName(QStringLiteral("EngineVoicesTab"));
    const int imageSize = fontMetrics().height();

    EngineVoicesTV = new VoiceTree(this);
    EngineVoicesTV->setObjectName(QStringLiteral("EngineVoicesTV"));
    EngineVoicesTV->setAccessibleName(QStringLiteral("Engines and voices"));
    EngineVoicesTV->setHeaderHidden(true);
    EngineVoicesTV->setEditTriggers(QAbstractItemView::NoEditTriggers);
    EngineVoicesTV->setSelectionMode(QAbstractItemView::SingleSelection);
    EngineVoicesTV->setUniformRowHeights(true);
    EngineVoicesTV->setIconSize(QSize(imageSize, imageSize));
    EngineVoicesTV->setContextMenuPolicy(Qt::CustomContextMenu);

    m_findEdit = new QLineEdit(this);
    m_findEdit->setObjectName(QStringLiteral("FindVoiceEdit"));
    m_findEdit->setClearButtonEnabled(true);
    m_findEdit->setPlaceholderText(QStringLiteral("name or language"));
    auto* findLabel = new QLabel(QStringLiteral("Find voice:"), this);
    findLabel->setBuddy(m_findEdit);

    EnableBtn = Button(QStringLiteral("Enable"), "EnableBtn", this);
    SetDfltBtn = Button(QStringLiteral("Set Default"), "SetDfltBtn", this);
    EditBtn = Button(QStringLiteral("Edit"), "EditBtn", this);
    TestButton = Button(QStringLiteral("Test"), "TestButton", this);

    PopupMenu3 = new QMenu(this);
    PopupMenu3->setObjectName(QStringLiteral("PopupMenu3"));
    EnableItem = MenuItem(PopupMenu3, QStringLiteral("Enable Engine"), "EnableItem");
    SetDfltItem = MenuItem(PopupMenu3, QStringLiteral("Set Voice as Default"), "SetDfltItem");
    EditVoiceItem = MenuItem(PopupMenu3, QStringLiteral("Edit Voice"), "EditVoiceItem");
    TestItem = MenuItem(PopupMenu3, QStringLiteral("Test"), "TestItem");

    // The legend of the tree's images, and where to learn about more voices.
    auto* legend = new QHBoxLayout;
    const std::pair<VoiceChoices::Image, QString> meanings[] = {
        {VoiceChoices::Image::Enabled, QStringLiteral("Favorite Voice/Engine")},
        {VoiceChoices::Image::Disabled, QStringLiteral("Exclude Voice/Engine")},
        {VoiceChoices::Image::Default, QStringLiteral("Defalt Voice")}};
    for (const auto& [image, text] : meanings) {
        auto* picture = new QLabel(this);
        picture->setPixmap(NodeImage(image).pixmap(imageSize, imageSize));
        legend->addWidget(picture);
        legend->addSpacing(imageSize / 5);
        legend->addWidget(new QLabel(text, this));
        legend->addSpacing(imageSize);
    }
    legend->addStretch();
    m_moreVoices = Button(QStringLiteral("Want more voices and Languages?  Click Here"),
                          "MoreVoicesLink", this);
    m_moreVoices->setFlat(true);
    m_moreVoices->setCursor(Qt::PointingHandCursor);
    m_moreVoices->setStyleSheet(QStringLiteral(
        "QPushButton { color: palette(link); text-decoration: underline; border: none;"
        " padding: 0px; text-align: left; }"
        "QPushButton:focus { outline: 1px dotted palette(text); }"));

    auto* find = new QHBoxLayout;
    find->addWidget(findLabel);
    find->addWidget(m_findEdit, 1);
    auto* buttons = new QVBoxLayout;
    for (QPushButton* button : {EnableBtn, SetDfltBtn, EditBtn, TestButton}) {
        buttons->addWidget(button);
    }
    buttons->addStretch();
    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(6, 6, 6, 4);
    layout->setVerticalSpacing(4);
    layout->addLayout(find, 0, 0);
    layout->addWidget(EngineVoicesTV, 1, 0);
    layout->addLayout(buttons, 0, 1, 2, 1);
    layout->addLayout(legend, 2, 0, 1, 2);
    layout->addWidget(m_moreVoices, 3, 0, 1, 2, Qt::AlignLeft);
    layout->setRowStretch(1, 1);
    layout->setColumnStretch(0, 1);

    // Tab goes from the find field to the tree it searches, then the buttons that act on it.
    QWidget* order[] = {m_findEdit, EngineVoicesTV, EnableBtn,   SetDfltBtn,
                        EditBtn,    TestButton,     m_moreVoices};
    for (size_t i = 1; i < std::size(order); ++i) {
        setTabOrder(order[i - 1], order[i]);
    }

    connect(EngineVoicesTV, &QTreeWidget::currentItemChanged, this, &VoicesSheet::SelectionChanged);
    connect(EngineVoicesTV, &QTreeWidget::itemDoubleClicked, this,
            &VoicesSheet::EngineVoicesTVDblClick);
    connect(EngineVoicesTV, &VoiceTree::nodeActivatedByKey, this,
            &VoicesSheet::EngineVoicesTVDblClick);
    connect(EngineVoicesTV, &QWidget::customContextMenuRequested, this,
            &VoicesSheet::ShowPopupMenu);
    connect(PopupMenu3, &QMenu::aboutToShow, this, &VoicesSheet::PopupMenu3Popup);
    connect(EnableBtn, &QPushButton::clicked, this, &VoicesSheet::EnableItemClick);
    connect(EnableItem, &QAction::triggered, this, &VoicesSheet::EnableItemClick);
    connect(SetDfltBtn, &QPushButton::clicked, this, &VoicesSheet::SetDfltItemClick);
    connect(SetDfltItem, &QAction::triggered, this, &VoicesSheet::SetDfltItemClick);
    connect(EditBtn, &QPushButton::clicked, this, &VoicesSheet::EditVoiceItemClick);
    connect(EditVoiceItem, &QAction::triggered, this, &VoicesSheet::EditVoiceItemClick);
    connect(TestButton, &QPushButton::clicked, this, &VoicesSheet::TestButtonClick);
    connect(TestItem, &QAction::triggered, this, &VoicesSheet::TestButtonClick);
    connect(m_findEdit, &QLineEdit::textEdited, this, &VoicesSheet::FindVoiceEdited);
    connect(m_findEdit, &QLineEdit::returnPressed, this, &VoicesSheet::FindNextVoice);
    connect(m_moreVoices, &QPushButton::clicked, this, &VoicesSheet::MoreVoicesClick);
    SelectionChanged();
}

QIcon VoicesSheet::NodeImage(VoiceChoices::Image image) {
    switch (image) {
        case VoiceChoices::Image::Enabled:
            return AppIcons::icon(QStringLiteral("voice-enabled"));
        case VoiceChoices::Image::Disabled:
            return AppIcons::icon(QStringLiteral("voice-disabled"));
        case VoiceChoices::Image::Default:
            break;
    }
    return AppIcons::icon(QStringLiteral("voice-default"));
}

void VoicesSheet::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    EngineVoicesTabShow();
}

void VoicesSheet::EngineVoicesTabShow() {
    if (m_built) {
        RefreshImages();
    } else if (!m_catalogue.voiceList.empty()) {
        BuildTree();
    }
}

void VoicesSheet::BuildTree() {
    EngineVoicesTV->clear();
    for (const VoiceChoices::Group& group : m_choices.groups()) {
        auto* engineNode = new QTreeWidgetItem(EngineVoicesTV, kEngineNode);
        engineNode->setText(0, m_choices.groupName(*group.engine));
        engineNode->setData(0, kEntryRole, QVariant::fromValue(quintptr(group.engine)));
        for (TVoiceEntry* voice : group.voices) {
            auto* voiceNode = new QTreeWidgetItem(engineNode, kVoiceNode);
            voiceNode->setText(0, voice->Name);
            voiceNode->setData(0, kEntryRole, QVariant::fromValue(quintptr(voice)));
        }
    }
    RefreshImages();
    EngineVoicesTV->setCurrentItem(EngineVoicesTV->topLevelItem(0));
    m_built = true;
    SelectionChanged();
}

void VoicesSheet::RefreshImages() {
    for (int i = 0; i < EngineVoicesTV->topLevelItemCount(); ++i) {
        QTreeWidgetItem* engineNode = EngineVoicesTV->topLevelItem(i);
        engineNode->setIcon(
            0, NodeImage(m_choices.engineImage(*EntryOf<TEngineEntry>(engineNode, kEngineNode))));
        for (int j = 0; j < engineNode->childCount(); ++j) {
            QTreeWidgetItem* voiceNode = engineNode->child(j);
            voiceNode->setIcon(
                0, NodeImage(m_choices.voiceImage(*EntryOf<TVoiceEntry>(voiceNode, kVoiceNode))));
        }
    }
    SelectionChanged();
}

TVoiceEntry* VoicesSheet::SelectedVoice() const {
    return EntryOf<TVoiceEntry>(EngineVoicesTV->currentItem(), kVoiceNode);
}

TEngineEntry* VoicesSheet::SelectedEngine() const {
    return EntryOf<TEngineEntry>(EngineVoicesTV->currentItem(), kEngineNode);
}

void VoicesSheet::SelectionChanged() {
    const TVoiceEntry* voice = SelectedVoice();
    const TEngineEntry* engine = SelectedEngine();
    VoiceChoices::Image image = VoiceChoices::Image::Enabled;
    if (voice) {
        image = m_choices.voiceImage(*voice);
    } else if (engine) {
        image = m_choices.engineImage(*engine);
    }
    EnableBtn->setText(image == VoiceChoices::Image::Disabled ? QStringLiteral("Enable")
                                                              : QStringLiteral("Disable"));
    EnableBtn->setEnabled((voice || engine) && image != VoiceChoices::Image::Default);
    for (QPushButton* button : {SetDfltBtn, EditBtn, TestButton}) {
        button->setEnabled(voice != nullptr);
    }
}

void VoicesSheet::ShowPopupMenu(const QPoint& position) {
    QTreeWidgetItem* node = EngineVoicesTV->currentItem();
    if (!node) {
        return;
    }
    // Opened from the keyboard, or away from the selected node: beside the node it acts on.
    const QPoint at = EngineVoicesTV->itemAt(position) == node
                          ? position
                          : EngineVoicesTV->visualItemRect(node).center();
    PopupMenu3->popup(EngineVoicesTV->viewport()->mapToGlobal(at));
}

void VoicesSheet::PopupMenu3Popup() {
    const TVoiceEntry* voice = SelectedVoice();
    const TEngineEntry* engine = SelectedEngine();
    EnableItem->setEnabled(voice || engine);
    if (voice) {
        EnableItem->setText(voice->Favourite ? QStringLiteral("Disable Voice")
                                             : QStringLiteral("Enable Voice"));
        EnableItem->setEnabled(!m_choices.isDefault(*voice));
    } else if (engine) {
        EnableItem->setText(engine->Enabled ? QStringLiteral("Disable Engine")
                                            : QStringLiteral("Enable Engine"));
    }
    for (QAction* item : {SetDfltItem, EditVoiceItem, TestItem}) {
        item->setEnabled(voice != nullptr);
    }
}

void VoicesSheet::EnableItemClick() {
    if (TVoiceEntry* voice = SelectedVoice()) {
        if (!m_choices.toggleVoice(*voice)) {
            return;
        }
    } else if (const TEngineEntry* engine = SelectedEngine()) {
        const Outcome toggled = m_choices.toggleEngine(*engine);
        if (!toggled) {
            UserMessage::show(toggled.message());
            return;
        }
    } else {
        return;
    }
    RefreshImages();
    Q_EMIT voicesChanged();
}

void VoicesSheet::EngineVoicesTVDblClick(QTreeWidgetItem* node) {
    // An engine node only opens or closes, which the tree does itself.
    const TVoiceEntry* voice = EntryOf<TVoiceEntry>(node, kVoiceNode);
    if (!voice) {
        return;
    }
    EngineVoicesTV->setCurrentItem(node);
    if (m_choices.isDefault(*voice)) {
        UserMessage::show(VoiceChoices::defaultVoiceText(voice->Name));
        return;
    }
    EnableItemClick();
}

void VoicesSheet::SetDfltItemClick() {
    TVoiceEntry* voice = SelectedVoice();
    if (!voice || !m_choices.setDefault(*voice)) {
        return;
    }
    RefreshImages();
    Q_EMIT voicesChanged();
}

void VoicesSheet::EditVoiceItemClick() {
    if (const TVoiceEntry* voice = SelectedVoice()) {
        Q_EMIT editVoiceRequested(voice->Name);
    }
}

void VoicesSheet::TestButtonClick() {
    if (const TVoiceEntry* voice = SelectedVoice()) {
        Q_EMIT testVoiceRequested(voice->Name);
    }
}

void VoicesSheet::FindVoiceEdited(const QString& text) {
    if (!text.isEmpty()) {
        EngineVoicesTV->findNode(text);
    }
}

void VoicesSheet::FindNextVoice() {
    if (!m_findEdit->text().isEmpty()) {
        EngineVoicesTV->findNode(m_findEdit->text(), EngineVoicesTV->currentItem());
    }
}

void VoicesSheet::MoreVoicesClick() {
    Links::open(Links::Page::Voices);  // says what went wrong, naming the page
}
