// Reading articles into WAV and MP3 files from the main window, with the real engines and encoder;
// the files are checked with soxi, mpg123 and id3v2.
#include "tests/app/readtofilefixture.h"

using namespace readtofiletest;

TEST_F(ReadToFile, OneWaveNamedAfterTheFirstTitleHoldsTheWholeList) {
    auto form = Start(1, {{QStringLiteral("Morning news"), QStringLiteral("First article."), {}},
                          {QStringLiteral("Second"), QStringLiteral("Second article."), {}},
                          {QString(), QStringLiteral("A third one without a title."), {}}});
    form->PlayFileBtnClick();
    ASSERT_TRUE(WaitIdle(*form));
    EXPECT_TRUE(messages_.all.isEmpty()) << messages_.all.join(QLatin1Char(';')).toStdString();
    ASSERT_EQ(Files(), QStringList{QStringLiteral("Morning news.wav")});
    const double seconds =
        audiotools::Soxi(PathOf(QStringLiteral("Morning news.wav")), "-D").toDouble();
    EXPECT_GT(seconds, 3.0) << "all three articles are in the one file";
    EXPECT_EQ(form->List()->VisibleCount(), 3) << "reading to a file keeps the articles";
}

TEST_F(ReadToFile, LowRateVoicesAreRaisedToTheRateTheBitRateNeeds) {
    Store("OUT_FileFormat", QStringLiteral("1"));
    Store("BitRate", QStringLiteral("32"));
    auto form = Start(0, {{QStringLiteral("Eight kilohertz"),
                           QStringLiteral("Kal speaks at eight thousand samples a second."),
                           QStringLiteral("Flite kal")}});
    form->PlayFileBtnClick();
    ASSERT_TRUE(WaitIdle(*form));
    EXPECT_TRUE(messages_.all.isEmpty()) << messages_.all.join(QLatin1Char(';')).toStdString();
    ASSERT_EQ(Files(), QStringList{QStringLiteral("Eight kilohertz.mp3")})
        << "no temporary wave is left";
    const QString mp3 = PathOf(QStringLiteral("Eight kilohertz.mp3"));
    EXPECT_GT(audiotools::DecodedSamples(mp3), 22050);
    const QString decoded = PathOf(QStringLiteral("decoded.wav"));
    audiotools::Run(QStringLiteral("mpg123"),
                    {QStringLiteral("-q"), QStringLiteral("-w"), decoded, mp3});
    EXPECT_EQ(audiotools::Soxi(decoded, "-r"), QStringLiteral("22050"));
    EXPECT_TRUE(audiotools::Run(QStringLiteral("id3v2"), {QStringLiteral("-l"), mp3})
                    .contains(QStringLiteral("Eight kilohertz")));
}

TEST_F(ReadToFile, RatesAboveWhatTheBitRateNeedsAreKept) {
    Store("OUT_FileFormat", QStringLiteral("1"));
    Store("BitRate", QStringLiteral("16"));
    auto form = Start(0, {{QStringLiteral("Sixteen"), QStringLiteral("Sixteen kilobits."),
                           QStringLiteral("Flite kal16")}});
    form->ReadArticleToFile(form->List()->Entries.first());
    ASSERT_TRUE(WaitIdle(*form));
    ASSERT_EQ(Files(), QStringList{QStringLiteral("Sixteen.mp3")});
    const QString decoded = PathOf(QStringLiteral("decoded.wav"));
    audiotools::Run(QStringLiteral("mpg123"), {QStringLiteral("-q"), QStringLiteral("-w"), decoded,
                                               PathOf(QStringLiteral("Sixteen.mp3"))});
    EXPECT_EQ(audiotools::Soxi(decoded, "-r"), QStringLiteral("16000"));
}

TEST_F(ReadToFile, OneFilePerArticleAndStopLeavesNoPartialFile) {
    Store("OUT_FileDest", QStringLiteral("1"));
    Store("OUT_FileFormat", QStringLiteral("1"));
    auto form = Start(1, {{QStringLiteral("Alpha"), QStringLiteral("The alpha article."), {}},
                          {QStringLiteral("Beta"), QStringLiteral("The beta article."), {}}});
    form->PlayFileBtnClick();
    ASSERT_TRUE(WaitIdle(*form));
    EXPECT_EQ(Files(), (QStringList{QStringLiteral("Alpha.mp3"), QStringLiteral("Beta.mp3")}));
    EXPECT_GT(audiotools::DecodedSamples(PathOf(QStringLiteral("Beta.mp3"))), 0);

    // A long article stopped while its speech is being written leaves nothing behind.
    QDir(dir_.path()).removeRecursively();
    QDir().mkpath(dir_.path());
    form->List()->Entries[0]->SetArticleText(
        QString(QStringLiteral("A long sentence that goes on. ")).repeated(400));
    form->ReadArticleToFile(form->List()->Entries[0]);
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return TemporarySize(QStringLiteral(".wav")) > 100000; }, 30000));
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return TemporarySize(QStringLiteral(".mp3")) > 1000; }, 30000))
        << "the MP3 is encoded while the speech is written";
    EXPECT_FALSE(QFileInfo::exists(PathOf(QStringLiteral("Alpha.mp3"))))
        << "the final name only ever holds a whole file";
    form->StopBtnClick();
    ASSERT_TRUE(WaitIdle(*form));
    EXPECT_EQ(Files(), QStringList());
    EXPECT_TRUE(NoThreadNamed(QStringLiteral("mp3 part"))) << "the encoder has ended";

    // Stopping a reading aloud touches no file.
    form->ReadArticleAloud(form->List()->Entries[0]);
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->List()->Entries[0]->Editor()->SelLength() > 0; },
                                20000));
    form->StopBtnClick();
    ASSERT_TRUE(WaitIdle(*form));
    EXPECT_EQ(Files(), QStringList());
}

TEST_F(ReadToFile, MissingTitlesAndMissingFoldersStopBeforeAnythingIsWritten) {
    Store("OUT_FileDest", QStringLiteral("1"));
    auto form = Start(1, {{QStringLiteral("Has a title"), QStringLiteral("First."), {}},
                          {QString(), QStringLiteral("Second has none."), {}}});
    form->PlayFileBtnClick();
    ASSERT_TRUE(WaitIdle(*form));
    ASSERT_EQ(messages_.all.size(), 1);
    EXPECT_EQ(messages_.all.first(),
              QStringLiteral(
                  "A title is required for each item entry when\routputting to multiple files"));
    EXPECT_EQ(Files(), QStringList()) << "every title is checked before the first file is begun";

    // A folder that has gone is made again once the user agrees.
    messages_.clear();
    ASSERT_TRUE(dir_.remove());
    QTimer::singleShot(0, [] {
        if (QWidget* question = QApplication::activeModalWidget()) {
            QTest::keyClick(question, Qt::Key_Return);
        }
    });
    form->ReadArticleToFile(form->List()->Entries[0]);
    ASSERT_TRUE(WaitIdle(*form));
    EXPECT_TRUE(messages_.all.isEmpty()) << messages_.all.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(Files().size(), 1);

    // A file in the folder's place: nothing starts, and the message names it and says why.
    ASSERT_TRUE(QDir(dir_.path()).removeRecursively());
    QFile inTheWay(dir_.path());
    ASSERT_TRUE(inTheWay.open(QIODevice::WriteOnly));
    inTheWay.close();
    form->PlayFileBtnClick();
    EXPECT_EQ(form->State(), rsIdle);
    ASSERT_EQ(messages_.all.size(), 1);
    EXPECT_TRUE(messages_.all[0].startsWith(QStringLiteral("File Output Directory is invalid")));
    EXPECT_TRUE(messages_.all[0].contains(dir_.path() + QStringLiteral(": a file of that name")))
        << messages_.all[0].toStdString();
    form->ReadArticleToFile(form->List()->Entries[0]);
    EXPECT_EQ(messages_.all.size(), 2);
    EXPECT_FALSE(QFileInfo(dir_.path()).isDir());
    inTheWay.remove();
}

TEST_F(ReadToFile, OpenedTextFilesBecomeArticlesAndReadIntoMp3Files) {
    Store("OUT_FileDest", QStringLiteral("1"));
    Store("OUT_FileFormat", QStringLiteral("1"));
    Store("TTS_WaveConvRate", QStringLiteral("0"));  // as fast as the engine goes
    auto form = Start(1, {});
    QTemporaryDir texts;
    const QString small = texts.filePath(QStringLiteral("report.final.txt"));
    const QString large = texts.filePath(QStringLiteral("Long read.txt"));
    const QString empty = texts.filePath(QStringLiteral("empty.txt"));
    const QString after = texts.filePath(QStringLiteral("after.txt"));
    const QByteArray sentence = "The quick brown fox jumps over the lazy dog. ";
    audiotools::Write(small, sentence.repeated(200).left(5119));
    audiotools::Write(large, sentence.repeated(300).left(8000));
    audiotools::Write(empty, {});
    audiotools::Write(after, sentence);
    form->OpenTextFiles({small, large, empty, after});
    EXPECT_EQ(messages_.all, QStringList{empty + QStringLiteral(" is empty")});
    // The empty article of a fresh list takes the first file.
    ASSERT_EQ(form->List()->VisibleCount(), 3) << "a file after an empty one opens too";
    EXPECT_EQ(form->StatusPanelText(0), QStringLiteral("3 articles"));
    TMemoEntry* text = form->List()->Entries[0];
    TMemoEntry* file = form->List()->Entries[1];
    EXPECT_EQ(text->Title(), QStringLiteral("report"));
    EXPECT_FALSE(text->FileEntry());
    EXPECT_EQ(text->GetArticleText().size(), 5119);
    EXPECT_EQ(file->Title(), QStringLiteral("Long_read"));
    EXPECT_TRUE(file->FileEntry());
    EXPECT_TRUE(file->GetArticleText().startsWith(QStringLiteral("~~FILE~~") + large));

    messages_.clear();
    form->PlayFileBtnClick();
    ASSERT_TRUE(WaitIdle(*form));
    EXPECT_TRUE(messages_.all.isEmpty()) << messages_.all.join(QLatin1Char(';')).toStdString();
    ASSERT_EQ(Files(), (QStringList{QStringLiteral("Long_read.mp3"), QStringLiteral("after.mp3"),
                                    QStringLiteral("report.mp3")}));
    // The large file is read to its end, piece by piece: about as long as its words take.
    const int64_t samples = audiotools::DecodedSamples(PathOf(QStringLiteral("Long_read.mp3")));
    const int64_t smallSamples = audiotools::DecodedSamples(PathOf(QStringLiteral("report.mp3")));
    EXPECT_GT(samples * 10, smallSamples * 14) << "more than the first piece of 5120 bytes";
    EXPECT_TRUE(audiotools::Run(QStringLiteral("id3v2"),
                                {QStringLiteral("-l"), PathOf(QStringLiteral("Long_read.mp3"))})
                    .contains(QStringLiteral("Long_read")));
}

TEST_F(ReadToFile, ExitDuringEncodingLeavesNeitherAPartialMp3NorTemporaries) {
    Store("OUT_FileFormat", QStringLiteral("1"));
    Store("TTS_WaveConvRate", QStringLiteral("0"));
    auto form = Start(
        0, {{QStringLiteral("Long"),
             QString(QStringLiteral("A long article takes a while to encode. ")).repeated(600),
             {}}});
    bool exited = false;
    bool finalNameSeen = true;
    QObject::connect(form.get(), &TForm1::statusChanged, [&](const QString& text, const QString&) {
        if (!exited && text.startsWith(QStringLiteral("Converting to MP3 format: Long.mp3"))) {
            exited = true;
            finalNameSeen = QFileInfo::exists(PathOf(QStringLiteral("Long.mp3")));
            // From the event loop the encoder keeps turning, as the user's click would come.
            QTimer::singleShot(50, form.get(), &TForm1::ExitQuillsongClick);
        }
    });
    QSignalSpy ended(form.get(), &TForm1::terminationRequested);
    form->PlayFileBtnClick();
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return ended.count() == 1 && form->State() == rsExiting; }, 120000));
    EXPECT_FALSE(finalNameSeen) << "the MP3 is encoded under a temporary name";
    // The interrupted encoding returns and removes what it was making.
    EXPECT_TRUE(QTest::qWaitFor([&] { return Files().isEmpty(); }, 20000))
        << Files().join(QLatin1Char(' ')).toStdString();
    // Twenty minutes of speech are encoded by a worker per core; every one of them has ended.
    EXPECT_TRUE(NoThreadNamed(QStringLiteral("mp3 part")));
}

TEST_F(ReadToFile, TheWindowAndTheConverterIntoOneFolderAtOnceEachKeepTheirOwnSpeech) {
    Store("OUT_FileFormat", QStringLiteral("1"));
    Store("TTS_WaveConvRate", QStringLiteral("0"));
    const QString sentence = QStringLiteral("The window and the converter share one folder. ");
    auto form = Start(0, {{QStringLiteral("Window"), sentence.repeated(40), {}}});
    QTemporaryDir texts;
    const QString input = texts.filePath(QStringLiteral("Converter.txt"));
    audiotools::Write(input, sentence.repeated(90).toUtf8());
    QProcess converter;
    const auto startConverter = [&] {
        converter.start(QStringLiteral(QUILL_BIN_DIR "/quillsong-cli"),
                        {QStringLiteral("--format"), QStringLiteral("mp3"), QStringLiteral("--out"),
                         dir_.path(), input});
    };
    const QString windowMp3 = PathOf(QStringLiteral("Window.mp3"));
    const QString converterMp3 = PathOf(QStringLiteral("Converter.mp3"));

    // Each alone first: the length of its own speech.
    form->PlayFileBtnClick();
    ASSERT_TRUE(WaitIdle(*form));
    startConverter();
    ASSERT_TRUE(converter.waitForFinished(120000));
    ASSERT_EQ(converter.exitCode(), 0) << converter.readAllStandardError().toStdString();
    const int64_t windowAlone = audiotools::DecodedSamples(windowMp3);
    const int64_t converterAlone = audiotools::DecodedSamples(converterMp3);
    ASSERT_GT(windowAlone, 0);
    ASSERT_GT(converterAlone, windowAlone * 3 / 2);
    QFile::remove(windowMp3);
    QFile::remove(converterMp3);

    // Both at once. The engine's speech of a text varies by an MP3 frame or so from run to
    // run; the other's speech in a file would make it half again as long or short.
    startConverter();
    form->PlayFileBtnClick();
    ASSERT_TRUE(WaitIdle(*form));
    ASSERT_TRUE(QTest::qWaitFor([&] { return converter.state() == QProcess::NotRunning; }, 120000));
    EXPECT_EQ(converter.exitCode(), 0) << converter.readAllStandardError().toStdString();
    EXPECT_TRUE(messages_.all.isEmpty()) << messages_.all.join(QLatin1Char(';')).toStdString();
    EXPECT_NEAR(audiotools::DecodedSamples(windowMp3), windowAlone, windowAlone / 100);
    EXPECT_NEAR(audiotools::DecodedSamples(converterMp3), converterAlone, converterAlone / 100);
    EXPECT_EQ(Files(), (QStringList{QStringLiteral("Converter.mp3"), QStringLiteral("Window.mp3")}))
        << "no temporary is left";
}

TEST_F(ReadToFile, FoldersThatTakeNoFileAreRefusedBeforeAnythingIsSpoken) {
    auto form = Start(0, {{QStringLiteral("Alpha"), QStringLiteral("Some words."), {}}});
    form->Preferences().OUT_Directory = QStringLiteral("/proc");
    const QString refusal =
        QStringLiteral("Files cannot be written to /proc: the folder does not take new files");
    for (const uint8_t format : {OutputFormat::Wav, OutputFormat::Mp3}) {
        SCOPED_TRACE(int(format));
        form->Preferences().OUT_FileFormat = format;
        messages_.clear();
        form->PlayFileBtnClick();
        EXPECT_EQ(form->State(), rsIdle);
        form->ReadArticleToFile(form->List()->Entries.first());
        EXPECT_EQ(form->State(), rsIdle);
        EXPECT_EQ(messages_.all, (QStringList{refusal, refusal}));
    }
}

TEST_F(ReadToFile, ArticlesOfOneTitleEachGetAFileOfTheirOwn) {
    const QString folder = dir_.filePath(QStringLiteral("Same"));
    ASSERT_TRUE(QDir().mkpath(folder));
    Store("OUT_Directory", folder);
    Store("OUT_FileDest", QStringLiteral("1"));
    Store("TTS_WaveConvRate", QStringLiteral("0"));
    const QString longer = QString(QStringLiteral("A longer second article. ")).repeated(8);
    auto form = Start(1, {{QStringLiteral("Notes"), QStringLiteral("Short."), {}},
                          {QStringLiteral("Notes"), longer, {}},
                          {QStringLiteral("Other"), QStringLiteral("The other one."), {}},
                          {QStringLiteral("Notes"), QStringLiteral("Third of the name."), {}}});
    form->PlayFileBtnClick();
    ASSERT_TRUE(WaitIdle(*form));
    EXPECT_TRUE(messages_.all.isEmpty()) << messages_.all.join(QLatin1Char(';')).toStdString();
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name),
              (QStringList{QStringLiteral("Notes (2).wav"), QStringLiteral("Notes (3).wav"),
                           QStringLiteral("Notes.wav"), QStringLiteral("Other.wav")}));
    // Each holds its own article's speech: the longer article is the longer file.
    const double first = audiotools::Soxi(folder + QStringLiteral("/Notes.wav"), "-D").toDouble();
    const double second =
        audiotools::Soxi(folder + QStringLiteral("/Notes (2).wav"), "-D").toDouble();
    EXPECT_GT(first, 0.0);
    EXPECT_GT(second, 3 * first);
    EXPECT_EQ(form->StatusPanelText(0), QStringLiteral("Saved 4 files to ") + folder);

    // A single article read again takes its own name: the earlier file of that name goes.
    form->ReadArticleToFile(form->List()->Entries[0]);
    ASSERT_TRUE(WaitIdle(*form));
    EXPECT_EQ(QDir(folder).entryList(QDir::Files).size(), 4);
}

TEST_F(ReadToFile, TheStatusBarSaysWhereTheFilesWent) {
    // The home folder is shown as "~".
    const QByteArray home = qgetenv("HOME");
    qputenv("HOME", dir_.path().toUtf8());
    const auto restoreHome = qScopeGuard([&] { qputenv("HOME", home); });
    const QString folder = dir_.filePath(QStringLiteral("Music/Quillsong"));
    ASSERT_TRUE(QDir().mkpath(folder));
    Store("OUT_Directory", folder);
    Store("OUT_FileDest", QStringLiteral("1"));
    Store("TTS_WaveConvRate", QStringLiteral("0"));
    auto form = Start(1, {{QStringLiteral("Alpha"), QStringLiteral("The alpha article."), {}},
                          {QStringLiteral("Beta"), QStringLiteral("The beta article."), {}}});
    form->PlayFileBtnClick();
    ASSERT_TRUE(WaitIdle(*form));
    EXPECT_EQ(form->StatusPanelText(0), QStringLiteral("Saved 2 files to ~/Music/Quillsong"));
    EXPECT_EQ(QDir(folder).entryList(QDir::Files),
              (QStringList{QStringLiteral("Alpha.wav"), QStringLiteral("Beta.wav")}));

    form->Preferences().OUT_FileFormat = OutputFormat::Mp3;
    form->ReadArticleToFile(form->List()->Entries[1]);
    ASSERT_TRUE(WaitIdle(*form));
    EXPECT_EQ(form->StatusPanelText(0), QStringLiteral("Saved Beta.mp3 to ~/Music/Quillsong"));
    EXPECT_TRUE(messages_.all.isEmpty()) << messages_.all.join(QLatin1Char(';')).toStdString();

    // A file removed before the reading ends (its folder taken away) is not claimed.
    form->Preferences().OUT_FileFormat = OutputFormat::Wav;
    QObject gone;
    QObject::connect(form->Session(), &ReadingSession::fileSaved, &gone, [](const QString& path) {
        if (path.endsWith(QStringLiteral("Alpha.wav"))) {
            QFile::remove(path);
        }
    });
    form->PlayFileBtnClick();
    ASSERT_TRUE(WaitIdle(*form));
    EXPECT_EQ(form->StatusPanelText(0), QStringLiteral("Saved Beta.wav to ~/Music/Quillsong"));

    // Elsewhere than home, the whole path; a reading that made no file says nothing of files.
    const QString outside = QStringLiteral("/tmp");
    EXPECT_EQ(ReadToFileJob::SavedText({outside + QStringLiteral("/a.wav")}),
              QStringLiteral("Saved a.wav to /tmp"));
    form->Preferences().OUT_FileFormat = OutputFormat::Wav;
    form->List()->Entries[0]->SetArticleText(
        QString(QStringLiteral("A long sentence that goes on. ")).repeated(400));
    form->ReadArticleToFile(form->List()->Entries[0]);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return TemporarySize(QStringLiteral(".wav"), folder) > 100000; }, 30000));
    form->StopBtnClick();
    ASSERT_TRUE(WaitIdle(*form));
    EXPECT_EQ(form->StatusPanelText(0), form->ArticleCountText());
}

TEST_F(ReadToFile, AFullDiskEndsTheReadingWithTheFileAndTheCause) {
    QUILL_REQUIRE_SMALL_DISK();
    SmallDisk disk(128);
    ASSERT_EQ(disk.Error(), QString());
    Store("OUT_Directory", disk.Path() + QLatin1Char('/'));
    Store("OUT_FileDest", QStringLiteral("1"));
    Store("TTS_WaveConvRate", QStringLiteral("0"));
    const QString longText =
        QString(QStringLiteral("A long sentence that fills the disk. ")).repeated(300);
    auto form = Start(1, {{QStringLiteral("Alpha"), QStringLiteral("Short."), {}},
                          {QStringLiteral("Beta"), longText, {}},
                          {QStringLiteral("Gamma"), QStringLiteral("Never read."), {}}});
    const auto filesOnDisk = [&] {
        return QDir(disk.Path()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    };
    const QString noSpace = QStringLiteral(": No space left on device");

    // One file per article: the first is made, the second fails, the walk ends there.
    form->PlayFileBtnClick();
    ASSERT_TRUE(WaitIdle(*form)) << "the reading ends";
    EXPECT_EQ(messages_.errors, QStringList{QStringLiteral("Cannot write ") + disk.Path() +
                                            QStringLiteral("/Beta.wav") + noSpace});
    EXPECT_EQ(filesOnDisk(), QStringList{QStringLiteral("Alpha.wav")}) << "no partial file";
    EXPECT_EQ(form->StatusPanelText(0), QStringLiteral("Saved Alpha.wav to ") + disk.Path());
    EXPECT_EQ(form->List()->VisibleCount(), 3);
    EXPECT_TRUE(form->CommandEnabled(TForm1::cmdFile));

    // An MP3: its wave is what fails.
    messages_.clear();
    form->Preferences().OUT_FileFormat = OutputFormat::Mp3;
    form->ReadArticleToFile(form->List()->Entries[1]);
    ASSERT_TRUE(WaitIdle(*form));
    EXPECT_EQ(messages_.errors, QStringList{QStringLiteral("Cannot write ") + disk.Path() +
                                            QStringLiteral("/Beta.mp3") + noSpace});
    EXPECT_EQ(filesOnDisk(), QStringList{QStringLiteral("Alpha.wav")});
    EXPECT_EQ(form->StatusPanelText(0), form->ArticleCountText());
}

TEST_F(ReadToFile, TheDiskFillingUpWhileEncodingKeepsTheEarlierFilesOfTheList) {
    QUILL_REQUIRE_SMALL_DISK();
    SmallDisk disk(8192);
    ASSERT_EQ(disk.Error(), QString());
    Store("OUT_Directory", disk.Path() + QLatin1Char('/'));
    Store("OUT_FileDest", QStringLiteral("1"));
    Store("OUT_FileFormat", QStringLiteral("1"));
    Store("BitRate", QStringLiteral("32"));
    Store("TTS_WaveConvRate", QStringLiteral("0"));
    const QString longText =
        QString(QStringLiteral("A sentence that takes a while to encode. ")).repeated(20);
    auto form = Start(1, {{QStringLiteral("Alpha"), QStringLiteral("The alpha article."), {}},
                          {QStringLiteral("Beta"), longText, {}},
                          {QStringLiteral("Gamma"), QStringLiteral("Never read."), {}}});
    // The disk fills up as soon as Beta's MP3 has begun (its tag is in it). Its encoding
    // follows the speech as it is written, so the speech may or may not be whole by then: the
    // one that next needs room fails.
    bool filled = false;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        const QDir folder(disk.Path());
        if (filled || !folder.exists(QStringLiteral("Alpha.mp3"))) {
            return;
        }
        const QFileInfoList temporaries =
            folder.entryInfoList({QStringLiteral(".quillsong-*.mp3")}, QDir::Files | QDir::Hidden);
        for (const QFileInfo& file : temporaries) {
            if (file.size() > 0) {
                filled = true;
                disk.Fill();
                return;
            }
        }
    });
    watch.start(kWatchMs);
    form->PlayFileBtnClick();
    ASSERT_TRUE(WaitIdle(*form)) << "the reading ends";
    ASSERT_TRUE(filled) << messages_.all.join(QLatin1Char('|')).toStdString();
    const QString beta = disk.Path() + QStringLiteral("/Beta");
    ASSERT_FALSE(messages_.errors.isEmpty());
    EXPECT_TRUE(messages_.errors[0].contains(beta + QStringLiteral(".mp3")) &&
                messages_.errors[0].contains(QStringLiteral("No space left on device")))
        << messages_.errors[0].toStdString();
    // The earlier file is kept and named; no partial MP3, no temporary; Gamma is not begun.
    // When the speech was whole, it is kept as a wave and the user is told where.
    QStringList left{QStringLiteral("Alpha.mp3"), QStringLiteral("filler")};
    if (messages_.errors.size() == 2) {
        EXPECT_EQ(messages_.errors[1],
                  QStringLiteral("The MP3 file could not be made. The speech is kept in ") + beta +
                      QStringLiteral(".wav"));
        left.insert(1, QStringLiteral("Beta.wav"));
    } else {
        EXPECT_EQ(messages_.errors.size(), 1) << messages_.all.join(QLatin1Char('|')).toStdString();
    }
    EXPECT_EQ(QDir(disk.Path()).entryList(QDir::Files | QDir::Hidden, QDir::Name), left);
    EXPECT_EQ(form->StatusPanelText(0), QStringLiteral("Saved Alpha.mp3 to ") + disk.Path());
    QFile::remove(disk.Path() + QStringLiteral("/filler"));  // room for the decoded Alpha
    EXPECT_GT(audiotools::DecodedSamples(disk.Path() + QStringLiteral("/Alpha.mp3")), 0);
    if (left.contains(QStringLiteral("Beta.wav"))) {
        EXPECT_GT(audiotools::Soxi(beta + QStringLiteral(".wav"), "-D").toDouble(), 10.0)
            << "the whole speech of Beta";
    }
}

TEST_F(ReadToFile, TheOutputFolderTakenAwayEndsTheReadingNamingTheFolder) {
    const QString folder = dir_.filePath(QStringLiteral("Out"));
    ASSERT_TRUE(QDir().mkpath(folder));
    Store("OUT_Directory", folder);
    Store("OUT_FileDest", QStringLiteral("1"));
    Store("TTS_WaveConvRate", QStringLiteral("0"));
    auto form = Start(1, {{QStringLiteral("Alpha"), QStringLiteral("The alpha article."), {}},
                          {QStringLiteral("Beta"),
                           QString(QStringLiteral("A long sentence that goes on. ")).repeated(400),
                           {}},
                          {QStringLiteral("Gamma"), QStringLiteral("Never read."), {}}});
    QStringList saved;
    QObject guard;
    QObject::connect(form->Session(), &ReadingSession::fileSaved, &guard,
                     [&](const QString& path) { saved << path; });
    const auto gone = [&](const char* suffix) {
        return QStringList{folder + QStringLiteral("/Beta") + QLatin1String(suffix) +
                           QStringLiteral(" could not be saved: the folder ") + folder +
                           QStringLiteral(" no longer exists")};
    };

    // While Beta's speech is written.
    form->PlayFileBtnClick();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return TemporarySize(QStringLiteral(".wav"), folder) > 100000; }, 30000));
    ASSERT_TRUE(QDir(folder).removeRecursively());
    ASSERT_TRUE(WaitIdle(*form)) << "the reading ends";
    EXPECT_EQ(messages_.errors, gone(".wav"));
    EXPECT_EQ(saved, QStringList{folder + QStringLiteral("/Alpha.wav")});
    EXPECT_FALSE(QFileInfo::exists(folder)) << "nothing is made in its place";
    EXPECT_EQ(form->StatusPanelText(0), form->ArticleCountText())
        << "no file that went with the folder is claimed";
    EXPECT_TRUE(form->CommandEnabled(TForm1::cmdFile));

    // While Beta's MP3 is encoded.
    messages_.clear();
    saved.clear();
    ASSERT_TRUE(QDir().mkpath(folder));
    form->Preferences().OUT_FileFormat = OutputFormat::Mp3;
    QString encoding;
    bool removed = false;
    QObject::connect(form->Session(), &ReadingSession::conversionStarted, &guard,
                     [&](const QString& mp3) { encoding = mp3; });
    QObject::connect(form->Session(), &ReadingSession::conversionProgress, &guard, [&](int) {
        if (!removed && encoding.endsWith(QStringLiteral("/Beta.mp3"))) {
            removed = QDir(folder).removeRecursively();
        }
    });
    form->PlayFileBtnClick();
    ASSERT_TRUE(WaitIdle(*form));
    ASSERT_TRUE(removed);
    EXPECT_EQ(messages_.errors, gone(".mp3"));
    EXPECT_EQ(saved, QStringList{folder + QStringLiteral("/Alpha.mp3")});
    EXPECT_FALSE(QFileInfo::exists(folder));

    // The next reading makes the folder again once the user agrees.
    messages_.clear();
    QTimer::singleShot(0, [] {
        if (QWidget* question = QApplication::activeModalWidget()) {
            QTest::keyClick(question, Qt::Key_Return);
        }
    });
    form->ReadArticleToFile(form->List()->Entries[0]);
    ASSERT_TRUE(WaitIdle(*form));
    EXPECT_TRUE(messages_.all.isEmpty()) << messages_.all.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("Alpha.mp3")});
}

TEST_F(ReadToFile, Mp3FilesOfAListCarryTheirPlaceTheAlbumTheVoiceTheYearAndTheProgram) {
    Store("OUT_FileDest", QStringLiteral("1"));
    Store("OUT_FileFormat", QStringLiteral("1"));
    Store("TTS_WaveConvRate", QStringLiteral("0"));
    auto form = Start(1, {{QStringLiteral("Alpha"), QStringLiteral("The alpha article."), {}},
                          {QStringLiteral("Beta"), QStringLiteral("The beta article."),
                           QStringLiteral("Flite kal")},
                          {QStringLiteral("Gamma"), QStringLiteral("The gamma article."), {}}});
    const QString defaultVoice = form->List()->Entries[0]->Voice();
    ASSERT_FALSE(defaultVoice.isEmpty());
    ASSERT_NE(defaultVoice, QStringLiteral("Flite kal"));
    form->PlayFileBtnClick();
    ASSERT_TRUE(WaitIdle(*form));
    EXPECT_TRUE(messages_.all.isEmpty()) << messages_.all.join(QLatin1Char(';')).toStdString();
    ASSERT_EQ(Files(), (QStringList{QStringLiteral("Alpha.mp3"), QStringLiteral("Beta.mp3"),
                                    QStringLiteral("Gamma.mp3")}));
    const QString year = QString::number(QDate::currentDate().year());
    const QString comment = QStringLiteral("()[eng]: ") + ProgramVersion::nameAndVersion();
    ASSERT_TRUE(comment.startsWith(QStringLiteral("()[eng]: Quillsong MP3 1.")));
    const QStringList titles{QStringLiteral("Alpha"), QStringLiteral("Beta"),
                             QStringLiteral("Gamma")};
    for (int i = 0; i < titles.size(); ++i) {
        const QMap<QString, QString> frames = Id3Frames(PathOf(titles[i] + QStringLiteral(".mp3")));
        EXPECT_EQ(frames.value(QStringLiteral("TIT2")), titles[i]);
        // A list has no title of its own: its first article's names the album.
        EXPECT_EQ(frames.value(QStringLiteral("TALB")), QStringLiteral("Alpha"));
        EXPECT_EQ(frames.value(QStringLiteral("TRCK")), QStringLiteral("%1/3").arg(i + 1));
        EXPECT_EQ(frames.value(QStringLiteral("TPE1")),
                  i == 1 ? QStringLiteral("Flite kal") : defaultVoice);
        EXPECT_EQ(frames.value(QStringLiteral("TYER")), year);
        EXPECT_EQ(frames.value(QStringLiteral("COMM")), comment);
    }

    // One article read into its own file: its title and voice, and no place in a list.
    form->ReadArticleToFile(form->List()->Entries[1]);
    ASSERT_TRUE(WaitIdle(*form));
    const QMap<QString, QString> alone = Id3Frames(PathOf(QStringLiteral("Beta.mp3")));
    EXPECT_EQ(alone.value(QStringLiteral("TIT2")), QStringLiteral("Beta"));
    EXPECT_EQ(alone.value(QStringLiteral("TPE1")), QStringLiteral("Flite kal"));
    EXPECT_FALSE(alone.contains(QStringLiteral("TRCK")));
    EXPECT_FALSE(alone.contains(QStringLiteral("TALB")));
    EXPECT_EQ(alone.value(QStringLiteral("TYER")), year);
    EXPECT_EQ(alone.value(QStringLiteral("COMM")), comment);
}
