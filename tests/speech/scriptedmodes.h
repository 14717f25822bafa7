#pragma once

// A scripted engine for the speech tests: one mode, "Mary" of the maker Microsoft, whose central
// object answers what a test asks for (result codes, attributes that are not implemented, no
// dialogs) and otherwise stays quiet: it takes texts and never speaks them.
#include <QList>
#include <memory>

#include "platform/speechapi/audiodestination.h"
#include "platform/speechapi/speechapi.h"
#include "platform/speechapi/synthengine.h"
#include "platform/speechapi/ttsenumerator.h"

namespace scripted {

class ScriptedCentral : public ITTSCentralW, public ITTSAttributesW {
  public:
    HRESULT speakResult = S_OK;
    bool withDialogs = true;
    int* registered = nullptr;

    HRESULT TextData(VOICECHARSET, uint32_t, const QString&, ITTSBufNotifySink*) override {
        if (speakResult == S_OK) {
            ++texts;
        }
        return speakResult;
    }
    HRESULT Inject(const QString&) override { return S_OK; }
    HRESULT AudioPause() override { return S_OK; }
    HRESULT AudioResume() override { return S_OK; }
    HRESULT AudioReset() override {
        ++resets;
        return S_OK;
    }
    HRESULT Phoneme(VOICECHARSET, uint32_t, const QString&, QString*) override { return E_NOTIMPL; }
    HRESULT Register(ITTSNotifySinkW*, uint32_t* key) override {
        *key = 7;
        ++*registered;
        return S_OK;
    }
    HRESULT UnRegister(uint32_t) override {
        --*registered;
        return S_OK;
    }
    ITTSAttributesW* attributes() override { return this; }
    ITTSDialogsW* dialogs() override { return withDialogs ? &m_dialogs : nullptr; }
    AudioDestination* destination() const override { return output.get(); }
    HRESULT PitchGet(uint16_t*) const override { return E_NOTIMPL; }
    HRESULT PitchSet(uint16_t) override {
        ++pitchSets;
        return E_NOTIMPL;
    }
    HRESULT RealTimeGet(uint32_t*) const override { return E_NOTIMPL; }
    HRESULT RealTimeSet(uint32_t) override { return E_NOTIMPL; }
    HRESULT SpeedGet(uint32_t* speed) const override {
        *speed = 7;
        return S_OK;
    }
    HRESULT SpeedSet(uint32_t) override { return S_OK; }
    HRESULT VolumeGet(uint32_t*) const override { return E_NOTIMPL; }
    HRESULT VolumeSet(uint32_t) override { return E_NOTIMPL; }

    std::unique_ptr<AudioDestination> output;
    int pitchSets = 0;
    int texts = 0;   // texts taken
    int resets = 0;  // audio resets

  private:
    struct NoDialogs : ITTSDialogsW {
        HRESULT AboutDlg(QObject*, const QString&) override { return E_NOTIMPL; }
        HRESULT GeneralDlg(QObject*, const QString&) override { return E_NOTIMPL; }
        HRESULT LexiconDlg(QObject*, const QString&) override { return E_NOTIMPL; }
        HRESULT TranslateDlg(QObject*, const QString&) override { return E_NOTIMPL; }
    } m_dialogs;
};

class ScriptedModes : public SynthEngine {
  public:
    QString name() const override { return QStringLiteral("Scripted"); }
    QList<SynthVoice> voices() override {
        return {{QStringLiteral("Scripted"), QStringLiteral("Microsoft"),
                 QStringLiteral("Scripted TTS"), QStringLiteral("Mary"), QStringLiteral("Mary"),
                 QStringLiteral("en-us"), 2}};
    }
    int sampleRate(const SynthVoice&) override { return 11025; }
    SynthParams defaultParams(const SynthVoice&) override { return {}; }
    SynthParams minParams() const override { return {}; }
    SynthParams maxParams() const override { return {}; }
    bool speak(const SynthVoice&, const QString&, const SynthParams&, SynthSink&) override {
        return true;
    }
    std::unique_ptr<ITTSCentralW> makeCentral(
        const SynthVoice&, const TTSMODEINFO&,
        std::unique_ptr<AudioDestination> destination) override {
        auto central = std::make_unique<ScriptedCentral>();
        central->speakResult = speakResult;
        central->withDialogs = withDialogs;
        central->registered = &registered;
        central->output = std::move(destination);
        last = central.get();
        return central;
    }
    HRESULT speakResult = S_OK;
    bool withDialogs = true;
    int registered = 0;
    ScriptedCentral* last = nullptr;  // the central object of the latest activation
};

// The engines that stand in for the installed ones while it lives.
class EnginesInUse {
  public:
    explicit EnginesInUse(const QList<SynthEngine*>& engines) {
        TtsEnumerator::useEngines(engines);
    }
    ~EnginesInUse() { TtsEnumerator::useEngines({}); }
    EnginesInUse(const EnginesInUse&) = delete;
    EnginesInUse& operator=(const EnginesInUse&) = delete;
};

}  // namespace scripted
