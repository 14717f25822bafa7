// The voice policies for new articles, with the real voice catalogue.
#include <gtest/gtest.h>

#include "app/voicepolicy.h"
#include "settings/preferences.h"
#include "speech/voicecatalogue.h"
#include "tests/common/printers.h"
#include "tests/common/testprofile.h"

TEST(VoicePolicies, ChooseFromTheFavouritesOrTheDefault) {
    const QString fallback = QStringLiteral("Default voice");
    VoicePolicy policy;
    EXPECT_EQ(policy.choose(VoicePolicy::Kind::Random, fallback), fallback)
        << "no favourite: the default voice";

    policy.setFavourites({QStringLiteral("Only")});
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(policy.choose(VoicePolicy::Kind::Random, fallback), QStringLiteral("Only"));
    }
    EXPECT_EQ(policy.choose(VoicePolicy::Kind::Default, fallback), fallback);

    policy.setFavourites({QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")});
    QStringList picked;
    for (int i = 0; i < 4; ++i) {
        picked << policy.choose(VoicePolicy::Kind::RoundRobin, fallback);
    }
    EXPECT_EQ(picked, (QStringList{"A", "B", "C", "A"}));
    policy.setFavourites(policy.favourites());
    EXPECT_EQ(policy.choose(VoicePolicy::Kind::RoundRobin, fallback), QStringLiteral("A"))
        << "the turn starts over when the favourites are taken again";
}

TEST(VoicePolicies, TheFavouritesAreTheMarkedVoicesOfEnabledEngines) {
    testprofile::Reset();
    TPreferences prefs;
    VoiceCatalogue catalogue;
    catalogue.Initialize(prefs);
    ASSERT_GE(catalogue.voiceList.size(), 3u);
    // Every voice starts as a favourite; one is unmarked, and one engine switched off.
    catalogue.voiceList[0]->Favourite = false;
    TEngineEntry* off = catalogue.voiceList.back()->Engine;
    off->Enabled = false;
    QStringList expected;
    for (const auto& voice : catalogue.voiceList) {
        if (voice.get() != catalogue.voiceList[0].get() && voice->Engine != off) {
            expected << voice->Name;
        }
    }
    VoicePolicy policy;
    policy.load(catalogue);
    EXPECT_EQ(policy.favourites(), expected);
    EXPECT_FALSE(expected.isEmpty());
}
