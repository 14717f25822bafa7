#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "audio/mp3partencoder.h"

// Where a wave is cut so that several encoder streams can encode it at once and their frames,
// one after another, still play as the one wave.
//
// Each stream adds the encoder's delay at its start and at least as much padding at its end
// (together `added` samples when its stretch is a whole number of frames). So every cut is made
// in the quietest stretch near the even split, on a frame boundary, and the `added` samples
// after it are left out: the stream's own silence takes their place, the speech after the cut
// keeps its time, and the whole decodes to the length of the wave.
class Mp3PartPlan {
  public:
    // How the encoder lays samples into frames (see beGetFrameLayout), at the wave's rate.
    struct Layout {
        int rate = 0;
        uint32_t samplesPerFrame = 0;
        uint32_t added = 0;
    };
    // Reads count 16-bit mono samples from sample first on; false when they cannot be read.
    using Reader = std::function<bool(int64_t first, int64_t count, std::vector<int16_t>& out)>;

    // The number of parts for total samples at rate on threads workers: one per worker, no
    // part shorter than a minute, at least one.
    static int partCount(int64_t total, int rate, int threads);

    // The parts of the samples from first to total, in order; empty when the samples around a
    // cut cannot be read. One part, the whole stretch, when parts is 1.
    static std::vector<Mp3Part> make(int64_t first, int64_t total, int parts, const Layout& layout,
                                     const Reader& read);

    // Where the part that starts at partStart best ends: near target, not before least, a
    // whole number of frames in, with room for the samples left out before total. False in
    // ok when the samples cannot be read.
    static int64_t cutNear(int64_t partStart, int64_t target, int64_t least, int64_t total,
                           const Layout& layout, const Reader& read, bool* ok);
};
