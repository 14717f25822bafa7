#include "platform/lameenc/infoframe.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// Offsets from the "Info" mark (the Xing header, then LAME's extension).
constexpr int kFramesAt = 8;
constexpr int kBytesAt = 12;
constexpr int kSeekTableAt = 16;
constexpr int kSeekTableSize = 100;
constexpr int kLameAt = 120;
constexpr int kPaddingAt = kLameAt + 21;  // 12 bits of delay, then 12 of padding
constexpr int kMusicLengthAt = kLameAt + 28;
constexpr int kMusicCrcAt = kLameAt + 32;
constexpr int kTagCrcAt = kLameAt + 34;
constexpr int kTagEnd = kLameAt + 36;
// The mark lies after the frame header and side information: at most 4 + 32 bytes in.
constexpr int kMarkSearch = 40;
constexpr uint16_t kCrcPolynomial = 0xA001;
constexpr uint8_t kHighNibble = 0xF0;
constexpr uint32_t kLowNibble = 0x0F;
constexpr uint32_t kLowByte = 0xFF;
// LAME's seek table keeps at most this many points, halving them when full.
constexpr int kSeekPoints = 400;
constexpr double kSeekScale = 256.0;
constexpr int kSeekMax = 255;

}  // namespace

InfoFrame::InfoFrame(std::vector<uint8_t> frame) : m_frame(std::move(frame)) {
    const int end = std::min<int>(kMarkSearch, int(m_frame.size()) - kTagEnd);
    for (int at = 0; at < end; ++at) {
        if (std::memcmp(&m_frame[size_t(at)], "Info", 4) == 0 ||
            std::memcmp(&m_frame[size_t(at)], "Xing", 4) == 0) {
            m_tag = at;
            break;
        }
    }
}

uint16_t InfoFrame::crc16(const uint8_t* data, uint64_t size, uint16_t crc) {
    for (uint64_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc & 1) ? uint16_t((crc >> 1) ^ kCrcPolynomial) : uint16_t(crc >> 1);
        }
    }
    return crc;
}

void InfoFrame::put32(int at, uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        m_frame[size_t(m_tag + at + i)] = uint8_t(value >> (24 - 8 * i));
    }
}

void InfoFrame::put16(int at, uint16_t value) {
    m_frame[size_t(m_tag + at)] = uint8_t(value >> 8);
    m_frame[size_t(m_tag + at + 1)] = uint8_t(value);
}

// The table LAME writes: running bit-rate sums sampled at most every so many frames, read at
// each hundredth of the frames, as a share of 256 of the whole. Done as LAME does it, so a
// stream encoded alone gets the very bytes LAME gives it.
void InfoFrame::putSeekTable(uint32_t frames, uint32_t kbpsPerFrame) {
    std::vector<int> bag(kSeekPoints);
    int pos = 0, seen = 0, want = 1, sum = 0;
    for (uint32_t i = 0; i < frames; ++i) {
        sum += int(kbpsPerFrame);
        if (++seen < want) {
            continue;
        }
        if (pos < kSeekPoints) {
            bag[size_t(pos++)] = sum;
            seen = 0;
        }
        if (pos == kSeekPoints) {
            for (int j = 1; j < kSeekPoints; j += 2) {
                bag[size_t(j / 2)] = bag[size_t(j)];
            }
            want *= 2;
            pos /= 2;
        }
    }
    uint8_t* table = &m_frame[size_t(m_tag + kSeekTableAt)];
    std::fill(table, table + kSeekTableSize, uint8_t(0));
    if (pos <= 0) {
        return;
    }
    for (int i = 1; i < kSeekTableSize; ++i) {
        const float share = float(i) / float(kSeekTableSize);
        const int index = std::min(int(std::floor(share * float(pos))), pos - 1);
        const float act = float(bag[size_t(index)]);
        const float whole = float(sum);
        table[i] = uint8_t(std::min(int(kSeekScale * act / whole), kSeekMax));
    }
}

void InfoFrame::fill(uint32_t frames, uint32_t kbpsPerFrame, uint32_t streamBytes,
                     uint16_t musicCrc, uint32_t padding) {
    if (!valid()) {
        return;
    }
    put32(kFramesAt, frames);
    put32(kBytesAt, streamBytes);
    putSeekTable(frames, kbpsPerFrame);
    uint8_t* delayPadding = &m_frame[size_t(m_tag + kPaddingAt)];
    delayPadding[1] = uint8_t((delayPadding[1] & kHighNibble) | ((padding >> 8) & kLowNibble));
    delayPadding[2] = uint8_t(padding & kLowByte);
    put32(kMusicLengthAt, streamBytes);
    put16(kMusicCrcAt, musicCrc);
    put16(kTagCrcAt, crc16(m_frame.data(), uint64_t(m_tag + kTagCrcAt)));
}
