#pragma once

#include <QMessageBox>

// The question asked before single-article mode removes a list of articles: remove them, keep
// them by switching to multi-article mode (where that is a way on), or leave everything as it
// is. Window-modal and answered through a signal, so nothing waits for it.
class ListRemovalQuestion : public QMessageBox {
    Q_OBJECT
  public:
    enum class Answer { Remove, SwitchToMulti, Cancel };

    // others: how many articles would go.
    ListRemovalQuestion(int others, bool offerMultiArticle, QWidget* parent);

  Q_SIGNALS:
    // remember: "Do not ask again" was checked; never with Cancel.
    void answered(ListRemovalQuestion::Answer answer, bool remember);

  private:
    void Finish();

    QAbstractButton* m_remove = nullptr;
    QAbstractButton* m_multi = nullptr;
};
