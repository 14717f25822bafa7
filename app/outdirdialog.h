#pragma once

#include <QDialog>

class QFileSystemModel;
class QLabel;
class QListWidget;
class QPushButton;
class QTreeView;
class TPreferences;

// "Select Output Directory": the folders on the left, the sound files of the selected folder
// (every format the program writes) on the right. OK stores the selected folder in "OUT_Directory".
class TOutDirDialog : public QDialog {
    Q_OBJECT
  public:
    TOutDirDialog(TPreferences& prefs, QWidget* parent = nullptr);

    // The folder selected in the folder list; empty when none is.
    QString SelectedDirectory() const;
    // Selects a folder, or the nearest folder above it that exists.
    void SelectDirectory(const QString& folder);
    // Files listed for the selected folder.
    QStringList ListedFiles() const;

  public Q_SLOTS:
    void done(int result) override;

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void DirectoryChanged();
    // Scrolls the folder list to the selected folder.
    void RevealSelected();
    void ScheduleReveal();
    void ShowCurrentDirectory();
    void NewFolderClick();
    void OKBtnClick();

    TPreferences& m_prefs;
    QFileSystemModel* m_folders = nullptr;
    QTreeView* DirectoryListBox1 = nullptr;
    QListWidget* FileListBox1 = nullptr;
    QLabel* m_currentDirectory = nullptr;
    QPushButton* OKBtn = nullptr;
    QPushButton* CancelBtn = nullptr;
    QPushButton* NewFolderBtn = nullptr;
    // The list follows the selected folder while its parents are still being read.
    bool m_revealing = false;
};
