#include "documents/pdfreader.h"

#include <poppler-qt6.h>

#include <QFile>
#include <QHash>
#include <QRectF>
#include <QRegularExpression>
#include <algorithm>
#include <cmath>
#include <memory>
#include <system_error>
#include <thread>
#include <vector>

#include "platform/shell/utilsclass.h"

namespace {

// How many lines at the top and at the bottom of a page may be a running header or footer.
constexpr int kEdgeLines = 3;
// Documents shorter than this keep every line: with so few pages a repeat proves nothing.
constexpr int kFewestPagesWithHeaders = 3;
// A line at a page's edge that repeats on this share of the pages is a header or footer ...
constexpr double kHeaderShare = 0.4;
// ... and so is one that repeats on this many pages when some of them are close together, as a
// chapter's running title on its odd pages is.
constexpr int kFewestRunningRepeats = 3;
constexpr int kRunningDistance = 2;
// A gap between two lines this much taller (in line heights) than the document's usual gap
// parts paragraphs.
constexpr double kParagraphGap = 0.4;
// Lines whose text heights differ by more than this share are of different fonts: a heading and
// its text, or a text and its footnotes.
constexpr double kFontChange = 0.2;
// A line ending a sentence this many line heights short of its neighbours ends a paragraph, and
// so does one followed by a line indented by kIndent.
constexpr double kShortLine = 3.0;
constexpr double kIndent = 1.0;
// Lines of text without height, as some PDF writers make them, count as this high (points).
constexpr double kLeastHeight = 1.0;
// A document this long has its pages read by two threads.
constexpr int kFewestPagesForTwoThreads = 16;

// One line of a page as Poppler laid it out, in points from the page's top left corner.
struct Line {
    QString text;
    QRectF box;
    double height = 0;  // the usual height of its words, steadier than the box's
};

struct PageLines {
    QList<Line> lines;  // empty for a page Poppler could not give
};

// Typographic ligatures spelt out, so that the speech engines see plain letters.
QString WithoutLigatures(QString text) {
    static const QList<QPair<QChar, QString>> ligatures = {
        {QChar(0xFB00), QStringLiteral("ff")},  {QChar(0xFB01), QStringLiteral("fi")},
        {QChar(0xFB02), QStringLiteral("fl")},  {QChar(0xFB03), QStringLiteral("ffi")},
        {QChar(0xFB04), QStringLiteral("ffl")}, {QChar(0xFB05), QStringLiteral("st")},
        {QChar(0xFB06), QStringLiteral("st")},
    };
    for (const auto& [ligature, letters] : ligatures) {
        if (text.contains(ligature)) {
            text.replace(ligature, letters);
        }
    }
    return text;
}

// A table of contents' rows of dots between a title and its page number, which would be read
// out dot by dot, become a blank.
QString WithoutDotLeaders(QString text) {
    thread_local const QRegularExpression leader(QStringLiteral("\\.(?:\\s*\\.){3,}"));
    if (text.contains(QLatin1String("....")) || text.contains(QLatin1String(". . . ."))) {
        text.replace(leader, QStringLiteral(" "));
    }
    return text;
}

double Median(std::vector<double> values) {
    if (values.empty()) {
        return 0;
    }
    const auto middle = values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2);
    std::nth_element(values.begin(), middle, values.end());
    return *middle;
}

// The page's words gathered into lines: Poppler lists them in reading order and links each word
// to the next one on its line.
QList<Line> LinesOf(const Poppler::Page& page) {
    const std::vector<std::unique_ptr<Poppler::TextBox>> boxes = page.textList();
    QList<Line> lines;
    Line line;
    std::vector<double> heights;
    for (size_t i = 0; i < boxes.size(); ++i) {
        const Poppler::TextBox& box = *boxes[i];
        line.box = heights.empty() ? box.boundingBox() : line.box.united(box.boundingBox());
        heights.push_back(box.boundingBox().height());
        line.text += box.text();
        const bool lineGoesOn = i + 1 < boxes.size() && box.nextWord() == boxes[i + 1].get();
        if (lineGoesOn) {
            if (box.hasSpaceAfter()) {
                line.text += QLatin1Char(' ');
            }
            continue;
        }
        line.text = WithoutDotLeaders(WithoutLigatures(line.text)).simplified();
        line.height = std::max(Median(heights), kLeastHeight);
        if (!line.text.isEmpty()) {
            lines.append(line);
        }
        line = Line();
        heights.clear();
    }
    return lines;
}

bool DifferentFonts(const Line& a, const Line& b) {
    return std::abs(a.height - b.height) > kFontChange * std::max(a.height, b.height);
}

// How many lines at each end of a page of n lines may be a header or footer: never more than
// half, so that a page's only line of text between its header and footer stays.
int EdgeLines(int n) {
    return std::min(kEdgeLines, std::max(1, n / 2));
}

// What a header or footer line looks like on every page: page numbers and dates vary, so every
// run of digits counts as one digit, and so does a page number in roman numerals standing
// alone (front matter is numbered i, ii, iii).
QString EdgeKey(const QString& text) {
    static const QRegularExpression roman(QStringLiteral("^[ivxlcdm]+$"),
                                          QRegularExpression::CaseInsensitiveOption);
    if (roman.match(text.trimmed()).hasMatch()) {
        return QStringLiteral("#");
    }
    QString key;
    key.reserve(text.size());
    bool inDigits = false;
    for (const QChar c : text) {
        if (c.isDigit()) {
            if (!inDigits) {
                key += QLatin1Char('#');
            }
            inDigits = true;
        } else {
            key += c.toLower();
            inDigits = false;
        }
    }
    return key;
}

// Where a line repeats at one end of the pages: the pages, ascending, and the line's heights.
struct Repeats {
    QList<int> pages;
    std::vector<double> heights;
};

// Drops the running headers and footers: lines among the first or last few of a page that
// repeat, digits aside and in the same font size, at the same end of many pages, or of a few
// pages close together. A title page's big title that a running header repeats stays.
void RemoveHeadersAndFooters(QList<PageLines>& pages) {
    const int pageCount = static_cast<int>(pages.size());
    if (pageCount < kFewestPagesWithHeaders) {
        return;
    }
    QHash<QString, Repeats> found[2];  // at the top of the pages and at the bottom, by key
    for (int p = 0; p < pageCount; ++p) {
        const QList<Line>& lines = pages[p].lines;
        const int n = static_cast<int>(lines.size());
        for (int end = 0; end < 2; ++end) {
            for (int i = 0; i < EdgeLines(n); ++i) {
                const Line& line = lines[end == 0 ? i : n - 1 - i];
                Repeats& repeats = found[end][EdgeKey(line.text)];
                if (repeats.pages.isEmpty() || repeats.pages.last() != p) {
                    repeats.pages.append(p);
                    repeats.heights.push_back(line.height);
                }
            }
        }
    }
    QHash<QString, double> usualHeights[2];
    for (int end = 0; end < 2; ++end) {
        for (auto it = found[end].cbegin(); it != found[end].cend(); ++it) {
            usualHeights[end].insert(it.key(), Median(it->heights));
        }
    }
    const int manyPages =
        std::max(kFewestRunningRepeats - 1, static_cast<int>(std::ceil(pageCount * kHeaderShare)));
    const auto repeated = [&](int end, const Line& line, int page) {
        const QString key = EdgeKey(line.text);
        const QList<int>& onPages = found[end][key].pages;
        Line usual;
        usual.height = usualHeights[end].value(key);
        if (DifferentFonts(line, usual)) {
            return false;
        }
        if (onPages.size() >= manyPages) {
            return true;
        }
        if (onPages.size() < kFewestRunningRepeats) {
            return false;
        }
        const qsizetype at = onPages.indexOf(page);
        return (at > 0 && page - onPages[at - 1] <= kRunningDistance) ||
               (at + 1 < onPages.size() && onPages[at + 1] - page <= kRunningDistance);
    };
    for (int p = 0; p < pageCount; ++p) {
        QList<Line>& lines = pages[p].lines;
        const int n = static_cast<int>(lines.size());
        QList<bool> drop(n, false);
        for (int end = 0; end < 2; ++end) {
            for (int i = 0; i < EdgeLines(n); ++i) {
                const int at = end == 0 ? i : n - 1 - i;
                drop[at] = drop[at] || repeated(end, lines[at], p);
            }
        }
        for (int i = n - 1; i >= 0; --i) {
            if (drop[i]) {
                lines.removeAt(i);
            }
        }
    }
}

bool EndsSentence(const QString& text) {
    static const QString closers = QStringLiteral("\"'\u201D\u2019)]");
    static const QString enders = QStringLiteral(".!?:\u2026");
    qsizetype last = text.size() - 1;
    while (last > 0 && closers.contains(text[last])) {
        --last;
    }
    return last >= 0 && enders.contains(text[last]);
}

// The usual gap between a line and the next one below it, in line heights.
double UsualGap(const QList<PageLines>& pages) {
    std::vector<double> gaps;
    for (const PageLines& page : pages) {
        for (qsizetype i = 1; i < page.lines.size(); ++i) {
            const Line& a = page.lines[i - 1];
            const Line& b = page.lines[i];
            const double gap = (b.box.top() - a.box.bottom()) / a.height;
            if (b.box.top() > a.box.top() + a.height / 2 && gap < 3 && !DifferentFonts(a, b)) {
                gaps.push_back(gap);
            }
        }
    }
    return Median(std::move(gaps));
}

bool StartsWithBullet(const QString& text) {
    static const QString bullets = QStringLiteral("\u2022\u25E6\u25AA\u25CF\u2023\u2043");
    return bullets.contains(text[0]);
}

// Whether line i of a page begins a new paragraph rather than going on with line i - 1.
bool StartsParagraph(const QList<Line>& lines, qsizetype i, double usualGap) {
    const Line& a = lines[i - 1];
    const Line& b = lines[i];
    if (std::abs(b.box.top() - a.box.top()) < a.height / 2) {
        return b.box.left() < a.box.right();  // on the same row: a further part of the line
    }
    if (DifferentFonts(a, b) || StartsWithBullet(b.text)) {
        return true;
    }
    if (b.box.top() < a.box.top()) {
        // Back up the page: the next column goes on with the paragraph as a next page would;
        // anything else is a block of its own.
        return b.box.left() < a.box.right() || EndsSentence(a.text);
    }
    if ((b.box.top() - a.box.bottom()) / a.height > usualGap + kParagraphGap) {
        return true;
    }
    if (!EndsSentence(a.text)) {
        return false;
    }
    double fullRight = b.box.right();
    if (i >= 2) {
        fullRight = std::max(fullRight, lines[i - 2].box.right());
    }
    return a.box.right() < fullRight - kShortLine * a.height ||
           b.box.left() > a.box.left() + kIndent * a.height;
}

bool IsHyphen(QChar c) {
    return c == QLatin1Char('-') || c == QChar(0x2010) || c == QChar(0x00AD);
}

// Appends the next line of a paragraph. A word broken at a line's end is joined again when the
// part before the hyphen ends in a lowercase letter and the next line starts with a lowercase
// letter ("manip-" "ulation"); otherwise the hyphen stays and the parts are joined without a
// blank ("COVID-" "19", "Anglo-" "Saxon"). A soft hyphen always goes. A hyphen standing alone
// is a dash and keeps its blanks.
void AppendLine(QString& paragraph, const QString& line) {
    if (paragraph.isEmpty()) {
        paragraph = line;
        return;
    }
    const qsizetype n = paragraph.size();
    if (n >= 2 && IsHyphen(paragraph[n - 1]) && paragraph[n - 2].isLetterOrNumber()) {
        const bool broken =
            paragraph[n - 1] == QChar(0x00AD) || (paragraph[n - 2].isLower() && line[0].isLower());
        if (broken) {
            paragraph.chop(1);
        }
        paragraph += line;
        return;
    }
    paragraph += QLatin1Char(' ');
    paragraph += line;
}

// Whether the line ending a paragraph breaks a word that the next one ends.
bool BreaksWord(const QString& paragraph, const QString& next) {
    const qsizetype n = paragraph.size();
    return n >= 2 && IsHyphen(paragraph[n - 1]) && paragraph[n - 2].isLower() && next[0].isLower();
}

// The pages' lines as paragraphs, one to a line, parted by empty lines.
QString TextOf(const QList<PageLines>& pages) {
    const double usualGap = UsualGap(pages);
    QStringList paragraphs;
    QString paragraph;
    const Line* previous = nullptr;
    for (const PageLines& page : pages) {
        for (qsizetype i = 0; i < page.lines.size(); ++i) {
            const Line& line = page.lines[i];
            bool starts = false;
            if (previous != nullptr && !BreaksWord(paragraph, line.text)) {
                // Across a page break only the text decides: a sentence or a font ends there.
                starts = i > 0 ? StartsParagraph(page.lines, i, usualGap)
                               : EndsSentence(previous->text) || DifferentFonts(*previous, line) ||
                                     StartsWithBullet(line.text);
            }
            if (starts) {
                paragraphs.append(paragraph);
                paragraph.clear();
            }
            AppendLine(paragraph, line.text);
            previous = &line;
        }
    }
    if (!paragraph.isEmpty()) {
        paragraphs.append(paragraph);
    }
    return paragraphs.isEmpty() ? QString() : paragraphs.join(QStringLiteral("\n\n")) + u'\n';
}

// The lines of pages [from, to) of pdf, stopping early when cancel is set.
QList<PageLines> ReadPages(const QString& fileName, const Poppler::Document& pdf, int from, int to,
                           const std::atomic<bool>* cancel) {
    QList<PageLines> pages;
    pages.reserve(to - from);
    for (int p = from; p < to; ++p) {
        if (cancel != nullptr && cancel->load()) {
            break;
        }
        pages.append(PageLines());
        const std::unique_ptr<Poppler::Page> page = pdf.page(p);
        if (page) {
            pages.last().lines = LinesOf(*page);
        } else {
            UtilsClass::WriteDebugLine(
                QStringLiteral("%1: page %2 cannot be read, left out").arg(fileName).arg(p + 1));
        }
    }
    return pages;
}

}  // namespace

Document PdfReader::read(const QString& fileName, const std::atomic<bool>* cancel) {
    Document document;
    {
        QFile file(fileName);
        if (!file.open(QIODevice::ReadOnly)) {
            document.error = file.errorString();
            return document;
        }
    }
    std::unique_ptr<Poppler::Document> pdf = Poppler::Document::load(fileName);
    if (!pdf) {
        document.error = QStringLiteral("it is not a PDF file or it is damaged");
        return document;
    }
    if (pdf->isLocked()) {
        document.error = QStringLiteral("it is protected by a password");
        return document;
    }
    const int pageCount = pdf->numPages();
    if (pageCount <= 0) {
        document.error = QStringLiteral("it is not a PDF file or it is damaged");
        return document;
    }
    document.title = pdf->info(QStringLiteral("Title")).simplified();

    // Finding the words is most of the work: a long document's second half goes to a second
    // thread, with a Poppler document of its own since one cannot be shared between threads.
    std::unique_ptr<Poppler::Document> secondPdf;
    if (pageCount >= kFewestPagesForTwoThreads && std::thread::hardware_concurrency() >= 2) {
        secondPdf = Poppler::Document::load(fileName);
    }
    const int half = pageCount / 2;
    QList<PageLines> secondHalf;
    std::thread worker;
    if (secondPdf && !secondPdf->isLocked() && secondPdf->numPages() == pageCount) {
        try {
            worker = std::thread(
                [&] { secondHalf = ReadPages(fileName, *secondPdf, half, pageCount, cancel); });
        } catch (const std::system_error& error) {
            UtilsClass::WriteDebugLine(
                QStringLiteral("No second thread to read %1 (%2), one reads it all")
                    .arg(fileName, QString::fromLocal8Bit(error.what())));
        }
    }
    QList<PageLines> pages =
        ReadPages(fileName, *pdf, 0, worker.joinable() ? half : pageCount, cancel);
    if (worker.joinable()) {
        worker.join();
        pages.append(std::move(secondHalf));
    }
    if (cancel != nullptr && cancel->load()) {
        document.error = QStringLiteral("the opening was stopped");
        return document;
    }
    if (std::all_of(pages.cbegin(), pages.cend(),
                    [](const PageLines& page) { return page.lines.isEmpty(); })) {
        document.error = QStringLiteral("it has no text layer (its pages are pictures only)");
        return document;
    }
    RemoveHeadersAndFooters(pages);
    document.chapters.append({QString(), TextOf(pages)});
    return document;
}
