#include "documents/htmltext.h"

#include <QFont>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>

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

HtmlText::Result Walk(QTextDocument& document) {
    Walker walker;
    walker.frame(document.rootFrame());
    return {document.metaInformation(QTextDocument::DocumentTitle).simplified(),
            walker.paragraphs.join(QStringLiteral("\n\n"))};
}

}  // namespace

HtmlText::Result HtmlText::fromHtml(const QString& html) {
    QTextDocument document;
    UseSizedFont(document);
    document.setHtml(html);
    return Walk(document);
}

HtmlText::Result HtmlText::fromMarkdown(const QString& markdown) {
    QTextDocument document;
    UseSizedFont(document);
    document.setMarkdown(markdown);
    return Walk(document);
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
