#include "documents/htmltext.h"

#include <md4c-html.h>
#include <QFont>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>

#include "documents/htmlpieces.h"
#include "platform/shell/utilsclass.h"

namespace {

// How much of an HTML file is searched for its <meta charset>.
constexpr qsizetype kCharsetSearch = 4096;
constexpr int kFontPoints = 12;

// The text of one block: line breaks within it kept, images read as their description.
QString BlockText(const QTextBlock& block) {
    QString text;
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        if (!fragment.isValid()) {
            continue;
        }
        if (fragment.charFormat().isImageFormat()) {
            const QString alt =
                fragment.charFormat().property(QTextFormat::ImageAltText).toString().simplified();
            if (!alt.isEmpty()) {
                text += QLatin1Char(' ') + alt + QLatin1Char(' ');
            }
            continue;
        }
        text += fragment.text();
    }
    text.replace(QChar::LineSeparator, QLatin1Char('\n'));
    text.replace(QChar::Nbsp, QLatin1Char(' '));
    text.remove(QChar::ObjectReplacementCharacter);
    QStringList lines = text.split(QLatin1Char('\n'));
    for (QString& line : lines) {
        line = line.simplified();
    }
    lines.removeAll(QString());
    return lines.join(QLatin1Char('\n'));
}

class Walker {
  public:
    QStringList paragraphs;

    void frame(QTextFrame* frame) {
        for (auto it = frame->begin(); !it.atEnd(); ++it) {
            if (QTextFrame* child = it.currentFrame()) {
                if (auto* table = qobject_cast<QTextTable*>(child)) {
                    this->table(table);
                } else {
                    this->frame(child);
                }
            } else {
                add(BlockText(it.currentBlock()));
            }
        }
    }

  private:
    void add(const QString& paragraph) {
        if (!paragraph.isEmpty()) {
            paragraphs << paragraph;
        }
    }

    // A table row by row: the cells of a row on one line, parted by a comma.
    void table(QTextTable* table) {
        for (int row = 0; row < table->rows(); ++row) {
            QStringList cells;
            for (int column = 0; column < table->columns(); ++column) {
                const QTextTableCell cell = table->cellAt(row, column);
                // A cell spanning several columns is read once, at its first.
                if (cell.column() != column || cell.row() != row) {
                    continue;
                }
                Walker inner;
                for (auto it = cell.begin(); !it.atEnd(); ++it) {
                    if (QTextFrame* child = it.currentFrame()) {
                        inner.frame(child);
                    } else {
                        inner.add(BlockText(it.currentBlock()));
                    }
                }
                const QString text = inner.paragraphs.join(QLatin1Char(' ')).simplified();
                if (!text.isEmpty()) {
                    cells << text;
                }
            }
            add(cells.join(QStringLiteral(", ")));
        }
    }
};

// Headings are sized relative to the default font, which has no size of its own in a program
// without a screen (the converter): given one, Qt has nothing to complain of.
void UseSizedFont(QTextDocument& document) {
    QFont font = document.defaultFont();
    font.setPointSize(kFontPoints);
    document.setDefaultFont(font);
}

// A YAML front matter: "---" on the first line, up to a line of "---" or "...".
struct FrontMatter {
    qsizetype length = 0;  // of the front matter with its closing line; 0 when there is none
    QString title;
};

// A YAML scalar as written on one line: quotes taken off, escapes of the quotes undone.
QString YamlScalar(QString value) {
    value = value.trimmed();
    if (value.size() >= 2 && value.startsWith(QLatin1Char('"')) &&
        value.endsWith(QLatin1Char('"'))) {
        return value.mid(1, value.size() - 2).replace(QStringLiteral("\\\""), QStringLiteral("\""));
    }
    if (value.size() >= 2 && value.startsWith(QLatin1Char('\'')) &&
        value.endsWith(QLatin1Char('\''))) {
        return value.mid(1, value.size() - 2).replace(QStringLiteral("''"), QStringLiteral("'"));
    }
    const qsizetype comment = value.indexOf(QStringLiteral(" #"));
    return comment < 0 ? value : value.left(comment).trimmed();
}

FrontMatter ReadFrontMatter(const QString& markdown) {
    static const QRegularExpression opening(QStringLiteral("\\A---[ \\t]*\\r?\\n"));
    static const QRegularExpression closing(QStringLiteral("^(---|\\.\\.\\.)[ \\t]*(\\r?\\n|\\z)"),
                                            QRegularExpression::MultilineOption);
    static const QRegularExpression title(QStringLiteral("^title:[ \\t]*(.*)$"),
                                          QRegularExpression::MultilineOption);
    const QRegularExpressionMatch open = opening.match(markdown);
    if (!open.hasMatch()) {
        return {};
    }
    const QRegularExpressionMatch close = closing.match(markdown, open.capturedEnd());
    if (!close.hasMatch()) {
        return {};
    }
    FrontMatter matter;
    matter.length = close.capturedEnd();
    const QString yaml =
        markdown.mid(open.capturedEnd(), close.capturedStart() - open.capturedEnd());
    const QRegularExpressionMatch found = title.match(yaml);
    if (found.hasMatch()) {
        QString value = found.captured(1).trimmed();
        if (value.startsWith(QLatin1Char('|')) || value.startsWith(QLatin1Char('>'))) {
            // A block scalar: the indented lines after it.
            value.clear();
            const QStringList lines = yaml.mid(found.capturedEnd()).split(QLatin1Char('\n'));
            for (qsizetype i = 1; i < lines.size() && lines[i].startsWith(QLatin1Char(' ')); ++i) {
                value += lines[i].trimmed() + QLatin1Char(' ');
            }
        }
        matter.title = YamlScalar(value).simplified();
    }
    return matter;
}

void AppendHtml(const MD_CHAR* text, MD_SIZE size, void* html) {
    static_cast<QByteArray*>(html)->append(text, qsizetype(size));
}

}  // namespace

HtmlText::Result HtmlText::fromHtml(const QString& html, const std::atomic<bool>* cancel) {
    Result result;
    Walker walker;
    HtmlPieces pieces(html);
    QString piece;
    for (bool first = true; pieces.next(&piece); first = false) {
        if (cancel && cancel->load()) {
            result.stopped = true;
            break;
        }
        QTextDocument document;
        UseSizedFont(document);
        document.setHtml(piece);
        if (first) {
            result.title = document.metaInformation(QTextDocument::DocumentTitle).simplified();
        }
        walker.frame(document.rootFrame());
    }
    result.text = walker.paragraphs.join(QStringLiteral("\n\n"));
    if (pieces.flattened() > 0) {
        UtilsClass::WriteDebugLine(
            QStringLiteral("A page nested deeper than %1 elements: %2 of its tags were passed over")
                .arg(HtmlPieces::kDeepest)
                .arg(pieces.flattened()));
    }
    return result;
}

HtmlText::Result HtmlText::fromMarkdown(const QString& markdown, const std::atomic<bool>* cancel) {
    const FrontMatter matter = ReadFrontMatter(markdown);
    const QByteArray source = markdown.mid(matter.length).toUtf8();
    // Rendered as a Git host renders it: tables, strike-through, task lists, bare addresses.
    QByteArray html("<html><body>");
    md_html(source.constData(), MD_SIZE(source.size()), AppendHtml, &html, MD_DIALECT_GITHUB,
            MD_HTML_FLAG_SKIP_UTF8_BOM);
    html += "</body></html>";
    Result result = fromHtml(QString::fromUtf8(html), cancel);
    result.title = matter.title;
    return result;
}

QString HtmlText::decodeHtml(const QByteArray& bytes) {
    static const QRegularExpression charset(
        QStringLiteral(R"(<meta[^>]+charset\s*=\s*["']?([A-Za-z0-9_:.-]+))"),
        QRegularExpression::CaseInsensitiveOption);
    if (auto fromMark = QStringDecoder::encodingForData(bytes)) {
        QStringDecoder decoder(*fromMark);
        return decoder.decode(bytes);
    }
    const QRegularExpressionMatch match =
        charset.match(QString::fromLatin1(bytes.left(kCharsetSearch)));
    if (match.hasMatch()) {
        QStringDecoder decoder(match.captured(1).toLatin1().constData());
        if (decoder.isValid()) {
            return decoder.decode(bytes);
        }
    }
    return QString::fromUtf8(bytes);
}
