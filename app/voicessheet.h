#pragma once

#include <QWidget>

#include "app/voicechoices.h"

class QLineEdit;
class QMenu;
class QPushButton;
class QTreeWidgetItem;
class TPreferences;
class VoiceCatalogue;
class VoiceTree;

// The "Engines / Voices" options sheet: the engines grouped by maker with their voices, each
// drawn enabled, disabled or as the default voice, and the commands that change them. The tree
// is built when the sheet is first shown (the catalogue is filled when speech starts) and its
// images are drawn again at every later showing. Editing and testing a voice are the window's:
// the sheet asks for them by signal.
class VoicesSheet : public QWidget {
    Q_OBJECT
  public:
    VoicesSheet(VoiceCatalogue& catalogue, TPreferences& prefs, QWidget* parent = nullptr);

    static QIcon NodeImage(VoiceChoices::Image image);

    void EngineVoicesTabShow();
    void PopupMenu3Popup();
    void EnableItemClick();
    void SetDfltItemClick();
    void EditVoiceItemClick();
    void TestButtonClick();
    VoiceTree* Tree() const { return EngineVoicesTV; }
    QMenu* Menu() const { return PopupMenu3; }

  Q_SIGNALS:
    // Voices or engines were enabled or disabled, or the default voice changed.
    void voicesChanged();
    void editVoiceRequested(const QString& voiceName);
    void testVoiceRequested(const QString& voiceName);

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void BuildTree();
    void RefreshImages();
    // The buttons follow the selected node.
    void SelectionChanged();
    void EngineVoicesTVDblClick(QTreeWidgetItem* node);
    void ShowPopupMenu(const QPoint& position);
    void FindVoiceEdited(const QString& text);
    void FindNextVoice();
    void MoreVoicesClick();
    TVoiceEntry* SelectedVoice() const;
    TEngineEntry* SelectedEngine() const;
    void Changed();

    VoiceCatalogue& m_catalogue;
    TPreferences& m_prefs;
    VoiceChoices m_choices;
    bool m_built = false;
    QLineEdit* m_findEdit = nullptr;
    VoiceTree* EngineVoicesTV = nullptr;
    QPushButton* EnableBtn = nullptr;
    QPushButton* SetDfltBtn = nullptr;
    QPushButton* EditBtn = nullptr;
    QPushButton* TestButton = nullptr;
    QPushButton* m_moreVoices = nullptr;
    QMenu* PopupMenu3 = nullptr;
    QAction* EnableItem = nullptr;
    QAction* SetDfltItem = nullptr;
    QAction* EditVoiceItem = nullptr;
    QAction* TestItem = nullptr;
};
