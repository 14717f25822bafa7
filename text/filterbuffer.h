#pragma once

#include <QString>
#include <QStringView>

// The filter's working copy of a text, as a gap buffer: what lies before the gap is finished
// output, what lies after it is still the input. Rewrites of equal length can happen anywhere;
// rewrites that change the length happen at or after the gap, so each costs only its own size.
class FilterBuffer {
  public:
    explicit FilterBuffer(const QString& text) : m_in(text) { m_out.reserve(text.size() + 64); }

    qsizetype size() const { return m_out.size() + m_in.size() - m_inPos; }
    QChar at(qsizetype x) const {
        return x < m_out.size() ? m_out.constData()[x]
                                : m_in.constData()[m_inPos + x - m_out.size()];
    }
    void set(qsizetype x, QChar c);
    // Replaces length characters at x, which must not lie before the gap.
    void replace(qsizetype x, qsizetype length, QStringView replacement);
    // Position in the original text of a position at or after the gap.
    qsizetype origin(qsizetype x) const { return m_inPos + x - m_out.size(); }
    // Position in the working copy of an original position at or after the gap.
    qsizetype fromOrigin(qsizetype o) const { return m_out.size() + o - m_inPos; }
    QString take();

  private:
    QString m_out;
    QString m_in;
    qsizetype m_inPos = 0;
};
