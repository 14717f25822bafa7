#pragma once

#include <QString>
#include <cstdint>

#include "settings/baseregistryclass.h"

// The program's settings: one typed field per stored value, moved to and from the store under
// "Software\HalcyxTech\Quillsong". Created once by the main window.
class TPreferences : public TBaseRegistryClass {
  public:
    TPreferences();

    QString Version() const override { return QStringLiteral("1.3"); }
    // Store values into the fields; a blank output folder becomes DefaultOutDir.
    void ApplyStoredValues();
    // Fields into the store values.
    void CollectValues();

    // Accessors whose meaning follows the article mode (ML_ListMode: 0 single, 1 multi).
    bool AutoSpeak() const;
    void setAutoSpeak(bool value);
    bool AutoDelete() const;
    void setAutoDelete(bool value);
    int VisibleEntries() const;
    uint8_t FileDest() const;
    void setFileDest(uint8_t value);
    uint8_t VoiceSelection() const;
    void setVoiceSelection(uint8_t value);
    bool DefaultTitles() const;
    void setDefaultTitles(bool value);

    // The user folder's "Files" folder, created when missing; " " when it cannot be.
    QString DefaultOutDir;

    bool ShowOptions = false;
    bool ShowToolbar = false;
    bool SI_AutoSpeak = false;
    uint8_t SI_Voice = 0;
    bool SI_ShowBusyDialog = false;
    uint8_t MI_Voice = 0;
    bool ML_AutoDelete = false;
    int32_t ML_VisibleEntries = 0;
    uint8_t ML_ListMode = 0;
    QString TTS_DefaultVoiceName;
    bool TTS_HighlightPosition = false;
    bool TTS_FilterSymbols = false;
    int32_t TTS_AudioDeviceID = 0;
    bool TTS_SoundCardCheckErr = false;
    bool CB_Monitor = false;
    bool CB_Prompt = false;
    int32_t CB_PromptDelay = 0;
    int32_t CB_ThreshHold = 0;
    int32_t CB_PromptTop = 0;
    int32_t CB_PromptLeft = 0;
    uint8_t CB_DfltPromptAction = 0;
    uint8_t CB_LastPromptAction = 0;
    bool CB_ClearOnCopy = false;
    uint8_t OUT_FileDest = 0;
    uint8_t OUT_FileFormat = 0;
    QString OUT_Directory;
    QString OpenDlgInitialDir;
    uint8_t ToolbarOnMinOption = 0;
    bool ToolbarOnTop = false;
    bool FirstTimeUser = false;
    int32_t BitRate = 0;
    bool ShowPronEditWarning = false;
    bool SI_DefaultTitles = false;
    int32_t TTS_WaveConvRate = 0;
    // An SRT subtitle file and an LRC lyrics file are written beside each audio file.
    bool OUT_Subtitles = false;
    // The Ogg Vorbis quality level (-1 to 10) and the Opus bit rate in kbit/s.
    int32_t OUT_VorbisQuality = 0;
    int32_t OUT_OpusBitRate = 0;
    // What single-article mode does when it would remove a list of articles: 0 asks, 1 removes
    // them, 2 switches to multi-article mode instead (the last two as "Do not ask again").
    uint8_t SI_ListRemoval = 0;
    // The copy the articles were kept in at an end when the store could not be written; the
    // next start offers it once.
    QString ML_KeptArticles;

  private:
    static QString makeDefaultOutDir();
    bool multiMode() const { return ML_ListMode == 1; }
};
