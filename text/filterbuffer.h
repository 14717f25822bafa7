#pragma once

#include <QString>
#include <QStringView>

// The filter's working copy of a text, as a gap buffer: what lies before the gap is finished
// output, what lies after it is still the input. Rewrites of equal length can happen anywhere;
// rewrites that change the length happen at or after the gap, so each costs only its own size.
class FilterBuffer {
  public:
    explicit FilterBuffer(const QString& text) : in_(text) { out_.reserve(text.size() + 64); }

    qsizetype size() const { return out_.size() + in_.size() - inPos_; }
    QChar at(qsizetype x) const {
        return x < out_.size() ? out_.constData()[x] : in_.constData()[inPos_ + x - out_.size()];
    }
    void set(qsizetype x, QChar c);
    // Replaces length characters at x, which must not lie before the gap.
    void replace(qsizetype x, qsizetype length, QStringView replacement);
    // Position in the original text of a position at or after the gap.
    qsizetype origin(qsizetype x) const { return inPos_ + x - out_.size(); }
    // Position in the working copy of an original position at or after the gap.
    qsizetype fromOrigin(qsizetype o) const { return out_.size() + o - inPos_; }
    QString take();

  private:
    QString out_;
    QString in_;
    qsizetype inPos_ = 0;
};
