#pragma once

#include <QElapsedTimer>
#include <QTreeWidget>

// The tree of engines and their voices. Typing finds a node by the start of its name or of a
// word in it, inside collapsed engines too, and reveals it. The selection stays visible while
// the tree has no focus.
class VoiceTree : public QTreeWidget {
    Q_OBJECT
  public:
    explicit VoiceTree(QWidget* parent = nullptr);

    // Selects and reveals the first node after `after` (from the top when null), in tree order
    // and wrapping round, whose name matches the text; false when none does.
    bool findNode(const QString& text, QTreeWidgetItem* after = nullptr);
    void keyboardSearch(const QString& search) override;

  Q_SIGNALS:
    // Enter, or Space when no name is being typed, on a node: what a double click does.
    void nodeActivatedByKey(QTreeWidgetItem* node);

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    QString m_typed;  // what was typed within the keyboard's input interval
    QElapsedTimer m_lastKey;
};
