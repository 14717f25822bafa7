#include "audio/pcmconvert.h"

#include <cstring>

namespace {

enum class Kind { Mono8, Stereo8, Mono16, Stereo16 };

bool KindOf(const TWaveFormatEx& format, Kind* kind) {
    if (format.wFormatTag != TWaveFormatEx::kPcm || format.nSamplesPerSec == 0) {
        return false;
    }
    const bool mono = format.nChannels == 1, stereo = format.nChannels == 2;
    if (!mono && !stereo) {
        return false;
    }
    if (format.wBitsPerSample == 8) {
        *kind = mono ? Kind::Mono8 : Kind::Stereo8;
    } else if (format.wBitsPerSample == 16) {
        *kind = mono ? Kind::Mono16 : Kind::Stereo16;
    } else {
        return false;
    }
    return true;
}

int FrameSize(Kind kind) {
    switch (kind) {
        case Kind::Mono8:
            return 1;
        case Kind::Stereo8:
        case Kind::Mono16:
            return 2;
        case Kind::Stereo16:
            return 4;
    }
    return 1;
}

int16_t Read16(const uint8_t* p) {
    return int16_t(uint16_t(p[0] | (p[1] << 8)));
}
void Write16(uint8_t* p, int v) {
    p[0] = uint8_t(v & 0xFF);
    p[1] = uint8_t((v >> 8) & 0xFF);
}

// One frame in the target kind, as bytes. 16-bit targets follow the program's formulas; the
// 8-bit and stereo targets keep the same spirit (average to mono, duplicate to stereo).
struct Frame {
    uint8_t bytes[4];
};

template <Kind S, Kind D>
Frame Convert(const uint8_t* p) {
    Frame f{};
    // Source values, unsigned-offset for the averaging rules.
    int mono16 = 0;  // signed 16-bit mono value
    int left16 = 0, right16 = 0;
    if constexpr (S == Kind::Mono8) {
        mono16 = (int(p[0]) - 128) * 256;
        left16 = right16 = mono16;
    } else if constexpr (S == Kind::Stereo8) {
        mono16 = ((int(p[0]) + int(p[1])) / 2 - 128) * 256;
        left16 = (int(p[0]) - 128) * 256;
        right16 = (int(p[1]) - 128) * 256;
    } else if constexpr (S == Kind::Mono16) {
        mono16 = Read16(p);
        left16 = right16 = mono16;
    } else {
        left16 = Read16(p);
        right16 = Read16(p + 2);
        mono16 = ((left16 + 32768) + (right16 + 32768)) / 2 - 32768;
    }
    if constexpr (D == Kind::Mono16) {
        Write16(f.bytes, mono16);
    } else if constexpr (D == Kind::Stereo16) {
        Write16(f.bytes, left16);
        Write16(f.bytes + 2, right16);
    } else if constexpr (D == Kind::Mono8) {
        f.bytes[0] = S == Kind::Mono8     ? p[0]
                     : S == Kind::Stereo8 ? uint8_t((int(p[0]) + int(p[1])) / 2)
                                          : uint8_t((mono16 >> 8) + 128);
    } else {
        f.bytes[0] = S == Kind::Mono8 || S == Kind::Stereo8 ? p[0] : uint8_t((left16 >> 8) + 128);
        f.bytes[1] = S == Kind::Mono8     ? p[0]
                     : S == Kind::Stereo8 ? p[1]
                                          : uint8_t((right16 >> 8) + 128);
    }
    return f;
}

template <Kind S, Kind D>
int64_t ConvertBlock(int64_t frames, const uint8_t* source, uint8_t* target, uint32_t srcRate,
                     uint32_t dstRate) {
    constexpr int kIn = S == Kind::Mono8 ? 1 : S == Kind::Stereo16 ? 4 : 2;
    constexpr int kOut = D == Kind::Mono8 ? 1 : D == Kind::Stereo16 ? 4 : 2;
    int64_t emitted = 0;
    const int64_t s = srcRate, d = dstRate;
    if (s <= d) {
        int64_t acc = d / 2;
        for (int64_t i = 0; i < frames; ++i) {
            const Frame f = Convert<S, D>(source + i * kIn);
            std::memcpy(target + emitted++ * kOut, f.bytes, kOut);
            while (acc >= s) {
                acc -= s;
                std::memcpy(target + emitted++ * kOut, f.bytes, kOut);
            }
            acc += d - s;
        }
    } else {
        int64_t acc = s / 2;
        for (int64_t i = 0; i < frames; ++i) {
            if (acc >= d) {
                acc -= d;
                continue;
            }
            acc += s - d;
            const Frame f = Convert<S, D>(source + i * kIn);
            std::memcpy(target + emitted++ * kOut, f.bytes, kOut);
        }
    }
    return emitted * kOut;
}

using BlockFn = int64_t (*)(int64_t, const uint8_t*, uint8_t*, uint32_t, uint32_t);

template <Kind S>
BlockFn ForTarget(Kind d) {
    switch (d) {
        case Kind::Mono8:
            return &ConvertBlock<S, Kind::Mono8>;
        case Kind::Stereo8:
            return &ConvertBlock<S, Kind::Stereo8>;
        case Kind::Mono16:
            return &ConvertBlock<S, Kind::Mono16>;
        case Kind::Stereo16:
            return &ConvertBlock<S, Kind::Stereo16>;
    }
    return nullptr;
}

BlockFn Choose(Kind s, Kind d) {
    switch (s) {
        case Kind::Mono8:
            return ForTarget<Kind::Mono8>(d);
        case Kind::Stereo8:
            return ForTarget<Kind::Stereo8>(d);
        case Kind::Mono16:
            return ForTarget<Kind::Mono16>(d);
        case Kind::Stereo16:
            return ForTarget<Kind::Stereo16>(d);
    }
    return nullptr;
}

}  // namespace

int64_t PcmDestBytes(int64_t sourceBytes, const TWaveFormatEx& source,
                     const TWaveFormatEx& target) {
    Kind s{}, d{};
    if (!KindOf(source, &s) || !KindOf(target, &d)) {
        return -1;
    }
    const int64_t frames = sourceBytes / FrameSize(s);
    return frames * int64_t(target.nSamplesPerSec) / int64_t(source.nSamplesPerSec) * FrameSize(d);
}

int64_t PcmConvert(int64_t sourceBytes, const uint8_t* source, const TWaveFormatEx& sourceFormat,
                   uint8_t* target, const TWaveFormatEx& targetFormat) {
    Kind s{}, d{};
    if (!KindOf(sourceFormat, &s) || !KindOf(targetFormat, &d)) {
        return -1;
    }
    if (sourceBytes <= 0) {
        return sourceBytes;
    }
    return Choose(s, d)(sourceBytes / FrameSize(s), source, target, sourceFormat.nSamplesPerSec,
                        targetFormat.nSamplesPerSec);
}
