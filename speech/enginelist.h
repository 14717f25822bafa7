#pragma once

#include <QList>
#include <memory>
#include <vector>

#include "speech/engineentry.h"

class TBaseRegistryClass;
class TTTS;

// The engines of the installed voices, in the order they were first met.
class TEngineList {
  public:
    // The engine of the mode selected in tts, found or added; null for a maker the program
    // does not know or a language without a name. New engines register "ENG_" + Name.
    TEngineEntry* FindOrAddEngine(const TTTS& tts, TBaseRegistryClass* store);
    QString Maker(int index) const { return m_entries.at(size_t(index))->Maker; }
    bool Enabled(int index) const { return m_entries.at(size_t(index))->Enabled; }
    TEngineEntry* FindEngineByName(const QString& name) const;
    void SetMakerEnabled(const QString& maker, bool value);
    void LoadEngineSettings(const TBaseRegistryClass& store);
    void SaveEngineSettings(TBaseRegistryClass& store) const;
    int count() const { return int(m_entries.size()); }
    TEngineEntry* at(int index) const { return m_entries.at(size_t(index)).get(); }

  private:
    std::vector<std::unique_ptr<TEngineEntry>> m_entries;
};
