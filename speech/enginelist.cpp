#include "speech/enginelist.h"

#include "platform/shell/debuglog.h"
#include "settings/baseregistryclass.h"
#include "speech/languagetables.h"
#include "speech/tts.h"

namespace {

// Names, makers and codes by manufacturer.
void describe(TEngineEntry& engine) {
    const QString& mfg = engine.MfgName;
    if (mfg == QStringLiteral("Microsoft")) {
        engine.Name = engine.Maker = QStringLiteral("Microsoft");
        engine.Language = QStringLiteral("US English");
        engine.FilterFlags = 3;
    } else if (mfg == QStringLiteral("Lernout && Hauspie Speech Products")) {
        engine.Name = QStringLiteral("L & H TruVoice");
        engine.Maker = QStringLiteral("Lernout & Hauspie");
        engine.Language = QStringLiteral("US English");
        engine.Code = QStringLiteral("Lrn1");
    } else if (mfg == QStringLiteral("Lernout & Hauspie")) {
        engine.Maker = QStringLiteral("Lernout & Hauspie");
        engine.Language = LanguageName(engine.LanguageID);
        engine.Name = QStringLiteral("L & H - ") + engine.Language;
        engine.Code = QStringLiteral("Lrn2");
    } else if (mfg == QStringLiteral("ELAN Informatique")) {
        engine.Maker = QStringLiteral("Digalo");
        engine.Language = LanguageName(engine.LanguageID);
        engine.Name = QStringLiteral("Digalo - ") + engine.Language;
        engine.Code = QStringLiteral("Diga");
    } else if (mfg == QStringLiteral("eSpeak NG")) {
        engine.Maker = QStringLiteral("eSpeak NG");
        engine.Language = LanguageName(engine.LanguageID);
        engine.Name = QStringLiteral("eSpeak NG - ") + engine.Language;
        engine.Code = QStringLiteral("Espk");
        // The abbreviation table is US English: other languages do without it.
        engine.FilterFlags = LanguageCode(engine.LanguageID) == QStringLiteral("eng") ? 0 : 2;
    } else if (mfg == QStringLiteral("Carnegie Mellon University")) {
        engine.Name = QStringLiteral("Flite");
        engine.Maker = QStringLiteral("Flite");
        engine.Language = QStringLiteral("US English");
        engine.Code = QStringLiteral("Flit");
    }
}

}  // namespace

TEngineEntry* TEngineList::FindOrAddEngine(const TTTS& tts, TBaseRegistryClass* store) {
    const TTSMODEINFO& mode = tts.GetModeInfo();
    for (const auto& entry : m_entries) {
        if (entry->MfgName == mode.szMfgName && entry->ProductName == mode.szProductName &&
            entry->LanguageID == mode.language) {
            return entry.get();
        }
    }
    auto engine = std::make_unique<TEngineEntry>();
    engine->MfgName = mode.szMfgName;
    engine->ProductName = mode.szProductName;
    engine->LanguageID = mode.language;
    describe(*engine);
    if (engine->Maker.isEmpty() || engine->Language.isEmpty()) {
        return nullptr;
    }
    if (store) {
        store->RegisterValue(QStringLiteral("ENG_") + engine->Name, RegLocation::ProductKey,
                             QString(), true, RegType::Bool);
    }
    m_entries.push_back(std::move(engine));
    return m_entries.back().get();
}

TEngineEntry* TEngineList::FindEngineByName(const QString& name) const {
    for (auto it = m_entries.rbegin(); it != m_entries.rend(); ++it) {
        if ((*it)->Name == name) {
            return it->get();
        }
    }
    return nullptr;
}

void TEngineList::SetMakerEnabled(const QString& maker, bool value) {
    for (const auto& entry : m_entries) {
        if (entry->Maker == maker) {
            entry->Enabled = value;
        }
    }
}

void TEngineList::LoadEngineSettings(const TBaseRegistryClass& store) {
    for (const auto& entry : m_entries) {
        entry->Enabled = store.GetValue(QStringLiteral("ENG_") + entry->Name).toBool();
    }
}

void TEngineList::SaveEngineSettings(TBaseRegistryClass& store) const {
    for (const auto& entry : m_entries) {
        // Registered with the engine: an unknown name would be a mistake of this program.
        debugLogFailure(store.SetValue(QStringLiteral("ENG_") + entry->Name, entry->Enabled));
    }
}
