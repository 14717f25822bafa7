#include <gtest/gtest.h>

#include <climits>

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

TEST_F(Placement, HostilePlacesAndSizesNeverLeaveTheScreen) {
    const QString key = FormPlacementStore::keyFor(QStringLiteral("Form1"));
    const auto store = [&](const char* left, const char* top, const char* width,
                           const char* height) {
        testprofile::Store(key, QStringLiteral("Left"), QString::fromLatin1(left));
        testprofile::Store(key, QStringLiteral("Top"), QString::fromLatin1(top));
        testprofile::Store(key, QStringLiteral("Width"), QString::fromLatin1(width));
        testprofile::Store(key, QStringLiteral("Height"), QString::fromLatin1(height));
        return FormPlacementStore::restore(QStringLiteral("Form1"), m_screen);
    };
    // Sizes no window can have read as 0 by 0: the window keeps its own size.
    for (const auto& size : {std::pair{"2147483647", "2147483647"}, std::pair{"-5000", "-5000"},
                             std::pair{"-2147483648", "400"}, std::pair{"800", "32768"}}) {
        SCOPED_TRACE(std::string(size.first) + " x " + size.second);
        const auto restored = store("100", "50", size.first, size.second);
        ASSERT_TRUE(restored);
        EXPECT_EQ(restored->width, 0);
        EXPECT_EQ(restored->height, 0);
        EXPECT_EQ(restored->left, 100);
        EXPECT_EQ(restored->top, 50);
    }
    // Places far off read as 0, 0; places just off are brought back.
    auto restored = store("2147483647", "-2147483648", "800", "400");
    ASSERT_TRUE(restored);
    EXPECT_EQ(*restored, (FormPlacement{0, 0, 800, 400, false}));
    restored = store("-5000", "30000", "800", "400");
    EXPECT_EQ(*restored, (FormPlacement{368, 0, 800, 400, false}));
    restored = store("32767", "32767", "32767", "32767");
    EXPECT_EQ(*restored, (FormPlacement{0, 0, 32767, 32767, false}));

    // Any place and size given to the clamp stays inside the screen, with no overflow.
    for (const int place : {INT_MIN, -5000, -1, 0, 500, INT_MAX}) {
        for (const int size : {INT_MIN, -5000, 0, 300, 5000, INT_MAX}) {
            const FormPlacement clamped =
                FormPlacementStore::clamp({place, place, size, size, false}, m_screen);
            EXPECT_GE(clamped.left, 0) << place << " " << size;
            EXPECT_LE(clamped.left, m_screen.width()) << place << " " << size;
            EXPECT_GE(clamped.top, 0) << place << " " << size;
            EXPECT_LE(clamped.top, m_screen.height()) << place << " " << size;
        }
    }
}
