// The articles a start brings back, and the text files the window opens, through the real main
// window.
#include <gtest/gtest.h>

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

#include "app/form1.h"
#include "app/optionsarea.h"
#include "articles/articlestore.h"
#include "articles/memoentry.h"
#include "articles/memolistbox.h"
#include "platform/registry/registry.h"
#include "platform/registry/registryhive.h"
#include "platform/wavedevices/waveoutdevices.h"
#include "speech/ttsform.h"
#include "speech/voiceentry.h"
#include "speech/voicesource.h"
#include "tests/app/mainwindowstart.h"
#include "tests/common/capturedmessages.h"
#include "tests/common/printers.h"
#include "tests/common/sounddevice.h"
#include "tests/common/testprofile.h"

namespace {

const QString kKey = QStringLiteral("Software\\HalcyxTech\\Quillsong");

QByteArray Bytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(bytes);
}

QByteArray Noise(int size, quint32 seed) {
    QRandomGenerator random(seed);
    QByteArray bytes(size, '\0');
    for (char& byte : bytes) {
        byte = char(random.bounded(256));
    }
    return bytes;
}

// Takes from this thread the capabilities that let root read any file, so that a file without
// permissions cannot be read by it either; gives them back at the end.
class WithoutFileOverride {
  public:
    WithoutFileOverride() {
        if (syscall(SYS_capget, &header_, saved_) != 0) {
            return;
        }
        __user_cap_data_struct reduced[2] = {saved_[0], saved_[1]};
        reduced[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
        dropped_ = syscall(SYS_capset, &header_, reduced) == 0;
    }
    ~WithoutFileOverride() {
        if (dropped_) {
            syscall(SYS_capset, &header_, saved_);
        }
    }
    WithoutFileOverride(const WithoutFileOverride&) = delete;
    WithoutFileOverride& operator=(const WithoutFileOverride&) = delete;

  private:
    __user_cap_header_struct header_{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct saved_[2]{};
    bool dropped_ = false;
};

class StartArticles : public ::testing::Test {
  protected:
    void SetUp() override {
        SKIP_WITHOUT_SOUND_DEVICE();
        testprofile::Reset();
    }

    static std::unique_ptr<TForm1> Start() { return StartMainWindow(); }
    static QStringList Texts(const TForm1& form) {
        QStringList texts;
        for (int i = 0; i < form.List()->VisibleCount(); ++i) {
            texts << form.List()->Entries[i]->GetArticleText();
        }
        return texts;
    }
    static QStringList StoredTexts() {
        QStringList texts;
        for (const StoredArticle& article : ArticleStore::Read(TForm1::StoreFileName()).Articles) {
            texts << article.Text;
        }
        return texts;
    }
    // Whether this thread can still make a file in a folder that forbids it.
    static bool TakesFilesAnyway(const QString& folder) {
        QFile probe(folder + QStringLiteral("/probe"));
        if (!probe.open(QIODevice::WriteOnly)) {
            return false;
        }
        probe.remove();
        return true;
    }
    static void WriteStore(const QStringList& texts) {
        QList<StoredArticle> articles;
        for (const QString& text : texts) {
            articles.append({QStringLiteral("Saved"), QString(), text});
        }
        QString error;
        ASSERT_TRUE(ArticleStore::Write(TForm1::StoreFileName(), articles, &error));
    }

    CapturedMessages messages_;
};

}  // namespace

TEST_F(StartArticles, TheStoreIsReadWhenTheSettingsAreMissingOrDamaged) {
    const QStringList saved{QStringLiteral("My first saved article."),
                            QStringLiteral("Un café, s'il vous plaît."),
                            QStringLiteral("The last one\nwith two lines.")};
    for (const bool damaged : {false, true}) {
        SCOPED_TRACE(damaged ? "settings of random bytes" : "no settings file");
        testprofile::Reset();
        QFile::remove(RegistryHive::fileName(RootKey::CurrentUser));
        if (damaged) {
            WriteBytes(RegistryHive::fileName(RootKey::CurrentUser), Noise(3000, 18));
            Registry::flush();  // the settings store takes in the file as it is now
        }
        WriteStore(saved);
        {
            auto form = Start();
            EXPECT_EQ(Texts(*form), saved) << "every saved article, not the introduction";
            EXPECT_EQ(form->StatusPanelText(0), QStringLiteral("3 articles"));
            form->ExitQuillsongClick();
        }
        EXPECT_EQ(StoredTexts(), saved);
        auto again = Start();
        EXPECT_EQ(Texts(*again), saved);
    }
    // Later tests start from a sound settings file.
    QFile::remove(RegistryHive::fileName(RootKey::CurrentUser));
    Registry::flush();
    EXPECT_TRUE(messages_.all.isEmpty()) << messages_.all.join(QLatin1Char('\n')).toStdString();
}

TEST_F(StartArticles, AnArticleWithoutAVoiceFollowsTheDefaultVoice) {
    const auto storedVoices = [] {
        QStringList voices;
        for (const StoredArticle& article : ArticleStore::Read(TForm1::StoreFileName()).Articles) {
            voices << article.Voice;
        }
        return voices;
    };
    WriteStore({QStringLiteral("Read with whichever voice is the default.")});
    {
        auto form = Start();
        form->ExitQuillsongClick();
    }
    EXPECT_EQ(storedVoices(), QStringList{QString()}) << "a start and an exit pin no voice";

    auto form = Start();
    form->Options()->ShowSheet(OptionsArea::Sheet::Misc);
    auto* defaults = form->Options()->findChild<QComboBox*>(QStringLiteral("DfltVoiceCB"));
    ASSERT_NE(defaults, nullptr);
    ASSERT_GE(defaults->count(), 2);
    defaults->setFocus();
    QTest::keyClick(defaults, defaults->currentIndex() == 0 ? Qt::Key_Down : Qt::Key_Up);
    const QString chosen = form->Preferences().TTS_DefaultVoiceName;
    ASSERT_EQ(chosen, defaults->currentText());
    TMemoEntry* entry = form->List()->Entries.first();
    EXPECT_EQ(entry->Voice(), chosen) << "it shows the new default";
    form->ReadArticleAloud(entry);
    ASSERT_EQ(form->State(), rsReading);
    ASSERT_NE(form->Driver()->CurrentVoice, nullptr);
    EXPECT_EQ(form->Driver()->CurrentVoice->Name, chosen) << "and reads with it";
    form->StopBtnClick();
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->State() == rsIdle; }, 20000));
    form->ExitQuillsongClick();
    EXPECT_EQ(storedVoices(), QStringList{QString()});
}

TEST_F(StartArticles, AStoreThatCannotBeParsedIsKeptAsBad) {
    const QByteArray damaged = Noise(5000, 7);
    WriteBytes(TForm1::StoreFileName(), damaged);
    auto form = Start();
    EXPECT_EQ(form->StatusPanelText(0), QStringLiteral("No articles")) << "no introduction";
    EXPECT_EQ(Bytes(TForm1::StoreFileName() + QStringLiteral(".bad")), damaged);
    ASSERT_EQ(messages_.messages.size(), 1);
    EXPECT_TRUE(messages_.messages[0].contains(TForm1::StoreFileName() + QStringLiteral(".bad")));
}

TEST_F(StartArticles, AStoreThatCannotBeReadIsNeverReplaced) {
    testprofile::Store(kKey, QStringLiteral("FirstTimeUser"), QStringLiteral("false"));
    WriteStore({QStringLiteral("Kept safe."), QStringLiteral("Also kept.")});
    const QString store = TForm1::StoreFileName();
    const QByteArray before = Bytes(store);
    ASSERT_TRUE(QFile::setPermissions(store, QFileDevice::Permissions()));
    {
        WithoutFileOverride unprivileged;
        QFile probe(store);
        if (probe.open(QIODevice::ReadOnly)) {
            QFile::setPermissions(store, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
            GTEST_SKIP() << "this user reads files without permission";
        }
        auto form = Start();
        ASSERT_EQ(messages_.errors.size(), 1)
            << messages_.all.join(QLatin1Char('\n')).toStdString();
        EXPECT_TRUE(messages_.errors[0].contains(store)) << messages_.errors[0].toStdString();
        EXPECT_TRUE(messages_.errors[0].contains(QStringLiteral("Permission denied")))
            << messages_.errors[0].toStdString();
        form->AddNewArticle();
        form->ExitQuillsongClick();
        EXPECT_EQ(messages_.errors.size(), 1) << "the user is told once";
    }
    ASSERT_TRUE(QFile::setPermissions(store, QFileDevice::ReadOwner | QFileDevice::WriteOwner));
    EXPECT_EQ(Bytes(store), before);
}

TEST_F(StartArticles, AStoreFolderThatTakesNoFileIsToldOnceAndWrittenOnceItDoesAgain) {
    testprofile::Store(kKey, QStringLiteral("FirstTimeUser"), QStringLiteral("false"));
    testprofile::Store(kKey, QStringLiteral("ML_ListMode"), QStringLiteral("1"));
    WriteStore({QStringLiteral("Saved before.")});
    const QString store = TForm1::StoreFileName();
    const QString folder = QFileInfo(store).absolutePath();
    const QFileDevice::Permissions writable = QFile::permissions(folder);
    const auto restore = qScopeGuard([&] { QFile::setPermissions(folder, writable); });
    auto form = Start();
    ASSERT_EQ(Texts(*form), QStringList{QStringLiteral("Saved before.")});
    ASSERT_TRUE(QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    {
        WithoutFileOverride unprivileged;
        if (TakesFilesAnyway(folder)) {
            GTEST_SKIP() << "this user writes into folders without permission";
        }
        // Every added article exports the list; each export fails.
        for (int i = 1; i <= 3; ++i) {
            form->AddNewArticle()->SetArticleText(QStringLiteral("Added %1.").arg(i));
        }
        ASSERT_EQ(form->List()->CurrentEntry()->GetArticleText(), QStringLiteral("Added 3."));
        form->DelSelPopupClick();
        ASSERT_EQ(messages_.errors.size(), 1)
            << "told once: " << messages_.all.join(QLatin1Char('\n')).toStdString();
        EXPECT_TRUE(messages_.errors[0].contains(store)) << messages_.errors[0].toStdString();
        EXPECT_TRUE(messages_.errors[0].contains(QStringLiteral("Permission denied")))
            << messages_.errors[0].toStdString();
        EXPECT_EQ(Texts(*form),
                  (QStringList{QStringLiteral("Saved before."), QStringLiteral("Added 1."),
                               QStringLiteral("Added 2.")}))
            << "the articles stay in the list";
        EXPECT_EQ(StoredTexts(), QStringList{QStringLiteral("Saved before.")})
            << "the store is the previous one, whole";
        EXPECT_EQ(QDir(folder).entryList({QStringLiteral("QSExport*")}, QDir::Files | QDir::Hidden),
                  QStringList{QStringLiteral("QSExport.txt")});
    }
    // Writable again: the next change saves every article, without a word.
    ASSERT_TRUE(QFile::setPermissions(folder, writable));
    form->AddNewArticle()->SetArticleText(QStringLiteral("Added 4."));
    form->ExitQuillsongClick();
    EXPECT_EQ(StoredTexts(),
              (QStringList{QStringLiteral("Saved before."), QStringLiteral("Added 1."),
                           QStringLiteral("Added 2."), QStringLiteral("Added 4.")}));
    EXPECT_EQ(messages_.errors.size(), 1) << messages_.all.join(QLatin1Char('\n')).toStdString();
}

TEST_F(StartArticles, ArticlesThatCannotBeSavedAtTheEndAreKeptInTheHomeFolder) {
    testprofile::Store(kKey, QStringLiteral("FirstTimeUser"), QStringLiteral("false"));
    testprofile::Store(kKey, QStringLiteral("ML_ListMode"), QStringLiteral("1"));
    WriteStore({QStringLiteral("Saved before.")});
    QTemporaryDir home;
    const QByteArray realHome = qgetenv("HOME");
    qputenv("HOME", home.path().toUtf8());
    const QString store = TForm1::StoreFileName();
    const QString folder = QFileInfo(store).absolutePath();
    const QFileDevice::Permissions writable = QFile::permissions(folder);
    const auto restore = qScopeGuard([&] {
        QFile::setPermissions(folder, writable);
        qputenv("HOME", realHome);
    });
    const auto keptCopies = [&] {
        return QDir(home.path())
            .entryList({QStringLiteral("Quillsong articles not saved *.txt")}, QDir::Files);
    };
    const auto keptTexts = [&](const QString& name) {
        QStringList texts;
        for (const StoredArticle& article : ArticleStore::Read(home.filePath(name)).Articles) {
            texts << article.Text;
        }
        return texts;
    };
    for (const bool byTheUser : {true, false}) {
        SCOPED_TRACE(byTheUser ? "ended by the user" : "ended by a signal");
        messages_.clear();
        auto form = Start();
        ASSERT_TRUE(QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        WithoutFileOverride unprivileged;
        if (TakesFilesAnyway(folder)) {
            GTEST_SKIP() << "this user writes into folders without permission";
        }
        form->AddNewArticle()->SetArticleText(QStringLiteral("Added at the end."));
        ASSERT_EQ(messages_.errors.size(), 1) << "the failure is told at once";
        if (byTheUser) {
            form->ExitQuillsongClick();
        } else {
            form->ExitOnRequest();
        }
        const QStringList copies = keptCopies();
        ASSERT_EQ(copies.size(), 1);
        EXPECT_EQ(keptTexts(copies[0]), (QStringList{QStringLiteral("Saved before."),
                                                     QStringLiteral("Added at the end.")}));
        EXPECT_EQ(StoredTexts(), QStringList{QStringLiteral("Saved before.")});
        if (byTheUser) {
            // The user learns where the articles are.
            ASSERT_EQ(messages_.errors.size(), 2);
            EXPECT_TRUE(messages_.errors[1].contains(home.filePath(copies[0])))
                << messages_.errors[1].toStdString();
        } else {
            EXPECT_EQ(messages_.errors.size(), 1) << "nothing holds up an end asked for";
        }
        QFile::setPermissions(folder, writable);
        if (!byTheUser) {
            // The next start says where they are, once, and brings them back when asked.
            form.reset();
            auto next = Start();
            auto* box = next->findChild<QMessageBox*>();
            ASSERT_TRUE(box && box->isVisible());
            EXPECT_TRUE(box->text().contains(home.filePath(copies[0])))
                << box->text().toStdString();
            QTest::keyClick(box, Qt::Key_Return);
            const QStringList kept{QStringLiteral("Saved before."),
                                   QStringLiteral("Added at the end.")};
            EXPECT_EQ(Texts(*next), kept);
            EXPECT_EQ(StoredTexts(), kept);
            EXPECT_TRUE(keptCopies().isEmpty()) << "the store holds them now";
            next->ExitQuillsongClick();
            next.reset();
            EXPECT_EQ(Start()->findChild<QMessageBox*>(), nullptr) << "said once";
        }
        QFile::remove(home.filePath(copies[0]));
    }
}

TEST_F(StartArticles, AnUnfinishedStoreLeftBesideTheStoreIsRemovedAndNeverRead) {
    testprofile::Store(kKey, QStringLiteral("FirstTimeUser"), QStringLiteral("false"));
    WriteStore({QStringLiteral("The whole store.")});
    // What an export killed between naming its temporary and the rename leaves.
    const QString leftover = TForm1::StoreFileName() + QStringLiteral(".Xy12ab");
    QString error;
    ASSERT_TRUE(ArticleStore::Write(
        leftover, {{QStringLiteral("Newer"), QString(), QStringLiteral("Never renamed.")}},
        &error));
    auto form = Start();
    EXPECT_EQ(Texts(*form), QStringList{QStringLiteral("The whole store.")});
    EXPECT_FALSE(QFileInfo::exists(leftover));
    EXPECT_TRUE(messages_.all.isEmpty()) << messages_.all.join(QLatin1Char('\n')).toStdString();
}

TEST_F(StartArticles, OpenedFilesAreDecodedAndWhatIsNotTextIsRefused) {
    testprofile::Store(kKey, QStringLiteral("FirstTimeUser"), QStringLiteral("false"));
    testprofile::Store(kKey, QStringLiteral("ML_ListMode"), QStringLiteral("1"));
    auto form = Start();
    form->Preferences().setAutoSpeak(true);  // an opened file would be read at once
    QTemporaryDir dir;
    const QString program = dir.filePath(QStringLiteral("program.txt"));
    ASSERT_TRUE(QFile::copy(QStringLiteral("/bin/ls"), program));
    const int before = form->List()->VisibleCount();
    form->OpenTextFiles({program});
    EXPECT_EQ(messages_.errors,
              QStringList{program + QStringLiteral(" does not look like a text file")});
    EXPECT_EQ(form->State(), rsIdle) << "nothing is read";
    EXPECT_EQ(form->List()->VisibleCount(), before) << "no article is added";

    form->Preferences().setAutoSpeak(false);
    const QString wide = dir.filePath(QStringLiteral("wide.txt"));
    QStringEncoder utf16(QStringConverter::Utf16LE, QStringConverter::Flag::WriteBom);
    WriteBytes(wide, utf16.encode(QStringLiteral("Wide café text.\r\nSecond line.")));
    const QString nul = dir.filePath(QStringLiteral("nul.txt"));
    WriteBytes(nul, QByteArray("Hello\0world", 11));
    form->OpenTextFiles({wide, nul});
    const QStringList texts = Texts(*form);
    ASSERT_GE(texts.size(), 2);
    EXPECT_EQ(texts[texts.size() - 2], QStringLiteral("Wide café text.\nSecond line."));
    EXPECT_EQ(texts.back(), QStringLiteral("Hello world"));
    EXPECT_EQ(messages_.errors.size(), 1);
}

TEST_F(StartArticles, ALargeStoreArrivesWholeAndInOrder) {
    constexpr int kCount = 20000;
    QStringList voices;
    {
        // The voices an article can be given, as the window's list offers them.
        auto form = Start();
        ASSERT_NE(form->List()->Voices, nullptr);
        for (const VoiceChoice& voice : form->List()->Voices->voices()) {
            if (voice.favourite) {
                voices << voice.name;
            }
        }
        form->ExitQuillsongClick();
    }
    ASSERT_GE(voices.size(), 2);
    QList<StoredArticle> articles;
    for (int i = 0; i < kCount; ++i) {
        QString text = QStringLiteral("Article %1 says hello.").arg(i);
        if (i % 3 == 0) {
            text += QStringLiteral("\nIts second line, caf\u00e9 %1.").arg(i);
        }
        articles.append({QStringLiteral("Title %1").arg(i), voices[i % voices.size()], text});
    }
    QString error;
    ASSERT_TRUE(ArticleStore::Write(TForm1::StoreFileName(), articles, &error));
    const QByteArray written = Bytes(TForm1::StoreFileName());

    auto form = Start();
    const TMemoListBox* list = form->List();
    ASSERT_EQ(list->VisibleCount(), kCount);
    int wrong = 0;
    for (int i = 0; i < kCount && wrong < 5; ++i) {
        TMemoEntry* entry = list->Entries[i];
        const StoredArticle& stored = articles[i];
        if (entry->Title() != stored.Title || entry->Voice() != stored.Voice ||
            entry->GetArticleText() != stored.Text) {
            ++wrong;
            ADD_FAILURE() << "article " << i << ": " << entry->Title().toStdString() << " | "
                          << entry->Voice().toStdString() << " | "
                          << entry->GetArticleText().toStdString();
        }
    }
    EXPECT_EQ(form->StatusPanelText(0), QStringLiteral("%1 articles").arg(kCount));
    // The list is shown at its first article, marked as the current one.
    EXPECT_EQ(list->CurrentEntry(), list->Entries.first());
    EXPECT_FALSE(list->Entries.first()->isHidden());
    EXPECT_TRUE(list->Entries.last()->isHidden());
    form->ExitQuillsongClick();
    EXPECT_EQ(Bytes(TForm1::StoreFileName()), written) << "saved again as it was read";
    EXPECT_TRUE(messages_.all.isEmpty()) << messages_.all.join(QLatin1Char('\n')).toStdString();
}
