#pragma once

#include <QChar>
#include <QString>

// Rules for the text and title of an article.
class ArticleText {
  public:
    static const QString kFileMarker;  // "~~FILE~~"
    // The most characters a typed, pasted or copied text may hold: the window keeps such a
    // text in memory several times over (about 17 bytes a character), while a text file is
    // read from the disk piece by piece whatever its size.
    static constexpr qsizetype kLargestText = 10 * 1000 * 1000;
    // Why a text of size characters is refused.
    static QString TooLargeText(qsizetype size);

    // The title of a text none of whose characters can stand in one.
    static const QString kUntitled;  // "Untitled"
    // Letters (with their marks) and digits of any script, and the underscore: what a title,
    // and so a file name, may hold.
    static bool IsTitleChar(char32_t c);
    // A title of at most limit UTF-16 units made from text: runs of other characters become one
    // underscore, none at either end; a character outside the basic plane is kept whole or not
    // at all. A text that is not blank but has no title character is kUntitled.
    static QString MakeTitle(const QString& text, int limit);
    // The text of an article that stands for a large text file.
    static QString FileArticleText(const QString& path);
    static bool IsFileArticle(const QString& text) { return text.startsWith(kFileMarker); }
    // The path of a file article's text.
    static QString FileArticlePath(const QString& text);
    // Without blanks and control characters at both ends.
    static QString Trimmed(const QString& text);
    static bool IsBlank(const QString& text) { return Trimmed(text).isEmpty(); }
    // Lines of a text as the editor holds it (0 for an empty text).
    static int LineCount(const QString& text);
};
