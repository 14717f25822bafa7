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

QList<SynthEngine*>& InstalledEngines() {
    static EspeakEngine espeak;
    static FliteEngine flite;
    static QList<SynthEngine*> engines{&espeak, &flite};
    return engines;
}

QList<SynthEngine*>& Engines() {
    static QList<SynthEngine*> engines = InstalledEngines();
    return engines;
}

QList<InstalledMode> BuildModes() {
    QList<InstalledMode> modes;
    for (SynthEngine* engine : Engines()) {
        for (const SynthVoice& voice : engine->Voices()) {
            InstalledMode mode{{}, engine, voice};
            TTSMODEINFO& info = mode.info;
            info.gEngineID = QUuid::createUuidV5(kModeNamespace, engine->Name());
            info.szMfgName = voice.Manufacturer;
            info.szProductName = voice.Product;
            info.gModeID = QUuid::createUuidV5(
                kModeNamespace, engine->Name() + QLatin1Char('/') + voice.Identifier);
            info.szModeName = voice.Name;
            info.language = LanguageIdForTag(voice.Language);
            info.szDialect = voice.Language;
            info.szSpeaker = voice.Identifier;
            info.wGender = uint16_t(voice.Gender);
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
            mode.info.szModeName += QStringLiteral(" (") + mode.voice.Identifier + QLatin1Char(')');
        }
    }
    // Voices of the user's own language first (their own variety before the others), then US
    // English, so the first voice is one the user understands and is offered for articles.
    const uint16_t mine = UserLanguageId();
    const auto rank = [mine](const InstalledMode& mode) {
        if (mode.info.language == mine) {
            return 0;
        }
        if ((mode.info.language & 0x3FF) == (mine & 0x3FF)) {
            return 1;
        }
        return mode.info.language == 0x0409 ? 2 : 3;
    };
    std::stable_sort(
        modes.begin(), modes.end(),
        [&rank](const InstalledMode& a, const InstalledMode& b) { return rank(a) < rank(b); });
    return modes;
}

QList<InstalledMode>& Installed() {
    static QList<InstalledMode> modes = BuildModes();
    return modes;
}

QList<TTSMODEINFO>& ModeInfos() {
    static QList<TTSMODEINFO> infos;
    return infos;
}

void Rebuild() {
    Installed() = BuildModes();
    ModeInfos().clear();
    for (const InstalledMode& mode : Installed()) {
        ModeInfos() << mode.info;
    }
}

}  // namespace

TtsEnumerator::TtsEnumerator() = default;

const QList<TTSMODEINFO>& TtsEnumerator::Modes() {
    static const bool built = (Rebuild(), true);
    Q_UNUSED(built);
    return ModeInfos();
}

void TtsEnumerator::UseEngines(const QList<SynthEngine*>& engines) {
    Engines() = engines.isEmpty() ? InstalledEngines() : engines;
    Rebuild();
}

HRESULT TtsEnumerator::Reset() {
    position_ = 0;
    return S_OK;
}

HRESULT TtsEnumerator::Next(uint32_t count, TTSMODEINFO* modes, uint32_t* fetched) {
    uint32_t got = 0;
    while (got < count && position_ < Modes().size()) {
        modes[got++] = Modes()[position_++];
    }
    if (fetched) {
        *fetched = got;
    }
    return got == count ? S_OK : S_FALSE;
}

HRESULT TtsEnumerator::Skip(uint32_t count) {
    position_ = qMin<qsizetype>(position_ + count, Modes().size());
    return position_ < Modes().size() ? S_OK : S_FALSE;
}

HRESULT TtsEnumerator::Select(const QUuid& modeId, std::unique_ptr<ITTSCentralW>* central,
                              std::unique_ptr<AudioDestination> destination) {
    for (const InstalledMode& mode : Installed()) {
        if (mode.info.gModeID == modeId) {
            if (!destination) {
                return E_INVALIDARG;
            }
            *central = mode.engine->MakeCentral(mode.voice, mode.info, std::move(destination));
            return S_OK;
        }
    }
    return TTSERR_INVALIDMODE;
}

HRESULT TtsEnumerator::Find(const TTSMODEINFO& criteria, const TTSMODEINFORANK* ranks,
                            TTSMODEINFO* found) {
    if (Modes().isEmpty()) {
        return TTSERR_INVALIDMODE;
    }
    qsizetype best = 0;
    uint32_t bestScore = 0;
    for (qsizetype i = 0; i < Modes().size(); ++i) {
        uint32_t score = 0;
        if (ranks && !criteria.gModeID.isNull() && Modes()[i].gModeID == criteria.gModeID) {
            score += ranks->dwModeID;
        }
        if (ranks && !criteria.szModeName.isEmpty() &&
            Modes()[i].szModeName == criteria.szModeName) {
            score += ranks->dwModeName;
        }
        if (score > bestScore) {
            best = i;
            bestScore = score;
        }
    }
    *found = Modes()[best];
    return S_OK;
}
