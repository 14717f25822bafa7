#include "platform/speechapi/synthengine.h"

#include "platform/speechapi/ttscentral.h"

std::unique_ptr<ITTSCentralW> SynthEngine::makeCentral(
    const SynthVoice& voice, const TTSMODEINFO& mode,
    std::unique_ptr<AudioDestination> destination) {
    return std::make_unique<TtsCentral>(this, voice, mode, std::move(destination));
}
