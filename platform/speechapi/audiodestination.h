#pragma once

#include <QObject>
#include <cstdint>

// Where a mode's audio goes. write and finish run on the synthesis thread; the rest on the
// thread that owns the destination.
class AudioDestination : public QObject {
    Q_OBJECT
  public:
    // Prepares for audio of this rate (16-bit mono); false when the destination cannot take it.
    virtual bool open(int sampleRate) = 0;
    // Hands over samples; may wait (pacing, a full buffer, a pause). False when a reset has
    // discarded the audio in flight.
    virtual bool write(const int16_t* samples, int count) = 0;
    // The text being synthesised has ended: what has been written is all there is until the
    // next write.
    virtual void finish() {}
    // How many samples have been handed over since the destination was made.
    virtual int64_t written() const = 0;
    // How many of them have been played (a file counts them as written).
    virtual int64_t played() const = 0;
    // Samples handed over and not yet played.
    virtual bool draining() const = 0;
    virtual void pause(bool paused) = 0;
    // Discards everything not yet played and ends waits in write.
    virtual void reset() = 0;
    // Completes the output (a wave file gets its sizes); false on failure.
    virtual bool flush() = 0;
    // Pacing of a file: at most n/256 times real time; 0 unpaced.
    virtual void setRealTime(uint32_t n) { m_realTime = n; }
    uint32_t realTime() const { return m_realTime; }

  protected:
    uint32_t m_realTime = 0;
};
