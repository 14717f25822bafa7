#include "app/readtofilejob.h"

#include <sys/stat.h>
#include <unistd.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <QTextBoundaryFinder>
#include <cerrno>
#include <cstdio>

#include "audio/mmwave.h"
#include "audio/mp3encoder.h"
#include "audio/mp3job.h"
#include "audio/opusencoder.h"
#include "audio/vorbisencoder.h"
#include "platform/shell/debuglog.h"
#include "platform/shell/newfilemode.h"
#include "platform/shell/utilsclass.h"
#include "platform/speechapi/wavefiledestination.h"
#include "speech/tts.h"

namespace {

// The longest file name most file systems take, in bytes, for one that does not tell.
constexpr qsizetype kCommonNameMax = 255;

QString ReduceSeparators(QString path) {
    while (path.contains(QStringLiteral("//"))) {
        path.replace(QStringLiteral("//"), QStringLiteral("/"));
    }
    return path;
}

// Creates an empty temporary file in folder under a name no other run can take (the file is
// created exclusively); empty, with error set, when it cannot be.
QString Reserve(const QString& folder, const QString& suffix, QString& error) {
    QTemporaryFile file(ReduceSeparators(folder + QStringLiteral("/.quillsong-XXXXXX") + suffix));
    file.setAutoRemove(false);
    if (!file.open()) {
        error = file.errorString();
        return {};
    }
    return file.fileName();
}

// Whether a file of this name can be made, found before anything is spoken rather than when
// the complete file is to be given its name; a file of that name already there will be
// replaced. The reason in error when it cannot.
bool Creatable(const QString& file, QString& error) {
    if (QFileInfo::exists(file)) {
        return true;
    }
    QFile probe(file);
    if (!probe.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
        error = probe.errorString();
        return false;
    }
    probe.remove();
    return true;
}

// Why file cannot be made when its folder has been taken away meanwhile; empty while the
// folder is there.
QString FolderGone(const QString& file) {
    const QString folder = QFileInfo(file).absolutePath();
    if (QFileInfo(folder).isDir()) {
        return {};
    }
    return QStringLiteral("%1 could not be saved: the folder %2 no longer exists")
        .arg(file, folder);
}

// Renames from to to, replacing a file of that name in one step (the folder is the same).
// The temporary was made private; the file takes the permissions of any file the user makes.
QString Replace(const QString& from, const QString& to) {
    if (::chmod(QFile::encodeName(from).constData(), newFileMode()) != 0) {
        debugLog(QStringLiteral("Permissions of %1 not set: %2").arg(from, qt_error_string(errno)));
    }
    if (std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0) {
        return {};
    }
    const int cause = errno;
    if (const QString gone = FolderGone(to); !gone.isEmpty()) {
        return gone;
    }
    return QStringLiteral("%1 could not be saved: %2").arg(to, qt_error_string(cause));
}

// What an encoder is told and asked: the program's end stops it after its current chunk.
EncodeHooks EncoderHooks(const ReadToFileJob::Hooks& hooks) {
    EncodeHooks encode;
    encode.SetProgress = hooks.SetProgress;
    encode.ProcessEvents = hooks.ProcessEvents;
    encode.Stopped = hooks.Exiting;
    return encode;
}

}  // namespace

OutputPaths ReadToFileJob::Paths(const QString& outDir, const QString& title, uint8_t format,
                                 QString* error) {
    OutputPaths paths;
    const QString suffix = Suffix(format);
    const bool encoded = suffix != QStringLiteral(".wav");
    paths.Final = ReduceSeparators(outDir + QLatin1Char('/') + title + suffix);
    if (encoded) {
        paths.Encoded = paths.Final;
    }
    QString reason;
    if (!Creatable(paths.Final, reason)) {
        if (error) {
            *error = QStringLiteral("Cannot write %1: %2").arg(paths.Final, reason);
        }
        return paths;
    }
    const QString wav = QStringLiteral(".wav");
    paths.Wave = Reserve(outDir, wav, reason);
    if (format == OutputFormat::Mp3 && !paths.Wave.isEmpty()) {
        paths.Resampled = Reserve(outDir, wav, reason);
    }
    if (encoded && !paths.Wave.isEmpty() &&
        (format != OutputFormat::Mp3 || !paths.Resampled.isEmpty())) {
        paths.Partial = Reserve(outDir, suffix, reason);
    }
    if (paths.Wave.isEmpty() || (encoded && paths.Partial.isEmpty())) {
        RemoveTemporaries(paths);
        paths.Wave.clear();
        paths.Resampled.clear();
        paths.Partial.clear();
        if (error) {
            *error = QStringLiteral("Cannot write %1: %2").arg(paths.Final, reason);
        }
    }
    return paths;
}

void ReadToFileJob::RemoveTemporaries(const OutputPaths& paths) {
    for (const QString& file : {paths.Wave, paths.Resampled, paths.Partial}) {
        if (!file.isEmpty()) {
            Delete(file);
        }
    }
}

QString ReadToFileJob::SaveWave(const OutputPaths& paths) {
    const QString failure = Replace(paths.Wave, paths.Final);
    if (!failure.isEmpty()) {
        Delete(paths.Wave);
    }
    return failure;
}

QString ReadToFileJob::UserText(const OutputPaths& paths, QString message) {
    for (const QString& temporary : {paths.Wave, paths.Partial}) {
        if (!temporary.isEmpty()) {
            message.replace(temporary, paths.Final);
        }
    }
    return message;
}

uint32_t ReadToFileJob::RequiredRate(int bitRate) {
    switch (bitRate) {
        case 16:
            return 16000;
        case 32:
        case 40:
        case 48:
            return 22050;
        case 56:
        case 64:
            return 44100;
        default:
            return 0;
    }
}

int64_t ReadToFileJob::Mp3LeadMs(int bitRate, uint32_t rate) {
    if (rate == 0) {
        return 0;
    }
    // MPEG-1 (32 kHz and above) frames hold 1152 samples, MPEG-2 576; a mono frame's header and
    // side information take 4 + 17 or 4 + 9 bytes, and LAME's Xing and LAME tags 156 more.
    constexpr uint32_t kMpeg1Rate = 32000;
    constexpr int64_t kTagBytes = 156;
    const bool mpeg1 = rate >= kMpeg1Rate;
    const int64_t frameBytes = (mpeg1 ? 144 : 72) * int64_t(bitRate) * 1000 / rate;
    if (frameBytes >= (mpeg1 ? 21 : 13) + kTagBytes) {
        return 0;
    }
    // LAME's encoder delay and the decoder's own, in samples.
    constexpr int64_t kDelaySamples = 576 + 529;
    return kDelaySamples * 1000 / rate;
}

QString ReadToFileJob::FitName(const QString& folder, const QString& name, qsizetype reserve) {
    const long limit = ::pathconf(QFile::encodeName(folder).constData(), _PC_NAME_MAX);
    const qsizetype room = (limit > 0 ? limit : kCommonNameMax) - reserve;
    if (name.toUtf8().size() <= room) {
        return name;
    }
    QTextBoundaryFinder characters(QTextBoundaryFinder::Grapheme, name);
    qsizetype end = 0, bytes = 0;
    for (qsizetype next = characters.toNextBoundary(); next > 0;
         next = characters.toNextBoundary()) {
        bytes += QStringView(name).sliced(end, next - end).toUtf8().size();
        if (bytes > room) {
            break;
        }
        end = next;
    }
    return name.first(end).trimmed();
}

QString ReadToFileJob::Suffix(uint8_t format) {
    switch (format) {
        case OutputFormat::Mp3:
            return QStringLiteral(".mp3");
        case OutputFormat::Vorbis:
            return QStringLiteral(".ogg");
        case OutputFormat::Opus:
            return QStringLiteral(".opus");
        default:
            return QStringLiteral(".wav");
    }
}

QString ReadToFileJob::FormatName(uint8_t format) {
    switch (format) {
        case OutputFormat::Mp3:
            return QStringLiteral("MP3");
        case OutputFormat::Vorbis:
            return QStringLiteral("Ogg Vorbis");
        case OutputFormat::Opus:
            return QStringLiteral("Opus");
        default:
            return QStringLiteral("WAV");
    }
}

void ReadToFileJob::Delete(const QString& file) {
    if (QFileInfo::exists(file) && !QFile::remove(file)) {
        UtilsClass::WriteDebugLine(QStringLiteral("Delete Failed"));
    }
}

QString ReadToFileJob::FolderProblem(const QString& folder) {
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".quillsong-XXXXXX")));
    if (probe.open() && probe.write("", 1) == 1 && probe.flush()) {
        return {};
    }
    QString reason = probe.errorString();
    // A pseudo file system such as /proc refuses a new file as if its folder were missing.
    if (reason == qt_error_string(ENOENT) && QFileInfo(folder).isDir()) {
        reason = QStringLiteral("the folder does not take new files");
    }
    return QStringLiteral("Files cannot be written to %1: %2").arg(folder, reason);
}

QString ReadToFileJob::CompleteWave(TTTS& tts) {
    QString error;
    if (tts.Active() && tts.OutputDest == odFile) {
        WaveFileDestination* wave = WaveFileDestination::of(tts.EngineObject());
        if (wave && !wave->flush()) {
            error = wave->errorText();
        }
    }
    try {
        tts.SetActive(false);
    } catch (const std::exception& failure) {
        if (error.isEmpty()) {
            error = QString::fromUtf8(failure.what());
        }
    }
    return error;
}

QString ReadToFileJob::ShortPath(const QString& path) {
    const QString clean = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    const QString home = QDir::cleanPath(QDir::homePath());
    if (clean == home) {
        return QStringLiteral("~");
    }
    if (home != QStringLiteral("/") && clean.startsWith(home + QLatin1Char('/'))) {
        return QLatin1Char('~') + clean.mid(home.size());
    }
    return clean;
}

QString ReadToFileJob::SavedText(QStringList files) {
    files.removeDuplicates();  // an article title read twice gives one file
    if (files.isEmpty()) {
        return {};
    }
    const QString folder = ShortPath(QFileInfo(files.first()).absolutePath());
    const QString what = files.size() == 1 ? QFileInfo(files.first()).fileName()
                                           : QStringLiteral("%1 files").arg(files.size());
    return QStringLiteral("Saved %1 to %2").arg(what, folder);
}

namespace {

// Keeps the speech of a failed conversion under the article's own name, so the next article's
// temporary wave cannot overwrite it; returns what tells the user where it is.
QString KeepWave(const OutputPaths& paths, const QString& reason) {
    QString kept = paths.Encoded;
    kept.chop(4);
    kept += QStringLiteral(".wav");
    ReadToFileJob::Delete(paths.Resampled);
    ReadToFileJob::Delete(paths.Partial);
    if (kept != paths.Wave && !Replace(paths.Wave, kept).isEmpty()) {
        kept = paths.Wave;
    }
    UtilsClass::WriteDebugLine(reason + QStringLiteral(", speech kept in ") + kept);
    return reason + QStringLiteral(". The speech is kept in ") + kept;
}

}  // namespace

std::unique_ptr<Mp3Job> ReadToFileJob::FollowWave(const OutputPaths& paths, int bitRate,
                                                  const AudioTags& tags) {
    Mp3EncodeHooks encode;
    encode.Tags = tags;
    auto job = std::make_unique<Mp3Job>(paths.Wave, paths.Partial, encode);
    job->startBehindWriter(bitRate, RequiredRate(bitRate));
    return job;
}

ReadToFileJob::EncodedResult ReadToFileJob::MakeMp3(const OutputPaths& paths, int bitRate,
                                                    const AudioTags& tags, const Hooks& hooks,
                                                    Mp3Job* live) {
    const auto exiting = [&hooks] { return hooks.Exiting && hooks.Exiting(); };
    EncodedResult result;
    if (exiting()) {
        RemoveTemporaries(paths);  // the program is ending: nothing half made stays
        return result;
    }
    if (const QString gone = FolderGone(paths.Encoded); !gone.isEmpty()) {
        return Abandon(paths, gone);
    }
    const uint32_t required = RequiredRate(bitRate);
    TMMWave wave;
    try {
        wave.SetFileName(paths.Wave);
    } catch (const EMMWaveError& error) {
        result.errors << UserText(paths, QString::fromUtf8(error.what()));
        RemoveTemporaries(paths);
        return result;
    }
    const uint32_t actual = wave.SampleRate();
    // A wave below the rate the bit rate needs is raised to it on the way, part by part.
    const bool resample = actual < required;
    if (resample && !IsValidForConversion(wave.Format)) {
        result.errors << QStringLiteral("This wave file is not valid for conversion");
        result.errors << KeepWave(
            paths, QStringLiteral("The speech could not be resampled for the MP3 file"));
        return result;
    }
    Mp3EncodeHooks encode;
    static_cast<EncodeHooks&>(encode) = EncoderHooks(hooks);
    encode.Tags = tags;
    bool followed = false;
    Outcome encoded = Outcome::success();
    if (live && !live->finishBehindWriter(encode, &followed) && followed) {
        encoded = Outcome::failure(live->failure());
        QFile::remove(paths.Partial);  // a half-written MP3 is worse than none
    }
    if (!followed) {
        encoded = EncodeMp3(paths.Wave, paths.Partial, bitRate,
                            int32_t(resample ? required : actual), encode);
    }
    EncodedResult concluded = Conclude(paths, OutputFormat::Mp3, encoded, hooks);
    concluded.leadMs = Mp3LeadMs(bitRate, resample ? required : actual);
    return concluded;
}

ReadToFileJob::EncodedResult ReadToFileJob::MakeCompressed(const OutputPaths& paths, uint8_t format,
                                                           int level, const AudioTags& tags,
                                                           const Hooks& hooks) {
    if (hooks.Exiting && hooks.Exiting()) {
        RemoveTemporaries(paths);  // the program is ending: nothing half made stays
        return {};
    }
    if (const QString gone = FolderGone(paths.Encoded); !gone.isEmpty()) {
        return Abandon(paths, gone);
    }
    const EncodeHooks encode = EncoderHooks(hooks);
    const Outcome encoded = format == OutputFormat::Opus
                                ? EncodeOpus(paths.Wave, paths.Partial, level, tags, encode)
                                : EncodeVorbis(paths.Wave, paths.Partial, level, tags, encode);
    return Conclude(paths, format, encoded, hooks);
}

ReadToFileJob::EncodedResult ReadToFileJob::Abandon(const OutputPaths& paths, const QString& gone) {
    // With the output folder taken away there is nowhere to keep the speech either.
    UtilsClass::WriteDebugLine(gone);
    RemoveTemporaries(paths);
    EncodedResult result;
    result.errors << gone;
    return result;
}

ReadToFileJob::EncodedResult ReadToFileJob::Conclude(const OutputPaths& paths, uint8_t format,
                                                     Outcome encoded, const Hooks& hooks) {
    EncodedResult result;
    if (hooks.Exiting && hooks.Exiting()) {
        RemoveTemporaries(paths);  // a file cut short is no file to keep
        return result;
    }
    if (encoded) {
        // Whole now: it takes its final name, replacing an earlier file of that name at once.
        if (const QString failure = Replace(paths.Partial, paths.Encoded); !failure.isEmpty()) {
            encoded = Outcome::failure(failure);
        }
    }
    if (!encoded) {
        if (const QString gone = FolderGone(paths.Encoded); !gone.isEmpty()) {
            return Abandon(paths, gone);
        }
        result.errors << UserText(paths, encoded.message());
        result.errors << KeepWave(
            paths, QStringLiteral("The %1 file could not be made").arg(FormatName(format)));
        return result;
    }
    UtilsClass::WriteDebugLine(QStringLiteral("Deleting wav file ") + paths.Wave);
    RemoveTemporaries(paths);
    result.made = true;
    return result;
}
