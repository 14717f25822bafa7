#include <gtest/gtest.h>

#include "settings/baseregistryclass.h"
#include "tests/common/capturedmessages.h"
#include "tests/common/testprofile.h"

namespace {

class Store : public TBaseRegistryClass {
  public:
    Store() {
        ProductSubKey = QStringLiteral("Product");
        RegisterValue(QStringLiteral("Count"), 2, QString(), 7, 0);
        RegisterValue(QStringLiteral("Ratio"), 2, QString(), 0.25, 1);
        RegisterValue(QStringLiteral("Flag"), 2, QString(), true, 2);
        RegisterValue(QStringLiteral("Name"), 2, QString(), QStringLiteral("none"), 3);
        RegisterValue(QStringLiteral("Recent"), 2, QString(), QVariant(), 4);
        RegisterValue(QStringLiteral("Legacy"), 1, QStringLiteral("OldLegacy"), QStringLiteral("d"),
                      3);
        RegisterValue(QStringLiteral("Shared"), 0, QString(), 1, 0);
        RegisterValue(QStringLiteral("Ignored"), 2, QString(), 1, 9);
    }
    regList& recent() { return *dynamic_cast<regList*>(findItem(QStringLiteral("Recent"))); }
};

const QString kMaker = QStringLiteral("Software\\HalcyxTech");
const QString kProduct = QStringLiteral("Software\\HalcyxTech\\Product");

class RegistryStore : public ::testing::Test {
  protected:
    void SetUp() override { testprofile::Reset(); }

    CapturedMessages m_captured;
};

}  // namespace

TEST_F(RegistryStore, ValuesLiveUnderTheirLocationAndListsUnderTheirOwnKey) {
    Store store;
    EXPECT_EQ(store.items().size(), 7u) << "an unknown type code registers nothing";
    store.ReadAll();
    store.SetValue(QStringLiteral("count"), 42);
    store.SetValue(QStringLiteral("RATIO"), 1.5);
    store.recent().Entries = {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")};
    ASSERT_TRUE(store.WriteAll());

    EXPECT_EQ(testprofile::StoredText(kProduct, QStringLiteral("Count")), QStringLiteral("42"));
    EXPECT_EQ(testprofile::StoredText(kProduct, QStringLiteral("Ratio")), QStringLiteral("1.5"));
    EXPECT_EQ(testprofile::StoredText(kProduct, QStringLiteral("Flag")), QStringLiteral("true"));
    EXPECT_EQ(testprofile::StoredText(kMaker, QStringLiteral("Shared")), QStringLiteral("1"));
    EXPECT_EQ(
        testprofile::StoredText(kProduct + QStringLiteral("\\ListRecent"), QStringLiteral("2")),
        QStringLiteral("c"));

    // A shorter list replaces the longer one entirely.
    store.recent().Entries = {QStringLiteral("z")};
    ASSERT_TRUE(store.WriteAll());
    Store again;
    again.ReadAll();
    EXPECT_EQ(again.recent().Entries, QStringList{QStringLiteral("z")});
    EXPECT_EQ(again.GetValue(QStringLiteral("Count")).toInt(), 42);
    EXPECT_DOUBLE_EQ(again.GetValue(QStringLiteral("Ratio")).toDouble(), 1.5);
}

TEST_F(RegistryStore, AlternateNamesUnderTheMakerKeyServeLocationOne) {
    testprofile::Store(kMaker, QStringLiteral("OldLegacy"), QStringLiteral("from before"));
    Store store;
    store.ReadAll();
    EXPECT_EQ(store.GetValue(QStringLiteral("Legacy")).toString(), QStringLiteral("from before"));

    testprofile::Store(kProduct, QStringLiteral("Legacy"), QStringLiteral("current"));
    store.ReadAll();
    EXPECT_EQ(store.GetValue(QStringLiteral("Legacy")).toString(), QStringLiteral("current"));
}

TEST_F(RegistryStore, UnknownNamesAreReportedAndChangeNothing) {
    Store store;
    store.ReadAll();
    QVariant value(QStringLiteral("untouched"));
    store.GetValue(QStringLiteral("NoSuchName"), value);
    EXPECT_EQ(value.toString(), QStringLiteral("untouched"));
    store.SetValue(QStringLiteral("NoSuchName"), 5);
    ASSERT_EQ(m_captured.all.size(), 2);
    EXPECT_EQ(m_captured.all[0],
              QStringLiteral("No such registry item as name between equals =NoSuchName="));
    EXPECT_EQ(store.GetValue(QStringLiteral("name")).toString(), QStringLiteral("none"));
    EXPECT_EQ(m_captured.all.size(), 2);
}

TEST_F(RegistryStore, ItemTextsFollowTheirTypes) {
    regBool flag(QStringLiteral("f"), 2, QString(), false);
    for (const char* text : {"true", "TRUE", "True"}) {
        flag.SetText(QString::fromLatin1(text));
        EXPECT_TRUE(flag.Value) << text;
    }
    for (const char* text : {"1", "yes", "", " true"}) {
        flag.SetText(QString::fromLatin1(text));
        EXPECT_FALSE(flag.Value) << text;
    }
    regInt number(QStringLiteral("n"), 2, QString(), -4);
    EXPECT_EQ(number.GetDefaultText(), QStringLiteral("-4"));
    EXPECT_THROW(number.SetText(QStringLiteral("0x10")), ConvertError);
    EXPECT_THROW(number.SetText(QStringLiteral("")), ConvertError);
    number.SetText(QStringLiteral(" -17 "));
    EXPECT_EQ(number.Value, -17);
    regReal real(QStringLiteral("r"), 2, QString(), 0.1);
    EXPECT_EQ(real.GetDefaultText(), QStringLiteral("0.1"));
    EXPECT_THROW(real.SetText(QStringLiteral("1,5")), ConvertError);
    regList list(QStringLiteral("l"), 2, QString());
    list.SetValue(QStringLiteral("text"));
    EXPECT_EQ(list.Text, QStringLiteral("text"));
    EXPECT_EQ(list.GetValue().toInt(), 0);
}
