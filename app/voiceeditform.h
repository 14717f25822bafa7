#pragma once

#include <QDialog>

class QLabel;
class QPushButton;
class QSlider;
class VoiceCatalogue;
struct TVoiceEntry;

// Sets one voice's pitch and speed within the limits its engine reports, tries them out loud,
// and returns to the engine's own values. Accepted, the voice holds the new values; rejected,
// it keeps its own. The caller applies and stores them.
class TVoiceEditForm : public QDialog {
    Q_OBJECT
  public:
    static const QString kCaption;

    explicit TVoiceEditForm(const VoiceCatalogue& catalogue, QWidget* parent = nullptr);

    // The voice the next showing edits; not owned.
    void SetVoice(TVoiceEntry* voice) { m_voice = voice; }
    TVoiceEntry* Voice() const { return m_voice; }
    int PendingPitch() const { return m_pendingPitch; }
    int PendingSpeed() const { return m_pendingSpeed; }
    // Why the last showing could not read the voice's limits; empty when it could.
    QString Failure() const { return m_failure; }

    void ResetBtnClick();
    void TestBtnClick();
    void OkBtnClick();
    void CancelBtnClick();

    void done(int result) override;

  Q_SIGNALS:
    // Speak text with the voice; the voice holds the values to try while this is raised.
    void testRequested(const QString& text, const QString& voiceName);

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void FormShow();
    // A slider that follows the user: its label shows every change; its pending value takes
    // the position when a movement ends (the thumb let go, a key, a click on the groove).
    QSlider* MakeSlider(const QString& name, QLabel* valueLabel, int* pending);
    static void SetLimits(QSlider* slider, QLabel* minLabel, QLabel* maxLabel, int minimum,
                          int maximum, int position);

    const VoiceCatalogue& m_catalogue;
    TVoiceEntry* m_voice = nullptr;
    int m_pendingPitch = 0;
    int m_pendingSpeed = 0;
    QString m_failure;

    QLabel* VoiceCaptionLbl = nullptr;
    QSlider* PitchSlider = nullptr;
    QSlider* SpeedSlider = nullptr;
    QLabel* PitchMinLbl = nullptr;
    QLabel* PitchMaxLbl = nullptr;
    QLabel* PitchValLbl = nullptr;
    QLabel* SpeedMinLbl = nullptr;
    QLabel* SpeedMaxLbl = nullptr;
    QLabel* SpeedValLbl = nullptr;
    QPushButton* OkBtn = nullptr;
    QPushButton* ResetBtn = nullptr;
    QPushButton* TestBtn = nullptr;
    QPushButton* CancelBtn = nullptr;
};
