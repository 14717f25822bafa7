#include <gtest/gtest.h>

#include "settings/formplacement.h"
#include "tests/common/testprofile.h"

class Placement : public ::testing::Test {
  protected:
    void SetUp() override { testprofile::Reset(); }
    const QSize screen_{1024, 768};
};

TEST_F(Placement, RestoredWindowsAreKeptOnTheScreen) {
    FormPlacementStore::Save(QStringLiteral("Form1"), {-20, 1500, 800, 400, false});
    auto restored = FormPlacementStore::Restore(QStringLiteral("Form1"), screen_);
    ASSERT_TRUE(restored);
    EXPECT_EQ(restored->Left, 224);
    EXPECT_EQ(restored->Top, 0);
    EXPECT_EQ(restored->Width, 800);
    EXPECT_EQ(restored->Height, 400);

    FormPlacementStore::Save(QStringLiteral("Form1"), {700, 10, 2000, 300, false});
    restored = FormPlacementStore::Restore(QStringLiteral("Form1"), screen_);
    EXPECT_EQ(restored->Left, 0) << "wider than the screen: left edge shown";
    EXPECT_EQ(restored->Top, 468);
}

TEST_F(Placement, AMaximisedSaveKeepsTheLastNormalPlace) {
    FormPlacementStore::Save(QStringLiteral("Form1"), {50, 60, 640, 480, false});
    FormPlacementStore::Save(QStringLiteral("Form1"), {0, 0, 1024, 740, true});
    const auto restored = FormPlacementStore::Restore(QStringLiteral("Form1"), screen_);
    ASSERT_TRUE(restored);
    EXPECT_TRUE(restored->Maximized);
    EXPECT_EQ(restored->Top, 50);
    EXPECT_EQ(restored->Left, 60);
    EXPECT_EQ(restored->Width, 640);
    EXPECT_EQ(restored->Height, 480);
}

TEST_F(Placement, NothingIsRestoredWithoutAStoredHeight) {
    EXPECT_FALSE(FormPlacementStore::Restore(QStringLiteral("Form1"), screen_));
    FormPlacementStore::Save(QStringLiteral("Other"), {0, 0, 0, 0, true});
    EXPECT_FALSE(FormPlacementStore::Restore(QStringLiteral("Other"), screen_));
    // Damaged values read as 0, so a damaged height restores nothing.
    testprofile::Store(FormPlacementStore::KeyFor(QStringLiteral("Bad")), QStringLiteral("Height"),
                       QStringLiteral("tall"));
    EXPECT_FALSE(FormPlacementStore::Restore(QStringLiteral("Bad"), screen_));
}
