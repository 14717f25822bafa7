// MP3 encoding and wave conversion, each beside the public tool that does the same job, in one
// process run:
//
//   build/bin/audio_bench
//
// EncodeOpus of the same wave at 24 kbit/s takes no longer than `opusenc --bitrate 24`, and
// EncodeVorbis at quality 2 no longer than `oggenc -q 2`; both encode on one core, as the tools
// do.
//
// Goals: EncodeMp3 of a 30-minute 22050 Hz mono speech wave at 32 kbps takes at most 1.05 times
// what `lame` takes for the same file, bit rate, mode and quality, divided by the cores it
// encodes on (2 cores: 2.6 s against 5.4 s); ConvertWaveFile from 11025 to
// 22050 Hz takes at most half of what `sox in.wav -r 22050 out.wav` takes.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "audio/mp3encoder.h"
#include "audio/opusencoder.h"
#include "audio/vorbisencoder.h"
#include "audio/waveconversion.h"

namespace {

QTemporaryDir* workDir = nullptr;

QString WorkFile(const QString& name) {
    return workDir->path() + QLatin1Char('/') + name;
}

bool Tool(const QString& tool, const QStringList& args) {
    QProcess process;
    process.start(tool, args);
    return process.waitForFinished(600000) && process.exitCode() == 0;
}

// Thirty minutes of speech at the given rate: a spoken paragraph, repeated.
QString SpeechWave(int rate) {
    const QString path = WorkFile(QStringLiteral("speech%1.wav").arg(rate));
    if (QFile::exists(path)) {
        return path;
    }
    const QString once = WorkFile(QStringLiteral("once.wav"));
    if (!QFile::exists(once)) {
        const QString text = QStringLiteral(
            "Quillsong reads your articles aloud, or into files that you can take anywhere. "
            "Copy some text, and it becomes an article; press Aloud, and you hear it.");
        if (QStandardPaths::findExecutable(QStringLiteral("espeak-ng")).isEmpty() ||
            !Tool(QStringLiteral("espeak-ng"), {QStringLiteral("-w"), once, text})) {
            Tool(QStringLiteral("sox"),
                 {QStringLiteral("-n"), QStringLiteral("-r"), QStringLiteral("22050"),
                  QStringLiteral("-b"), QStringLiteral("16"), QStringLiteral("-c"),
                  QStringLiteral("1"), once, QStringLiteral("synth"), QStringLiteral("10"),
                  QStringLiteral("pinknoise")});
        }
    }
    // Resampled and repeated to 30 minutes by sox.
    Tool(QStringLiteral("sox"),
         {once, QStringLiteral("-r"), QString::number(rate), QStringLiteral("-b"),
          QStringLiteral("16"), QStringLiteral("-c"), QStringLiteral("1"), path,
          QStringLiteral("repeat"), QStringLiteral("300"), QStringLiteral("trim"),
          QStringLiteral("0"), QStringLiteral("1800")});
    return path;
}

void BM_EncodeMp3(benchmark::State& state) {
    const QString wav = SpeechWave(22050), mp3 = WorkFile(QStringLiteral("ours.mp3"));
    for (auto _ : state) {
        if (!EncodeMp3(wav, mp3, 32, 22050)) {
            state.SkipWithError("encoding failed");
        }
    }
}

// The same bit rate, mode and quality level (LAME's default, 3) as EncodeMp3. The command line
// also measures the loudness for ReplayGain unless told not to; both are timed.
void LameCommandLine(benchmark::State& state, bool replayGain) {
    const QString wav = SpeechWave(22050), mp3 = WorkFile(QStringLiteral("lame.mp3"));
    QStringList args{QStringLiteral("--quiet"), QStringLiteral("-b"), QStringLiteral("32"),
                     QStringLiteral("-m"),      QStringLiteral("m"),  QStringLiteral("-q"),
                     QStringLiteral("3")};
    if (!replayGain) {
        args << QStringLiteral("--noreplaygain");
    }
    for (auto _ : state) {
        if (!Tool(QStringLiteral("lame"), args + QStringList{wav, mp3})) {
            state.SkipWithError("lame failed");
        }
    }
}
void BM_LameCommandLine(benchmark::State& state) {
    LameCommandLine(state, true);
}
void BM_LameCommandLineNoReplayGain(benchmark::State& state) {
    LameCommandLine(state, false);
}

void BM_ConvertWaveFile(benchmark::State& state) {
    const QString wav = SpeechWave(11025), out = WorkFile(QStringLiteral("ours22.wav"));
    for (auto _ : state) {
        if (!ConvertWaveFile(wav, out, 16, 1, 22050)) {
            state.SkipWithError("conversion failed");
        }
    }
}

void BM_SoxResample(benchmark::State& state) {
    const QString wav = SpeechWave(11025), out = WorkFile(QStringLiteral("sox22.wav"));
    for (auto _ : state) {
        if (!Tool(QStringLiteral("sox"),
                  {wav, QStringLiteral("-r"), QStringLiteral("22050"), out})) {
            state.SkipWithError("sox failed");
        }
    }
}

void BM_EncodeOpus(benchmark::State& state) {
    const QString wav = SpeechWave(22050), opus = WorkFile(QStringLiteral("ours.opus"));
    for (auto _ : state) {
        if (!EncodeOpus(wav, opus, 24, {})) {
            state.SkipWithError("encoding failed");
        }
    }
}

void BM_OpusencCommandLine(benchmark::State& state) {
    const QString wav = SpeechWave(22050), opus = WorkFile(QStringLiteral("opusenc.opus"));
    for (auto _ : state) {
        if (!Tool(QStringLiteral("opusenc"),
                  {QStringLiteral("--quiet"), QStringLiteral("--bitrate"), QStringLiteral("24"),
                   wav, opus})) {
            state.SkipWithError("opusenc failed");
        }
    }
}

void BM_EncodeVorbis(benchmark::State& state) {
    const QString wav = SpeechWave(22050), ogg = WorkFile(QStringLiteral("ours.ogg"));
    for (auto _ : state) {
        if (!EncodeVorbis(wav, ogg, 2, {})) {
            state.SkipWithError("encoding failed");
        }
    }
}

void BM_OggencCommandLine(benchmark::State& state) {
    const QString wav = SpeechWave(22050), ogg = WorkFile(QStringLiteral("oggenc.ogg"));
    for (auto _ : state) {
        if (!Tool(QStringLiteral("oggenc"),
                  {QStringLiteral("--quiet"), QStringLiteral("-q"), QStringLiteral("2"),
                   QStringLiteral("-o"), ogg, wav})) {
            state.SkipWithError("oggenc failed");
        }
    }
}

// Interleaved pairs so that a drift of the machine's speed hits both sides alike.
BENCHMARK(BM_EncodeMp3)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3)
    ->Repetitions(3);
BENCHMARK(BM_LameCommandLine)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3)
    ->Repetitions(3);
BENCHMARK(BM_LameCommandLineNoReplayGain)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3)
    ->Repetitions(3);
BENCHMARK(BM_ConvertWaveFile)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3)
    ->Repetitions(3);
BENCHMARK(BM_SoxResample)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3)
    ->Repetitions(3);
BENCHMARK(BM_EncodeOpus)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1)
    ->Repetitions(3);
BENCHMARK(BM_OpusencCommandLine)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1)
    ->Repetitions(3);
BENCHMARK(BM_EncodeVorbis)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1)
    ->Repetitions(3);
BENCHMARK(BM_OggencCommandLine)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1)
    ->Repetitions(3);

}  // namespace

int main(int argc, char** argv) {
    QTemporaryDir dir;
    workDir = &dir;
    qputenv("XDG_DATA_HOME", dir.path().toUtf8());  // the debug log stays out of the user's folder
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
