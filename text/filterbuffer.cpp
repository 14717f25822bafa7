#include "text/filterbuffer.h"

#include <QtGlobal>

void FilterBuffer::set(qsizetype x, QChar c) {
    if (x < m_out.size()) {
        m_out[x] = c;
    } else {
        m_in[m_inPos + x - m_out.size()] = c;
    }
}

void FilterBuffer::replace(qsizetype x, qsizetype length, QStringView replacement) {
    Q_ASSERT(x >= m_out.size());
    const qsizetype skipped = x - m_out.size();
    m_out.append(QStringView(m_in).mid(m_inPos, skipped));
    m_out.append(replacement);
    m_inPos += skipped + length;
}

QString FilterBuffer::take() {
    m_out.append(QStringView(m_in).mid(m_inPos));
    m_inPos = m_in.size();
    return std::move(m_out);
}
