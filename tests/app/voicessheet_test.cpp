// The Engines / Voices sheet in the main window: the tree of engines grouped by maker with the
// voices' images, enabling and disabling from the button, the menu and a double click, the
// default voice that stays enabled, the search that reaches into closed engines, and the
// window's favourites and stored settings that follow every change.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QContextMenuEvent>
#include <QDesktopServices>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <QUrl>

#include "app/form1.h"
#include "app/optionsarea.h"
#include "app/voicessheet.h"
#include "app/voicetree.h"
#include "speech/voicecatalogue.h"
#include "tests/app/mainwindowstart.h"
#include "tests/common/capturedmessages.h"
#include "tests/common/printers.h"
#include "tests/common/sounddevice.h"
#include "tests/common/testprofile.h"

namespace {

using Image = VoiceChoices::Image;

// Receives the addresses the desktop is asked to open, instead of the desktop.
class OpenedAddresses : public QObject {
    Q_OBJECT
  public Q_SLOTS:
    void open(const QUrl& url) { urls << url; }

  public:
    QList<QUrl> urls;
};

class VoicesSheetTest : public ::testing::Test {
  protected:
    void SetUp() override {
        SKIP_WITHOUT_SOUND_DEVICE();
        testprofile::Reset();
        m_form = StartMainWindow({{QStringLiteral("FirstTimeUser"), QStringLiteral("false")}});
        ASSERT_TRUE(m_form);
        m_sheet = m_form->Options()->findChild<VoicesSheet*>();
        ASSERT_NE(m_sheet, nullptr);
        m_tree = m_sheet->Tree();
        m_form->Options()->ShowSheet(OptionsArea::Sheet::EnginesVoices);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(m_form.get()));
        ASSERT_GT(m_tree->topLevelItemCount(), 0) << "built at the first showing";
        m_default = Prefs().TTS_DefaultVoiceName;
        ASSERT_NE(Catalogue().FindVoice(m_default), nullptr);
    }
    void TearDown() override { m_form.reset(); }

    TPreferences& Prefs() { return m_form->Preferences(); }
    VoiceCatalogue& Catalogue() { return m_form->Driver()->Catalogue; }
    template <typename T>
    T* Control(const char* name) const {
        T* control = m_sheet->findChild<T*>(QString::fromUtf8(name));
        EXPECT_NE(control, nullptr) << name;
        return control;
    }
    QTreeWidgetItem* Node(const QString& name) const {
        const auto found = m_tree->findItems(name, Qt::MatchExactly | Qt::MatchRecursive);
        EXPECT_EQ(found.size(), 1) << name.toStdString();
        return found.value(0);
    }
    static Image ImageOf(const QTreeWidgetItem* node) {
        for (Image image : {Image::Enabled, Image::Disabled, Image::Default}) {
            if (node->icon(0).cacheKey() == VoicesSheet::NodeImage(image).cacheKey()) {
                return image;
            }
        }
        ADD_FAILURE() << "no image of the legend on " << node->text(0).toStdString();
        return Image::Enabled;
    }
    // The first voice of the catalogue whose maker is given, other than the default voice.
    QString VoiceOf(const QString& maker, int skip = 0) {
        for (const auto& voice : Catalogue().voiceList) {
            if (voice->Engine->Maker == maker && voice->Name != m_default && skip-- == 0) {
                return voice->Name;
            }
        }
        ADD_FAILURE() << "no voice of " << maker.toStdString();
        return {};
    }
    QPoint Reveal(QTreeWidgetItem* node) {
        if (node->parent()) {
            node->parent()->setExpanded(true);
        }
        m_tree->scrollToItem(node);
        return m_tree->visualItemRect(node).center();
    }
    void ClickNode(QTreeWidgetItem* node) {
        QTest::mouseClick(m_tree->viewport(), Qt::LeftButton, {}, Reveal(node));
        EXPECT_EQ(m_tree->currentItem(), node);
    }
    // The events of a real double click: press, release, double click, release.
    void DoubleClickNode(QTreeWidgetItem* node) {
        const QPoint at = Reveal(node);
        QTest::mouseClick(m_tree->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(m_tree->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseRelease(m_tree->viewport(), Qt::LeftButton, {}, at);
    }
    // Opens the context menu on the node as a right click does; the menu is left open.
    QMenu* OpenMenu(QTreeWidgetItem* node) {
        const QPoint at = Reveal(node);
        QTest::mousePress(m_tree->viewport(), Qt::RightButton, {}, at);
        EXPECT_EQ(m_tree->currentItem(), node) << "a right click selects";
        QTest::mouseRelease(m_tree->viewport(), Qt::RightButton, {}, at);
        // Where the platform does not open it on the press or release.
        if (!m_sheet->Menu()->isVisible()) {
            QContextMenuEvent event(QContextMenuEvent::Mouse, at,
                                    m_tree->viewport()->mapToGlobal(at));
            QApplication::sendEvent(m_tree->viewport(), &event);
        }
        EXPECT_TRUE(QTest::qWaitFor([&] { return m_sheet->Menu()->isVisible(); }));
        return m_sheet->Menu();
    }
    static QAction* MenuItem(QMenu* menu, const char* name) {
        QAction* item = menu->findChild<QAction*>(QString::fromUtf8(name));
        EXPECT_NE(item, nullptr) << name;
        return item;
    }
    static void ChooseItem(QMenu* menu, QAction* item) {
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(item).center());
        EXPECT_TRUE(QTest::qWaitFor([&] { return !menu->isVisible(); }));
    }
    bool StoredFavourite(const QString& voiceName) {
        return Prefs()
            .GetValue(QStringLiteral("FAV_") + Catalogue().FindVoice(voiceName)->Key)
            .toBool();
    }
    bool StoredEngine(const QString& engineName) {
        return Prefs().GetValue(QStringLiteral("ENG_") + engineName).toBool();
    }
    // Every voice under the engine node has the image.
    static bool AllVoices(const QTreeWidgetItem* engine, Image image) {
        for (int i = 0; i < engine->childCount(); ++i) {
            if (ImageOf(engine->child(i)) != image) {
                return false;
            }
        }
        return engine->childCount() > 0;
    }

    std::unique_ptr<TForm1> m_form;
    VoicesSheet* m_sheet = nullptr;
    VoiceTree* m_tree = nullptr;
    QString m_default;
    CapturedMessages m_messages;
};

}  // namespace

TEST_F(VoicesSheetTest, TheTreeGroupsTheVoicesByMakerWithTheirImagesAndLegend) {
    QStringList roots;
    int voices = 0;
    for (int i = 0; i < m_tree->topLevelItemCount(); ++i) {
        roots << m_tree->topLevelItem(i)->text(0);
        voices += m_tree->topLevelItem(i)->childCount();
        EXPECT_FALSE(m_tree->topLevelItem(i)->isExpanded());
    }
    EXPECT_TRUE(roots.contains(QStringLiteral("eSpeak NG"))) << roots.join(',').toStdString();
    EXPECT_TRUE(roots.contains(QStringLiteral("Flite"))) << roots.join(',').toStdString();
    EXPECT_EQ(voices, int(Catalogue().voiceList.size()));
    // The voices of a maker in the catalogue's order.
    QTreeWidgetItem* espeak = Node(QStringLiteral("eSpeak NG"));
    QStringList expected;
    for (const auto& voice : Catalogue().voiceList) {
        if (voice->Engine->Maker == QStringLiteral("eSpeak NG")) {
            expected << voice->Name;
        }
    }
    QStringList listed;
    for (int i = 0; i < espeak->childCount(); ++i) {
        listed << espeak->child(i)->text(0);
    }
    EXPECT_EQ(listed, expected);
    EXPECT_EQ(ImageOf(Node(m_default)), Image::Default);
    EXPECT_EQ(ImageOf(espeak), Image::Enabled);

    // The first node is selected: an engine, so only the enable button is available.
    EXPECT_EQ(m_tree->currentItem(), m_tree->topLevelItem(0));
    EXPECT_EQ(Control<QPushButton>("EnableBtn")->text(), QStringLiteral("Disable"));
    EXPECT_TRUE(Control<QPushButton>("EnableBtn")->isEnabled());
    for (const char* name : {"SetDfltBtn", "EditBtn", "TestButton"}) {
        EXPECT_FALSE(Control<QPushButton>(name)->isEnabled()) << name;
    }

    QStringList labels;
    for (const QLabel* label : m_sheet->findChildren<QLabel*>()) {
        labels << label->text();
    }
    for (const char* text : {"Favorite Voice/Engine", "Exclude Voice/Engine", "Defalt Voice"}) {
        EXPECT_TRUE(labels.contains(QString::fromUtf8(text))) << text;
    }
    EXPECT_EQ(Control<QPushButton>("MoreVoicesLink")->text(),
              QStringLiteral("Want more voices and Languages?  Click Here"));
    EXPECT_TRUE(m_messages.all.isEmpty()) << m_messages.all.join('\n').toStdString();
}

TEST_F(VoicesSheetTest, EnginesAndVoicesAreEnabledAndDisabledAndStored) {
    QTreeWidgetItem* flite = Node(QStringLiteral("Flite"));
    auto* enable = Control<QPushButton>("EnableBtn");
    const QString first = VoiceOf(QStringLiteral("Flite"));
    const QString second = VoiceOf(QStringLiteral("Flite"), 1);
    ASSERT_TRUE(m_form->FavoriteVoices().contains(first));

    // Disabling the engine disables all its voices.
    ClickNode(flite);
    enable->click();
    EXPECT_EQ(ImageOf(flite), Image::Disabled);
    EXPECT_TRUE(AllVoices(flite, Image::Disabled));
    EXPECT_EQ(enable->text(), QStringLiteral("Enable"));
    for (const QString& name : m_form->FavoriteVoices()) {
        EXPECT_NE(Catalogue().FindVoice(name)->Engine->Maker, QStringLiteral("Flite"));
    }
    EXPECT_FALSE(StoredEngine(QStringLiteral("Flite")));
    EXPECT_FALSE(StoredFavourite(first));

    // Enabling a voice of the disabled engine enables the engine too, not its other voices.
    ClickNode(Node(first));
    EXPECT_EQ(enable->text(), QStringLiteral("Enable"));
    EXPECT_TRUE(Control<QPushButton>("SetDfltBtn")->isEnabled());
    enable->click();
    EXPECT_EQ(ImageOf(Node(first)), Image::Enabled);
    EXPECT_EQ(ImageOf(flite), Image::Enabled);
    EXPECT_EQ(ImageOf(Node(second)), Image::Disabled);
    EXPECT_EQ(enable->text(), QStringLiteral("Disable"));
    EXPECT_TRUE(m_form->FavoriteVoices().contains(first));
    EXPECT_FALSE(m_form->FavoriteVoices().contains(second));
    EXPECT_TRUE(StoredEngine(QStringLiteral("Flite")));
    EXPECT_TRUE(StoredFavourite(first));

    // A double click on a voice switches it.
    DoubleClickNode(Node(second));
    EXPECT_EQ(ImageOf(Node(second)), Image::Enabled);
    EXPECT_TRUE(m_form->FavoriteVoices().contains(second));
    // From the keyboard, Enter and Space do what the double click does.
    ClickNode(Node(second));
    QTest::keyClick(m_tree, Qt::Key_Return);
    EXPECT_EQ(ImageOf(Node(second)), Image::Disabled);
    QTest::keyClick(m_tree, Qt::Key_Space);
    EXPECT_EQ(ImageOf(Node(second)), Image::Enabled);

    // The menu names what its first item does, for a voice and for an engine.
    QMenu* menu = OpenMenu(Node(second));
    QAction* item = MenuItem(menu, "EnableItem");
    EXPECT_EQ(item->text(), QStringLiteral("Disable Voice"));
    EXPECT_TRUE(item->isEnabled());
    EXPECT_TRUE(MenuItem(menu, "SetDfltItem")->isEnabled());
    ChooseItem(menu, item);
    EXPECT_EQ(ImageOf(Node(second)), Image::Disabled);
    EXPECT_FALSE(StoredFavourite(second));
    menu = OpenMenu(Node(second));
    EXPECT_EQ(MenuItem(menu, "EnableItem")->text(), QStringLiteral("Enable Voice"));
    menu->close();

    menu = OpenMenu(flite);
    EXPECT_EQ(MenuItem(menu, "EnableItem")->text(), QStringLiteral("Disable Engine"));
    for (const char* name : {"SetDfltItem", "EditVoiceItem", "TestItem"}) {
        EXPECT_FALSE(MenuItem(menu, name)->isEnabled()) << name;
    }
    ChooseItem(menu, MenuItem(menu, "EnableItem"));
    EXPECT_TRUE(AllVoices(flite, Image::Disabled));
    menu = OpenMenu(flite);
    EXPECT_EQ(MenuItem(menu, "EnableItem")->text(), QStringLiteral("Enable Engine"));
    ChooseItem(menu, MenuItem(menu, "EnableItem"));
    EXPECT_TRUE(AllVoices(flite, Image::Enabled)) << "enabling the engine enables its voices";
    EXPECT_TRUE(m_messages.all.isEmpty()) << m_messages.all.join('\n').toStdString();
}

TEST_F(VoicesSheetTest, TheDefaultVoiceAndItsEngineCannotBeDisabled) {
    QTreeWidgetItem* voice = Node(m_default);
    auto* enable = Control<QPushButton>("EnableBtn");
    ClickNode(voice);
    EXPECT_FALSE(enable->isEnabled()) << "the button";
    EXPECT_EQ(enable->text(), QStringLiteral("Disable"));

    QMenu* menu = OpenMenu(voice);
    EXPECT_EQ(MenuItem(menu, "EnableItem")->text(), QStringLiteral("Disable Voice"));
    EXPECT_FALSE(MenuItem(menu, "EnableItem")->isEnabled()) << "the menu";
    menu->close();

    DoubleClickNode(voice);
    EXPECT_EQ(m_messages.messages, QStringList{m_default + QStringLiteral(" is the default voice")})
        << "the double click";
    EXPECT_EQ(ImageOf(voice), Image::Default);
    EXPECT_TRUE(Catalogue().FindVoice(m_default)->Favourite);

    // Its engine is refused, from the button and from the menu.
    const QString refusal =
        QStringLiteral("This engine cannot be disabled because it contains the default voice, [") +
        m_default + QStringLiteral("]");
    m_messages.clear();
    ClickNode(voice->parent());
    enable->click();
    menu = OpenMenu(voice->parent());
    ChooseItem(menu, MenuItem(menu, "EnableItem"));
    EXPECT_EQ(m_messages.messages, (QStringList{refusal, refusal}));
    EXPECT_EQ(ImageOf(voice->parent()), Image::Enabled);
    EXPECT_TRUE(Catalogue().FindVoice(m_default)->Engine->Enabled);
    EXPECT_TRUE(m_form->FavoriteVoices().contains(m_default));
}

TEST_F(VoicesSheetTest, AVoiceOfADisabledEngineMadeDefaultEnablesBoth) {
    QTreeWidgetItem* flite = Node(QStringLiteral("Flite"));
    ClickNode(flite);
    Control<QPushButton>("EnableBtn")->click();
    ASSERT_EQ(ImageOf(flite), Image::Disabled);

    const QString chosen = VoiceOf(QStringLiteral("Flite"), 1);
    ClickNode(Node(chosen));
    Control<QPushButton>("SetDfltBtn")->click();
    EXPECT_EQ(Prefs().TTS_DefaultVoiceName, chosen);
    EXPECT_EQ(ImageOf(Node(chosen)), Image::Default);
    EXPECT_EQ(ImageOf(flite), Image::Enabled);
    EXPECT_EQ(ImageOf(Node(m_default)), Image::Enabled) << "the former default";
    EXPECT_FALSE(Control<QPushButton>("EnableBtn")->isEnabled());
    EXPECT_TRUE(m_form->FavoriteVoices().contains(chosen));
    EXPECT_TRUE(StoredFavourite(chosen));
    EXPECT_TRUE(StoredEngine(QStringLiteral("Flite")));

    // From the menu, back to the former default; the Flite engine may then be disabled.
    QMenu* menu = OpenMenu(Node(m_default));
    ChooseItem(menu, MenuItem(menu, "SetDfltItem"));
    EXPECT_EQ(Prefs().TTS_DefaultVoiceName, m_default);
    EXPECT_EQ(ImageOf(Node(chosen)), Image::Enabled);
    ClickNode(flite);
    Control<QPushButton>("EnableBtn")->click();
    EXPECT_EQ(ImageOf(flite), Image::Disabled);
    EXPECT_TRUE(m_messages.all.isEmpty()) << m_messages.all.join('\n').toStdString();
}

TEST_F(VoicesSheetTest, LaterShowingsDrawChangesMadeElsewhere) {
    const QString voice = VoiceOf(QStringLiteral("eSpeak NG"));
    const QString other = VoiceOf(QStringLiteral("Flite"));
    m_form->Options()->ShowSheet(OptionsArea::Sheet::Clipboard);
    ASSERT_FALSE(m_sheet->isVisible());
    // As the Misc sheet's default voice and a stored setting would change them.
    Catalogue().FindVoice(voice)->Favourite = false;
    Prefs().TTS_DefaultVoiceName = other;
    m_form->Options()->ShowSheet(OptionsArea::Sheet::EnginesVoices);
    EXPECT_EQ(ImageOf(Node(voice)), Image::Disabled);
    EXPECT_EQ(ImageOf(Node(other)), Image::Default);
    EXPECT_EQ(ImageOf(Node(m_default)), Image::Enabled);
}

TEST_F(VoicesSheetTest, AVoiceIsFoundInsideAClosedEngine) {
    const QString wanted = VoiceOf(QStringLiteral("Flite"), 2);
    const QString lastWord = wanted.section(QLatin1Char(' '), -1);
    QTreeWidgetItem* node = Node(wanted);
    ASSERT_FALSE(node->parent()->isExpanded());

    auto* find = Control<QLineEdit>("FindVoiceEdit");
    QTest::keyClicks(find, lastWord);
    EXPECT_EQ(m_tree->currentItem(), node);
    EXPECT_TRUE(node->parent()->isExpanded());
    EXPECT_TRUE(m_tree->viewport()->rect().intersects(m_tree->visualItemRect(node)));

    // The tree's own typing, from the top with every engine closed.
    m_tree->collapseAll();
    m_tree->setCurrentItem(m_tree->topLevelItem(0));
    m_tree->setFocus();
    QTest::keyClicks(m_tree, lastWord);
    EXPECT_EQ(m_tree->currentItem(), node);
    EXPECT_TRUE(node->parent()->isExpanded());
    EXPECT_TRUE(Control<QPushButton>("TestButton")->isEnabled()) << "the buttons follow";
}

TEST_F(VoicesSheetTest, TestAndEditAreTheWindowsForTheSelectedVoice) {
    const QString voice = VoiceOf(QStringLiteral("eSpeak NG"));
    QSignalSpy tests(m_sheet, &VoicesSheet::testVoiceRequested);
    QSignalSpy edits(m_sheet, &VoicesSheet::editVoiceRequested);
    ClickNode(Node(voice));
    Control<QPushButton>("TestButton")->click();
    ASSERT_EQ(tests.size(), 1);
    EXPECT_EQ(tests.at(0).at(0).toString(), voice);
    EXPECT_EQ(m_form->StatusPanelText(0), QStringLiteral("Reading Test Message"));

    // The voice edit dialog opens for the voice; it is closed again at once.
    bool opened = false;
    QTimer::singleShot(0, [&] {
        if (QWidget* dialog = QApplication::activeModalWidget()) {
            opened = true;
            dialog->close();
        }
    });
    Control<QPushButton>("EditBtn")->click();
    ASSERT_EQ(edits.size(), 1);
    EXPECT_EQ(edits.at(0).at(0).toString(), voice);
    EXPECT_TRUE(opened);
}

TEST_F(VoicesSheetTest, ClickHereOpensTheReadmeOnVoices) {
    OpenedAddresses opened;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &opened, "open");
    Control<QPushButton>("MoreVoicesLink")->click();
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    ASSERT_EQ(opened.urls.size(), 1);
    const QFileInfo readme(opened.urls.at(0).toLocalFile());
    EXPECT_EQ(readme.fileName(), QStringLiteral("README.md"));
    EXPECT_TRUE(readme.isFile());
    EXPECT_TRUE(m_messages.all.isEmpty()) << m_messages.all.join('\n').toStdString();
}

TEST_F(VoicesSheetTest, TabReachesEveryControlWhichSaysWhatItIs) {
    auto* find = Control<QLineEdit>("FindVoiceEdit");
    ClickNode(Node(VoiceOf(QStringLiteral("Flite"))));  // every button enabled
    QStringList reached;
    QWidget* control = find;
    for (int step = 0; step < 7; ++step) {
        reached << control->objectName();
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(control);
        ASSERT_NE(accessible, nullptr);
        EXPECT_FALSE(accessible->text(QAccessible::Name).isEmpty())
            << control->objectName().toStdString();
        do {
            control = control->nextInFocusChain();
        } while (!(control->focusPolicy() & Qt::TabFocus) || !control->isEnabled() ||
                 !control->isVisible() || !m_sheet->isAncestorOf(control));
    }
    EXPECT_EQ(reached, (QStringList{"FindVoiceEdit", "EngineVoicesTV", "EnableBtn", "SetDfltBtn",
                                    "EditBtn", "TestButton", "MoreVoicesLink"}));
}

#include "voicessheet_test.moc"
