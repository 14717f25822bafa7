#pragma once

#include <QMutex>
#include <cstdint>
#include <functional>

#include "platform/speechapi/lexiconentry.h"

class QObject;
class LexiconSpeaker;

// The pronunciation lexicon in force for every engine of the process. The program sets it; each
// activated mode applies it to every text before its engine sees it, so a change holds from the
// next text spoken on.
class PronunciationLexicon {
  public:
    static LexiconEntries entries();
    static void setEntries(const LexiconEntries& entries);
    // Raised by every change; a mode rebuilds its matcher when it differs.
    static uint64_t revision();

    // What the engines' lexicon dialog is: the program's own, when it has registered one. It
    // gets the parent window, the title, what speaks with the activated voice, and that voice's
    // language; it answers the service's result code.
    struct DialogRequest {
        QObject* window = nullptr;
        QString title;
        LexiconSpeaker* speaker = nullptr;
        QString voiceName;  // the mode's name
        QString voiceLanguage;
        bool acceptsPhonemes = false;
    };
    using Dialog = std::function<uint32_t(const DialogRequest&)>;
    static void setDialog(Dialog dialog);
    static Dialog dialog();

  private:
    static QMutex& lock();
};
