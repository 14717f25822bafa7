#pragma once

#include <gtest/gtest.h>

// Tests that play on a sound device skip at once, saying why, when the machine offers none.
namespace testsound {

inline constexpr char kNoAudioServer[] = "no audio server: run make test";
// The exit code of a test executable whose tests passed except those skipped for want of a
// sound device; CTest reports it as skipped.
inline constexpr int kSkippedExitCode = 77;

// Whether an audio server answers and offers a wave output device.
bool DeviceReachable();

// Counts the tests skipped for want of a sound device, for the test main's summary.
class SkipCounter : public ::testing::EmptyTestEventListener {
  public:
    void OnTestEnd(const ::testing::TestInfo& info) override;
    int count = 0;
};

}  // namespace testsound

// Skips the current test (from its body or its fixture's SetUp) when no sound device is
// reachable.
#define SKIP_WITHOUT_SOUND_DEVICE()                    \
    do {                                               \
        if (!testsound::DeviceReachable()) {           \
            GTEST_SKIP() << testsound::kNoAudioServer; \
        }                                              \
    } while (false)
