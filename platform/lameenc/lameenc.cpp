#include "platform/lameenc/lameenc.h"

#include <lame/lame.h>

#include <QString>
#include <cstdio>
#include <string>

#include <map>
#include <mutex>

namespace {

// Samples handed over per chunk: a multiple of the 1152 samples of an MPEG-1 frame, large
// enough that the per-chunk work of the caller costs nothing next to the encoding.
constexpr uint32_t kSamplesPerChunk = 1152 * 8;
// LAME's worst case for a buffer of n samples is 1.25 n + 7200 bytes.
constexpr uint32_t kOutputBufferSize = kSamplesPerChunk * 5 / 4 + 7200;

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

BE_ERR beSetTitle(HBE_STREAM stream, const char* utf8Title, uint8_t* tag, uint32_t tagSize,
                  uint32_t* bytesWritten) {
    lame_t lame = find(stream);
    if (!lame || !utf8Title || !bytesWritten) {
        return BE_ERR_INVALID_HANDLE;
    }
    id3tag_init(lame);
    id3tag_add_v2(lame);
    id3tag_v2_only(lame);
    // UTF-16 with its byte order mark, so any title survives.
    std::u16string text = u"\uFEFF";
    for (const char16_t c : QString::fromUtf8(utf8Title).toStdU16String()) {
        text += c;
    }
    text += u'\0';
    if (id3tag_set_textinfo_utf16(lame, "TIT2",
                                  reinterpret_cast<const unsigned short*>(text.c_str())) != 0) {
        return BE_ERR_INVALID_FORMAT_PARAMETERS;
    }
    // The stream has begun already: the caller writes the tag itself, LAME adds none.
    lame_set_write_id3tag_automatic(lame, 0);
    const size_t size = lame_get_id3v2_tag(lame, tag, tagSize);
    if (size == 0 || size > tagSize) {
        return BE_ERR_BUFFER_TOO_SMALL;
    }
    *bytesWritten = uint32_t(size);
    return BE_ERR_SUCCESSFUL;
}
