#include "audio/mp3partplan.h"

#include <algorithm>
#include <limits>

namespace {

// No part is shorter than this, so a short article stays one stream.
constexpr int64_t kLeastPartSeconds = 60;
// How far from the even split a cut may move to find a pause.
constexpr int64_t kSearchSeconds = 5;
// The stretch measured at a cut reaches 50 ms (a 20th of a second) beyond the samples left out
// on either side, so a cut falls well inside a pause rather than at its edge.
constexpr int64_t kGuardDivisor = 20;

}  // namespace

int Mp3PartPlan::partCount(int64_t total, int rate, int threads) {
    if (rate <= 0) {
        return 1;
    }
    // The search may shorten a part by up to kSearchSeconds at either end.
    const int64_t least = (kLeastPartSeconds + 2 * kSearchSeconds) * rate;
    return int(std::clamp<int64_t>(total / least, 1, std::max(1, threads)));
}

int64_t Mp3PartPlan::cutNear(int64_t partStart, int64_t target, int64_t least, int64_t total,
                             const Layout& layout, const Reader& read, bool* ok) {
    const int64_t frame = std::max<int64_t>(1, layout.samplesPerFrame);
    const int64_t added = layout.added;
    const int64_t reach = kSearchSeconds * layout.rate;
    const int64_t guard = layout.rate / kGuardDivisor;
    // Candidate ends: whole frames from the part's start, within reach of the target.
    const int64_t leastFrames = (std::max(least, partStart) - partStart + frame - 1) / frame;
    const int64_t firstFrames =
        std::max<int64_t>({1, leastFrames, (target - reach - partStart) / frame});
    const int64_t lastFrames = std::max(firstFrames, (target + reach - partStart) / frame);
    const int64_t from = std::max<int64_t>(0, partStart + firstFrames * frame - guard);
    const int64_t to = std::min<int64_t>(total, partStart + lastFrames * frame + added + guard);
    std::vector<int16_t> samples;
    if (to <= from || !read(from, to - from, samples)) {
        *ok = false;
        return target;
    }
    // Running sums of the squares: the energy of any stretch in one subtraction.
    std::vector<int64_t> energy(samples.size() + 1, 0);
    for (size_t i = 0; i < samples.size(); ++i) {
        energy[i + 1] = energy[i] + int64_t(samples[i]) * samples[i];
    }
    int64_t best = -1;
    int64_t bestEnergy = std::numeric_limits<int64_t>::max();
    for (int64_t frames = firstFrames; frames <= lastFrames; ++frames) {
        const int64_t end = partStart + frames * frame;
        const int64_t a = std::max<int64_t>(from, end - guard) - from;
        const int64_t b = std::min<int64_t>(to, end + added + guard) - from;
        if (end + added >= total || b <= a) {
            break;
        }
        const int64_t e = energy[size_t(b)] - energy[size_t(a)];
        // Nearer the even split wins among equally quiet stretches (all silence, say).
        if (e < bestEnergy ||
            (e == bestEnergy && std::llabs(end - target) < std::llabs(best - target))) {
            bestEnergy = e;
            best = end;
        }
    }
    *ok = best >= 0;
    return best;
}

std::vector<Mp3Part> Mp3PartPlan::make(int64_t first, int64_t total, int parts,
                                       const Layout& layout, const Reader& read) {
    std::vector<Mp3Part> plan;
    int64_t start = first;
    for (int i = 1; i < parts; ++i) {
        const int64_t target = first + (total - first) * i / parts;
        bool ok = false;
        const int64_t end = cutNear(start, target, start, total, layout, read, &ok);
        if (!ok) {
            return {};
        }
        plan.push_back({start, end - start});
        start = end + layout.added;
    }
    plan.push_back({start, total - start});
    return plan;
}
