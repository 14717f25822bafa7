#include <gtest/gtest.h>

#include "settings/formplacement.h"
#include "tests/common/testprofile.h"

class Placement : public ::testing::Test {
  protected:
    void SetUp() override { testprofile::Reset(); }
    const QSize m_screen{1024, 768};
};

TEST_F(Placement, RestoredWindowsAreKeptOnTheScreen) {
    FormPlacementStore::save(QStringLiteral("Form1"), {-20, 1500, 800, 400, false});
    auto restored = FormPlacementStore::restore(QStringLiteral("Form1"), m_screen);
    ASSERT_TRUE(restored);
    EXPECT_EQ(restored->left, 224);
    EXPECT_EQ(restored->top, 0);
    EXPECT_EQ(restored->width, 800);
    EXPECT_EQ(restored->height, 400);

    FormPlacementStore::save(QStringLiteral("Form1"), {700, 10, 2000, 300, false});
    restored = FormPlacementStore::restore(QStringLiteral("Form1"), m_screen);
    EXPECT_EQ(restored->left, 0) << "wider than the screen: left edge shown";
    EXPECT_EQ(restored->top, 468);
}

TEST_F(Placement, AMaximisedSaveKeepsTheLastNormalPlace) {
    FormPlacementStore::save(QStringLiteral("Form1"), {50, 60, 640, 480, false});
    FormPlacementStore::save(QStringLiteral("Form1"), {0, 0, 1024, 740, true});
    const auto restored = FormPlacementStore::restore(QStringLiteral("Form1"), m_screen);
    ASSERT_TRUE(restored);
    EXPECT_TRUE(restored->maximized);
    EXPECT_EQ(restored->top, 50);
    EXPECT_EQ(restored->left, 60);
    EXPECT_EQ(restored->width, 640);
    EXPECT_EQ(restored->height, 480);
}

TEST_F(Placement, NothingIsRestoredWithoutAStoredHeight) {
    EXPECT_FALSE(FormPlacementStore::restore(QStringLiteral("Form1"), m_screen));
    FormPlacementStore::save(QStringLiteral("Other"), {0, 0, 0, 0, true});
    EXPECT_FALSE(FormPlacementStore::restore(QStringLiteral("Other"), m_screen));
    // Damaged values read as 0, so a damaged height restores nothing.
    testprofile::Store(FormPlacementStore::keyFor(QStringLiteral("Bad")), QStringLiteral("Height"),
                       QStringLiteral("tall"));
    EXPECT_FALSE(FormPlacementStore::restore(QStringLiteral("Bad"), m_screen));
}
