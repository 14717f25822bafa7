#include "speech/soundcardgate.h"

#include "audio/soundcardcheck.h"
#include "speech/tts.h"

SoundCardGate::State SoundCardGate::check(const TTTS& tts) const {
    switch (CheckSoundCard(tts.AudioDeviceID())) {
        case 0:
            return State::Free;
        case 1:
            return State::Busy;
        default:
            return State::Failed;
    }
}
