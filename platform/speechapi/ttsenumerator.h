#pragma once

#include <QList>
#include <memory>

#include "platform/speechapi/audiodestination.h"
#include "platform/speechapi/speechapi.h"

class SynthEngine;

// The installed engine modes: every eSpeak NG voice and the Flite voices, the user's locale
// language first. Mode identifiers are derived from engine and voice, so they stay the same
// from run to run.
class TtsEnumerator {
  public:
    TtsEnumerator();

    HRESULT Reset();
    // Up to count modes from the current place; fetched tells how many came (S_FALSE at the end).
    HRESULT Next(uint32_t count, TTSMODEINFO* fetchedModes, uint32_t* fetched);
    HRESULT Skip(uint32_t count);
    // The central object of a mode, speaking into destination (which it takes over).
    HRESULT Select(const QUuid& modeId, std::unique_ptr<ITTSCentralW>* central,
                   std::unique_ptr<AudioDestination> destination);
    // The mode that best matches the criteria by the ranks given; the first mode without any.
    HRESULT Find(const TTSMODEINFO& criteria, const TTSMODEINFORANK* ranks, TTSMODEINFO* found);

    // All modes, in enumeration order.
    static const QList<TTSMODEINFO>& modes();
    // Replaces the engines the modes come from (an empty list: the installed ones). Tests
    // use it to stand in engines of makers that do not exist here.
    static void useEngines(const QList<SynthEngine*>& replacements);

  private:
    qsizetype m_position = 0;
};
