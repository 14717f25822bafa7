#include "platform/speechapi/ttsenumerator.h"

#include <QHash>
#include <QLocale>
#include <algorithm>

#include "platform/speechapi/espeakengine.h"
#include "platform/speechapi/fliteengine.h"
#include "platform/speechapi/languageids.h"
#include "platform/speechapi/synthengine.h"

namespace {

// The namespace of the mode identifiers; never change it, stored settings name voices by it.
const QUuid kModeNamespace(QStringLiteral("{5b7e1c2a-3f4d-4e8a-9b61-2c0d7a9e4f10}"));

struct InstalledMode {
    TTSMODEINFO info;
    SynthEngine* engine;
    SynthVoice voice;
};

QList<SynthEngine*>& installedEngines() {
    static EspeakEngine espeak;
    static FliteEngine flite;
    static QList<SynthEngine*> engines{&espeak, &flite};
    return engines;
}

QList<SynthEngine*>& engines() {
    static QList<SynthEngine*> engines = installedEngines();
    return engines;
}

QList<InstalledMode> buildModes() {
    QList<InstalledMode> modes;
    for (SynthEngine* engine : engines()) {
        for (const SynthVoice& voice : engine->voices()) {
            InstalledMode mode{{}, engine, voice};
            TTSMODEINFO& info = mode.info;
            info.gEngineID = QUuid::createUuidV5(kModeNamespace, engine->name());
            info.szMfgName = voice.manufacturer;
            info.szProductName = voice.product;
            info.gModeID = QUuid::createUuidV5(
                kModeNamespace, engine->name() + QLatin1Char('/') + voice.identifier);
            info.szModeName = voice.name;
            info.language = languageIdForTag(voice.language);
            info.szDialect = voice.language;
            info.szSpeaker = voice.identifier;
            info.wGender = uint16_t(voice.gender);
            info.dwInterfaces = TTSI_ITTSCENTRAL | TTSI_ITTSATTRIBUTES | TTSI_ITTSDIALOGS;
            modes << mode;
        }
    }
    // Names identify modes: a name that repeats gets the voice's identifier added.
    QHash<QString, int> seen;
    for (const InstalledMode& mode : modes) {
        ++seen[mode.info.szModeName];
    }
    for (InstalledMode& mode : modes) {
        if (seen.value(mode.info.szModeName) > 1) {
            mode.info.szModeName += QStringLiteral(" (") + mode.voice.identifier + QLatin1Char(')');
        }
    }
    // Voices of the user's own language first (their own variety before the others), then US
    // English, so the first voice is one the user understands and is offered for articles.
    const uint16_t mine = userLanguageId();
    const auto rank = [mine](const InstalledMode& mode) {
        if (mode.info.language == mine) {
            return 0;
        }
        if (sameLanguage(mode.info.language, mine)) {
            return 1;
        }
        return mode.info.language == kUsEnglish ? 2 : 3;
    };
    std::stable_sort(
        modes.begin(), modes.end(),
        [&rank](const InstalledMode& a, const InstalledMode& b) { return rank(a) < rank(b); });
    return modes;
}

QList<InstalledMode>& installed() {
    static QList<InstalledMode> modes = buildModes();
    return modes;
}

QList<TTSMODEINFO>& modeInfos() {
    static QList<TTSMODEINFO> infos;
    return infos;
}

void rebuild() {
    installed() = buildModes();
    modeInfos().clear();
    for (const InstalledMode& mode : installed()) {
        modeInfos() << mode.info;
    }
}

}  // namespace

TtsEnumerator::TtsEnumerator() = default;

const QList<TTSMODEINFO>& TtsEnumerator::modes() {
    static const bool built = (rebuild(), true);
    Q_UNUSED(built);
    return modeInfos();
}

void TtsEnumerator::useEngines(const QList<SynthEngine*>& replacements) {
    engines() = replacements.isEmpty() ? installedEngines() : replacements;
    rebuild();
}

HRESULT TtsEnumerator::Reset() {
    m_position = 0;
    return S_OK;
}

HRESULT TtsEnumerator::Next(uint32_t count, TTSMODEINFO* fetchedModes, uint32_t* fetched) {
    uint32_t got = 0;
    while (got < count && m_position < modes().size()) {
        fetchedModes[got++] = modes()[m_position++];
    }
    if (fetched) {
        *fetched = got;
    }
    return got == count ? S_OK : S_FALSE;
}

HRESULT TtsEnumerator::Skip(uint32_t count) {
    m_position = qMin<qsizetype>(m_position + count, modes().size());
    return m_position < modes().size() ? S_OK : S_FALSE;
}

HRESULT TtsEnumerator::Select(const QUuid& modeId, std::unique_ptr<ITTSCentralW>* central,
                              std::unique_ptr<AudioDestination> destination) {
    for (const InstalledMode& mode : installed()) {
        if (mode.info.gModeID == modeId) {
            if (!destination) {
                return E_INVALIDARG;
            }
            *central = mode.engine->makeCentral(mode.voice, mode.info, std::move(destination));
            return S_OK;
        }
    }
    return TTSERR_INVALIDMODE;
}

HRESULT TtsEnumerator::Find(const TTSMODEINFO& criteria, const TTSMODEINFORANK* ranks,
                            TTSMODEINFO* found) {
    if (modes().isEmpty()) {
        return TTSERR_INVALIDMODE;
    }
    qsizetype best = 0;
    uint32_t bestScore = 0;
    for (qsizetype i = 0; i < modes().size(); ++i) {
        uint32_t score = 0;
        if (ranks && !criteria.gModeID.isNull() && modes()[i].gModeID == criteria.gModeID) {
            score += ranks->dwModeID;
        }
        if (ranks && !criteria.szModeName.isEmpty() &&
            modes()[i].szModeName == criteria.szModeName) {
            score += ranks->dwModeName;
        }
        if (score > bestScore) {
            best = i;
            bestScore = score;
        }
    }
    *found = modes()[best];
    return S_OK;
}
