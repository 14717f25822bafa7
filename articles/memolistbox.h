#pragma once

#include <QColor>
#include <QList>
#include <QStringList>
#include <QWidget>
#include <cstdint>
#include <functional>

#include "articles/ememoentrylocked.h"
#include "articles/memoentry.h"
#include "platform/shell/outcome.h"

class QMenu;
class QScrollBar;
class TPreferences;
class VoiceSource;

// The article list: a stack of article entries of which VisibleEntries share the height of the
// control, paged through with a scroll bar. Positions are 1-based among the entries that are not
// hidden; hidden entries wait at the end of Entries until they are freed.
class TMemoListBox : public QWidget {
    Q_OBJECT
  public:
    explicit TMemoListBox(QWidget* parent = nullptr);
    ~TMemoListBox() override;

    void SetVisibleEntries(int count);
    // Reuses a blank visible entry, or creates one (after removing all others in single-article
    // mode); raises EMemoEntryLocked when an entry being read would be removed.
    TMemoEntry* Add(const QString& text, const QString& voiceName);
    void MarkEntry(int position);
    // Deletes the current entry. Without one it beeps and fails with the message for the caller
    // to show; raises EMemoEntryLocked when the current entry is being read.
    Outcome DeleteSelected();
    void DeleteMemoEntry(TMemoEntry* entry);
    // Frees every entry; raises EMemoEntryLocked, before freeing anything, if one is being read.
    void DeleteAll();
    // The text of every entry, hidden ones included.
    QStringList ArticleTexts() const;
    // The default voice changed: the articles that name no voice of their own show the new one.
    void FollowDefaultVoice(const QString& name);
    void ScrollToTop(int position);
    int FindEntry(TMemoEntry* entry);
    void UnlockAllEntries();
    void HideEntry(TMemoEntry* entry);
    void DeleteHiddenEntries();
    void DeleteBlankEntries();
    TMemoEntry* CurrentEntry() const { return current_; }
    int VisibleCount() const { return int(Entries.size()) - HiddenCount; }
    void ScrollToFirstShown();
    // Scrolls the list so the entry is on the page shown, when it is not.
    void ScrollIntoView(TMemoEntry* entry);

    // Writes the visible entries to the store file; false when it could not be written (the
    // previous file is then kept, and error says why; it stays empty when an export already in
    // progress made this one wait for the next).
    bool ExportList(const QString& fileName, QString* error = nullptr);
    // What an import has to tell the user, for the caller to show; each is empty when there is
    // nothing to say.
    struct ImportMessages {
        QString notice;  // damaged content in the store file, and where a copy was kept
        QString error;   // why the import stopped before the last article
        // CancelImport stopped it before the last article.
        bool cancelled = false;
    };
    // Adds the articles of a store file; each entry gets the menu and the three handlers.
    // Stops after the article being added when CancelImport is called meanwhile (from the
    // events the import lets through); the articles added so far stay in the list.
    ImportMessages ImportList(const QString& fileName, QMenu* menu,
                              const TMemoEntry::Handler& onDelete,
                              const TMemoEntry::Handler& onReadToFile,
                              const TMemoEntry::Handler& onRead);
    // Asks an import in progress to stop; nothing when none is.
    void CancelImport() { importCancelled_ = Importing; }
    // The last import was cancelled: the list holds only part of the store, which must not
    // replace it.
    bool ImportCancelled() const { return importCancelled_; }

    // Entry height of the current layout, 0 before the first one.
    int EntryHeight() const { return entryHeight_; }
    QScrollBar* ScrollBar() const { return scrollBar_; }
    QWidget* ClientPanel() const { return client_; }

    QList<TMemoEntry*> Entries;
    int HiddenCount = 0;
    int VisibleEntries = 1;
    uint8_t ListMode = 0;
    QString LastTitle = QStringLiteral(" ");
    int TitleLength = 20;
    QColor CurrentColor;
    QColor OtherColor;
    bool Exporting = false;
    bool Importing = false;

    const TPreferences* Prefs = nullptr;
    const VoiceSource* Voices = nullptr;
    // Lets the window process pending messages during long operations.
    std::function<void()> ProcessEvents;

  Q_SIGNALS:
    // An article's editor refused a paste: it cannot be changed.
    void pasteRefused(TMemoEntry* entry);

  protected:
    void resizeEvent(QResizeEvent* event) override;
    // Tab walks the articles in list order, each from its title to its text, scrolling the
    // next one into view.
    bool focusNextPrevChild(bool next) override;

  private:
    void Log(const QString& text) const;
    QString State() const;
    void OnEntryHandler(TMemoEntry* entry);
    void SetCurrent(TMemoEntry* entry);
    void FreeEntry(TMemoEntry* entry);
    void LowerScrollMaximum();
    // Scroll bar range and layout for the list's last page, as after adding an article.
    void ShowLastPage();
    void Breathe();

    QScrollBar* scrollBar_;
    QWidget* client_;
    TMemoEntry* current_ = nullptr;
    int entryHeight_ = 0;
    bool scrolling_ = false;
    bool importCancelled_ = false;
    // During an import, the first entry that may still be blank.
    int blankSearchStart_ = 0;
};
