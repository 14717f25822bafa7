#include "documents/plaintextbuilder.h"

PlainTextBuilder::PlainTextBuilder() : m_parts(1) {
    m_parts.last().lines << QString();
}

void PlainTextBuilder::addText(const QString& text) {
    m_size += text.size();
    m_parts.last().lines.last() += text;
}

void PlainTextBuilder::addLineBreak() {
    m_parts.last().lines << QString();
}

void PlainTextBuilder::addImage(const QString& description, const QString& title) {
    QString said = description.simplified();
    if (said.isEmpty()) {
        said = title.simplified();
    }
    if (!said.isEmpty()) {
        addText(QLatin1Char(' ') + said + QLatin1Char(' '));
    }
}

void PlainTextBuilder::endParagraph() {
    endParagraph(m_parts.last());
}

void PlainTextBuilder::endRow() {
    endRow(m_parts.last());
}

void PlainTextBuilder::beginCell() {
    endParagraph();
    m_parts.append(Part());
    m_parts.last().lines << QString();
}

void PlainTextBuilder::endCell() {
    // An unmatched end (a cell outside any table) is not one: the document itself stays.
    if (m_parts.size() < 2) {
        endParagraph();
        return;
    }
    const QString cell = cellText(m_parts.last());
    m_parts.removeLast();
    if (!cell.isEmpty()) {
        m_parts.last().rowCells << cell;
    }
}

QString PlainTextBuilder::text() const {
    QList<Part> parts = m_parts;
    while (parts.size() > 1) {
        const QString cell = cellText(parts.last());
        parts.removeLast();
        if (!cell.isEmpty()) {
            parts.last().rowCells << cell;
        }
    }
    Part& document = parts.first();
    endParagraph(document);
    endRow(document);
    return document.paragraphs.join(QStringLiteral("\n\n"));
}

void PlainTextBuilder::endParagraph(Part& part) {
    QStringList lines;
    for (const QString& line : std::as_const(part.lines)) {
        const QString simple = line.simplified();
        if (!simple.isEmpty()) {
            lines << simple;
        }
    }
    part.lines = {QString()};
    if (!lines.isEmpty()) {
        // Text after a table's last row, within the same part, follows that row.
        endRow(part);
        part.paragraphs << lines.join(QLatin1Char('\n'));
    }
}

void PlainTextBuilder::endRow(Part& part) {
    if (!part.rowCells.isEmpty()) {
        part.paragraphs << part.rowCells.join(QStringLiteral(", "));
        part.rowCells.clear();
    }
}

QString PlainTextBuilder::cellText(Part& cell) {
    endParagraph(cell);
    endRow(cell);
    return cell.paragraphs.join(QLatin1Char(' ')).simplified();
}
