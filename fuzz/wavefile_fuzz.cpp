// Wave files: the header read as opening a file reads it, then what was read converted to the
// format the MP3 encoder takes, as reading to an MP3 file does.
#include <QString>
#include <exception>

#include "audio/mmwave.h"
#include "audio/pcmconvert.h"
#include "audio/waveformat.h"
#include "fuzz/scratchfolder.h"

namespace {

// A tiny rate converted up would fill the disk: such inputs are only opened.
constexpr int64_t kMaxConvertedBytes = 8 << 20;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const ScratchFolder& folder = ScratchFolder::instance();
    const QString path = folder.write(QStringLiteral("speech.wav"), data, size);
    TMMWave wave;
    try {
        wave.SetFileName(path);
    } catch (const EMMWaveError&) {
        return 0;  // not a wave file: the program says so
    }
    FUZZ_CHECK(wave.IsOpen());
    FUZZ_CHECK(wave.DataOffset >= 0 && wave.DataLength >= 0 && wave.SampleCount >= 0);
    FUZZ_CHECK(wave.DataOffset + wave.DataLength <= int64_t(size));

    const TWaveFormatEx target = BuildPcmFormat(16, 1, 22050);
    if (IsValidForConversion(wave.Format)) {
        const int64_t bytes = PcmDestBytes(wave.DataLength, wave.Format, target);
        FUZZ_CHECK(bytes >= 0);
        if (bytes > kMaxConvertedBytes) {
            return 0;
        }
    }
    wave.FreeSpace = [](const QString&) { return int64_t(1) << 40; };
    try {
        wave.ConvertToFile(folder.path(QStringLiteral("converted.wav")), &target);
    } catch (const std::exception&) {
        // not convertible: the program says so
    }
    return 0;
}
