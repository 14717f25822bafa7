#include "tests/common/sounddevice.h"

#include <cstring>

#include "platform/wavedevices/waveoutdevices.h"

namespace testsound {

bool DeviceReachable() {
    return WaveOutDevices::count() > 0;
}

void SkipCounter::OnTestEnd(const ::testing::TestInfo& info) {
    const ::testing::TestResult* result = info.result();
    if (!result->Skipped()) {
        return;
    }
    for (int i = 0; i < result->total_part_count(); ++i) {
        if (std::strstr(result->GetTestPartResult(i).message(), kNoAudioServer)) {
            ++count;
            return;
        }
    }
}

}  // namespace testsound
