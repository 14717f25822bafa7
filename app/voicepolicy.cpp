#include "app/voicepolicy.h"

#include <QRandomGenerator>

#include "speech/voicecatalogue.h"

void VoicePolicy::load(const VoiceCatalogue& catalogue) {
    QStringList names;
    for (const auto& voice : catalogue.voiceList) {
        if (voice->Favourite && voice->Engine->Enabled) {
            names << voice->Name;
        }
    }
    setFavourites(names);
}

void VoicePolicy::setFavourites(const QStringList& names) {
    m_favourites = names;
    m_roundRobinIndex = -1;
}

QString VoicePolicy::choose(Kind kind, const QString& defaultVoice) {
    if (m_favourites.isEmpty() || kind == Kind::Default) {
        return defaultVoice;
    }
    if (kind == Kind::Random) {
        return m_favourites[int(QRandomGenerator::global()->bounded(m_favourites.size()))];
    }
    m_roundRobinIndex = (m_roundRobinIndex + 1) % int(m_favourites.size());
    return m_favourites[m_roundRobinIndex];
}
