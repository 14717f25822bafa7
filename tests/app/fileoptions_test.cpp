// The File Options sheet: the output format, the MP3 quality, the output folder with its
// dialog, the Write to File Speed and the subtitles beside the files; what the controls write is
// what the next Read to File uses, checked with mpg123 and soxi.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileSystemModel>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <functional>

#include "app/fileoptionssheet.h"
#include "app/form1.h"
#include "app/optionsarea.h"
#include "app/outdirdialog.h"
#include "articles/memoentry.h"
#include "articles/memolistbox.h"
#include "platform/speechapi/audiodestination.h"
#include "platform/speechapi/speechapi.h"
#include "settings/preferences.h"
#include "tests/app/mainwindowstart.h"
#include "tests/audio/audiotools.h"
#include "tests/audio/oggtools.h"
#include "tests/common/capturedmessages.h"
#include "tests/common/sounddevice.h"
#include "tests/common/testprofile.h"

namespace {

constexpr int kMarkX = 8;
constexpr int kModalTimeoutMs = 20000;
constexpr int kModalPollMs = 10;

const QString kMoreInfoBeginning = QStringLiteral(
    "This setting controls the speed at which Quillsong MP3 attempts to save\rto a file.  1x "
    "means reading is done at the same speed as reading aloud.\r10x means reading to file takes "
    "1 tenth the time.\r\rThis setting is configurable because it determines the amount of "
    "cpu\rthe speech engine will use.  At high settings it can cause system wide\rproblems, "
    "particularly if you're actively using other applications.  We\rrecommend using a value of "
    "10, and if you want to increase it, do it\rgradually.");

template <typename T>
T* Control(const QWidget& parent, const char* name) {
    T* control = parent.findChild<T*>(QString::fromUtf8(name));
    EXPECT_NE(control, nullptr) << name;
    return control;
}

// Clicks a choice on its mark, as a user does.
void ClickChoice(QWidget* group, const QString& text) {
    for (QRadioButton* button : group->findChildren<QRadioButton*>()) {
        if (button->text() == text) {
            QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(kMarkX, button->height() / 2));
            return;
        }
    }
    ADD_FAILURE() << "no choice " << text.toStdString();
}

QString Chosen(QWidget* group) {
    for (QRadioButton* button : group->findChildren<QRadioButton*>()) {
        if (button->isChecked()) {
            return button->text();
        }
    }
    return {};
}

// Picks an item of a list as a user does with the keyboard: the first item, then down.
void Pick(QComboBox* box, const QString& text) {
    const int index = box->findText(text);
    ASSERT_GE(index, 0) << text.toStdString();
    box->setFocus();
    QTest::keyClick(box, Qt::Key_Home);
    for (int i = 0; i < index; ++i) {
        QTest::keyClick(box, Qt::Key_Down);
    }
    ASSERT_EQ(box->currentText(), text);
}

void TypeInto(QLineEdit* edit, const QString& text) {
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, text);
}

// Runs an action on the next modal window that opens, from inside its event loop; fails the
// test when none opens in time.
void OnNextModal(const std::function<void(QWidget*)>& action) {
    QWidget* before = QApplication::activeModalWidget();
    auto* poll = new QTimer(qApp);
    auto* waited = new QElapsedTimer;
    waited->start();
    QObject::connect(poll, &QTimer::timeout, poll, [=] {
        QWidget* modal = QApplication::activeModalWidget();
        const bool opened = modal && modal != before && modal->isVisible();
        if (!opened && waited->elapsed() < kModalTimeoutMs) {
            return;
        }
        poll->stop();
        poll->deleteLater();
        delete waited;
        if (opened) {
            action(modal);
        } else {
            ADD_FAILURE() << "no modal window opened";
        }
    });
    poll->start(kModalPollMs);
}

// Selects a folder in the dialog's folder list, as a click on it does.
void SelectFolder(QWidget* dialog, const QString& folder) {
    auto* tree = Control<QTreeView>(*dialog, "DirectoryListBox1");
    auto* model = qobject_cast<QFileSystemModel*>(tree->model());
    ASSERT_NE(model, nullptr);
    const QModelIndex index = model->index(folder);
    ASSERT_TRUE(index.isValid()) << folder.toStdString();
    tree->scrollTo(index);
    tree->setCurrentIndex(index);
}

void Click(QWidget* dialog, const char* button) {
    QTest::mouseClick(Control<QPushButton>(*dialog, button), Qt::LeftButton);
}

// The sheet on its own, over settings held in the test.
class FileOptionsSheetTest : public ::testing::Test {
  protected:
    void SetUp() override { testprofile::Reset(); }
    TPreferences m_prefs;
    CapturedMessages m_messages;
};

class FileOptions : public ::testing::Test {
  protected:
    void SetUp() override {
        SKIP_WITHOUT_SOUND_DEVICE();
        testprofile::Reset();
        ASSERT_TRUE(m_dir.isValid());
    }
    std::unique_ptr<TForm1> Start(const QList<QPair<QString, QString>>& more = {}) {
        QList<QPair<QString, QString>> settings = {
            {QStringLiteral("FirstTimeUser"), QStringLiteral("false")},
            {QStringLiteral("ShowOptions"), QStringLiteral("true")},
            {QStringLiteral("OUT_Directory"), m_dir.path()}};
        settings += more;
        auto form = StartMainWindow(settings);
        form->Options()->ShowSheet(OptionsArea::Sheet::FileOptions);
        return form;
    }
    static QWidget* Sheet(const TForm1& form) {
        return form.Options()->findChild<QWidget*>(QStringLiteral("FileOptionsSheet"));
    }
    static void ShowOtherTabAndBack(const TForm1& form) {
        form.Options()->ShowSheet(OptionsArea::Sheet::Clipboard);
        form.Options()->ShowSheet(OptionsArea::Sheet::FileOptions);
    }
    QTemporaryDir m_dir;
    CapturedMessages m_messages;
};

}  // namespace

TEST_F(FileOptionsSheetTest, ControlsAreFilledFromTheSettingsAndWriteThemAtOnce) {
    m_prefs.OUT_FileFormat = 0;
    m_prefs.BitRate = 48;
    m_prefs.OUT_Directory = QStringLiteral("/var/tmp/spoken/");
    m_prefs.TTS_WaveConvRate = 2560;
    FileOptionsSheet sheet(m_prefs);
    sheet.Load();
    sheet.show();
    auto* format = Control<QWidget>(sheet, "FileFormatRGrp");
    auto* quality = Control<QComboBox>(sheet, "AudioQltyCbx");
    auto* folder = Control<QLineEdit>(sheet, "OutDirEdit");
    auto* speed = Control<QComboBox>(sheet, "cbxTTSWavRate");
    ASSERT_TRUE(format && quality && folder && speed);

    EXPECT_EQ(Chosen(format), QStringLiteral("Wav"));
    EXPECT_EQ(quality->currentText(), QStringLiteral("48 kbps / 22.05 KHz"));
    EXPECT_FALSE(quality->isEnabled()) << "no MP3 quality for WAV files";
    EXPECT_EQ(folder->text(), QStringLiteral("/var/tmp/spoken/"));
    EXPECT_EQ(m_prefs.OUT_Directory, QStringLiteral("/var/tmp/spoken/"))
        << "showing the stored folder stores nothing";
    EXPECT_EQ(speed->currentText(), QStringLiteral("10x"));
    QStringList speeds;
    for (int i = 0; i < speed->count(); ++i) {
        speeds << speed->itemText(i);
    }
    EXPECT_EQ(speeds.join(QLatin1Char(' ')),
              QStringLiteral("1x 5x 10x 15x 20x 25x 30x 35x 40x 45x 50x Max"));

    ClickChoice(format, QStringLiteral("MP3"));
    EXPECT_EQ(m_prefs.OUT_FileFormat, 1);
    EXPECT_TRUE(quality->isEnabled());
    Pick(quality, QStringLiteral("64 kbps / 44.1 KHz"));
    EXPECT_EQ(m_prefs.BitRate, 64);
    Pick(quality, QStringLiteral("16 kbps / 16.0 KHz"));
    EXPECT_EQ(m_prefs.BitRate, 16);
    ClickChoice(format, QStringLiteral("Wav"));
    EXPECT_EQ(m_prefs.OUT_FileFormat, 0);
    EXPECT_FALSE(quality->isEnabled());

    // The folder is stored as typed, trimmed, with one trailing separator removed.
    TypeInto(folder, QStringLiteral("  /var/tmp/read  "));
    EXPECT_EQ(m_prefs.OUT_Directory, QStringLiteral("/var/tmp/read"));
    TypeInto(folder, QStringLiteral("/var/tmp/read/ "));
    EXPECT_EQ(m_prefs.OUT_Directory, QStringLiteral("/var/tmp/read"));
    TypeInto(folder, QStringLiteral("/var/tmp/read\\"));
    EXPECT_EQ(m_prefs.OUT_Directory, QStringLiteral("/var/tmp/read"));
    TypeInto(folder, QStringLiteral("/var/tmp/read//"));
    EXPECT_EQ(m_prefs.OUT_Directory, QStringLiteral("/var/tmp/read/")) << "only one is removed";
    TypeInto(folder, QStringLiteral("/"));
    EXPECT_EQ(m_prefs.OUT_Directory, QStringLiteral("/")) << "the root folder stays a folder";

    Pick(speed, QStringLiteral("1x"));
    EXPECT_EQ(m_prefs.TTS_WaveConvRate, 256);
    Pick(speed, QStringLiteral("50x"));
    EXPECT_EQ(m_prefs.TTS_WaveConvRate, 12800);
    Pick(speed, QStringLiteral("Max"));
    EXPECT_EQ(m_prefs.TTS_WaveConvRate, 0) << "as fast as the engine goes";
    EXPECT_TRUE(m_messages.all.isEmpty());

    QTest::mouseClick(Control<QPushButton>(sheet, "Button2"), Qt::LeftButton);
    ASSERT_EQ(m_messages.messages.size(), 1);
    const QString info = m_messages.messages.first();
    EXPECT_TRUE(info.startsWith(kMoreInfoBeginning + QStringLiteral("\r\r"))) << info.toStdString();
    const QString last = info.mid(kMoreInfoBeginning.size());
    EXPECT_TRUE(last.contains(QStringLiteral("one-hour")) &&
                last.contains(QStringLiteral("six minutes")) &&
                last.contains(QStringLiteral("Max")))
        << last.toStdString();
}

TEST_F(FileOptionsSheetTest, AStoredBitRateOutsideTheListShowsTheSecondQuality) {
    m_prefs.OUT_FileFormat = 1;
    m_prefs.BitRate = 128;
    FileOptionsSheet sheet(m_prefs);
    sheet.Load();
    auto* quality = Control<QComboBox>(sheet, "AudioQltyCbx");
    EXPECT_EQ(quality->currentText(), QStringLiteral("32 kbps / 22.05 KHz"));
    EXPECT_TRUE(quality->isEnabled());
    EXPECT_EQ(m_prefs.BitRate, 128) << "nothing is stored until the user chooses";
}

TEST_F(FileOptionsSheetTest, TheSubtitlesBoxShowsItsSettingAndWritesItAtOnce) {
    m_prefs.OUT_Subtitles = true;
    FileOptionsSheet sheet(m_prefs);
    sheet.Load();
    sheet.show();
    auto* box = Control<QCheckBox>(sheet, "SubtitlesCheck");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->text(),
              QStringLiteral("Write subtitles (SRT) / lyrics (LRC) beside the audio file"));
    EXPECT_TRUE(box->isChecked());
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(kMarkX, box->height() / 2));
    EXPECT_FALSE(m_prefs.OUT_Subtitles);
    box->setFocus();
    QTest::keyClick(box, Qt::Key_Space);
    EXPECT_TRUE(m_prefs.OUT_Subtitles);
    m_prefs.OUT_Subtitles = false;
    sheet.Load();
    EXPECT_FALSE(box->isChecked());
}

TEST_F(FileOptions, SubtitlesTickedOnTheSheetGoBesideTheFileRead) {
    auto form = Start({{QStringLiteral("OUT_FileFormat"), QStringLiteral("0")}});
    QWidget* sheet = Sheet(*form);
    ASSERT_NE(sheet, nullptr);
    auto* box = Control<QCheckBox>(*sheet, "SubtitlesCheck");
    ASSERT_NE(box, nullptr);
    EXPECT_FALSE(box->isChecked()) << "off until the user wants them";
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(kMarkX, box->height() / 2));
    ASSERT_TRUE(box->isChecked());
    Pick(Control<QComboBox>(*sheet, "cbxTTSWavRate"), QStringLiteral("Max"));

    TMemoEntry* entry = form->List()->CurrentEntry();
    entry->SetArticleText(QStringLiteral("One sentence here. And another one there."));
    entry->SetTitle(QStringLiteral("Captioned"));
    form->PlayFileBtnClick();
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->State() == rsIdle; }, 60000));
    EXPECT_TRUE(m_messages.all.isEmpty()) << m_messages.all.join(QLatin1Char(';')).toStdString();
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files),
              (QStringList{QStringLiteral("Captioned.lrc"), QStringLiteral("Captioned.srt"),
                           QStringLiteral("Captioned.wav")}));
    const QString srt =
        QString::fromUtf8(audiotools::Read(m_dir.filePath(QStringLiteral("Captioned.srt"))));
    EXPECT_TRUE(srt.startsWith(QStringLiteral("1\n00:00:00,")) &&
                srt.contains(QStringLiteral("\nOne sentence here.\n\n2\n")) &&
                srt.endsWith(QStringLiteral("\nAnd another one there.\n\n")))
        << srt.toStdString();
}

TEST_F(FileOptions, TheSpeedChosenIsSelectedAgainWhenTheSheetIsShownNextTime) {
    auto form = Start({{QStringLiteral("TTS_WaveConvRate"), QStringLiteral("2560")}});
    QWidget* sheet = Sheet(*form);
    ASSERT_NE(sheet, nullptr);
    ASSERT_TRUE(sheet->isVisible());
    auto* speed = Control<QComboBox>(*sheet, "cbxTTSWavRate");
    EXPECT_EQ(speed->currentText(), QStringLiteral("10x")) << "the default";

    Pick(speed, QStringLiteral("1x"));
    ShowOtherTabAndBack(*form);
    EXPECT_EQ(speed->currentText(), QStringLiteral("1x"));
    EXPECT_EQ(form->Preferences().TTS_WaveConvRate, 256);

    Pick(speed, QStringLiteral("Max"));
    ShowOtherTabAndBack(*form);
    EXPECT_EQ(speed->currentText(), QStringLiteral("Max"));

    // A value no item stands for (written by hand, or by another version) selects none.
    form->Options()->ShowSheet(OptionsArea::Sheet::Clipboard);
    form->Preferences().TTS_WaveConvRate = 11 * 256;
    form->Options()->ShowSheet(OptionsArea::Sheet::FileOptions);
    EXPECT_EQ(speed->currentIndex(), -1);
    EXPECT_EQ(form->Preferences().TTS_WaveConvRate, 11 * 256);
    EXPECT_TRUE(m_messages.all.isEmpty());
}

TEST_F(FileOptions, BrowseStoresTheFolderChosenInTheDialogAndTheEditShowsIt) {
    QDir(m_dir.path()).mkpath(QStringLiteral("Other"));
    for (const char* name :
         {"one.WAV", "two.mp3", "notes.txt", "three.Mp3.txt", "four.ogg", "five.OPUS"}) {
        audiotools::Write(m_dir.filePath(QString::fromLatin1(name)), "x");
    }
    auto form = Start();
    QWidget* sheet = Sheet(*form);
    ASSERT_NE(sheet, nullptr);
    auto* edit = Control<QLineEdit>(*sheet, "OutDirEdit");
    const QString other = m_dir.filePath(QStringLiteral("Other"));

    // Cancel changes nothing; the dialog opens on the stored folder and lists its sound files.
    QSize resized;
    OnNextModal([&](QWidget* modal) {
        EXPECT_EQ(modal->windowTitle(), QStringLiteral("Select Output Directory"));
        auto* dialog = qobject_cast<TOutDirDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->parentWidget(), form.get());
        EXPECT_EQ(dialog->SelectedDirectory(), m_dir.path());
        EXPECT_EQ(dialog->ListedFiles(),
                  (QStringList{QStringLiteral("five.OPUS"), QStringLiteral("four.ogg"),
                               QStringLiteral("one.WAV"), QStringLiteral("two.mp3")}));
        EXPECT_TRUE(Control<QLabel>(*dialog, "DirLabel")->toolTip() == m_dir.path());
        SelectFolder(dialog, other);
        EXPECT_EQ(dialog->ListedFiles(), QStringList());
        dialog->resize(dialog->width() + 40, dialog->height() + 30);
        resized = dialog->size();
        Click(dialog, "CancelBtn");
    });
    QTest::mouseClick(Control<QPushButton>(*sheet, "Button1"), Qt::LeftButton);
    EXPECT_EQ(form->Preferences().OUT_Directory, m_dir.path());
    EXPECT_EQ(edit->text(), m_dir.path());

    // OK stores the folder selected; the edit shows it. The dialog comes back at its size.
    OnNextModal([&](QWidget* dialog) {
        EXPECT_EQ(dialog->size(), resized) << "the placement is kept";
        SelectFolder(dialog, other);
        Click(dialog, "OKBtn");
    });
    QTest::mouseClick(Control<QPushButton>(*sheet, "Button1"), Qt::LeftButton);
    EXPECT_EQ(form->Preferences().OUT_Directory, other);
    EXPECT_EQ(edit->text(), other);

    // A stored folder that is gone opens the nearest folder above it.
    TypeInto(edit, m_dir.filePath(QStringLiteral("gone/deeper/")));
    OnNextModal([&](QWidget* modal) {
        EXPECT_EQ(qobject_cast<TOutDirDialog*>(modal)->SelectedDirectory(), m_dir.path());
        Click(modal, "CancelBtn");
    });
    QTest::mouseClick(Control<QPushButton>(*sheet, "Button1"), Qt::LeftButton);
    EXPECT_EQ(form->Preferences().OUT_Directory, m_dir.filePath(QStringLiteral("gone/deeper")));

    // A folder that cannot be made is told with the reason.
    audiotools::Write(m_dir.filePath(QStringLiteral("taken")), "x");
    TypeInto(edit, m_dir.path());
    OnNextModal([&](QWidget* dialog) {
        OnNextModal([](QWidget* ask) {
            auto* input = qobject_cast<QInputDialog*>(ask);
            ASSERT_NE(input, nullptr);
            input->setTextValue(QStringLiteral("taken"));
            input->accept();
        });
        Click(dialog, "NewFolderBtn");
        Click(dialog, "CancelBtn");
    });
    QTest::mouseClick(Control<QPushButton>(*sheet, "Button1"), Qt::LeftButton);
    ASSERT_EQ(m_messages.errors.size(), 1);
    EXPECT_EQ(m_messages.errors.first(), QStringLiteral("Cannot create the folder ") +
                                             m_dir.filePath(QStringLiteral("taken")) +
                                             QStringLiteral(": File exists"));
}

TEST_F(FileOptions, AMistypedFolderIsNamedAndMadeOnlyWhenTheUserSaysSo) {
    auto form = Start();
    QWidget* sheet = Sheet(*form);
    ASSERT_NE(sheet, nullptr);
    auto* edit = Control<QLineEdit>(*sheet, "OutDirEdit");
    const QString typed = m_dir.filePath(QStringLiteral("nonexistent/dir"));
    TypeInto(edit, typed);
    form->Options()->ShowSheet(OptionsArea::Sheet::Clipboard);
    TMemoEntry* entry = form->List()->CurrentEntry();
    entry->SetArticleText(QStringLiteral("Read into a folder made on request."));
    entry->SetTitle(QStringLiteral("Requested"));

    // Escape: nothing is made or read; the folder is shown, ready to be corrected.
    QString asked;
    OnNextModal([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(box, nullptr);
        asked = box->text().remove(QChar(0x200B));
        QTest::keyClick(box, Qt::Key_Escape);
    });
    form->PlayFileBtnClick();
    EXPECT_TRUE(asked.startsWith(QStringLiteral("File Output Directory is invalid")));
    EXPECT_TRUE(asked.contains(typed)) << asked.toStdString();
    EXPECT_FALSE(QFileInfo::exists(typed));
    EXPECT_EQ(form->State(), rsIdle);
    EXPECT_EQ(form->Options()->OptionPages()->currentWidget(), sheet);
    EXPECT_EQ(form->focusWidget(), edit);

    // Enter makes it, and the article is read into it.
    OnNextModal([](QWidget* modal) { QTest::keyClick(modal, Qt::Key_Return); });
    form->PlayFileBtnClick();
    EXPECT_TRUE(QFileInfo(typed).isDir());
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->State() == rsIdle; }, 60000));
    EXPECT_EQ(QDir(typed).entryList(QDir::Files).size(), 1);
    EXPECT_TRUE(m_messages.all.isEmpty()) << m_messages.all.join(QLatin1Char(';')).toStdString();
}

TEST_F(FileOptions, Mp3At64KbpsIntoANewFolderChosenInThePanelsIs44100Hz) {
    auto form = Start({{QStringLiteral("OUT_FileFormat"), QStringLiteral("0")},
                       {QStringLiteral("BitRate"), QStringLiteral("32")}});
    QWidget* sheet = Sheet(*form);
    ASSERT_NE(sheet, nullptr);
    ClickChoice(Control<QWidget>(*sheet, "FileFormatRGrp"), QStringLiteral("MP3"));
    Pick(Control<QComboBox>(*sheet, "AudioQltyCbx"), QStringLiteral("64 kbps / 44.1 KHz"));
    Pick(Control<QComboBox>(*sheet, "cbxTTSWavRate"), QStringLiteral("Max"));
    OnNextModal([&](QWidget* dialog) {
        OnNextModal([](QWidget* ask) {
            auto* input = qobject_cast<QInputDialog*>(ask);
            ASSERT_NE(input, nullptr);
            input->setTextValue(QStringLiteral("Spoken articles"));
            input->accept();
        });
        Click(dialog, "NewFolderBtn");
        Click(dialog, "OKBtn");
    });
    QTest::mouseClick(Control<QPushButton>(*sheet, "Button1"), Qt::LeftButton);
    const QString folder = m_dir.filePath(QStringLiteral("Spoken articles"));
    ASSERT_TRUE(QFileInfo(folder).isDir());
    EXPECT_EQ(Control<QLineEdit>(*sheet, "OutDirEdit")->text(), folder);

    TMemoEntry* entry = form->List()->CurrentEntry();
    entry->SetArticleText(QStringLiteral("Read into a file of high quality."));
    entry->SetTitle(QStringLiteral("Quality"));
    form->PlayFileBtnClick();
    ASSERT_EQ(form->State(), rsReading);
    ITTSCentralW* engine = form->Driver()->TTS1.EngineObject();
    ASSERT_NE(engine, nullptr);
    EXPECT_EQ(engine->destination()->realTime(), 0u) << "Max writes without pacing";
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->State() == rsIdle; }, 60000));
    EXPECT_TRUE(m_messages.all.isEmpty()) << m_messages.all.join(QLatin1Char(';')).toStdString();

    EXPECT_EQ(QDir(folder).entryList(QDir::Files), QStringList{QStringLiteral("Quality.mp3")});
    const QString decoded = m_dir.filePath(QStringLiteral("decoded.wav"));
    audiotools::Run(QStringLiteral("mpg123"),
                    {QStringLiteral("-q"), QStringLiteral("-w"), decoded,
                     QDir(folder).filePath(QStringLiteral("Quality.mp3"))});
    EXPECT_EQ(audiotools::Soxi(decoded, "-r"), QStringLiteral("44100"));
}

TEST_F(FileOptionsSheetTest, OggVorbisAndOpusShowTheirOwnQualityListsAndWriteThemAtOnce) {
    m_prefs.OUT_FileFormat = 3;
    m_prefs.OUT_OpusBitRate = 48;
    m_prefs.OUT_VorbisQuality = 7;  // not offered: the default level is shown
    FileOptionsSheet sheet(m_prefs);
    sheet.Load();
    sheet.show();
    auto* format = Control<QWidget>(sheet, "FileFormatRGrp");
    auto* mp3 = Control<QComboBox>(sheet, "AudioQltyCbx");
    auto* vorbis = Control<QComboBox>(sheet, "VorbisQualityCbx");
    auto* opus = Control<QComboBox>(sheet, "OpusQualityCbx");
    auto* hint = Control<QLabel>(sheet, "FormatHint");
    ASSERT_TRUE(format && mp3 && vorbis && opus && hint);
    EXPECT_EQ(Chosen(format), QStringLiteral("Opus"));
    EXPECT_TRUE(opus->isVisible());
    EXPECT_FALSE(mp3->isVisible() || vorbis->isVisible()) << "one quality list at a time";
    EXPECT_EQ(opus->currentText(), QStringLiteral("48 kbps"));
    EXPECT_TRUE(hint->isVisible());
    EXPECT_TRUE(hint->text().contains(QStringLiteral("Opus at 24 kbps")));
    Pick(opus, QStringLiteral("24 kbps"));
    EXPECT_EQ(m_prefs.OUT_OpusBitRate, 24);

    ClickChoice(format, QStringLiteral("Ogg Vorbis"));
    EXPECT_EQ(m_prefs.OUT_FileFormat, 2);
    EXPECT_TRUE(vorbis->isVisible());
    EXPECT_FALSE(opus->isVisible());
    EXPECT_EQ(vorbis->currentText(), QStringLiteral("Small (quality 2)"));
    EXPECT_EQ(m_prefs.OUT_VorbisQuality, 7) << "nothing is stored until the user chooses";
    Pick(vorbis, QStringLiteral("Best (quality 6)"));
    EXPECT_EQ(m_prefs.OUT_VorbisQuality, 6);

    ClickChoice(format, QStringLiteral("MP3"));
    EXPECT_EQ(m_prefs.OUT_FileFormat, 1) << "an MP3 is still stored as 1";
    EXPECT_TRUE(mp3->isVisible() && mp3->isEnabled());
    EXPECT_FALSE(vorbis->isVisible());
}

TEST_F(FileOptions, AnArticleReadToOpusFromTheWindowDecodesToItsSpeech) {
    auto form = Start({{QStringLiteral("OUT_FileFormat"), QStringLiteral("3")},
                       {QStringLiteral("TTS_WaveConvRate"), QStringLiteral("0")}});
    TMemoEntry* entry = form->List()->CurrentEntry();
    entry->SetArticleText(QStringLiteral("Spoken into an Opus file."));
    entry->SetTitle(QStringLiteral("Small"));
    form->PlayFileBtnClick();
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->State() == rsIdle; }, 60000));
    EXPECT_TRUE(m_messages.all.isEmpty()) << m_messages.all.join(QLatin1Char(';')).toStdString();
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("Small.opus")});
    EXPECT_EQ(form->StatusPanelText(0), QStringLiteral("Saved Small.opus to ") + m_dir.path());
    const QString decoded =
        OggDecoded(OggFormat::Opus, m_dir.filePath(QStringLiteral("Small.opus")));
    EXPECT_GT(audiotools::Soxi(decoded, "-D").toDouble(), 1.0);
    EXPECT_EQ(OggComments(OggFormat::Opus, m_dir.filePath(QStringLiteral("Small.opus")))
                  .count(QStringLiteral("TITLE")),
              1u);
}
