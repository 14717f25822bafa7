#pragma once

#include <cstdint>

// The BladeEnc-compatible stream interface of the MP3 encoder, backed by libmp3lame.
// Every call returns BE_ERR_SUCCESSFUL (0) or an error code.

using BE_ERR = uint32_t;
using HBE_STREAM = uint32_t;

constexpr BE_ERR BE_ERR_SUCCESSFUL = 0;
constexpr BE_ERR BE_ERR_INVALID_FORMAT = 1;
constexpr BE_ERR BE_ERR_INVALID_FORMAT_PARAMETERS = 2;
constexpr BE_ERR BE_ERR_NO_MORE_HANDLES = 3;
constexpr BE_ERR BE_ERR_INVALID_HANDLE = 4;
constexpr BE_ERR BE_ERR_BUFFER_TOO_SMALL = 5;

constexpr uint32_t BE_CONFIG_LAME = 256;
constexpr int32_t BE_MP3_MODE_MONO = 3;
constexpr int32_t MPEG1 = 1;

#pragma pack(push, 1)
// The LAME form of the encoder's configuration record (structure version 1), 332 bytes.
struct BE_CONFIG {
    uint32_t dwConfig;  // BE_CONFIG_LAME
    uint32_t dwStructVersion;
    uint32_t dwStructSize;    // 332
    uint32_t dwSampleRate;    // input rate
    uint32_t dwReSampleRate;  // 0: the encoder decides
    int32_t nMode;            // BE_MP3_MODE_MONO
    uint32_t dwBitrate;       // kbit/s
    uint32_t dwMaxBitrate;
    int32_t nPreset;
    uint32_t dwMpegVersion;
    uint32_t dwPsyModel;
    uint32_t dwEmphasis;
    int32_t bPrivate;
    int32_t bCRC;
    int32_t bCopyright;
    int32_t bOriginal;
    int32_t bWriteVBRHeader;
    int32_t bEnableVBR;
    int32_t nVBRQuality;
    uint8_t btReserved[256];
};
#pragma pack(pop)
static_assert(sizeof(BE_CONFIG) == 332, "the configuration record is 332 bytes");

BE_ERR beInitStream(const BE_CONFIG* config, uint32_t* samplesPerChunk, uint32_t* outputBufferSize,
                    HBE_STREAM* stream);
BE_ERR beEncodeChunk(HBE_STREAM stream, uint32_t samples, const int16_t* pcm, uint8_t* output,
                     uint32_t* bytesWritten);
BE_ERR beDeinitStream(HBE_STREAM stream, uint8_t* output, uint32_t* bytesWritten);
BE_ERR beCloseStream(HBE_STREAM stream);
// The texts of an ID3v2 tag, UTF-8; a null or empty text is left out.
struct BeTagTexts {
    const char* title = nullptr;    // TIT2
    const char* album = nullptr;    // TALB
    const char* track = nullptr;    // TRCK, "3/12"
    const char* artist = nullptr;   // TPE1
    const char* year = nullptr;     // TYER
    const char* comment = nullptr;  // COMM
};
// Between beInitStream and the first beEncodeChunk: the bytes of an ID3v2 tag made by LAME, to
// be written before the first frame so players show them. A tag larger than tagSize is not
// written: BE_ERR_BUFFER_TOO_SMALL, and bytesWritten says the size it needs.
BE_ERR beSetTags(HBE_STREAM stream, const BeTagTexts* texts, uint8_t* tag, uint32_t tagSize,
                 uint32_t* bytesWritten);
// After beDeinitStream and with the MP3 file closed: fills the first frame, reserved when the
// configuration asked for a header, with the stream's length and encoder delay, so players
// know the exact duration and play without gaps.
BE_ERR beWriteInfoTag(HBE_STREAM stream, const char* mp3FileName);

// How a stream lays out samples, for a caller that splits one wave between several streams:
// the input samples one frame takes, and the samples of silence a stream adds to input whose
// length is a whole number of frames (the encoder's delay and its least padding).
BE_ERR beGetFrameLayout(HBE_STREAM stream, uint32_t* samplesPerFrame, uint32_t* addedSamples);
// For an MP3 file whose frames come from several streams one after another, each encoded to
// its end (beDeinitStream): with the file closed, fills the header frame the first stream
// reserved with the figures of the whole file, as beWriteInfoTag does for a stream alone.
BE_ERR beWriteJoinedInfoTag(const HBE_STREAM* streams, uint32_t count, const char* mp3FileName);
