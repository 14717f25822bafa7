// The Audio Help menu, the Help menu's links, Tell a Friend, the about box and the no-engine
// dialog, in the main window. Addresses the desktop is asked to open are received by the test.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTextDocumentFragment>
#include <QTimer>
#include <QUrl>
#include <QUrlQuery>

#include "app/aboutform.h"
#include "app/audiohelp.h"
#include "app/enginewarningform.h"
#include "app/form1.h"
#include "app/links.h"
#include "app/readingsession.h"
#include "platform/about/programversion.h"
#include "speech/languagetables.h"
#include "speech/voicecatalogue.h"
#include "tests/app/mainwindowstart.h"
#include "tests/common/capturedmessages.h"
#include "tests/common/printers.h"
#include "tests/common/sounddevice.h"
#include "tests/common/testprofile.h"

namespace {

constexpr int kTimeoutMs = 60000;

// Receives the addresses the desktop is asked to open, instead of the desktop.
class OpenedAddresses : public QObject {
    Q_OBJECT
  public:
    OpenedAddresses() {
        for (const char* scheme : {"file", "mailto", "https", "http"}) {
            QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), this, "open");
        }
    }
    ~OpenedAddresses() override {
        for (const char* scheme : {"file", "mailto", "https", "http"}) {
            QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
        }
    }
    // The one address asked for since the last call.
    QUrl take() {
        EXPECT_EQ(urls.size(), 1);
        const QUrl url = urls.value(0);
        urls.clear();
        return url;
    }

  public Q_SLOTS:
    void open(const QUrl& url) { urls << url; }

  public:
    QList<QUrl> urls;
};

class HelpTest : public ::testing::Test {
  protected:
    void SetUp() override {
        SKIP_WITHOUT_SOUND_DEVICE();
        testprofile::Reset();
        m_form = StartMainWindow({{QStringLiteral("FirstTimeUser"), QStringLiteral("false")}});
        ASSERT_TRUE(m_form);
    }
    void TearDown() override { m_form.reset(); }

    VoiceCatalogue& Catalogue() { return m_form->Driver()->Catalogue; }
    QAction* Item(QWidget* menu, const QString& text) {
        for (QAction* action : menu->actions()) {
            if (action->text() == text) {
                return action;
            }
        }
        ADD_FAILURE() << "no item " << text.toStdString();
        return nullptr;
    }
    QMenu* Menu(const QString& title) {
        QAction* item = Item(m_form->menuBar(), title);
        return item ? item->menu() : nullptr;
    }
    QString VoiceIn(const QString& code) {
        for (const auto& voice : Catalogue().voiceList) {
            if (LanguageCode(voice->Engine->LanguageID) == code) {
                return voice->Name;
            }
        }
        return {};
    }
    bool WaitIdle() {
        return QTest::qWaitFor([&] { return m_form->State() == rsIdle; }, kTimeoutMs);
    }
    // Speaks the topic from its menu item; the voice the driver speaks it with.
    QString SpokenBy(QAction* topic) {
        topic->trigger();
        if (m_form->State() != rsReading) {
            return {};
        }
        EXPECT_TRUE(m_form->Session()->speakingText());
        EXPECT_EQ(m_form->StatusPanelText(0), QStringLiteral("Reading Audio Help"));
        const TVoiceEntry* voice = m_form->Driver()->CurrentVoice;
        m_form->StopBtnClick();
        EXPECT_TRUE(WaitIdle());
        return voice ? voice->Name : QString();
    }
    // Runs action, which opens a modal dialog; check sees the dialog, which is then closed.
    template <typename Dialog>
    bool WithDialog(const std::function<void()>& action,
                    const std::function<void(Dialog&)>& check) {
        bool seen = false;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
            if (dialog) {
                seen = true;
                check(*dialog);
                dialog->accept();
            }
        });
        action();
        return seen;
    }

    std::unique_ptr<TForm1> m_form;
    CapturedMessages m_messages;
};

}  // namespace

TEST_F(HelpTest, AudioHelpTopicsAreSpokenByAnEnglishVoice) {
    QMenu* audioHelp = m_form->AudioHelpMenu();
    const QStringList topics = TAudioHelp::Topics();
    ASSERT_GE(topics.size(), 2);
    ASSERT_EQ(audioHelp->actions().size(), topics.size());
    EXPECT_TRUE(audioHelp->menuAction()->isEnabled());
    for (int index = 0; index < topics.size(); ++index) {
        EXPECT_EQ(audioHelp->actions().at(index)->text(), topics.at(index));
        // Topic names with spaces are names of values in the file.
        EXPECT_FALSE(TAudioHelp::TopicText(topics.at(index)).trimmed().isEmpty())
            << topics.at(index).toStdString();
    }
    EXPECT_TRUE(topics.at(0).contains(QLatin1Char(' ')));
    EXPECT_EQ(TAudioHelp::TopicText(QStringLiteral("No such topic")), QString());

    // A German default voice: the help is spoken in English all the same.
    const QString german = VoiceIn(QStringLiteral("deu"));
    ASSERT_FALSE(german.isEmpty()) << "eSpeak NG has German";
    const TVoiceEntry* english = Catalogue().FindEnglishVoice();
    ASSERT_NE(english, nullptr);
    m_form->Preferences().TTS_DefaultVoiceName = german;
    EXPECT_EQ(SpokenBy(audioHelp->actions().at(0)), english->Name);
    EXPECT_EQ(LanguageCode(english->Engine->LanguageID), QStringLiteral("eng"));

    // An English default voice speaks it itself.
    QString otherEnglish;
    for (const auto& voice : Catalogue().voiceList) {
        if (voice.get() != english && LanguageCode(voice->Engine->LanguageID) == "eng") {
            otherEnglish = voice->Name;
            break;
        }
    }
    ASSERT_FALSE(otherEnglish.isEmpty());
    m_form->Preferences().TTS_DefaultVoiceName = otherEnglish;
    EXPECT_EQ(SpokenBy(audioHelp->actions().at(1)), otherEnglish);
    EXPECT_TRUE(m_messages.all.isEmpty()) << m_messages.all.join('\n').toStdString();

    // Without any English voice: the error, and nothing is spoken.
    m_form->Preferences().TTS_DefaultVoiceName = german;
    auto& voices = Catalogue().voiceList;
    std::vector<std::unique_ptr<TVoiceEntry>> englishVoices;
    for (auto it = voices.begin(); it != voices.end();) {
        if (LanguageCode((*it)->Engine->LanguageID) == QStringLiteral("eng")) {
            englishVoices.push_back(std::move(*it));
            it = voices.erase(it);
        } else {
            ++it;
        }
    }
    ASSERT_EQ(Catalogue().FindEnglishVoice(), nullptr);
    audioHelp->actions().at(0)->trigger();
    for (auto& voice : englishVoices) {
        voices.push_back(std::move(voice));
    }
    EXPECT_EQ(m_form->State(), rsIdle);
    EXPECT_EQ(m_messages.errors,
              QStringList{QStringLiteral("An English Voice was not found on your computer.\rAudio "
                                         "Help is currently available in English only")});
}

TEST_F(HelpTest, EachLinkAsksForItsPage) {
    OpenedAddresses opened;
    QMenu* help = Menu(QStringLiteral("&Help"));
    ASSERT_NE(help, nullptr);
    const auto localFile = [&](const QUrl& url) { return QFileInfo(url.toLocalFile()); };

    Item(help, QStringLiteral("&Visit Halcyx Technologies"))->trigger();
    const QFileInfo readme = localFile(opened.take());
    EXPECT_EQ(readme.fileName(), QStringLiteral("README.md"));
    EXPECT_TRUE(readme.isFile());

    // The help pages: opened when installed, else a message that names the missing page.
    const std::pair<const char*, Links::Page> pages[] = {
        {"&Contents", Links::Page::Contents}, {"&Portable MP3 Players", Links::Page::Mp3Players}};
    for (const auto& [caption, page] : pages) {
        m_messages.clear();
        Item(help, QString::fromLatin1(caption))->trigger();
        const QString file = Links::path(page);
        if (file.isEmpty()) {
            EXPECT_TRUE(opened.urls.isEmpty());
            ASSERT_EQ(m_messages.errors.size(), 1) << caption;
            EXPECT_TRUE(m_messages.errors.at(0).contains(Links::fileName(page)));
        } else {
            const QUrl url = opened.take();
            const QFileInfo shown = localFile(url);
            EXPECT_EQ(shown.absoluteFilePath(), file);
            // Portable players have a section of the page on reading to files.
            EXPECT_EQ(url.fragment(),
                      page == Links::Page::Mp3Players ? QStringLiteral("players") : QString());
            EXPECT_TRUE(shown.filePath().endsWith(Links::fileName(page)));
            EXPECT_TRUE(m_messages.all.isEmpty()) << m_messages.all.join('\n').toStdString();
        }
    }
    EXPECT_TRUE(Links::fileName(Links::Page::Contents).endsWith(QStringLiteral("help/index.html")));

    // Tell a Friend: a mail with no recipient, its body cut after 100 characters.
    m_messages.clear();
    Item(Menu(QStringLiteral("&File")), QStringLiteral("Tell a Friend"))->trigger();
    const QUrl mail = opened.take();
    EXPECT_EQ(mail.scheme(), QStringLiteral("mailto"));
    EXPECT_EQ(mail.path(), QString());
    const QUrlQuery fields(mail);
    EXPECT_EQ(fields.queryItemValue(QStringLiteral("Subject"), QUrl::FullyDecoded),
              QStringLiteral("Quillsong MP3"));
    const QString body = fields.queryItemValue(QStringLiteral("Body"), QUrl::FullyDecoded);
    EXPECT_EQ(body.size(), 103);
    EXPECT_TRUE(body.startsWith(QStringLiteral("Take a look at Quillsong MP3 at ")));
    EXPECT_TRUE(body.endsWith(QStringLiteral("...")));
    EXPECT_TRUE(m_messages.all.isEmpty()) << m_messages.all.join('\n').toStdString();
}

TEST_F(HelpTest, TheAboutBoxShowsTheVersionTheLibrariesAndTheLinks) {
    const auto check = [](TAboutForm& about) {
        auto* version = about.findChild<QLabel*>(QStringLiteral("VersionLabel"));
        ASSERT_NE(version, nullptr);
        EXPECT_TRUE(version->text().contains(QStringLiteral("Quillsong MP3")));
        EXPECT_TRUE(version->text().contains(ProgramVersion::version()));
        auto* picture = about.findChild<QLabel*>(QStringLiteral("SplashPicture"));
        ASSERT_NE(picture, nullptr);
        EXPECT_FALSE(picture->pixmap().isNull());
        QStringList libraries;
        for (int index = 0; index < 4; ++index) {
            auto* name = about.findChild<QLabel*>(QStringLiteral("Library%1").arg(index));
            auto* version = about.findChild<QLabel*>(QStringLiteral("Version%1").arg(index));
            auto* licence = about.findChild<QLabel*>(QStringLiteral("Licence%1").arg(index));
            ASSERT_TRUE(name && version && licence) << index;
            libraries << QTextDocumentFragment::fromHtml(name->text()).toPlainText();
            EXPECT_FALSE(version->text().isEmpty()) << index;
            EXPECT_FALSE(licence->text().isEmpty()) << index;
        }
        EXPECT_EQ(libraries, (QStringList{QStringLiteral("Qt"), QStringLiteral("eSpeak NG"),
                                          QStringLiteral("Flite"), QStringLiteral("LAME")}));
        // The readme link asks for the readme.
        OpenedAddresses opened;
        auto* readme = about.findChild<QPushButton*>(QStringLiteral("ReadmeLink"));
        ASSERT_NE(readme, nullptr);
        readme->click();
        EXPECT_EQ(QFileInfo(opened.take().toLocalFile()).fileName(), QStringLiteral("README.md"));
        for (const char* link : {"HelpLink", "PlayersLink"}) {
            EXPECT_NE(about.findChild<QPushButton*>(QString::fromLatin1(link)), nullptr) << link;
        }
    };
    EXPECT_TRUE(WithDialog<TAboutForm>(
        [&] { Item(Menu(QStringLiteral("&Help")), QStringLiteral("&About"))->trigger(); }, check));
    QMenu* tray = m_form->findChild<QMenu*>(QStringLiteral("PopupMenu2"));
    ASSERT_NE(tray, nullptr);
    EXPECT_TRUE(
        WithDialog<TAboutForm>([&] { Item(tray, QStringLiteral("A&bout"))->trigger(); }, check));
    EXPECT_TRUE(m_messages.all.isEmpty()) << m_messages.all.join('\n').toStdString();
}

TEST_F(HelpTest, TheNoEngineDialogSaysWhatToDoAndLinksToTheGuideAndSupport) {
    TEngineWarningForm warning(m_form.get());
    EXPECT_EQ(warning.windowTitle(), QStringLiteral("Text To Speech Engine not found"));
    EXPECT_FALSE(warning.windowFlags() & Qt::WindowCloseButtonHint);
    auto* text = warning.findChild<QLabel*>(QStringLiteral("WarningText"));
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->text().split(QLatin1Char('\n')).size(), 6);
    OpenedAddresses opened;
    auto* download = warning.findChild<QLabel*>(QStringLiteral("DownloadLink"));
    ASSERT_NE(download, nullptr);
    EXPECT_EQ(QTextDocumentFragment::fromHtml(download->text()).toPlainText(),
              QStringLiteral("Click here to download Speech Engine"));
    Q_EMIT download->linkActivated(QStringLiteral("#"));
    EXPECT_EQ(QFileInfo(opened.take().toLocalFile()).fileName(), QStringLiteral("README.md"));
    auto* support = warning.findChild<QLabel*>(QStringLiteral("SupportLink"));
    ASSERT_NE(support, nullptr);
    Q_EMIT support->linkActivated(QStringLiteral("#"));
    EXPECT_EQ(opened.take(), QUrl(QStringLiteral("mailto:") + Links::supportAddress()));
    auto* exit = warning.findChild<QPushButton*>(QStringLiteral("ExitButton"));
    ASSERT_NE(exit, nullptr);
    EXPECT_EQ(exit->text(), QStringLiteral("Exit Quillsong MP3"));
    EXPECT_TRUE(m_messages.all.isEmpty()) << m_messages.all.join('\n').toStdString();
}

#include "help_test.moc"
