#pragma once

#include <QString>
#include <vector>

#include "platform/shell/outcome.h"

class TPreferences;
class VoiceCatalogue;
struct TEngineEntry;
struct TVoiceEntry;

// Which engines and voices take part, and which voice is the default, as the Engines / Voices
// sheet changes them. Engines are grouped by maker: enabling or disabling one acts on every
// engine of its maker. The default voice and its engine can never be disabled.
class VoiceChoices {
  public:
    // How a node of the sheet's tree is drawn; the values are the images' indexes.
    enum class Image { Enabled = 0, Disabled = 1, Default = 2 };

    // One maker: its first engine in the catalogue, which stands for all of them, and the
    // voices of all its engines in catalogue order.
    struct Group {
        TEngineEntry* engine = nullptr;
        std::vector<TVoiceEntry*> voices;
    };

    VoiceChoices(VoiceCatalogue& catalogue, TPreferences& prefs);

    std::vector<Group> groups() const;
    // The node's text: the engine's name, or the maker's when it has engines for several
    // languages (one node holds them all).
    QString groupName(const TEngineEntry& engine) const;
    Image engineImage(const TEngineEntry& engine) const;
    Image voiceImage(const TVoiceEntry& voice) const;
    bool isDefault(const TVoiceEntry& voice) const;

    // Marks the voice enabled or disabled; enabling a voice enables its maker's engines. The
    // default voice is left as it is (false).
    bool toggleVoice(TVoiceEntry& voice);
    // Enables or disables every engine of the maker with all their voices; refused with the
    // message that says why for the maker of the default voice.
    Outcome toggleEngine(const TEngineEntry& engine);
    // Makes the voice the default, enabled with its maker's engines; false when it already is.
    bool setDefault(TVoiceEntry& voice);

    // What a double click on the default voice says instead of disabling it.
    static QString defaultVoiceText(const QString& voiceName);
    // Whether the name, or one of its words onwards, starts with the text (any case): "fr"
    // finds "eSpeak French", "english (sc" finds "eSpeak English (Scotland)".
    static bool nameMatches(const QString& name, const QString& text);

  private:
    TVoiceEntry* defaultVoice() const;

    VoiceCatalogue& m_catalogue;
    TPreferences& m_prefs;
};
