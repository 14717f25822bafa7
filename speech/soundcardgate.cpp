#include "speech/soundcardgate.h"

#include "audio/soundcardcheck.h"
#include "speech/tts.h"

SoundCardGate::State SoundCardGate::check(const TTTS& tts) const {
    switch (CheckSoundCard(tts.AudioDeviceID())) {
        case kSoundCardOpens:
            return State::Free;
        case kSoundCardBusy:
            return State::Busy;
        default:
            return State::Failed;
    }
}
