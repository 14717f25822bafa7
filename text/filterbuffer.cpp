#include "text/filterbuffer.h"

#include <QtGlobal>

void FilterBuffer::set(qsizetype x, QChar c) {
    if (x < out_.size()) {
        out_[x] = c;
    } else {
        in_[inPos_ + x - out_.size()] = c;
    }
}

void FilterBuffer::replace(qsizetype x, qsizetype length, QStringView replacement) {
    Q_ASSERT(x >= out_.size());
    const qsizetype skipped = x - out_.size();
    out_.append(QStringView(in_).mid(inPos_, skipped));
    out_.append(replacement);
    inPos_ += skipped + length;
}

QString FilterBuffer::take() {
    out_.append(QStringView(in_).mid(inPos_));
    inPos_ = in_.size();
    return std::move(out_);
}
