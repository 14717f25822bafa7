#include <gtest/gtest.h>

#include <sys/stat.h>
#include <QSettings>

#include "platform/registry/registry.h"
#include "tests/common/testprofile.h"

class Registry : public ::testing::Test {
  protected:
    void SetUp() override { testprofile::Reset(); }
};

TEST_F(Registry, KeysAndValueNamesIgnoreLetterCaseAndKeepTheirFirstSpelling) {
    TRegistry writer;
    ASSERT_TRUE(writer.OpenKey(QStringLiteral("\\Software\\Maker\\Product"), true));
    writer.WriteString(QStringLiteral("ShowOptions"), QStringLiteral("true"));
    writer.WriteString(QStringLiteral("SHOWOPTIONS"), QStringLiteral("false"));  // same value

    TRegistry reader;
    ASSERT_TRUE(reader.OpenKeyReadOnly(QStringLiteral("\\SOFTWARE\\maker\\PRODUCT")));
    EXPECT_EQ(reader.GetValueNames(), QStringList{QStringLiteral("ShowOptions")});
    EXPECT_EQ(reader.ReadString(QStringLiteral("showoptions")), QStringLiteral("false"));
    EXPECT_FALSE(reader.OpenKeyReadOnly(QStringLiteral("\\Software\\Maker\\Other")));
}

TEST_F(Registry, TypedValuesSurviveTheFileAndTheirTypesAreKept) {
    {
        TRegistry reg;
        ASSERT_TRUE(reg.OpenKey(QStringLiteral("\\Software\\T"), true));
        reg.WriteString(QStringLiteral("text"),
                        QStringLiteral("@odd, text with \"quotes\" = and ; ünïcode"));
        reg.WriteInteger(QStringLiteral("number"), -123456);
        reg.WriteBool(QStringLiteral("flag"), true);
        reg.WriteFloat(QStringLiteral("real"), 2.5);
        reg.WriteBinaryData(QStringLiteral("blob"), QByteArray("\x00\x01\xff", 3));
        reg.WriteString(QStringLiteral("a/b\\c%d"), QStringLiteral("separators in a name"));
        ASSERT_TRUE(TRegistry::Flush());
    }
    // A fresh reader of the same file, as the next run of the program would see it.
    QSettings file(TRegistry::StorageFile(RootKey::CurrentUser), QSettings::IniFormat);
    EXPECT_FALSE(file.allKeys().isEmpty());

    TRegistry reg;
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
    EXPECT_THROW(reg.ReadInteger(QStringLiteral("text")), ERegistryException);
    EXPECT_THROW(reg.ReadString(QStringLiteral("number")), ERegistryException);
}

TEST_F(Registry, ReadOnlyKeysRefuseWritesAndDeletesRemoveOnlyWhatTheyName) {
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(QStringLiteral("\\Software\\T\\Sub"), true));
    reg.WriteString(QStringLiteral("keep"), QStringLiteral("1"));
    reg.WriteString(QStringLiteral("drop"), QStringLiteral("2"));
    EXPECT_TRUE(reg.DeleteValue(QStringLiteral("DROP")));
    EXPECT_FALSE(reg.DeleteValue(QStringLiteral("drop")));
    EXPECT_EQ(reg.GetValueNames(), QStringList{QStringLiteral("keep")});

    TRegistry readOnly(RootKey::CurrentUser, RegAccess::Read);
    ASSERT_TRUE(readOnly.OpenKey(QStringLiteral("\\Software\\T\\Sub"), false));
    EXPECT_THROW(readOnly.WriteString(QStringLiteral("x"), QStringLiteral("y")),
                 ERegistryException);

    EXPECT_TRUE(reg.DeleteKey(QStringLiteral("\\software\\t")));
    EXPECT_FALSE(reg.KeyExists(QStringLiteral("\\Software\\T\\Sub")));
    EXPECT_FALSE(reg.DeleteKey(QStringLiteral("\\")));  // the root itself is never removed
}

TEST_F(Registry, ListingsFollowEveryChangeAndAnUnchangedValueLeavesTheFileAlone) {
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(QStringLiteral("\\Software\\T"), true));
    reg.WriteString(QStringLiteral("first"), QStringLiteral("1"));
    EXPECT_EQ(reg.GetValueNames(), QStringList{QStringLiteral("first")});
    EXPECT_FALSE(reg.KeyExists(QStringLiteral("\\Software\\T\\Sub")));

    // What has been listed once is not taken as the whole truth after a change.
    reg.WriteString(QStringLiteral("Second"), QStringLiteral("2"));
    EXPECT_EQ(reg.GetValueNames().size(), 2);
    EXPECT_EQ(reg.ReadString(QStringLiteral("SECOND")), QStringLiteral("2"));
    TRegistry sub;
    ASSERT_TRUE(sub.OpenKey(QStringLiteral("\\Software\\T\\Sub"), true));
    sub.WriteString(QStringLiteral("x"), QStringLiteral("y"));
    EXPECT_TRUE(reg.KeyExists(QStringLiteral("\\software\\t\\SUB")));
    EXPECT_TRUE(reg.DeleteValue(QStringLiteral("second")));
    EXPECT_FALSE(reg.ValueExists(QStringLiteral("Second")));
    ASSERT_TRUE(TRegistry::Flush());

    // Another program's change to the file is seen after the next flush.
    {
        QSettings other(TRegistry::StorageFile(RootKey::CurrentUser), QSettings::IniFormat);
        other.setValue(QStringLiteral("Software/T/third"), QStringLiteral("3"));
    }
    ASSERT_TRUE(TRegistry::Flush());
    EXPECT_EQ(reg.ReadString(QStringLiteral("Third")), QStringLiteral("3"));

    // Writing back what is stored does not rewrite the file.
    const QString file = TRegistry::StorageFile(RootKey::CurrentUser);
    struct stat original {};
    ASSERT_EQ(::stat(qPrintable(file), &original), 0);
    reg.WriteString(QStringLiteral("first"), QStringLiteral("1"));
    ASSERT_TRUE(TRegistry::Flush());
    struct stat after {};
    ASSERT_EQ(::stat(qPrintable(file), &after), 0);
    EXPECT_EQ(original.st_ino, after.st_ino);
    // A real change replaces the file, as the atomic save does.
    reg.WriteString(QStringLiteral("first"), QStringLiteral("changed"));
    ASSERT_TRUE(TRegistry::Flush());
    ASSERT_EQ(::stat(qPrintable(file), &after), 0);
    EXPECT_NE(original.st_ino, after.st_ino);
}
