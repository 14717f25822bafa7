#include "platform/speechapi/espeaklibrary.h"

#include <dlfcn.h>

#include <cstdlib>

namespace {

// The library's soname: the version of its interface the engine is written for.
constexpr char kLibraryName[] = "libespeak-ng.so.1";
// Its audio library: each initialisation leaves an audio object there that termination does
// not free. Kept loaded, so that the leak checker still sees where that small block came from.
constexpr char kAudioLibraryName[] = "libpcaudio.so.0";
// Audio handed to the synthesis callback at a time.
constexpr int kCallbackBufferMs = 100;

// The leak checker can name what a library allocated only while the library is loaded: built
// with it, the library stays loaded and initialised (and a reading goes on from the state the
// last one left).
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kUnloads = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kUnloads = false;
#else
constexpr bool kUnloads = true;
#endif
#else
constexpr bool kUnloads = true;
#endif

template <typename Function>
bool resolveSymbol(void* handle, const char* name, Function* function) {
    *function = reinterpret_cast<Function>(dlsym(handle, name));
    return *function != nullptr;
}

}  // namespace

bool EspeakLibrary::load() {
    if (m_handle) {
        return true;
    }
    static void* const audioLibrary = dlopen(kAudioLibraryName, RTLD_NOW | RTLD_LOCAL);
    Q_UNUSED(audioLibrary);
    // Local binding keeps each load's symbols, and so its state, to itself.
    m_handle = dlopen(kLibraryName, RTLD_NOW | RTLD_LOCAL);
    if (!m_handle) {
        return false;
    }
    const int rate = resolve() ? m_initialize(AUDIO_OUTPUT_SYNCHRONOUS, kCallbackBufferMs, nullptr,
                                              espeakINITIALIZE_DONT_EXIT)
                               : 0;
    if (rate <= 0) {
        unload();
        return false;
    }
    m_sampleRate = rate;
    return true;
}

bool EspeakLibrary::resolve() {
    return resolveSymbol(m_handle, "espeak_Initialize", &m_initialize) &&
           resolveSymbol(m_handle, "espeak_Terminate", &m_terminate) &&
           resolveSymbol(m_handle, "espeak_Info", &m_info) &&
           resolveSymbol(m_handle, "espeak_ListVoices", &m_listVoices) &&
           resolveSymbol(m_handle, "espeak_SetVoiceByName", &m_setVoiceByName) &&
           resolveSymbol(m_handle, "espeak_SetParameter", &m_setParameter) &&
           resolveSymbol(m_handle, "espeak_SetSynthCallback", &m_setSynthCallback) &&
           resolveSymbol(m_handle, "espeak_Synth", &m_synth) &&
           resolveSymbol(m_handle, "espeak_Synchronize", &m_synchronize) &&
           resolveSymbol(m_handle, "espeak_TextToPhonemes", &m_textToPhonemes);
}

void EspeakLibrary::unload() {
    if (!m_handle || !kUnloads) {
        return;
    }
    // Terminate frees what Initialize allocated (m_sampleRate is set only once it succeeded)
    // but for the voice list's array, which the library keeps in a static and hands out.
    if (m_sampleRate > 0) {
        std::free(const_cast<espeak_VOICE**>(m_listVoices(nullptr)));
        m_terminate();
    }
    dlclose(m_handle);
    *this = EspeakLibrary();
}

bool EspeakLibrary::setVoiceByName(const QByteArray& identifier) const {
    return m_setVoiceByName(identifier.constData()) == EE_OK;
}

void EspeakLibrary::setParameter(espeak_PARAMETER parameter, int value) const {
    m_setParameter(parameter, value, 0);
}

bool EspeakLibrary::synth(t_espeak_callback* callback, const QByteArray& text,
                          unsigned int flags) const {
    m_setSynthCallback(callback);
    const espeak_ERROR result = m_synth(text.constData(), size_t(text.size()) + 1, 0, POS_CHARACTER,
                                        0, flags, nullptr, nullptr);
    m_synchronize();
    return result == EE_OK;
}

const char* EspeakLibrary::textToPhonemes(const void** cursor, int phonemeMode) const {
    return m_textToPhonemes(cursor, espeakCHARS_UTF8, phonemeMode);
}
