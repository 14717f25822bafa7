#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>

class VoiceCatalogue;

// Which voice a new article gets: the default voice, a random favourite voice, or the favourite
// voices in turn. The favourites are the voices marked so whose engine is enabled, in catalogue
// order.
class VoicePolicy {
  public:
    // The policies as stored in the settings.
    enum class Kind : uint8_t { Default = 0, Random = 1, RoundRobin = 2 };

    // Takes the favourite voices from the catalogue again; the turn starts over.
    void load(const VoiceCatalogue& catalogue);
    void setFavourites(const QStringList& names);
    const QStringList& favourites() const { return m_favourites; }
    // The voice for a new article; the default voice also when no favourite voice is left.
    QString choose(Kind kind, const QString& defaultVoice);

  private:
    QStringList m_favourites;
    int m_roundRobinIndex = -1;  // the favourite last given in turn
};
