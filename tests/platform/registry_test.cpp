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
    ASSERT_TRUE(writer.openKey(QStringLiteral("\\Software\\Maker\\Product"), true));
    writer.writeString(QStringLiteral("ShowOptions"), QStringLiteral("true"));
    writer.writeString(QStringLiteral("SHOWOPTIONS"), QStringLiteral("false"));  // same value

    Registry reader;
    ASSERT_TRUE(reader.openKeyReadOnly(QStringLiteral("\\SOFTWARE\\maker\\PRODUCT")));
    EXPECT_EQ(reader.valueNames(), QStringList{QStringLiteral("ShowOptions")});
    EXPECT_EQ(reader.readString(QStringLiteral("showoptions")), QStringLiteral("false"));
    EXPECT_FALSE(reader.openKeyReadOnly(QStringLiteral("\\Software\\Maker\\Other")));
}

TEST_F(RegistryKeys, TypedValuesSurviveTheFileAndTheirTypesAreKept) {
    {
        Registry reg;
        ASSERT_TRUE(reg.openKey(QStringLiteral("\\Software\\T"), true));
        reg.writeString(QStringLiteral("text"),
                        QStringLiteral("@odd, text with \"quotes\" = and ; ünïcode"));
        reg.writeInteger(QStringLiteral("number"), -123456);
        reg.writeBool(QStringLiteral("flag"), true);
        reg.writeFloat(QStringLiteral("real"), 2.5);
        reg.writeBinaryData(QStringLiteral("blob"), QByteArray("\x00\x01\xff", 3));
        reg.writeString(QStringLiteral("a/b\\c%d"), QStringLiteral("separators in a name"));
        ASSERT_TRUE(Registry::flush());
    }
    // A fresh reader of the same file, as the next run of the program would see it.
    QSettings file(Registry::storageFile(RootKey::CurrentUser), QSettings::IniFormat);
    EXPECT_FALSE(file.allKeys().isEmpty());

    Registry reg;
    ASSERT_TRUE(reg.openKeyReadOnly(QStringLiteral("\\Software\\T")));
    EXPECT_EQ(reg.readString(QStringLiteral("text")),
              QStringLiteral("@odd, text with \"quotes\" = and ; ünïcode"));
    EXPECT_EQ(reg.dataType(QStringLiteral("text")), RegDataType::String);
    EXPECT_EQ(reg.readInteger(QStringLiteral("number")), -123456);
    EXPECT_EQ(reg.dataType(QStringLiteral("number")), RegDataType::Integer);
    EXPECT_TRUE(reg.readBool(QStringLiteral("flag")));
    EXPECT_DOUBLE_EQ(reg.readFloat(QStringLiteral("real")), 2.5);
    EXPECT_EQ(reg.readBinaryData(QStringLiteral("blob")), QByteArray("\x00\x01\xff", 3));
    EXPECT_EQ(reg.dataSize(QStringLiteral("blob")), 3);
    EXPECT_EQ(reg.readString(QStringLiteral("A/B\\C%D")), QStringLiteral("separators in a name"));
    EXPECT_THROW(reg.readInteger(QStringLiteral("text")), RegistryException);
    EXPECT_THROW(reg.readString(QStringLiteral("number")), RegistryException);
}

TEST_F(RegistryKeys, ReadOnlyKeysRefuseWritesAndDeletesRemoveOnlyWhatTheyName) {
    Registry reg;
    ASSERT_TRUE(reg.openKey(QStringLiteral("\\Software\\T\\Sub"), true));
    reg.writeString(QStringLiteral("keep"), QStringLiteral("1"));
    reg.writeString(QStringLiteral("drop"), QStringLiteral("2"));
    EXPECT_TRUE(reg.deleteValue(QStringLiteral("DROP")));
    EXPECT_FALSE(reg.deleteValue(QStringLiteral("drop")));
    EXPECT_EQ(reg.valueNames(), QStringList{QStringLiteral("keep")});

    Registry readOnly(RootKey::CurrentUser, RegAccess::Read);
    ASSERT_TRUE(readOnly.openKey(QStringLiteral("\\Software\\T\\Sub"), false));
    EXPECT_THROW(readOnly.writeString(QStringLiteral("x"), QStringLiteral("y")), RegistryException);

    EXPECT_TRUE(reg.deleteKey(QStringLiteral("\\software\\t")));
    EXPECT_FALSE(reg.keyExists(QStringLiteral("\\Software\\T\\Sub")));
    EXPECT_FALSE(reg.deleteKey(QStringLiteral("\\")));  // the root itself is never removed
}

TEST_F(RegistryKeys, ListingsFollowEveryChangeAndAnUnchangedValueLeavesTheFileAlone) {
    Registry reg;
    ASSERT_TRUE(reg.openKey(QStringLiteral("\\Software\\T"), true));
    reg.writeString(QStringLiteral("first"), QStringLiteral("1"));
    EXPECT_EQ(reg.valueNames(), QStringList{QStringLiteral("first")});
    EXPECT_FALSE(reg.keyExists(QStringLiteral("\\Software\\T\\Sub")));

    // What has been listed once is not taken as the whole truth after a change.
    reg.writeString(QStringLiteral("Second"), QStringLiteral("2"));
    EXPECT_EQ(reg.valueNames().size(), 2);
    EXPECT_EQ(reg.readString(QStringLiteral("SECOND")), QStringLiteral("2"));
    Registry sub;
    ASSERT_TRUE(sub.openKey(QStringLiteral("\\Software\\T\\Sub"), true));
    sub.writeString(QStringLiteral("x"), QStringLiteral("y"));
    EXPECT_TRUE(reg.keyExists(QStringLiteral("\\software\\t\\SUB")));
    EXPECT_TRUE(reg.deleteValue(QStringLiteral("second")));
    EXPECT_FALSE(reg.valueExists(QStringLiteral("Second")));
    ASSERT_TRUE(Registry::flush());

    // Another program's change to the file is seen after the next flush.
    {
        QSettings other(Registry::storageFile(RootKey::CurrentUser), QSettings::IniFormat);
        other.setValue(QStringLiteral("Software/T/third"), QStringLiteral("3"));
    }
    ASSERT_TRUE(Registry::flush());
    EXPECT_EQ(reg.readString(QStringLiteral("Third")), QStringLiteral("3"));

    // Writing back what is stored does not rewrite the file.
    const QString file = Registry::storageFile(RootKey::CurrentUser);
    struct stat original {};
    ASSERT_EQ(::stat(qPrintable(file), &original), 0);
    reg.writeString(QStringLiteral("first"), QStringLiteral("1"));
    ASSERT_TRUE(Registry::flush());
    struct stat after {};
    ASSERT_EQ(::stat(qPrintable(file), &after), 0);
    EXPECT_EQ(original.st_ino, after.st_ino);
    // A real change replaces the file, as the atomic save does.
    reg.writeString(QStringLiteral("first"), QStringLiteral("changed"));
    ASSERT_TRUE(Registry::flush());
    ASSERT_EQ(::stat(qPrintable(file), &after), 0);
    EXPECT_NE(original.st_ino, after.st_ino);
}
