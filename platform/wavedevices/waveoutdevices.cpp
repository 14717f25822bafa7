#include "platform/wavedevices/waveoutdevices.h"

#include <QAudioFormat>
#include <QAudioSink>
#include <QMediaDevices>
#include <array>
#include <memory>

namespace {

struct StandardFormat {
    int rate;
    int channels;
    QAudioFormat::SampleFormat sample;
    uint32_t flag;
};

constexpr std::array<StandardFormat, 12> kStandardFormats{{
    {11025, 1, QAudioFormat::UInt8, WAVE_FORMAT_1M08},
    {11025, 2, QAudioFormat::UInt8, WAVE_FORMAT_1S08},
    {11025, 1, QAudioFormat::Int16, WAVE_FORMAT_1M16},
    {11025, 2, QAudioFormat::Int16, WAVE_FORMAT_1S16},
    {22050, 1, QAudioFormat::UInt8, WAVE_FORMAT_2M08},
    {22050, 2, QAudioFormat::UInt8, WAVE_FORMAT_2S08},
    {22050, 1, QAudioFormat::Int16, WAVE_FORMAT_2M16},
    {22050, 2, QAudioFormat::Int16, WAVE_FORMAT_2S16},
    {44100, 1, QAudioFormat::UInt8, WAVE_FORMAT_4M08},
    {44100, 2, QAudioFormat::UInt8, WAVE_FORMAT_4S08},
    {44100, 1, QAudioFormat::Int16, WAVE_FORMAT_4M16},
    {44100, 2, QAudioFormat::Int16, WAVE_FORMAT_4S16},
}};

}  // namespace

int WaveOutDevices::count() {
    return int(QMediaDevices::audioOutputs().size());
}

bool WaveOutDevices::device(int deviceId, QAudioDevice* device) {
    const QList<QAudioDevice> outputs = QMediaDevices::audioOutputs();
    if (deviceId == kDefaultDevice) {
        *device = QMediaDevices::defaultAudioOutput();
        return !device->isNull();
    }
    if (deviceId < 0 || deviceId >= outputs.size()) {
        return false;
    }
    *device = outputs[deviceId];
    return true;
}

MMResult WaveOutDevices::getCaps(int deviceId, WaveOutCaps* caps) {
    QAudioDevice dev;
    if (!device(deviceId, &dev)) {
        return count() == 0 ? MMSYSERR_NODRIVER : MMSYSERR_BADDEVICEID;
    }
    caps->name = dev.description().left(kMaxNameLength);
    caps->channels = uint16_t(qBound(1, dev.maximumChannelCount(), 0xFFFF));
    caps->support = WAVECAPS_VOLUME;
    caps->formats = 0;
    for (const StandardFormat& standard : kStandardFormats) {
        QAudioFormat format;
        format.setSampleRate(standard.rate);
        format.setChannelCount(standard.channels);
        format.setSampleFormat(standard.sample);
        if (dev.isFormatSupported(format)) {
            caps->formats |= standard.flag;
        }
    }
    return MMSYSERR_NOERROR;
}

MMResult WaveOutDevices::prepare(int deviceId, int rate, int channels, int bits, QAudioDevice* dev,
                                 QAudioFormat* format) {
    if (!device(deviceId, dev)) {
        return count() == 0 ? MMSYSERR_NODRIVER : MMSYSERR_BADDEVICEID;
    }
    format->setSampleRate(rate);
    format->setChannelCount(channels);
    format->setSampleFormat(bits == 8 ? QAudioFormat::UInt8 : QAudioFormat::Int16);
    return (bits == 8 || bits == 16) && dev->isFormatSupported(*format) ? MMSYSERR_NOERROR
                                                                        : WAVERR_BADFORMAT;
}

class WaveOutHandle {
  public:
    std::unique_ptr<QAudioSink> sink;
};

MMResult WaveOutDevices::open(int deviceId, int rate, int channels, int bits,
                              WaveOutHandle** handle) {
    *handle = nullptr;
    QAudioDevice dev;
    QAudioFormat format;
    const MMResult prepared = prepare(deviceId, rate, channels, bits, &dev, &format);
    if (prepared != MMSYSERR_NOERROR) {
        return prepared;
    }
    auto opened = std::make_unique<WaveOutHandle>();
    opened->sink = std::make_unique<QAudioSink>(dev, format);
    QIODevice* io = opened->sink->start();
    if (!io || opened->sink->error() != QAudio::NoError) {
        return opened->sink->error() == QAudio::OpenError ? MMSYSERR_ALLOCATED : MMSYSERR_ERROR;
    }
    *handle = opened.release();
    return MMSYSERR_NOERROR;
}

MMResult WaveOutDevices::close(WaveOutHandle* handle) {
    if (!handle) {
        return MMSYSERR_ERROR;
    }
    handle->sink->stop();
    delete handle;
    return MMSYSERR_NOERROR;
}

MMResult WaveOutDevices::query(int deviceId, int rate, int channels, int bits) {
    QAudioDevice dev;
    QAudioFormat format;
    return prepare(deviceId, rate, channels, bits, &dev, &format);
}

WaveOutDevices::Availability WaveOutDevices::availabilityOf(MMResult result) {
    switch (result) {
        case MMSYSERR_NOERROR:
            return Availability::Available;
        case MMSYSERR_ALLOCATED:
            return Availability::Busy;
        default:
            return Availability::Unavailable;
    }
}

WaveOutDevices::Availability WaveOutDevices::availability(int deviceId, int rate, int channels,
                                                          int bits) {
    return availabilityOf(query(deviceId, rate, channels, bits));
}

WaveOutDevices::Availability WaveOutDevices::tryOpen(int deviceId, int rate, int channels,
                                                     int bits) {
    WaveOutHandle* handle = nullptr;
    const MMResult opened = open(deviceId, rate, channels, bits, &handle);
    if (opened == MMSYSERR_NOERROR) {
        close(handle);
    }
    return availabilityOf(opened);
}
