#pragma once

#include <cstdint>
#include <vector>

// The Xing "Info" frame with LAME's extension that heads an MP3 stream: frame count, stream
// size, seek table, encoder delay and padding, and two checksums. LAME fills it for a stream it
// encoded alone; a file joined from several streams needs it filled with the figures of the
// whole, which is what this does.
class InfoFrame {
  public:
    // frame: the frame LAME made for the first stream. False when it holds no such frame.
    explicit InfoFrame(std::vector<uint8_t> frame);
    bool valid() const { return m_tag >= 0; }
    const std::vector<uint8_t>& bytes() const { return m_frame; }

    // The figures of the whole stream: its audio frames (the Info frame not counted), each
    // kbpsPerFrame; streamBytes counts the Info frame too; musicCrc covers the bytes after it;
    // padding is the last stream's.
    void fill(uint32_t frames, uint32_t kbpsPerFrame, uint32_t streamBytes, uint16_t musicCrc,
              uint32_t padding);

    // The checksum both LAME fields use (CRC-16, polynomial 0x8005 reflected), continued from
    // crc over size bytes.
    static uint16_t crc16(const uint8_t* data, uint64_t size, uint16_t crc = 0);

  private:
    void putSeekTable(uint32_t frames, uint32_t kbpsPerFrame);
    void put32(int at, uint32_t value);
    void put16(int at, uint16_t value);

    std::vector<uint8_t> m_frame;
    int m_tag = -1;  // where "Info" or "Xing" begins
};
