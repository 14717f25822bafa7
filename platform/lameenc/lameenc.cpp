#include "platform/lameenc/lameenc.h"

#include <lame/lame.h>

#include <QString>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "platform/lameenc/infoframe.h"

#include <map>
#include <mutex>

namespace {

// Samples handed over per chunk: a multiple of the 1152 samples of an MPEG-1 frame, large
// enough that the per-chunk work of the caller costs nothing next to the encoding.
constexpr uint32_t kSamplesPerChunk = 1152 * 8;
// LAME's worst case for a buffer of n samples is 1.25 n + 7200 bytes.
constexpr uint32_t kOutputBufferSize = kSamplesPerChunk * 5 / 4 + 7200;
// The largest MP3 frame.
constexpr size_t kMaxFrameSize = 2880;

struct Streams {
    std::mutex lock;
    std::map<HBE_STREAM, lame_t> open;
    HBE_STREAM next = 1;
};

Streams& streams() {
    static Streams all;
    return all;
}

lame_t find(HBE_STREAM stream) {
    std::lock_guard<std::mutex> guard(streams().lock);
    const auto it = streams().open.find(stream);
    return it == streams().open.end() ? nullptr : it->second;
}

}  // namespace

BE_ERR beInitStream(const BE_CONFIG* config, uint32_t* samplesPerChunk, uint32_t* outputBufferSize,
                    HBE_STREAM* stream) {
    if (!config || config->dwConfig != BE_CONFIG_LAME ||
        config->dwStructSize != sizeof(BE_CONFIG)) {
        return BE_ERR_INVALID_FORMAT;
    }
    lame_t lame = lame_init();
    if (!lame) {
        return BE_ERR_NO_MORE_HANDLES;
    }
    lame_set_in_samplerate(lame, int(config->dwSampleRate));
    lame_set_out_samplerate(lame, int(config->dwReSampleRate));
    lame_set_num_channels(lame, 1);
    lame_set_mode(lame, MONO);
    lame_set_brate(lame, int(config->dwBitrate));
    lame_set_VBR(lame, config->bEnableVBR ? vbr_default : vbr_off);
    lame_set_VBR_q(lame, config->nVBRQuality);
    lame_set_emphasis(lame, int(config->dwEmphasis));
    lame_set_extension(lame, config->bPrivate ? 1 : 0);
    lame_set_error_protection(lame, config->bCRC ? 1 : 0);
    lame_set_copyright(lame, config->bCopyright ? 1 : 0);
    lame_set_original(lame, config->bOriginal ? 1 : 0);
    lame_set_bWriteVbrTag(lame, config->bWriteVBRHeader ? 1 : 0);
    if (config->dwBitrate == 0 || lame_init_params(lame) < 0) {
        lame_close(lame);
        return BE_ERR_INVALID_FORMAT_PARAMETERS;
    }
    std::lock_guard<std::mutex> guard(streams().lock);
    *stream = streams().next++;
    streams().open[*stream] = lame;
    *samplesPerChunk = kSamplesPerChunk;
    *outputBufferSize = kOutputBufferSize;
    return BE_ERR_SUCCESSFUL;
}

BE_ERR beEncodeChunk(HBE_STREAM stream, uint32_t samples, const int16_t* pcm, uint8_t* output,
                     uint32_t* bytesWritten) {
    lame_t lame = find(stream);
    if (!lame) {
        return BE_ERR_INVALID_HANDLE;
    }
    if (samples > kSamplesPerChunk) {
        return BE_ERR_BUFFER_TOO_SMALL;
    }
    const int written =
        lame_encode_buffer(lame, pcm, nullptr, int(samples), output, int(kOutputBufferSize));
    if (written < 0) {
        return written == -1 ? BE_ERR_BUFFER_TOO_SMALL : BE_ERR_INVALID_FORMAT_PARAMETERS;
    }
    *bytesWritten = uint32_t(written);
    return BE_ERR_SUCCESSFUL;
}

BE_ERR beDeinitStream(HBE_STREAM stream, uint8_t* output, uint32_t* bytesWritten) {
    lame_t lame = find(stream);
    if (!lame) {
        return BE_ERR_INVALID_HANDLE;
    }
    const int written = lame_encode_flush(lame, output, int(kOutputBufferSize));
    if (written < 0) {
        return BE_ERR_BUFFER_TOO_SMALL;
    }
    *bytesWritten = uint32_t(written);
    return BE_ERR_SUCCESSFUL;
}

BE_ERR beCloseStream(HBE_STREAM stream) {
    lame_t lame = nullptr;
    {
        std::lock_guard<std::mutex> guard(streams().lock);
        const auto it = streams().open.find(stream);
        if (it == streams().open.end()) {
            return BE_ERR_INVALID_HANDLE;
        }
        lame = it->second;
        streams().open.erase(it);
    }
    lame_close(lame);
    return BE_ERR_SUCCESSFUL;
}

BE_ERR beWriteInfoTag(HBE_STREAM stream, const char* mp3FileName) {
    lame_t lame = find(stream);
    if (!lame) {
        return BE_ERR_INVALID_HANDLE;
    }
    if (!lame_get_bWriteVbrTag(lame)) {
        return BE_ERR_SUCCESSFUL;
    }
    FILE* file = std::fopen(mp3FileName, "rb+");
    if (!file) {
        return BE_ERR_INVALID_FORMAT_PARAMETERS;
    }
    lame_mp3_tags_fid(lame, file);
    const bool written = std::fflush(file) == 0 && !std::ferror(file);
    const bool closed = std::fclose(file) == 0;
    return written && closed ? BE_ERR_SUCCESSFUL : BE_ERR_BUFFER_TOO_SMALL;
}

namespace {

// UTF-16 with its byte order mark and an ending zero, as LAME takes any text.
std::u16string Utf16(const char* utf8) {
    std::u16string text = u"\uFEFF";
    text += QString::fromUtf8(utf8).toStdU16String();
    text += u'\0';
    return text;
}

const unsigned short* Ucs(const std::u16string& text) {
    return reinterpret_cast<const unsigned short*>(text.c_str());
}

bool Given(const char* text) {
    return text && *text;
}

}  // namespace

BE_ERR beSetTags(HBE_STREAM stream, const BeTagTexts* texts, uint8_t* tag, uint32_t tagSize,
                 uint32_t* bytesWritten) {
    lame_t lame = find(stream);
    if (!lame || !texts || !bytesWritten) {
        return BE_ERR_INVALID_HANDLE;
    }
    *bytesWritten = 0;
    id3tag_init(lame);
    id3tag_add_v2(lame);
    id3tag_v2_only(lame);
    // UTF-16 throughout, so any text survives.
    const std::pair<const char*, const char*> frames[] = {{"TIT2", texts->title},
                                                          {"TALB", texts->album},
                                                          {"TRCK", texts->track},
                                                          {"TPE1", texts->artist},
                                                          {"TYER", texts->year}};
    for (const auto& [id, text] : frames) {
        if (Given(text) && id3tag_set_textinfo_utf16(lame, id, Ucs(Utf16(text))) != 0) {
            return BE_ERR_INVALID_FORMAT_PARAMETERS;
        }
    }
    if (Given(texts->comment) &&
        id3tag_set_comment_utf16(lame, "eng", Ucs(Utf16("")), Ucs(Utf16(texts->comment))) != 0) {
        return BE_ERR_INVALID_FORMAT_PARAMETERS;
    }
    // The stream has begun already: the caller writes the tag itself, LAME adds none.
    lame_set_write_id3tag_automatic(lame, 0);
    const size_t size = lame_get_id3v2_tag(lame, tag, tagSize);
    if (size == 0) {
        return BE_ERR_INVALID_FORMAT_PARAMETERS;
    }
    *bytesWritten = uint32_t(size);
    return size > tagSize ? BE_ERR_BUFFER_TOO_SMALL : BE_ERR_SUCCESSFUL;
}

BE_ERR beGetFrameLayout(HBE_STREAM stream, uint32_t* samplesPerFrame, uint32_t* addedSamples) {
    lame_t lame = find(stream);
    if (!lame || !samplesPerFrame || !addedSamples) {
        return BE_ERR_INVALID_HANDLE;
    }
    // LAME's delay is 576 samples and its padding at least 576, in output samples.
    constexpr double kAddedOutputSamples = 1152;
    const double ratio =
        double(lame_get_in_samplerate(lame)) / double(qMax(1, lame_get_out_samplerate(lame)));
    *samplesPerFrame = uint32_t(std::lround(lame_get_framesize(lame) * ratio));
    *addedSamples = uint32_t(std::lround(kAddedOutputSamples * ratio));
    return BE_ERR_SUCCESSFUL;
}

namespace {

// The size of the ID3v2 tag at the head of file (none: 0).
long Id3v2Size(FILE* file) {
    constexpr size_t kHeader = 10;
    constexpr int kFooterFlag = 0x10;
    uint8_t header[kHeader];
    if (std::fseek(file, 0, SEEK_SET) != 0 || std::fread(header, 1, kHeader, file) != kHeader ||
        std::memcmp(header, "ID3", 3) != 0) {
        return 0;
    }
    const long body = long(header[6] & 0x7F) << 21 | long(header[7] & 0x7F) << 14 |
                      long(header[8] & 0x7F) << 7 | long(header[9] & 0x7F);
    return long(kHeader) + body + ((header[5] & kFooterFlag) ? long(kHeader) : 0);
}

// The checksum of the bytes of file from offset to its end; false when they cannot be read.
bool MusicCrc(FILE* file, long offset, uint16_t* crc) {
    constexpr size_t kBlock = 1 << 16;
    std::vector<uint8_t> block(kBlock);
    if (std::fseek(file, offset, SEEK_SET) != 0) {
        return false;
    }
    *crc = 0;
    size_t n = 0;
    while ((n = std::fread(block.data(), 1, kBlock, file)) > 0) {
        *crc = InfoFrame::crc16(block.data(), n, *crc);
    }
    return !std::ferror(file);
}

}  // namespace

BE_ERR beWriteJoinedInfoTag(const HBE_STREAM* streams, uint32_t count, const char* mp3FileName) {
    std::vector<lame_t> lames;
    for (uint32_t i = 0; i < count; ++i) {
        lames.push_back(find(streams[i]));
        if (!lames.back()) {
            return BE_ERR_INVALID_HANDLE;
        }
    }
    if (lames.empty() || !lame_get_bWriteVbrTag(lames.front())) {
        return BE_ERR_SUCCESSFUL;
    }
    std::vector<uint8_t> bytes(kMaxFrameSize);
    bytes.resize(lame_get_lametag_frame(lames.front(), bytes.data(), bytes.size()));
    InfoFrame frame(std::move(bytes));
    if (!frame.valid()) {
        return BE_ERR_SUCCESSFUL;  // the bit rate leaves no room for the frame: LAME made none
    }
    uint32_t frames = 0;
    for (lame_t lame : lames) {
        frames += uint32_t(lame_get_frameNum(lame));
    }
    FILE* file = std::fopen(mp3FileName, "rb+");
    if (!file) {
        return BE_ERR_INVALID_FORMAT_PARAMETERS;
    }
    const long start = Id3v2Size(file);
    uint16_t crc = 0;
    bool ok = std::fseek(file, 0, SEEK_END) == 0;
    const long end = std::ftell(file);
    ok = ok && end >= start + long(frame.bytes().size()) &&
         MusicCrc(file, start + long(frame.bytes().size()), &crc);
    if (ok) {
        frame.fill(frames, uint32_t(lame_get_brate(lames.front())), uint32_t(end - start), crc,
                   uint32_t(lame_get_encoder_padding(lames.back())));
        ok = std::fseek(file, start, SEEK_SET) == 0 &&
             std::fwrite(frame.bytes().data(), 1, frame.bytes().size(), file) ==
                 frame.bytes().size() &&
             std::fflush(file) == 0;
    }
    const bool closed = std::fclose(file) == 0;
    return ok && closed ? BE_ERR_SUCCESSFUL : BE_ERR_BUFFER_TOO_SMALL;
}
