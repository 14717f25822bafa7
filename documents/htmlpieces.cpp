#include "documents/htmlpieces.h"

#include <QSet>
#include <algorithm>

namespace {

// A tag longer than this is opened again in the next piece without its attributes.
constexpr qsizetype kLongestReopenedTag = 1024;
// A piece without a place to cut is cut anywhere once it is this many times its size.
constexpr qsizetype kHardCutFactor = 4;
// A page's head is given with each piece: pieces are at least this many times its size.
constexpr qsizetype kHeadFactor = 4;

const QSet<QString> kVoid = {
    QStringLiteral("area"),  QStringLiteral("base"),   QStringLiteral("br"),
    QStringLiteral("col"),   QStringLiteral("embed"),  QStringLiteral("hr"),
    QStringLiteral("img"),   QStringLiteral("input"),  QStringLiteral("link"),
    QStringLiteral("meta"),  QStringLiteral("param"),  QStringLiteral("source"),
    QStringLiteral("track"), QStringLiteral("wbr"),    QStringLiteral("basefont"),
    QStringLiteral("frame"), QStringLiteral("keygen"), QStringLiteral("!doctype"),
};

// Elements whose content is text up to their end tag, never markup.
const QSet<QString> kRawText = {
    QStringLiteral("script"),  QStringLiteral("style"),    QStringLiteral("textarea"),
    QStringLiteral("title"),   QStringLiteral("xmp"),      QStringLiteral("iframe"),
    QStringLiteral("noembed"), QStringLiteral("noframes"),
};

// Block elements of HTML5 that Qt's rich text does not know and would run into the text
// around them: they are read as the <div> a browser shows them as.
const QSet<QString> kUnknownBlocks = {
    QStringLiteral("article"), QStringLiteral("aside"),    QStringLiteral("details"),
    QStringLiteral("summary"), QStringLiteral("figure"),   QStringLiteral("figcaption"),
    QStringLiteral("footer"),  QStringLiteral("header"),   QStringLiteral("hgroup"),
    QStringLiteral("main"),    QStringLiteral("nav"),      QStringLiteral("section"),
    QStringLiteral("dialog"),  QStringLiteral("fieldset"), QStringLiteral("legend"),
    QStringLiteral("search"),
};

// Starts of these close an open <p>; a piece may be cut before them.
const QSet<QString> kBlocks = {
    QStringLiteral("address"),    QStringLiteral("article"), QStringLiteral("aside"),
    QStringLiteral("blockquote"), QStringLiteral("center"),  QStringLiteral("details"),
    QStringLiteral("div"),        QStringLiteral("dl"),      QStringLiteral("fieldset"),
    QStringLiteral("figure"),     QStringLiteral("footer"),  QStringLiteral("form"),
    QStringLiteral("h1"),         QStringLiteral("h2"),      QStringLiteral("h3"),
    QStringLiteral("h4"),         QStringLiteral("h5"),      QStringLiteral("h6"),
    QStringLiteral("header"),     QStringLiteral("hr"),      QStringLiteral("main"),
    QStringLiteral("nav"),        QStringLiteral("ol"),      QStringLiteral("p"),
    QStringLiteral("pre"),        QStringLiteral("section"), QStringLiteral("table"),
    QStringLiteral("ul"),         QStringLiteral("li"),      QStringLiteral("dt"),
    QStringLiteral("dd"),         QStringLiteral("tr"),
};

// Within these a cut would part what is read as one line.
const QSet<QString> kUncuttable = {
    QStringLiteral("pre"), QStringLiteral("td"),     QStringLiteral("th"),
    QStringLiteral("a"),   QStringLiteral("button"), QStringLiteral("caption"),
};

bool IsNameChar(QChar c) {
    return c.isLetterOrNumber() || c == QLatin1Char('-') || c == QLatin1Char(':') ||
           c == QLatin1Char('_') || c == QLatin1Char('.');
}

// The element's name as Qt should see it: an HTML5 block it does not know is a <div>.
QString QtName(const QString& name) {
    return kUnknownBlocks.contains(name) ? QStringLiteral("div") : name;
}

// The tag as Qt should see it.
QString Renamed(const QString& name, QStringView tag, bool end) {
    if (!kUnknownBlocks.contains(name)) {
        return tag.toString();
    }
    const qsizetype rest = (end ? 2 : 1) + name.size();
    return (end ? QStringLiteral("</div") : QStringLiteral("<div")) + tag.mid(rest).toString();
}

}  // namespace

HtmlPieces::HtmlPieces(const QString& html) : m_html(html) {
    if (!m_html.contains(QLatin1StringView("<body"), Qt::CaseInsensitive)) {
        return;
    }
    // The head: everything up to and with the <body> tag, given with every piece.
    m_inBody = false;
    QString ignored;
    next(&ignored);
    if (!m_inBody) {  // "<body" stood in a comment or a script: the page has no head of its own
        m_head.clear();
        m_pos = 0;
        m_inBody = true;
    }
    m_done = false;
}

HtmlPieces::Token HtmlPieces::scan(qsizetype* end, QString* name, bool* selfClosing) const {
    const QStringView html(m_html);
    const qsizetype size = html.size();
    const auto after = [&](qsizetype found, qsizetype length) {
        return found < 0 ? size : found + length;
    };
    *selfClosing = false;
    if (html[m_pos] != QLatin1Char('<')) {
        *end = after(html.indexOf(QLatin1Char('<'), m_pos), 0);
        return Token::Text;
    }
    if (html.mid(m_pos).startsWith(QLatin1StringView("<!--"))) {
        *end = after(html.indexOf(QLatin1StringView("-->"), m_pos + 4), 3);
        return Token::Other;
    }
    const bool isEnd = m_pos + 1 < size && html[m_pos + 1] == QLatin1Char('/');
    qsizetype i = m_pos + (isEnd ? 2 : 1);
    const bool declaration = !isEnd && i < size && html[i] == QLatin1Char('!');
    if (i >= size || (!html[i].isLetter() && !declaration)) {
        if (i < size && (html[i] == QLatin1Char('?') || html[i] == QLatin1Char('!'))) {
            *end = after(html.indexOf(QLatin1Char('>'), i), 1);
            return Token::Other;
        }
        *end = after(html.indexOf(QLatin1Char('<'), m_pos + 1), 0);
        return Token::Text;
    }
    const qsizetype nameStart = i;
    for (++i; i < size && IsNameChar(html[i]); ++i) {
    }
    *name = html.mid(nameStart, i - nameStart).toString().toLower();
    // Attributes: a quoted value may hold '>'.
    bool afterEquals = false;
    for (; i < size && html[i] != QLatin1Char('>'); ++i) {
        const QChar c = html[i];
        if (afterEquals && (c == QLatin1Char('"') || c == QLatin1Char('\''))) {
            const qsizetype close = html.indexOf(c, i + 1);
            i = close < 0 ? size - 1 : close;
            afterEquals = false;
        } else if (c == QLatin1Char('=')) {
            afterEquals = true;
        } else if (!c.isSpace()) {
            afterEquals = false;
        }
    }
    *end = std::min(i + 1, size);
    *selfClosing = !isEnd && i < size && html[i - 1] == QLatin1Char('/');
    if (declaration) {
        return Token::Other;
    }
    return isEnd ? Token::EndTag : Token::StartTag;
}

qsizetype HtmlPieces::rawTextEnd(qsizetype from, const QString& name) const {
    const qsizetype close = m_html.indexOf(QStringLiteral("</") + name, from, Qt::CaseInsensitive);
    if (close < 0) {
        return m_html.size();
    }
    const qsizetype gt = m_html.indexOf(QLatin1Char('>'), close);
    return gt < 0 ? m_html.size() : gt + 1;
}

qsizetype HtmlPieces::templateEnd(qsizetype from) const {
    const auto start = QStringLiteral("<template");
    const auto close = QStringLiteral("</template");
    int depth = 1;
    qsizetype at = from;
    while (depth > 0) {
        const qsizetype opens = m_html.indexOf(start, at, Qt::CaseInsensitive);
        const qsizetype closes = m_html.indexOf(close, at, Qt::CaseInsensitive);
        if (closes < 0) {
            return m_html.size();
        }
        if (opens >= 0 && opens < closes) {
            ++depth;
            at = opens + start.size();
        } else {
            --depth;
            at = closes + close.size();
        }
    }
    const qsizetype gt = m_html.indexOf(QLatin1Char('>'), at);
    return gt < 0 ? m_html.size() : gt + 1;
}

void HtmlPieces::startPiece() {
    m_current = m_head;
    for (const Open& open : std::as_const(m_open)) {
        m_current += open.tag;
    }
    m_bodyInPiece = 0;
}

bool HtmlPieces::closePiece(QString* piece) {
    for (auto it = m_open.crbegin(); it != m_open.crend(); ++it) {
        m_current += QStringLiteral("</") + QtName(it->name) + QLatin1Char('>');
    }
    *piece = std::move(m_current);
    m_current.clear();
    return true;
}

bool HtmlPieces::next(QString* piece) {
    if (m_done) {
        return false;
    }
    startPiece();
    const qsizetype cutSize = std::max(kPieceSize, kHeadFactor * m_head.size());
    while (m_pos < m_html.size()) {
        qsizetype end = m_pos;
        QString name;
        bool selfClosing = false;
        Token token = scan(&end, &name, &selfClosing);
        if (token == Token::StartTag && !selfClosing && name == QLatin1StringView("template")) {
            m_pos = templateEnd(end);  // never shown, so never read
            continue;
        }
        if (token == Token::StartTag && !selfClosing && kRawText.contains(name)) {
            end = rawTextEnd(end, name);
            token = Token::Other;
        }
        const QStringView text = QStringView(m_html).mid(m_pos, end - m_pos);
        if (!m_inBody) {
            m_head += text;
            m_pos = end;
            if (token == Token::StartTag && name == QLatin1StringView("body")) {
                m_inBody = true;
                return true;
            }
            continue;
        }
        QString emitted;
        if (token == Token::StartTag) {
            closeImplied(name);
            if (m_bodyInPiece >= cutSize && kBlocks.contains(name) && canCut()) {
                return closePiece(piece);
            }
            if (!startTag(name, text, selfClosing)) {
                m_pos = end;
                continue;
            }
            emitted = Renamed(name, text, false);
        } else if (token == Token::EndTag) {
            if (!endTag(name)) {
                m_pos = end;
                continue;
            }
            emitted = Renamed(name, text, true);
        } else {
            emitted = text.toString();
        }
        m_current += emitted;
        m_bodyInPiece += emitted.size();
        m_pos = end;
        if (m_bodyInPiece >= kHardCutFactor * cutSize) {
            return closePiece(piece);
        }
    }
    m_done = true;
    return closePiece(piece);
}

bool HtmlPieces::startTag(const QString& name, QStringView tag, bool selfClosing) {
    if (selfClosing || kVoid.contains(name)) {
        return true;
    }
    if (m_open.size() >= kDeepest) {
        ++m_dropped[name];
        ++m_flattened;
        return false;
    }
    const QString bare = QLatin1Char('<') + QtName(name) + QLatin1Char('>');
    m_open.append({name, tag.size() <= kLongestReopenedTag ? Renamed(name, tag, false) : bare});
    return true;
}

bool HtmlPieces::endTag(const QString& name) {
    const auto dropped = m_dropped.find(name);
    if (dropped != m_dropped.end() && *dropped > 0) {
        --*dropped;
        return false;
    }
    popTo(name, {});
    return true;
}

void HtmlPieces::closeImplied(const QString& name) {
    static const QStringList lists = {QStringLiteral("ul"), QStringLiteral("ol")};
    static const QStringList table = {QStringLiteral("table")};
    if (kBlocks.contains(name) && !m_open.isEmpty() &&
        m_open.last().name == QLatin1StringView("p")) {
        m_open.removeLast();
    }
    if (name == QLatin1StringView("li")) {
        popTo(name, lists);
    } else if (name == QLatin1StringView("dt") || name == QLatin1StringView("dd")) {
        popTo(QStringLiteral("dt|dd"), {QStringLiteral("dl")});
    } else if (name == QLatin1StringView("tr")) {
        popTo(name, table);
    } else if (name == QLatin1StringView("td") || name == QLatin1StringView("th")) {
        popTo(QStringLiteral("td|th"), {QStringLiteral("tr"), QStringLiteral("table")});
    } else if (name == QLatin1StringView("thead") || name == QLatin1StringView("tbody") ||
               name == QLatin1StringView("tfoot")) {
        popTo(QStringLiteral("thead|tbody|tfoot"), table);
    } else if (name == QLatin1StringView("option")) {
        popTo(name, {QStringLiteral("select")});
    }
}

// Closes the innermost open element of the name (names parted by '|'), with those within it;
// nothing when an element of stops comes first.
void HtmlPieces::popTo(const QString& name, const QStringList& stops) {
    const QStringList names = name.split(QLatin1Char('|'));
    for (qsizetype i = m_open.size() - 1; i >= 0; --i) {
        if (names.contains(m_open[i].name)) {
            m_open.resize(i);
            return;
        }
        if (stops.contains(m_open[i].name)) {
            return;
        }
    }
}

bool HtmlPieces::canCut() const {
    return std::none_of(m_open.cbegin(), m_open.cend(),
                        [](const Open& open) { return kUncuttable.contains(open.name); });
}
