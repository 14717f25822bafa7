#include "app/readtofilejob.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <cerrno>

#include "audio/mmwave.h"
#include "audio/mp3encoder.h"
#include "audio/waveconversion.h"
#include "platform/shell/utilsclass.h"
#include "platform/speechapi/wavefiledestination.h"
#include "speech/tts.h"

namespace {

// What the encoder takes: 16-bit mono.
constexpr uint16_t kEncoderBits = 16;
constexpr uint16_t kEncoderChannels = 1;

QString ReduceSeparators(QString path) {
    while (path.contains(QStringLiteral("//"))) {
        path.replace(QStringLiteral("//"), QStringLiteral("/"));
    }
    return path;
}

}  // namespace

OutputPaths ReadToFileJob::Paths(const QString& outDir, const QString& title, uint8_t format) {
    OutputPaths paths;
    if (format == OutputFormat::Mp3) {
        paths.Wave = ReduceSeparators(outDir + QStringLiteral("/temp.wav"));
        paths.Resampled = outDir + QStringLiteral("/temp44.wav");
        paths.Mp3 = ReduceSeparators(outDir + QLatin1Char('/') + title + QStringLiteral(".mp3"));
    } else {
        paths.Wave = ReduceSeparators(outDir + QLatin1Char('/') + title + QStringLiteral(".wav"));
    }
    return paths;
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
    QString kept = paths.Mp3;
    kept.chop(4);
    kept += QStringLiteral(".wav");
    ReadToFileJob::Delete(paths.Resampled);
    if (kept != paths.Wave) {
        ReadToFileJob::Delete(kept);
        if (!QFile::rename(paths.Wave, kept)) {
            kept = paths.Wave;
        }
    }
    UtilsClass::WriteDebugLine(reason + QStringLiteral(", speech kept in ") + kept);
    return reason + QStringLiteral(". The speech is kept in ") + kept;
}

}  // namespace

ReadToFileJob::Mp3Result ReadToFileJob::MakeMp3(const OutputPaths& paths, int bitRate,
                                                const QString& title, const Hooks& hooks) {
    const auto exiting = [&hooks] { return hooks.Exiting && hooks.Exiting(); };
    Mp3Result result;
    if (exiting()) {
        return result;
    }
    const uint32_t required = RequiredRate(bitRate);
    uint32_t actual = 0;
    try {
        actual = GetWaveSampleRate(paths.Wave);
    } catch (const EMMWaveError& error) {
        result.errors << QString::fromUtf8(error.what());
        return result;
    }
    const bool resample = actual < required;
    if (resample) {
        const Outcome converted = ConvertWaveFile(paths.Wave, paths.Resampled, kEncoderBits,
                                                  kEncoderChannels, required, hooks.ProcessEvents);
        if (!converted) {
            result.errors << converted.message();
            if (!exiting()) {
                result.errors << KeepWave(
                    paths, QStringLiteral("The speech could not be resampled for the MP3 file"));
            }
            return result;
        }
    }
    if (exiting()) {
        return result;  // the program is ending; the temporary files stay for the user
    }
    Mp3EncodeHooks encode;
    encode.SetProgress = hooks.SetProgress;
    encode.ProcessEvents = hooks.ProcessEvents;
    // The program's end stops the encoding after its current chunk.
    encode.Stopped = hooks.Exiting;
    encode.Title = title;
    const Outcome encoded =
        resample ? EncodeMp3(paths.Resampled, paths.Mp3, bitRate, int32_t(required), encode)
                 : EncodeMp3(paths.Wave, paths.Mp3, bitRate, int32_t(actual), encode);
    if (!encoded) {
        result.errors << encoded.message();
    }
    if (exiting()) {
        result.made = encoded.ok();
        return result;
    }
    if (!encoded) {
        result.errors << KeepWave(paths, QStringLiteral("The MP3 file could not be made"));
        return result;
    }
    UtilsClass::WriteDebugLine(QStringLiteral("Deleting wav file ") + paths.Wave);
    Delete(paths.Wave);
    Delete(paths.Resampled);
    result.made = true;
    return result;
}
