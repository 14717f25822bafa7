#include "documents/documentreader.h"

#include <gtest/gtest.h>

TEST(DocumentReader, KindsAreToldByExtensionAndTheDialogOffersAllFirstAndTextLast) {
    EXPECT_EQ(DocumentReader::kindOf(QStringLiteral("/a/Book.EPUB")), DocumentReader::Kind::Epub);
    EXPECT_EQ(DocumentReader::kindOf(QStringLiteral("x.htm")), DocumentReader::Kind::Html);
    EXPECT_EQ(DocumentReader::kindOf(QStringLiteral("x.xhtml")), DocumentReader::Kind::Html);
    EXPECT_EQ(DocumentReader::kindOf(QStringLiteral("notes.md")), DocumentReader::Kind::Markdown);
    EXPECT_EQ(DocumentReader::kindOf(QStringLiteral("a.pdf")), DocumentReader::Kind::Pdf);
    EXPECT_EQ(DocumentReader::kindOf(QStringLiteral("a.docx")), DocumentReader::Kind::Docx);
    EXPECT_EQ(DocumentReader::kindOf(QStringLiteral("a.odt")), DocumentReader::Kind::Odt);
    EXPECT_EQ(DocumentReader::kindOf(QStringLiteral("a.txt")), DocumentReader::Kind::Text);
    EXPECT_EQ(DocumentReader::kindOf(QStringLiteral("pdf")), DocumentReader::Kind::Text);
    const QStringList filters = DocumentReader::dialogFilters();
    ASSERT_GE(filters.size(), 3);
    EXPECT_TRUE(filters.first().startsWith(QStringLiteral("All readable documents (")));
    EXPECT_TRUE(filters.first().contains(QStringLiteral("*.epub")));
    EXPECT_TRUE(filters.first().contains(QStringLiteral("*.txt")));
    EXPECT_EQ(filters.last(), QStringLiteral("Text files (*.txt *.TXT)"));
}
