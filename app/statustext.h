#pragma once

#include <QString>

// Texts of the status bar and the tray icon.
class StatusText {
  public:
    static constexpr int kTrayTipLength = 63;
    static const QString kProgramTitle;  // "Quillsong MP3"

    // "No articles", "1 article", "n articles". A list of one blank article counts as empty.
    static QString ArticleCountText(int articleCount, bool onlyArticleBlank);
    // "Article n of m", prefixed by the title and " : " when the title is not blank.
    static QString ReadingText(int position, int count, const QString& title);
    static QString ReadingShortText(int position, int count);
    // The tray tip: at most the first 63 characters of text.
    static QString TrayTip(const QString& text);
};
