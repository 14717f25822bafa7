#include "articles/memolistbox.h"

#include <QApplication>
#include <QCoreApplication>
#include <QResizeEvent>
#include <QScrollBar>
#include <cmath>

#include "articles/articletext.h"
#include "articles/documenttextfile.h"
#include "platform/shell/utilsclass.h"
#include "settings/preferences.h"

TMemoListBox::TMemoListBox(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("MemoListBox"));
    CurrentColor = palette().color(QPalette::Base);
    OtherColor = palette().color(QPalette::Button);
    scrollBar_ = new QScrollBar(Qt::Vertical, this);
    scrollBar_->setMinimum(0);
    scrollBar_->setMaximum(0);
    scrollBar_->setPageStep(VisibleEntries);
    scrollBar_->hide();
    client_ = new QWidget(this);
    connect(scrollBar_, &QScrollBar::valueChanged, this, [this](int value) {
        if (!scrolling_) {
            ScrollToTop(value + 1);
        }
    });
}

TMemoListBox::~TMemoListBox() {
    Log(QStringLiteral("MemoListBox - Destroy"));
    qDeleteAll(Entries);
    Entries.clear();
}

QString TMemoListBox::State() const {
    return QStringLiteral(" [%1 %2]").arg(Entries.size()).arg(HiddenCount);
}

void TMemoListBox::Log(const QString& text) const {
    UtilsClass::WriteDebugLine(text + State());
}

void TMemoListBox::Breathe() {
    if (ProcessEvents) {
        ProcessEvents();
    } else {
        QCoreApplication::processEvents();
    }
}

void TMemoListBox::SetVisibleEntries(int count) {
    VisibleEntries = qMax(1, count);
    scrollBar_->setPageStep(VisibleEntries);
}

void TMemoListBox::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const int barWidth = scrollBar_->sizeHint().width();
    scrollBar_->setGeometry(width() - barWidth, 0, barWidth, height());
    client_->setGeometry(0, 0, scrollBar_->isVisible() ? width() - barWidth : width(), height());
    ScrollToFirstShown();
}

void TMemoListBox::SetCurrent(TMemoEntry* entry) {
    if (current_ && current_ != entry) {
        current_->SetColor(OtherColor);
    }
    current_ = entry;
    if (entry) {
        entry->SetColor(CurrentColor);
    }
}

void TMemoListBox::OnEntryHandler(TMemoEntry* entry) {
    Log(QStringLiteral("MemoListBox - OnEntryHandler"));
    SetCurrent(entry);
    ScrollIntoView(entry);
}

void TMemoListBox::ScrollIntoView(TMemoEntry* entry) {
    const int position = int(Entries.indexOf(entry)) + 1;
    if (position < 1 || position > VisibleCount() || !entry->isHidden()) {
        return;
    }
    const int firstShown = scrollBar_->value() + 1;
    ScrollToTop(position < firstShown ? position : qMax(1, position - VisibleEntries + 1));
}

bool TMemoListBox::focusNextPrevChild(bool next) {
    const QWidget* focus = QApplication::focusWidget();
    int position = -1;
    for (int i = 0; i < VisibleCount() && focus; ++i) {
        if (Entries[i]->isAncestorOf(focus)) {
            position = i;
        }
    }
    if (position < 0) {
        return QWidget::focusNextPrevChild(next);
    }
    const Qt::FocusReason reason = next ? Qt::TabFocusReason : Qt::BacktabFocusReason;
    const QList<QWidget*> order = Entries[position]->FocusOrder();
    qsizetype index = -1;
    for (qsizetype i = 0; i < order.size(); ++i) {
        if (order[i] == focus || order[i]->isAncestorOf(focus)) {
            index = i;
        }
    }
    const qsizetype following = index + (next ? 1 : -1);
    if (index >= 0 && following >= 0 && following < order.size()) {
        order[following]->setFocus(reason);
        return true;
    }
    const int neighbour = position + (next ? 1 : -1);
    if (index < 0 || neighbour < 0 || neighbour >= VisibleCount()) {
        return QWidget::focusNextPrevChild(next);  // on out of the list
    }
    TMemoEntry* entry = Entries[neighbour];
    ScrollIntoView(entry);
    const QList<QWidget*> neighbourOrder = entry->FocusOrder();
    if (neighbourOrder.isEmpty()) {
        return QWidget::focusNextPrevChild(next);
    }
    (next ? neighbourOrder.first() : neighbourOrder.last())->setFocus(reason);
    return true;
}

TMemoEntry* TMemoListBox::Add(const QString& text, const QString& voiceName) {
    // An import logs its start and end, not each of its articles: a line per article would
    // cost more than the article.
    if (!Importing) {
        Log(QStringLiteral("MemoListBox - Add"));
    }
    if (Entries.isEmpty()) {
        HiddenCount = 0;
    }
    TMemoEntry* entry = nullptr;
    // An import only ever fills the entry it has just added, so the entries before the last
    // one found not blank are not looked at again: the import stays linear in its length.
    const int first = Importing ? qMin(blankSearchStart_, VisibleCount()) : 0;
    for (int i = first; i < VisibleCount(); ++i) {
        if (ArticleText::IsBlank(Entries[i]->GetArticleText())) {
            entry = Entries[i];
            blankSearchStart_ = i;
            break;
        }
    }
    if (!entry) {
        if (ListMode == 0) {
            // The article a new one replaces is gone for good, with the text of a document
            // (DeleteAll refuses, and so keeps every file, while one is being read).
            const QStringList replaced = ArticleTexts();
            DeleteAll();
            for (const QString& text : replaced) {
                DocumentTextFile::removeForArticle(text);
            }
        }
        entry = new TMemoEntry(Voices, client_);
        entry->hide();
        if (ListMode == 1) {
            entry->ApplyMultiArticleLayout();
        }
        entry->resize(client_->width(), entry->height());
        // An article that names no voice is read with the default voice: it shows that one.
        const QString defaultVoice = Prefs ? Prefs->TTS_DefaultVoiceName : QString();
        if (voiceName.isEmpty() && !defaultVoice.isEmpty()) {
            entry->FollowDefaultVoice(defaultVoice);
        } else {
            entry->SelectVoice(voiceName);
        }
        if (HiddenCount > 0) {
            Log(QStringLiteral("Inserting entry at position %1").arg(VisibleCount()));
            Entries.insert(VisibleCount(), entry);
        } else {
            Entries.append(entry);
            if (!Importing) {
                Log(QStringLiteral("Added entry at position %1").arg(Entries.size() - 1));
            }
        }
        connect(entry, &TMemoEntry::focused, this, &TMemoListBox::OnEntryHandler);
        connect(entry, &TMemoEntry::pasteRefused, this, &TMemoListBox::pasteRefused);
        blankSearchStart_ = VisibleCount() - 1;  // the new entry: the last one not hidden
    }
    entry->SetArticleText(text);
    if (Prefs ? Prefs->DefaultTitles() : true) {
        // An article begun empty is typed or pasted into: its title follows what it gets.
        if (ArticleText::IsBlank(text)) {
            entry->FollowTextWithTitle(TitleLength);
        } else {
            entry->SetDefaultTitle(TitleLength);
        }
    } else {
        entry->SetTitle(LastTitle);
    }
    SetCurrent(entry);
    // An import lays the list out once, at its end, instead of after every article.
    if (!Importing) {
        ShowLastPage();
    }
    if (isVisible()) {
        entry->FocusEditor();
    }
    return entry;
}

void TMemoListBox::ShowLastPage() {
    const int n = VisibleCount();
    scrolling_ = true;
    scrollBar_->setMaximum(VisibleEntries < n ? n - VisibleEntries : qMax(0, n - 1));
    scrolling_ = false;
    ScrollToTop(VisibleEntries < n ? n - VisibleEntries + 1 : 1);
}

void TMemoListBox::MarkEntry(int position) {
    Log(QStringLiteral("MemoListBox - MarkEntry"));
    if (position < 1 || position > VisibleCount()) {
        return;
    }
    for (int i = 0; i < VisibleCount(); ++i) {
        if (i != position - 1) {
            Entries[i]->SetColor(OtherColor);
        }
    }
    TMemoEntry* entry = Entries[position - 1];
    current_ = nullptr;
    SetCurrent(entry);
    if (!entry->isHidden()) {
        entry->FocusEditor();
    } else {
        ScrollToTop(position > VisibleEntries ? position - VisibleEntries + 1 : 1);
        Breathe();
    }
}

Outcome TMemoListBox::DeleteSelected() {
    Log(QStringLiteral("MemoListBox - DeleteSelected"));
    if (!current_) {
        QApplication::beep();
        return Outcome::failure(QStringLiteral("No rows are currently selected"));
    }
    DeleteMemoEntry(current_);
    current_ = nullptr;
    DeleteHiddenEntries();
    return Outcome::success();
}

void TMemoListBox::FreeEntry(TMemoEntry* entry) {
    if (entry == current_) {
        current_ = nullptr;
    }
    Entries.removeOne(entry);
    entry->hide();
    entry->deleteLater();
}

void TMemoListBox::LowerScrollMaximum() {
    if (VisibleEntries < VisibleCount()) {
        scrollBar_->setMaximum(qMax(0, scrollBar_->maximum() - 1));
    }
}

void TMemoListBox::DeleteMemoEntry(TMemoEntry* entry) {
    Log(QStringLiteral("MemoListBox - DeleteMemoEntry"));
    if (entry->Locked) {
        throw EMemoEntryLocked();
    }
    UtilsClass::WriteDebugLine(
        QStringLiteral("MemoListBox - Deleting position %1").arg(FindEntry(entry) - 1));
    LastTitle = entry->Title();
    DocumentTextFile::removeForArticle(entry->GetArticleText());
    FreeEntry(entry);
    if (VisibleCount() > 0) {
        ScrollToTop(1);
        LowerScrollMaximum();
    }
}

void TMemoListBox::DeleteAll() {
    Log(QStringLiteral("MemoListBox - DeleteAll"));
    if (Entries.isEmpty()) {
        Log(QStringLiteral("MemoListBox - DeleteAll - Empty List"));
        current_ = nullptr;
        return;
    }
    // Nothing is freed when one of the entries is being read.
    for (TMemoEntry* entry : Entries) {
        if (entry->Locked) {
            throw EMemoEntryLocked();
        }
    }
    for (TMemoEntry* entry : Entries) {
        LastTitle = entry->Title();
        if (entry->Hidden) {
            // A deleted article waiting to be freed: the list keeps it no longer, nor the
            // text of a document it stood for.
            DocumentTextFile::removeForArticle(entry->GetArticleText());
        }
        entry->hide();
        entry->deleteLater();
    }
    Entries.clear();
    current_ = nullptr;
    HiddenCount = 0;
}

QStringList TMemoListBox::ArticleTexts() const {
    QStringList texts;
    for (const TMemoEntry* entry : Entries) {
        texts << entry->GetArticleText();
    }
    return texts;
}

void TMemoListBox::FollowDefaultVoice(const QString& name) {
    for (TMemoEntry* entry : Entries) {
        if (entry->FollowsDefaultVoice()) {
            entry->FollowDefaultVoice(name);
        }
    }
}

void TMemoListBox::ScrollToTop(int position) {
    Log(QStringLiteral("MemoListBox - ScrollToTop(%1)").arg(position));
    const int n = VisibleCount();
    if (n == 0) {
        return;
    }
    const bool paging = VisibleEntries < n;
    scrollBar_->setVisible(paging);
    const int barWidth = scrollBar_->sizeHint().width();
    client_->setGeometry(0, 0, paging ? width() - barWidth : width(), height());
    // The nearest whole pixel height, a tie going to the even one.
    entryHeight_ = int(std::nearbyint(double(client_->height()) / (paging ? VisibleEntries : n)));
    int top = 0;
    for (int i = 1; i <= n; ++i) {
        TMemoEntry* entry = Entries[i - 1];
        // Counted in 64 bits: any number of entries may be asked to share the height.
        if (i >= position && qint64(i) - position < VisibleEntries) {
            entry->setGeometry(0, top, client_->width(), entryHeight_);
            entry->show();
            top += entryHeight_;
        } else {
            entry->hide();
        }
    }
    scrolling_ = true;
    scrollBar_->setValue(position - 1);
    scrolling_ = false;
}

int TMemoListBox::FindEntry(TMemoEntry* entry) {
    Log(QStringLiteral("MemoListBox - FindEntry"));
    const qsizetype index = Entries.indexOf(entry);
    if (index < 0) {
        Log(QStringLiteral("FindEntry Failed"));
        return 0;
    }
    UtilsClass::WriteDebugLine(QStringLiteral("MemoListBox - Found position %1").arg(index));
    return int(index) + 1;
}

void TMemoListBox::UnlockAllEntries() {
    Log(QStringLiteral("MemoListBox - UnlockAllEntries"));
    for (TMemoEntry* entry : Entries) {
        entry->Locked = false;
    }
}

void TMemoListBox::HideEntry(TMemoEntry* entry) {
    Log(QStringLiteral("MemoListBox - HideEntry"));
    if (entry->Locked) {
        throw EMemoEntryLocked();
    }
    if (entry == current_) {
        current_ = nullptr;
    }
    ++HiddenCount;
    entry->Hidden = true;
    entry->hide();
    Entries.removeOne(entry);
    Entries.append(entry);
    ScrollToTop(1);
    LowerScrollMaximum();
}

void TMemoListBox::DeleteHiddenEntries() {
    Log(QStringLiteral("MemoListBox - DeleteHiddenEntries"));
    for (int i = 0; i < HiddenCount && !Entries.isEmpty(); ++i) {
        if (Entries.last()->Hidden) {
            DocumentTextFile::removeForArticle(Entries.last()->GetArticleText());
            FreeEntry(Entries.last());
        }
    }
    HiddenCount = 0;
}

void TMemoListBox::DeleteBlankEntries() {
    Log(QStringLiteral("MemoListBox - DeleteBlankEntries"));
    DeleteHiddenEntries();
    const qsizetype rounds = Entries.size();
    for (qsizetype i = 0; i < rounds && !Entries.isEmpty(); ++i) {
        if (!ArticleText::IsBlank(Entries.last()->GetArticleText())) {
            break;  // the last entry with text: the blank ones before it stay
        }
        if (Entries.last()->Locked) {
            break;
        }
        FreeEntry(Entries.last());
    }
}

void TMemoListBox::ScrollToFirstShown() {
    for (int i = 0; i < VisibleCount(); ++i) {
        if (!Entries[i]->isHidden()) {
            ScrollToTop(i + 1);
            return;
        }
    }
}
