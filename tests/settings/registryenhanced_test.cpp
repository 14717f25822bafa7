#include <gtest/gtest.h>

#include "platform/registry/registry.h"
#include "settings/registryenhanced.h"
#include "tests/common/testprofile.h"

class RegistryEnhanced : public ::testing::Test {
  protected:
    void SetUp() override { testprofile::Reset(); }
};

TEST_F(RegistryEnhanced, NamesWithBackslashesExtendTheKeyAndTheKeyIsTakenFromTheRoot) {
    TRegistryEnhanced reg;
    reg.Key = QStringLiteral("\\Software\\Test\\");
    reg.WriteValue(QStringLiteral("Sub\\Deeper\\Value"), QStringLiteral("text"));
    reg.WriteValue(QStringLiteral("Number"), 12);
    reg.WriteValue(QStringLiteral("Flag"), true);
    reg.WriteValue(QStringLiteral("List"), QStringList{QStringLiteral("not written")});

    EXPECT_EQ(testprofile::StoredText(QStringLiteral("Software\\Test\\Sub\\Deeper"),
                                      QStringLiteral("Value")),
              QStringLiteral("text"));
    EXPECT_EQ(reg.ReadValue(QStringLiteral("Number"), 0).toInt(), 12);
    EXPECT_EQ(reg.ReadValue(QStringLiteral("Number"), 0).typeId(), QMetaType::Int);
    EXPECT_EQ(reg.ReadValue(QStringLiteral("Flag"), 0).toInt(), 1);
    EXPECT_EQ(reg.ReadValue(QStringLiteral("List"), QStringLiteral("missing")).toString(),
              QStringLiteral("missing"));
    EXPECT_EQ(reg.ReadValue(QStringLiteral("No\\Such\\Key"), 5).toInt(), 5);

    QStringList names;
    reg.GetValueNames(QStringLiteral("Sub\\Deeper"), names);
    EXPECT_EQ(names, QStringList{QStringLiteral("Value")});
    names.clear();
    reg.GetValueNames(QStringLiteral("Missing"), names);
    EXPECT_TRUE(names.isEmpty());
    EXPECT_TRUE(reg.DeleteValue(QStringLiteral("Sub\\Deeper\\VALUE")));
    EXPECT_FALSE(reg.DeleteValue(QStringLiteral("Sub\\Deeper\\Value")));
}

TEST_F(RegistryEnhanced, BinaryDataReadsAsItsSizeWithABoundedCopy) {
    Registry raw;
    ASSERT_TRUE(raw.openKey(QStringLiteral("\\Software\\Test"), true));
    QByteArray big(300, 'x');
    big[0] = 'a';
    raw.writeBinaryData(QStringLiteral("Blob"), big);
    raw.writeFloat(QStringLiteral("Real"), 1.25);

    TRegistryEnhanced reg;
    reg.Key = QStringLiteral("Software\\Test");
    EXPECT_EQ(reg.ReadValue(QStringLiteral("Blob"), -1).toInt(), 300);
    EXPECT_EQ(reg.Buffer.size(), TRegistryEnhanced::kBufferSize);
    EXPECT_EQ(reg.Buffer[0], 'a');
    EXPECT_EQ(reg.ReadValue(QStringLiteral("Real"), -1).toInt(), 8);
}

TEST_F(RegistryEnhanced, AReadOnlyAccessMakesAWriteRaise) {
    TRegistryEnhanced reg;
    reg.Key = QStringLiteral("Software\\Test");
    reg.WriteValue(QStringLiteral("Existing"), QStringLiteral("1"));
    reg.Access = kRead;
    EXPECT_THROW(reg.WriteValue(QStringLiteral("Existing"), QStringLiteral("2")),
                 RegistryException);
    EXPECT_EQ(reg.ReadValue(QStringLiteral("Existing"), QString()).toString(), QStringLiteral("1"));
}
