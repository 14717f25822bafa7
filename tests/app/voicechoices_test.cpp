// Which engines and voices take part and which voice is the default, with the real voice
// catalogue, as the Engines / Voices sheet changes them.
#include <gtest/gtest.h>

#include <QSet>

#include "app/voicechoices.h"
#include "settings/preferences.h"
#include "speech/voicecatalogue.h"
#include "tests/common/printers.h"
#include "tests/common/testprofile.h"

namespace {

class VoiceChoicesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        testprofile::Reset();
        m_prefs = std::make_unique<TPreferences>();
        m_catalogue.Initialize(*m_prefs);
        ASSERT_FALSE(m_catalogue.voiceList.empty());
        m_espeak = VoiceOf(QStringLiteral("eSpeak NG"));
        m_flite = VoiceOf(QStringLiteral("Flite"));
        ASSERT_NE(m_espeak, nullptr);
        ASSERT_NE(m_flite, nullptr);
        // The default voice is an eSpeak NG voice other than m_espeak.
        for (const auto& voice : m_catalogue.voiceList) {
            if (voice->Engine->Maker == m_espeak->Engine->Maker && voice.get() != m_espeak) {
                m_prefs->TTS_DefaultVoiceName = voice->Name;
                break;
            }
        }
        ASSERT_NE(m_catalogue.FindVoice(m_prefs->TTS_DefaultVoiceName), nullptr);
    }
    // The last voice of the maker, so that it is not the first of its group.
    TVoiceEntry* VoiceOf(const QString& maker) const {
        TVoiceEntry* found = nullptr;
        for (const auto& voice : m_catalogue.voiceList) {
            if (voice->Engine->Maker == maker) {
                found = voice.get();
            }
        }
        return found;
    }
    // Every engine of the maker is enabled (1), disabled (0), or they differ (-1).
    int EnginesOf(const QString& maker) const {
        int state = -2;
        for (int i = 0; i < m_catalogue.engines.count(); ++i) {
            if (m_catalogue.engines.Maker(i) == maker) {
                const int enabled = m_catalogue.engines.Enabled(i) ? 1 : 0;
                state = state == -2 || state == enabled ? enabled : -1;
            }
        }
        return state;
    }
    // How many voices of the maker are marked favourite.
    int FavouritesOf(const QString& maker) const {
        int count = 0;
        for (const auto& voice : m_catalogue.voiceList) {
            count += voice->Engine->Maker == maker && voice->Favourite ? 1 : 0;
        }
        return count;
    }
    int VoicesOf(const QString& maker) const {
        int count = 0;
        for (const auto& voice : m_catalogue.voiceList) {
            count += voice->Engine->Maker == maker ? 1 : 0;
        }
        return count;
    }

    std::unique_ptr<TPreferences> m_prefs;
    VoiceCatalogue m_catalogue;
    TVoiceEntry* m_espeak = nullptr;
    TVoiceEntry* m_flite = nullptr;
};

TEST_F(VoiceChoicesTest, OneGroupPerMakerWithItsVoicesInCatalogueOrder) {
    VoiceChoices choices(m_catalogue, *m_prefs);
    const auto groups = choices.groups();
    QStringList makers;
    QStringList listed;
    for (const auto& group : groups) {
        makers << group.engine->Maker;
        for (const TVoiceEntry* voice : group.voices) {
            EXPECT_EQ(voice->Engine->Maker, group.engine->Maker) << voice->Name.toStdString();
            listed << voice->Name;
        }
    }
    EXPECT_EQ(QSet<QString>(makers.begin(), makers.end()).size(), makers.size())
        << "one group per maker";
    EXPECT_TRUE(makers.contains(QStringLiteral("eSpeak NG")));
    EXPECT_TRUE(makers.contains(QStringLiteral("Flite")));
    // Within a group the catalogue's order stays: the user's languages first.
    QStringList catalogueOrder;
    for (const auto& group : groups) {
        for (const auto& voice : m_catalogue.voiceList) {
            if (voice->Engine->Maker == group.engine->Maker) {
                catalogueOrder << voice->Name;
            }
        }
    }
    EXPECT_EQ(listed, catalogueOrder);
    EXPECT_EQ(listed.size(), qsizetype(m_catalogue.voiceList.size()));
    // eSpeak NG has an engine per language, all under one node named after the maker.
    for (const auto& group : groups) {
        EXPECT_EQ(choices.groupName(*group.engine), group.engine->Maker == "eSpeak NG"
                                                        ? QStringLiteral("eSpeak NG")
                                                        : group.engine->Name);
    }
}

TEST_F(VoiceChoicesTest, EnablingAndDisablingFollowTheMaker) {
    VoiceChoices choices(m_catalogue, *m_prefs);
    const QString flite = m_flite->Engine->Maker;
    const QString espeak = m_espeak->Engine->Maker;

    // Disabling the engine disables every engine and voice of its maker, and only those.
    ASSERT_TRUE(choices.toggleEngine(*m_flite->Engine).ok());
    EXPECT_EQ(EnginesOf(flite), 0);
    EXPECT_EQ(FavouritesOf(flite), 0);
    EXPECT_EQ(choices.engineImage(*m_flite->Engine), VoiceChoices::Image::Disabled);
    EXPECT_EQ(choices.voiceImage(*m_flite), VoiceChoices::Image::Disabled);
    EXPECT_EQ(EnginesOf(espeak), 1);
    EXPECT_EQ(FavouritesOf(espeak), VoicesOf(espeak));

    // Enabling one voice of a disabled engine enables its maker's engines, not its other voices.
    ASSERT_TRUE(choices.toggleVoice(*m_flite));
    EXPECT_TRUE(m_flite->Favourite);
    EXPECT_EQ(EnginesOf(flite), 1);
    EXPECT_EQ(FavouritesOf(flite), 1);
    EXPECT_EQ(choices.voiceImage(*m_flite), VoiceChoices::Image::Enabled);

    // Disabling a voice leaves its engine enabled; enabling the engine again marks every voice.
    ASSERT_TRUE(choices.toggleVoice(*m_flite));
    EXPECT_FALSE(m_flite->Favourite);
    EXPECT_EQ(EnginesOf(flite), 1);
    ASSERT_TRUE(choices.toggleEngine(*m_flite->Engine).ok());
    EXPECT_EQ(EnginesOf(flite), 0);
    ASSERT_TRUE(choices.toggleEngine(*m_flite->Engine).ok());
    EXPECT_EQ(EnginesOf(flite), 1);
    EXPECT_EQ(FavouritesOf(flite), VoicesOf(flite));
}

TEST_F(VoiceChoicesTest, TheDefaultVoiceAndItsEngineStayEnabled) {
    VoiceChoices choices(m_catalogue, *m_prefs);
    TVoiceEntry* dflt = m_catalogue.FindVoice(m_prefs->TTS_DefaultVoiceName);
    EXPECT_EQ(choices.voiceImage(*dflt), VoiceChoices::Image::Default);
    EXPECT_FALSE(choices.toggleVoice(*dflt));
    EXPECT_TRUE(dflt->Favourite);

    // Refused for any engine of the default voice's maker, not only the voice's own.
    const Outcome refused = choices.toggleEngine(*m_espeak->Engine);
    EXPECT_FALSE(refused.ok());
    EXPECT_EQ(refused.message(),
              QStringLiteral("This engine cannot be disabled because it contains the default "
                             "voice, [") +
                  dflt->Name + QStringLiteral("]"));
    EXPECT_EQ(EnginesOf(m_espeak->Engine->Maker), 1);
    EXPECT_EQ(FavouritesOf(m_espeak->Engine->Maker), VoicesOf(m_espeak->Engine->Maker));
    EXPECT_EQ(VoiceChoices::defaultVoiceText(dflt->Name), dflt->Name + " is the default voice");
}

TEST_F(VoiceChoicesTest, AVoiceOfADisabledEngineMadeDefaultEnablesBoth) {
    VoiceChoices choices(m_catalogue, *m_prefs);
    ASSERT_TRUE(choices.toggleEngine(*m_flite->Engine).ok());
    ASSERT_FALSE(m_flite->Favourite);

    EXPECT_TRUE(choices.setDefault(*m_flite));
    EXPECT_EQ(m_prefs->TTS_DefaultVoiceName, m_flite->Name);
    EXPECT_TRUE(m_flite->Favourite);
    EXPECT_EQ(EnginesOf(m_flite->Engine->Maker), 1);
    EXPECT_EQ(choices.voiceImage(*m_flite), VoiceChoices::Image::Default);
    EXPECT_FALSE(choices.setDefault(*m_flite)) << "already the default";

    // The former default voice's engine may now be disabled; the new one's may not.
    EXPECT_TRUE(choices.toggleEngine(*m_espeak->Engine).ok());
    EXPECT_EQ(EnginesOf(m_espeak->Engine->Maker), 0);
    EXPECT_FALSE(choices.toggleEngine(*m_flite->Engine).ok());
}

TEST(VoiceChoicesNames, AVoiceIsFoundByTheStartOfItsNameOrOfAWord) {
    const QString name = QStringLiteral("eSpeak English (Scotland)");
    EXPECT_TRUE(VoiceChoices::nameMatches(name, QStringLiteral("esp")));
    EXPECT_TRUE(VoiceChoices::nameMatches(name, QStringLiteral("ENGLISH")));
    EXPECT_TRUE(VoiceChoices::nameMatches(name, QStringLiteral("english (sc")));
    EXPECT_TRUE(VoiceChoices::nameMatches(name, QStringLiteral("scot")));
    EXPECT_FALSE(VoiceChoices::nameMatches(name, QStringLiteral("peak")));
    EXPECT_FALSE(VoiceChoices::nameMatches(name, QStringLiteral("cotland")));
    EXPECT_FALSE(VoiceChoices::nameMatches(name, QString()));
}

}  // namespace
