#pragma once

#include <QByteArray>
#include <cstdint>

// The 18-byte extended wave format record (little-endian on disk).
struct TWaveFormatEx {
    uint16_t wFormatTag = 0;
    uint16_t nChannels = 0;
    uint32_t nSamplesPerSec = 0;
    uint32_t nAvgBytesPerSec = 0;
    uint16_t nBlockAlign = 0;
    uint16_t wBitsPerSample = 0;
    uint16_t cbSize = 0;

    static constexpr uint16_t kPcm = 1;
    static constexpr int kSize = 18;

    QByteArray Serialize() const;
    // Reads the record from the first bytes of a "fmt " chunk; missing bytes read as zero.
    static TWaveFormatEx Parse(const QByteArray& bytes);
    bool operator==(const TWaveFormatEx&) const = default;
};

TWaveFormatEx BuildPcmFormat(uint16_t bits, uint16_t channels, uint32_t rate);

// PCM with 1 or 2 channels, 8 or 16 bits and a rate from 4000 to 100000 Hz.
bool IsValidForConversion(const TWaveFormatEx& format);
