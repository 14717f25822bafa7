#include <gtest/gtest.h>

#include <sys/stat.h>
#include <QSettings>

#include "platform/registry/registry.h"
#include "tests/common/testprofile.h"

class RegistryKeys : public ::testing::Test {
  protected:
    void SetUp() override { testprofile::Reset(); }
};

TEST_F(RegistryKeys, KeysAndValueNamesIgnoreLetterCaseAndKeepTheirFirstSpelling) {
    Registry writer;
    ASSERT_TRUE(writer.OpenKey(QStringLiteral("\\Software\\Maker\\Product"), true));
    writer.WriteString(QStringLiteral("ShowOptions"), QStringLiteral("true"));
    writer.WriteString(QStringLiteral("SHOWOPTIONS"), QStringLiteral("false"));  // same value

    Registry reader;
    ASSERT_TRUE(reader.OpenKeyReadOnly(QStringLiteral("\\SOFTWARE\\maker\\PRODUCT")));
    EXPECT_EQ(reader.GetValueNames(), QStringList{QStringLiteral("ShowOptions")});
    EXPECT_EQ(reader.ReadString(QStringLiteral("showoptions")), QStringLiteral("false"));
    EXPECT_FALSE(reader.OpenKeyReadOnly(QStringLiteral("\\Software\\Maker\\Other")));
}

TEST_F(RegistryKeys, TypedValuesSurviveTheFileAndTheirTypesAreKept) {
    {
        Registry reg;
        ASSERT_TRUE(reg.OpenKey(QStringLiteral("\\Software\\T"), true));
        reg.WriteString(QStringLiteral("text"),
                        QStringLiteral("@odd, text with \"quotes\" = and ; ünïcode"));
        reg.WriteInteger(QStringLiteral("number"), -123456);
        reg.WriteBool(QStringLiteral("flag"), true);
        reg.WriteFloat(QStringLiteral("real"), 2.5);
        reg.WriteBinaryData(QStringLiteral("blob"), QByteArray("\x00\x01\xff", 3));
        reg.WriteString(QStringLiteral("a/b\\c%d"), QStringLiteral("separators in a name"));
        ASSERT_TRUE(Registry::Flush());
    }
    // A fresh reader of the same file, as the next run of the program would see it.
    QSettings file(Registry::StorageFile(RootKey::CurrentUser), QSettings::IniFormat);
    EXPECT_FALSE(file.allKeys().isEmpty());

    Registry reg;
    ASSERT_TRUE(reg.OpenKeyReadOnly(QStringLiteral("\\Software\\T")));
    EXPECT_EQ(reg.ReadString(QStringLiteral("text")),
              QStringLiteral("@odd, text with \"quotes\" = and ; ünïcode"));
    EXPECT_EQ(reg.GetDataType(QStringLiteral("text")), RegDataType::String);
    EXPECT_EQ(reg.ReadInteger(QStringLiteral("number")), -123456);
    EXPECT_EQ(reg.GetDataType(QStringLiteral("number")), RegDataType::Integer);
    EXPECT_TRUE(reg.ReadBool(QStringLiteral("flag")));
    EXPECT_DOUBLE_EQ(reg.ReadFloat(QStringLiteral("real")), 2.5);
    EXPECT_EQ(reg.ReadBinaryData(QStringLiteral("blob")), QByteArray("\x00\x01\xff", 3));
    EXPECT_EQ(reg.GetDataSize(QStringLiteral("blob")), 3);
    EXPECT_EQ(reg.ReadString(QStringLiteral("A/B\\C%D")), QStringLiteral("separators in a name"));
    EXPECT_THROW(reg.ReadInteger(QStringLiteral("text")), RegistryException);
    EXPECT_THROW(reg.ReadString(QStringLiteral("number")), RegistryException);
}

TEST_F(RegistryKeys, ReadOnlyKeysRefuseWritesAndDeletesRemoveOnlyWhatTheyName) {
    Registry reg;
    ASSERT_TRUE(reg.OpenKey(QStringLiteral("\\Software\\T\\Sub"), true));
    reg.WriteString(QStringLiteral("keep"), QStringLiteral("1"));
    reg.WriteString(QStringLiteral("drop"), QStringLiteral("2"));
    EXPECT_TRUE(reg.DeleteValue(QStringLiteral("DROP")));
    EXPECT_FALSE(reg.DeleteValue(QStringLiteral("drop")));
    EXPECT_EQ(reg.GetValueNames(), QStringList{QStringLiteral("keep")});

    Registry readOnly(RootKey::CurrentUser, RegAccess::Read);
    ASSERT_TRUE(readOnly.OpenKey(QStringLiteral("\\Software\\T\\Sub"), false));
    EXPECT_THROW(readOnly.WriteString(QStringLiteral("x"), QStringLiteral("y")),
                 RegistryException);

    EXPECT_TRUE(reg.DeleteKey(QStringLiteral("\\software\\t")));
    EXPECT_FALSE(reg.KeyExists(QStringLiteral("\\Software\\T\\Sub")));
    EXPECT_FALSE(reg.DeleteKey(QStringLiteral("\\")));  // the root itself is never removed
}

TEST_F(RegistryKeys, ListingsFollowEveryChangeAndAnUnchangedValueLeavesTheFileAlone) {
    Registry reg;
    ASSERT_TRUE(reg.OpenKey(QStringLiteral("\\Software\\T"), true));
    reg.WriteString(QStringLiteral("first"), QStringLiteral("1"));
    EXPECT_EQ(reg.GetValueNames(), QStringList{QStringLiteral("first")});
    EXPECT_FALSE(reg.KeyExists(QStringLiteral("\\Software\\T\\Sub")));

    // What has been listed once is not taken as the whole truth after a change.
    reg.WriteString(QStringLiteral("Second"), QStringLiteral("2"));
    EXPECT_EQ(reg.GetValueNames().size(), 2);
    EXPECT_EQ(reg.ReadString(QStringLiteral("SECOND")), QStringLiteral("2"));
    Registry sub;
    ASSERT_TRUE(sub.OpenKey(QStringLiteral("\\Software\\T\\Sub"), true));
    sub.WriteString(QStringLiteral("x"), QStringLiteral("y"));
    EXPECT_TRUE(reg.KeyExists(QStringLiteral("\\software\\t\\SUB")));
    EXPECT_TRUE(reg.DeleteValue(QStringLiteral("second")));
    EXPECT_FALSE(reg.ValueExists(QStringLiteral("Second")));
    ASSERT_TRUE(Registry::Flush());

    // Another program's change to the file is seen after the next flush.
    {
        QSettings other(Registry::StorageFile(RootKey::CurrentUser), QSettings::IniFormat);
        other.setValue(QStringLiteral("Software/T/third"), QStringLiteral("3"));
    }
    ASSERT_TRUE(Registry::Flush());
    EXPECT_EQ(reg.ReadString(QStringLiteral("Third")), QStringLiteral("3"));

    // Writing back what is stored does not rewrite the file.
    const QString file = Registry::StorageFile(RootKey::CurrentUser);
    struct stat original {};
    ASSERT_EQ(::stat(qPrintable(file), &original), 0);
    reg.WriteString(QStringLiteral("first"), QStringLiteral("1"));
    ASSERT_TRUE(Registry::Flush());
    struct stat after {};
    ASSERT_EQ(::stat(qPrintable(file), &after), 0);
    EXPECT_EQ(original.st_ino, after.st_ino);
    // A real change replaces the file, as the atomic save does.
    reg.WriteString(QStringLiteral("first"), QStringLiteral("changed"));
    ASSERT_TRUE(Registry::Flush());
    ASSERT_EQ(::stat(qPrintable(file), &after), 0);
    EXPECT_NE(original.st_ino, after.st_ino);
}
