#include "cli/inputqueue.h"

int InputQueue::indexOf(quintptr key) const {
    for (qsizetype i = 0; i < m_inputs.size(); ++i) {
        if (m_inputs[i].key == key) {
            return int(i);
        }
    }
    return -1;
}

void InputQueue::remove(quintptr key) {
    const int index = indexOf(key);
    if (index >= 0) {
        m_inputs.removeAt(index);
    }
}
