#pragma once

#include <QColor>
#include <QFrame>
#include <QPointer>
#include <functional>

class QKeyEvent;
class QMenu;
class TMyPlusMemo;
class TPropertyPanel;
class VoiceSource;

// One article on screen: its property panel over its text editor. The two are built when the
// entry is first shown or used, so a long list costs little until it is paged through; until
// then the entry keeps title, voice and text itself.
class TMemoEntry : public QFrame {
    Q_OBJECT
  public:
    using Handler = std::function<void(TMemoEntry*)>;

    TMemoEntry(const VoiceSource* voices, QWidget* parent);
    ~TMemoEntry() override;

    TPropertyPanel* PropertyPanel();
    TMyPlusMemo* Editor();
    bool HasWidgets() const { return built_; }

    QString Title() const;
    void SetTitle(const QString& title);
    QString Voice() const;
    // Selects the first voice of the voice box equal to name (none when no item is).
    void SelectVoice(const QString& name);
    // Shows the default voice, which reads an article that names none, also when the voice box
    // does not offer it.
    void SelectDefaultVoice(const QString& name);
    // The article names no voice of its own: it shows the default voice, name, and follows it
    // when the default changes, until a voice of its own is chosen in its voice box.
    void FollowDefaultVoice(const QString& name);
    bool FollowsDefaultVoice() const;
    // The voice the article names itself, as the store keeps it and a reading asks for it;
    // empty while it follows the default voice.
    QString OwnVoice() const;
    QString GetArticleText() const;
    void SetArticleText(const QString& text);
    int LineCount() const;

    void SetColor(const QColor& color);
    void SetDefaultTitle(int limit);
    void SetDefaultTitleFrom(const QString& text, int limit);
    // The title is made from the text (up to limit characters) now and again whenever the text
    // changes, typed or pasted, until a title is set otherwise or typed in the title box.
    void FollowTextWithTitle(int limit);
    bool TitleFollowsText() const { return followLimit_ > 0; }
    bool FileEntry() const { return fileEntry_; }
    // The book a chapter article was opened from: its files carry it as their album. Kept for
    // this run only; empty for other articles.
    QString Album() const { return album_; }
    void SetAlbum(const QString& album) { album_ = album; }
    void SetFileEntry(bool fileEntry);
    void FocusProperties();
    void FocusEditor();
    // The controls that Tab visits, in order: title, voice, the buttons shown, the editor.
    QList<QWidget*> FocusOrder();
    void ApplyMultiArticleLayout();
    void SetContextMenu(QMenu* menu);
    // Appends the lines of a text file to the text; false when the file cannot be opened.
    // When the file breaks off while it is read, what was read is kept and readError says so,
    // for the caller to show.
    bool LoadFromFile(const QString& fileName, QString& readError);

    bool Locked = false;
    bool Hidden = false;
    Handler OnRead;
    Handler OnReadToFile;
    Handler OnDelete;

  Q_SIGNALS:
    void focused(TMemoEntry* entry);
    // The user pasted into the editor while it cannot be changed (a file article, a text shown
    // in pieces): nothing was pasted.
    void pasteRefused(TMemoEntry* entry);

  protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void Build();
    void NameEditor();
    // A file article, or a text shown in pieces, cannot be edited.
    void UpdateReadOnly();
    // Keys of the editor: Ctrl+Tab inserts a tab, Shift+F10 opens the article menu.
    bool EditorKeyPress(QKeyEvent* event);
    void ShowTitle(const QString& title);
    void FollowText();

    const VoiceSource* voices_;
    bool built_ = false;
    bool multiLayout_ = false;
    bool fileEntry_ = false;
    QString title_;
    QString voice_;
    QString m_defaultVoice;  // the default voice shown for an article that names none
    QString text_;
    QColor color_;
    QPointer<QMenu> menu_;
    TPropertyPanel* panel_ = nullptr;
    TMyPlusMemo* editor_ = nullptr;
    QString album_;
    int followLimit_ = 0;  // the title is made from the text while it is above 0
};
