#include "platform/speechapi/pronunciationlexicon.h"

namespace {

LexiconEntries& current() {
    static LexiconEntries entries;
    return entries;
}

uint64_t& currentRevision() {
    static uint64_t revision = 0;
    return revision;
}

PronunciationLexicon::Dialog& currentDialog() {
    static PronunciationLexicon::Dialog dialog;
    return dialog;
}

}  // namespace

QMutex& PronunciationLexicon::lock() {
    static QMutex mutex;
    return mutex;
}

LexiconEntries PronunciationLexicon::entries() {
    QMutexLocker guard(&lock());
    return current();
}

void PronunciationLexicon::setEntries(const LexiconEntries& entries) {
    QMutexLocker guard(&lock());
    current() = entries;
    ++currentRevision();
}

uint64_t PronunciationLexicon::revision() {
    QMutexLocker guard(&lock());
    return currentRevision();
}

void PronunciationLexicon::setDialog(Dialog dialog) {
    QMutexLocker guard(&lock());
    currentDialog() = std::move(dialog);
}

PronunciationLexicon::Dialog PronunciationLexicon::dialog() {
    QMutexLocker guard(&lock());
    return currentDialog();
}
