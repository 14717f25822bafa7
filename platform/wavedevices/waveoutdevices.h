#pragma once

#include <QAudioDevice>
#include <QString>
#include <cstdint>

// Result codes of the wave device calls, as the multimedia system numbers them.
enum MMResult : uint32_t {
    MMSYSERR_NOERROR = 0,
    MMSYSERR_ERROR = 1,
    MMSYSERR_BADDEVICEID = 2,
    MMSYSERR_ALLOCATED = 4,
    MMSYSERR_NODRIVER = 6,
    WAVERR_BADFORMAT = 32,
};

// Standard formats a device can play: rate (1 = 11025, 2 = 22050, 4 = 44100 Hz), mono or
// stereo, 8 or 16 bit.
enum WaveFormatFlag : uint32_t {
    WAVE_FORMAT_1M08 = 0x001,
    WAVE_FORMAT_1S08 = 0x002,
    WAVE_FORMAT_1M16 = 0x004,
    WAVE_FORMAT_1S16 = 0x008,
    WAVE_FORMAT_2M08 = 0x010,
    WAVE_FORMAT_2S08 = 0x020,
    WAVE_FORMAT_2M16 = 0x040,
    WAVE_FORMAT_2S16 = 0x080,
    WAVE_FORMAT_4M08 = 0x100,
    WAVE_FORMAT_4S08 = 0x200,
    WAVE_FORMAT_4M16 = 0x400,
    WAVE_FORMAT_4S16 = 0x800,
};

enum WaveCapsSupport : uint32_t { WAVECAPS_VOLUME = 0x0004 };

// An open wave output device; closing it (or destroying it) releases the device.
class WaveOutHandle;

struct WaveOutCaps {
    QString name;  // at most 31 characters
    uint32_t formats = 0;
    uint16_t channels = 0;
    uint32_t support = 0;
};

// The wave output devices of the audio server. Device -1 is the default device; 0 … n-1
// follow the order of QMediaDevices::audioOutputs().
class WaveOutDevices {
  public:
    static constexpr int kDefaultDevice = -1;
    static constexpr int kMaxNameLength = 31;

    static int count();
    static MMResult getCaps(int deviceId, WaveOutCaps* caps);
    // Opens a device for PCM output (8 or 16 bits); MMSYSERR_ALLOCATED when the audio system
    // cannot give it to us now, WAVERR_BADFORMAT for a format it does not take.
    static MMResult open(int deviceId, int rate, int channels, int bits, WaveOutHandle** handle);
    static MMResult close(WaveOutHandle* handle);
    // Whether a device exists and takes a format, without opening a stream (opening and
    // closing a stream costs the audio server a few hundred milliseconds while it plays).
    static MMResult query(int deviceId, int rate, int channels, int bits);
    // The device behind a device number; false when there is none.
    static bool device(int deviceId, QAudioDevice* device);

    // What the program above this layer needs to know of a device and a format: it can be
    // used, another program holds it, or it cannot be used at all (no such device, a format
    // it does not take, no audio server).
    enum class Availability { Available, Busy, Unavailable };
    // Without opening a stream, as query does.
    static Availability availability(int deviceId, int rate, int channels, int bits);
    // Opens a stream and closes it again at once: proves the audio server takes audio now.
    static Availability tryOpen(int deviceId, int rate, int channels, int bits);

  private:
    static Availability availabilityOf(MMResult result);
    // The device and the PCM format for a request, and whether the device takes that format.
    static MMResult prepare(int deviceId, int rate, int channels, int bits, QAudioDevice* dev,
                            class QAudioFormat* format);
};
