#include "app/voicechoices.h"

#include "settings/preferences.h"
#include "speech/voicecatalogue.h"

VoiceChoices::VoiceChoices(VoiceCatalogue& catalogue, TPreferences& prefs)
    : m_catalogue(catalogue), m_prefs(prefs) {}

std::vector<VoiceChoices::Group> VoiceChoices::groups() const {
    std::vector<Group> result;
    for (int index = 0; index < m_catalogue.engines.count(); ++index) {
        TEngineEntry* engine = m_catalogue.engines.at(index);
        bool known = false;
        for (const Group& group : result) {
            known = known || group.engine->Maker == engine->Maker;
        }
        if (known) {
            continue;
        }
        Group group;
        group.engine = engine;
        for (const auto& voice : m_catalogue.voiceList) {
            if (voice->Engine->Maker == engine->Maker) {
                group.voices.push_back(voice.get());
            }
        }
        result.push_back(std::move(group));
    }
    return result;
}

QString VoiceChoices::groupName(const TEngineEntry& engine) const {
    for (int index = 0; index < m_catalogue.engines.count(); ++index) {
        const TEngineEntry* other = m_catalogue.engines.at(index);
        if (other != &engine && other->Maker == engine.Maker) {
            return engine.Maker;
        }
    }
    return engine.Name;
}

VoiceChoices::Image VoiceChoices::engineImage(const TEngineEntry& engine) const {
    return engine.Enabled ? Image::Enabled : Image::Disabled;
}

VoiceChoices::Image VoiceChoices::voiceImage(const TVoiceEntry& voice) const {
    if (isDefault(voice)) {
        return Image::Default;
    }
    return voice.Favourite ? Image::Enabled : Image::Disabled;
}

bool VoiceChoices::isDefault(const TVoiceEntry& voice) const {
    return voice.Name == m_prefs.TTS_DefaultVoiceName;
}

bool VoiceChoices::toggleVoice(TVoiceEntry& voice) {
    if (isDefault(voice)) {
        return false;
    }
    voice.Favourite = !voice.Favourite;
    if (voice.Favourite) {
        m_catalogue.engines.SetMakerEnabled(voice.Engine->Maker, true);
    }
    return true;
}

Outcome VoiceChoices::toggleEngine(const TEngineEntry& engine) {
    const TVoiceEntry* dflt = defaultVoice();
    if (engine.Enabled && dflt && dflt->Engine->Maker == engine.Maker) {
        return Outcome::failure(
            QStringLiteral(
                "This engine cannot be disabled because it contains the default voice, [") +
            dflt->Name + QStringLiteral("]"));
    }
    m_catalogue.SetMakerEnabled(engine.Maker, !engine.Enabled);
    return Outcome::success();
}

bool VoiceChoices::setDefault(TVoiceEntry& voice) {
    if (isDefault(voice)) {
        return false;
    }
    m_prefs.TTS_DefaultVoiceName = voice.Name;
    voice.Favourite = true;
    m_catalogue.engines.SetMakerEnabled(voice.Engine->Maker, true);
    return true;
}

QString VoiceChoices::defaultVoiceText(const QString& voiceName) {
    return voiceName + QStringLiteral(" is the default voice");
}

bool VoiceChoices::nameMatches(const QString& name, const QString& text) {
    if (text.isEmpty()) {
        return false;
    }
    for (qsizetype start = 0; start < name.size(); ++start) {
        const bool wordStart = start == 0 || !name.at(start - 1).isLetterOrNumber();
        if (wordStart && QStringView(name).mid(start).startsWith(text, Qt::CaseInsensitive)) {
            return true;
        }
    }
    return false;
}

TVoiceEntry* VoiceChoices::defaultVoice() const {
    return m_catalogue.FindVoice(m_prefs.TTS_DefaultVoiceName);
}
