#pragma once

#include <espeak-ng/speak_lib.h>

#include <QByteArray>

// The eSpeak NG library, loaded at run time so that it can be unloaded again. Its synthesizer
// carries state from one text into the next (the pitch flutter position, the voicing cycle, the
// gain control) that no call of its interface resets: only a freshly loaded library speaks a
// text exactly as it speaks it first. Not thread-safe: the caller serialises all use.
class EspeakLibrary {
  public:
    // Loads and initialises the library unless it is loaded; false when it cannot be.
    bool load();
    // Terminates and unloads it: the next load starts from the library's initial state.
    void unload();
    int sampleRate() const { return m_sampleRate; }

    const char* info() const { return m_info(nullptr); }
    const espeak_VOICE** listVoices() const { return m_listVoices(nullptr); }
    bool setVoiceByName(const QByteArray& identifier) const;
    void setParameter(espeak_PARAMETER parameter, int value) const;
    // Synthesizes text (UTF-8) into callback and returns when it is done.
    bool synth(t_espeak_callback* callback, const QByteArray& text, unsigned int flags) const;
    // The phonemes of the clause at *cursor, which moves on to the next one (null at the end).
    const char* textToPhonemes(const void** cursor, int phonemeMode) const;

  private:
    bool resolve();

    void* m_handle = nullptr;
    decltype(&espeak_Initialize) m_initialize = nullptr;
    decltype(&espeak_Terminate) m_terminate = nullptr;
    decltype(&espeak_Info) m_info = nullptr;
    decltype(&espeak_ListVoices) m_listVoices = nullptr;
    decltype(&espeak_SetVoiceByName) m_setVoiceByName = nullptr;
    decltype(&espeak_SetParameter) m_setParameter = nullptr;
    decltype(&espeak_SetSynthCallback) m_setSynthCallback = nullptr;
    decltype(&espeak_Synth) m_synth = nullptr;
    decltype(&espeak_Synchronize) m_synchronize = nullptr;
    decltype(&espeak_TextToPhonemes) m_textToPhonemes = nullptr;
    int m_sampleRate = 0;
};
