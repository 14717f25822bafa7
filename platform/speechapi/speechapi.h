#pragma once

#include <QString>
#include <QUuid>
#include <cstdint>

// The text-to-speech service of this platform, in the shape the program's speech component
// expects: an enumerator of engine modes, a central object per activated mode, notification
// sinks, and result codes.

using HRESULT = uint32_t;

constexpr HRESULT S_OK = 0;
constexpr HRESULT S_FALSE = 1;
constexpr HRESULT E_NOTIMPL = 0x80004001;
constexpr HRESULT E_INVALIDARG = 0x80070057;
constexpr HRESULT TTSERR_NOTENOUGHDATA = 0x80040201;
constexpr HRESULT TTSERR_WAVEFORMATNOTSUPPORTED = 0x80040202;
constexpr HRESULT TTSERR_WAVEDEVICEBUSY = 0x80040203;
constexpr HRESULT TTSERR_INVALIDPARAM = 0x80040204;
constexpr HRESULT TTSERR_DISKERROR = 0x80040205;
constexpr HRESULT TTSERR_INVALIDMODE = 0x80040206;
constexpr HRESULT TTSERR_NOTENOUGHMEMORY = 0x8004020A;
constexpr HRESULT AUDERR_BADDEVICEID = 0x80040301;

inline bool Succeeded(HRESULT result) {
    return (result & 0x80000000u) == 0;
}

// Features and interfaces of a mode.
constexpr uint32_t TTSFEATURE_TAGGED = 0x10;
constexpr uint32_t TTSFEATURE_PHONEOPTIMIZED = 0x200;
constexpr uint32_t TTSI_ITTSCENTRAL = 0x1;
constexpr uint32_t TTSI_ITTSATTRIBUTES = 0x2;
constexpr uint32_t TTSI_ITTSDIALOGS = 0x4;

enum VOICECHARSET { CHARSET_TEXT = 0, CHARSET_IPAPHONETIC = 1, CHARSET_ENGINEPHONETIC = 2 };
constexpr uint32_t TTSDATAFLAG_TAGGED = 1;

// One installed voice of one engine.
struct TTSMODEINFO {
    QUuid gEngineID;
    QString szMfgName;
    QString szProductName;
    QUuid gModeID;
    QString szModeName;
    uint16_t language = 0;  // Windows language identifier
    QString szDialect;
    QString szSpeaker;
    QString szStyle;
    uint16_t wGender = 0;
    uint16_t wAge = 0;
    uint32_t dwFeatures = 0;
    uint32_t dwInterfaces = 0;
    uint32_t dwEngineFeatures = 0;
};

// Weights of the criteria of a search; only the two the program uses are honoured.
struct TTSMODEINFORANK {
    uint32_t dwModeID = 0;
    uint32_t dwModeName = 0;
};

// Engine notifications, delivered on the thread that activated the mode.
class ITTSNotifySinkW {
  public:
    virtual ~ITTSNotifySinkW() = default;
    virtual HRESULT AttribChanged(uint32_t attribute) = 0;
    virtual HRESULT AudioStart(uint64_t timeStamp) = 0;
    virtual HRESULT AudioStop(uint64_t timeStamp) = 0;
    virtual HRESULT Visual(uint64_t timeStamp, QChar ipaPhoneme, QChar enginePhoneme,
                           uint32_t hints) = 0;
};

// Notifications of one text handed to TextData.
class ITTSBufNotifySink {
  public:
    virtual ~ITTSBufNotifySink() = default;
    virtual HRESULT TextDataDone(uint64_t timeStamp, uint32_t flags) = 0;
    virtual HRESULT TextDataStarted(uint64_t timeStamp) = 0;
    virtual HRESULT BookMark(uint64_t timeStamp, uint32_t mark) = 0;
    // byteOffset counts bytes of the UTF-16 text: its character index times two.
    virtual HRESULT WordPosition(uint64_t timeStamp, uint32_t byteOffset) = 0;
};

class AudioDestination;

// Pitch, speed, pacing and volume of an active mode, in the engine's own units.
class ITTSAttributesW {
  public:
    virtual ~ITTSAttributesW() = default;
    virtual HRESULT PitchGet(uint16_t* pitch) const = 0;
    virtual HRESULT PitchSet(uint16_t pitch) = 0;
    virtual HRESULT RealTimeGet(uint32_t* realTime) const = 0;
    virtual HRESULT RealTimeSet(uint32_t realTime) = 0;
    virtual HRESULT SpeedGet(uint32_t* speed) const = 0;
    virtual HRESULT SpeedSet(uint32_t speed) = 0;
    virtual HRESULT VolumeGet(uint32_t* volume) const = 0;
    virtual HRESULT VolumeSet(uint32_t volume) = 0;
};

class QObject;

// The engine's own dialogs, each with its parent window and title (empty: the engine's own).
class ITTSDialogsW {
  public:
    virtual ~ITTSDialogsW() = default;
    virtual HRESULT AboutDlg(QObject* window, const QString& title) = 0;
    virtual HRESULT GeneralDlg(QObject* window, const QString& title) = 0;
    virtual HRESULT LexiconDlg(QObject* window, const QString& title) = 0;
    virtual HRESULT TranslateDlg(QObject* window, const QString& title) = 0;
};

// An activated mode. attributes() and dialogs() answer null when the mode does not offer them.
class ITTSCentralW {
  public:
    virtual ~ITTSCentralW() = default;
    virtual HRESULT TextData(VOICECHARSET charset, uint32_t flags, const QString& text,
                             ITTSBufNotifySink* sink) = 0;
    virtual HRESULT Inject(const QString& text) = 0;
    virtual HRESULT AudioPause() = 0;
    virtual HRESULT AudioResume() = 0;
    virtual HRESULT AudioReset() = 0;
    virtual HRESULT Phoneme(VOICECHARSET charset, uint32_t flags, const QString& text,
                            QString* phonemes) = 0;
    virtual HRESULT Register(ITTSNotifySinkW* sink, uint32_t* key) = 0;
    virtual HRESULT UnRegister(uint32_t key) = 0;
    virtual ITTSAttributesW* attributes() = 0;
    virtual ITTSDialogsW* dialogs() = 0;
    virtual AudioDestination* destination() const = 0;
};
