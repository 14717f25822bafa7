// Single-article mode keeps one article: before it removes a list of articles, the user is
// asked (or what the user chose for good is done), and nothing is removed without a word.
#include <QApplication>
#include <QScopedValueRollback>

#include "app/form1.h"
#include "app/listremovalquestion.h"
#include "articles/articletext.h"
#include "articles/memoentry.h"
#include "articles/memolistbox.h"
#include "platform/shell/debuglog.h"

namespace {

// The stored answers of "Do not ask again" (SI_ListRemoval).
enum class Chosen : uint8_t { Ask = 0, Remove = 1, SwitchToMulti = 2 };

}  // namespace

int TForm1::ArticlesAnAddRemoves() const {
    if (m_list->ListMode != 0) {
        return 0;
    }
    for (int i = 0; i < m_list->VisibleCount(); ++i) {
        if (ArticleText::IsBlank(m_list->Entries[i]->GetArticleText())) {
            return 0;  // a blank article takes the new one
        }
    }
    return m_list->VisibleCount();
}

bool TForm1::MayAddArticle(const std::function<void()>& retry) {
    // One article going is what the mode is for; a list going is asked about.
    const int removed = ArticlesAnAddRemoves();
    if (m_removalAllowed || removed < 2) {
        return true;
    }
    const Chosen chosen = Chosen(m_prefs->SI_ListRemoval);
    if (chosen == Chosen::Remove) {
        return true;
    }
    if (chosen == Chosen::SwitchToMulti) {
        SwitchMode(1);
        if (m_list->ListMode == 1) {
            return true;
        }
    }
    AskListRemoval(removed, true, [this, retry](ListRemovalQuestion::Answer answer) {
        if (answer == ListRemovalQuestion::Answer::SwitchToMulti) {
            SwitchMode(1);
        }
        if (answer != ListRemovalQuestion::Answer::Cancel) {
            const QScopedValueRollback allowed(m_removalAllowed, true);
            retry();
        }
    });
    return false;
}

bool TForm1::MaySwitchToSingle() {
    int others = -1;  // the one article kept is not counted
    for (int i = 0; i < m_list->VisibleCount(); ++i) {
        others += ArticleText::IsBlank(m_list->Entries[i]->GetArticleText()) ? 0 : 1;
    }
    if (m_removalAllowed || others < 1 || Chosen(m_prefs->SI_ListRemoval) == Chosen::Remove) {
        return true;
    }
    // Keeping the list means staying in multi-article mode: Cancel says that.
    AskListRemoval(others, false, [this](ListRemovalQuestion::Answer answer) {
        if (answer == ListRemovalQuestion::Answer::Remove) {
            const QScopedValueRollback allowed(m_removalAllowed, true);
            SwitchMode(0);
        }
    });
    return false;
}

void TForm1::AskListRemoval(int others, bool offerMultiArticle,
                            const std::function<void(ListRemovalQuestion::Answer)>& then) {
    if (m_removalQuestion) {
        QApplication::beep();  // one question at a time: the first is still open
        return;
    }
    debugLog(QStringLiteral("Asking before removing %1 articles").arg(others));
    m_removalQuestion = new ListRemovalQuestion(others, offerMultiArticle, this);
    connect(m_removalQuestion, &ListRemovalQuestion::answered, this,
            [this, then](ListRemovalQuestion::Answer answer, bool remember) {
                m_removalQuestion.clear();  // answered: the next question may come
                if (remember) {
                    m_prefs->SI_ListRemoval = uint8_t(answer == ListRemovalQuestion::Answer::Remove
                                                          ? Chosen::Remove
                                                          : Chosen::SwitchToMulti);
                }
                then(answer);
            });
    m_removalQuestion->open();
}

void TForm1::KeepOneArticle() {
    // The article being read stays (it cannot go), else the one the user is on.
    TMemoEntry* kept = ReadingEntry();
    TMemoEntry* current = m_list->CurrentEntry();
    if (!kept && current && !current->Hidden && !ArticleText::IsBlank(current->GetArticleText())) {
        kept = current;
    }
    for (int i = 0; !kept && i < m_list->VisibleCount(); ++i) {
        if (!ArticleText::IsBlank(m_list->Entries[i]->GetArticleText())) {
            kept = m_list->Entries[i];
        }
    }
    const QList<TMemoEntry*> entries = m_list->Entries.mid(0, m_list->VisibleCount());
    for (TMemoEntry* entry : entries) {
        if (entry != kept && !entry->Locked) {
            m_list->DeleteMemoEntry(entry);
        }
    }
}
