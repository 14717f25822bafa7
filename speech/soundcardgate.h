#pragma once

class TTTS;

// What the speaking driver asks before a reading aloud (a file needs no sound device): whether
// the sound device can be opened, and, when the check fails for another reason than a busy
// device, whether to go on all the same. The program answers the second question with a dialog;
// the converter, which writes files only, answers the first with "free" and never opens a
// device.
class SoundCardGate {
  public:
    enum class State { Free, Busy, Failed };

    virtual ~SoundCardGate() = default;
    // Opens the component's device for a moment, as every reading start does.
    virtual State check(const TTTS& tts) const;
    // After a failed check (not a busy device): true lets the reading start.
    virtual bool proceedAfterFailedCheck() const { return true; }
};

// For readings that never open a sound device.
class NoSoundCardGate : public SoundCardGate {
  public:
    State check(const TTTS&) const override { return State::Free; }
};
