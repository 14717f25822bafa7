#pragma once

#include <QList>

#include "app/readingqueue.h"

// The inputs of the command-line converter as a reading session walks them. Nothing locks
// them; a read input that the user's settings say to remove leaves the queue.
class InputQueue : public ReadingQueue {
  public:
    explicit InputQueue(QList<ReadingArticle> inputs) : m_inputs(std::move(inputs)) {}

    int count() const override { return int(m_inputs.size()); }
    ReadingArticle at(int index) const override { return m_inputs.at(index); }
    int indexOf(quintptr key) const override;
    void setLocked(quintptr, bool) override {}
    void unlockAll() override {}
    void remove(quintptr key) override;
    void purgeRemoved() override {}

  private:
    QList<ReadingArticle> m_inputs;
};
