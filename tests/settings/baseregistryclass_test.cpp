#include <gtest/gtest.h>

#include "settings/baseregistryclass.h"
#include "tests/common/capturedmessages.h"
#include "tests/common/testprofile.h"

namespace {

class Store : public TBaseRegistryClass {
  public:
    Store() {
        ProductSubKey = QStringLiteral("Product");
        constexpr RegLocation kProduct = RegLocation::ProductKey;
        RegisterValue(QStringLiteral("Count"), kProduct, QString(), 7, RegType::Int);
        RegisterValue(QStringLiteral("Ratio"), kProduct, QString(), 0.25, RegType::Real);
        RegisterValue(QStringLiteral("Flag"), kProduct, QString(), true, RegType::Bool);
        RegisterValue(QStringLiteral("Name"), kProduct, QString(), QStringLiteral("none"),
                      RegType::String);
        RegisterValue(QStringLiteral("Recent"), kProduct, QString(), QVariant(), RegType::List);
        RegisterValue(QStringLiteral("Legacy"), RegLocation::ProductKeyOrAlternate,
                      QStringLiteral("OldLegacy"), QStringLiteral("d"), RegType::String);
        RegisterValue(QStringLiteral("Shared"), RegLocation::MakerKey, QString(), 1, RegType::Int);
        RegisterValue(QStringLiteral("Ignored"), kProduct, QString(), 1, RegType(9));
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
    ASSERT_TRUE(store.SetValue(QStringLiteral("count"), 42));
    ASSERT_TRUE(store.SetValue(QStringLiteral("RATIO"), 1.5));
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

TEST_F(RegistryStore, UnknownNamesAreReportedToTheCallerAndChangeNothing) {
    Store store;
    store.ReadAll();
    const QString unknown =
        QStringLiteral("No such registry item as name between equals =NoSuchName=");
    QVariant value(QStringLiteral("untouched"));
    const Outcome got = store.GetValue(QStringLiteral("NoSuchName"), value);
    EXPECT_FALSE(got.ok());
    EXPECT_EQ(got.message(), unknown);
    EXPECT_EQ(value.toString(), QStringLiteral("untouched"));
    const Outcome set = store.SetValue(QStringLiteral("NoSuchName"), 5);
    EXPECT_FALSE(set.ok());
    EXPECT_EQ(set.message(), unknown);
    EXPECT_FALSE(store.GetValue(QStringLiteral("NoSuchName")).isValid());
    EXPECT_TRUE(m_captured.all.isEmpty()) << "the store shows nothing itself";

    const Outcome known = store.GetValue(QStringLiteral("name"), value);
    EXPECT_TRUE(known.ok());
    EXPECT_TRUE(known.message().isEmpty());
    EXPECT_EQ(value.toString(), QStringLiteral("none"));
}

TEST_F(RegistryStore, ItemTextsFollowTheirTypes) {
    regBool flag(QStringLiteral("f"), RegLocation::ProductKey, QString(), false);
    for (const char* text : {"true", "TRUE", "True"}) {
        flag.SetText(QString::fromLatin1(text));
        EXPECT_TRUE(flag.Value) << text;
    }
    for (const char* text : {"1", "yes", "", " true"}) {
        flag.SetText(QString::fromLatin1(text));
        EXPECT_FALSE(flag.Value) << text;
    }
    regInt number(QStringLiteral("n"), RegLocation::ProductKey, QString(), -4);
    EXPECT_EQ(number.GetDefaultText(), QStringLiteral("-4"));
    EXPECT_THROW(number.SetText(QStringLiteral("0x10")), ConvertError);
    EXPECT_THROW(number.SetText(QStringLiteral("")), ConvertError);
    number.SetText(QStringLiteral(" -17 "));
    EXPECT_EQ(number.Value, -17);
    regReal real(QStringLiteral("r"), RegLocation::ProductKey, QString(), 0.1);
    EXPECT_EQ(real.GetDefaultText(), QStringLiteral("0.1"));
    EXPECT_THROW(real.SetText(QStringLiteral("1,5")), ConvertError);
    regList list(QStringLiteral("l"), RegLocation::ProductKey, QString());
    list.SetValue(QStringLiteral("text"));
    EXPECT_EQ(list.Text, QStringLiteral("text"));
    EXPECT_EQ(list.GetValue().toInt(), 0);
}
