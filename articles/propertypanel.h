#pragma once

#include <QFrame>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class VoiceSource;

// The strip across the top of an article: its title, its voice and, in multi-article mode, the
// "Read", "Read to File" and "Delete" buttons.
class TPropertyPanel : public QFrame {
    Q_OBJECT
  public:
    static constexpr int kHeight = 25;

    TPropertyPanel(const VoiceSource* voices, QWidget* parent);

    QString Title() const;
    void SetTitle(const QString& title);
    QString Voice() const;
    // Selects the first item equal to name; no item when none is.
    void SelectVoice(const QString& name);
    void ApplyMultiArticleLayout();
    // Rebuilds the voice box from the catalogue, keeping the chosen voice; once until the panel
    // loses the focus.
    void RefreshVoices();

    bool VoicesFresh = false;
    QLabel* TitleLabel;
    QLineEdit* TitleBox;
    QLabel* VoiceLabel;
    QComboBox* VoiceBox;
    QPushButton* ReadButton;
    QPushButton* ReadToFileButton;
    QPushButton* DeleteButton;

  Q_SIGNALS:
    void readClicked();
    void readToFileClicked();
    void deleteClicked();

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // The title box ends short of where the voice label would stand in the original layout;
    // the voice box and the buttons follow, and the whole strip fits the panel's width.
    void SetTitleBoxWidth(int voiceLabelLeft);
    void TitleEdited();

    const VoiceSource* voices_;
};
