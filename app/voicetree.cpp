#include "app/voicetree.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTreeWidgetItemIterator>

#include "app/voicechoices.h"

VoiceTree::VoiceTree(QWidget* parent) : QTreeWidget(parent) {
    // Kept visible while another control has the focus, as the buttons act on it.
    QPalette colours = palette();
    colours.setColor(QPalette::Inactive, QPalette::Highlight,
                     colours.color(QPalette::Active, QPalette::Highlight));
    colours.setColor(QPalette::Inactive, QPalette::HighlightedText,
                     colours.color(QPalette::Active, QPalette::HighlightedText));
    setPalette(colours);
}

bool VoiceTree::findNode(const QString& text, QTreeWidgetItem* after) {
    QList<QTreeWidgetItem*> nodes;
    for (QTreeWidgetItemIterator it(this); *it; ++it) {
        nodes << *it;
    }
    const qsizetype start = after ? nodes.indexOf(after) + 1 : 0;
    for (qsizetype step = 0; step < nodes.size(); ++step) {
        QTreeWidgetItem* node = nodes.at((start + step) % nodes.size());
        if (VoiceChoices::nameMatches(node->text(0), text)) {
            if (node->parent()) {
                node->parent()->setExpanded(true);
            }
            setCurrentItem(node);
            scrollToItem(node);
            return true;
        }
    }
    return false;
}

void VoiceTree::keyboardSearch(const QString& search) {
    if (search.isEmpty()) {
        m_typed.clear();
        return;
    }
    if (!m_lastKey.isValid() || m_lastKey.elapsed() > QApplication::keyboardInputInterval()) {
        m_typed.clear();
    }
    m_lastKey.start();
    // A first letter moves on to the next match; more letters refine the current one.
    QTreeWidgetItem* current = currentItem();
    QTreeWidgetItem* after = current;
    if (!m_typed.isEmpty() && current) {
        QTreeWidgetItem* previous = current;
        after = nullptr;
        for (QTreeWidgetItemIterator it(this); *it; ++it) {
            if (*it == previous) {
                break;
            }
            after = *it;
        }
    }
    m_typed += search;
    if (!findNode(m_typed, after) && m_typed.size() > search.size()) {
        // Nothing goes on with the letters typed so far: start again from this key.
        m_typed = search;
        findNode(m_typed, current);
    }
}

void VoiceTree::keyPressEvent(QKeyEvent* event) {
    const bool typing = m_lastKey.isValid() && !m_typed.isEmpty() &&
                        m_lastKey.elapsed() <= QApplication::keyboardInputInterval();
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (currentItem() && (enter || (event->key() == Qt::Key_Space && !typing))) {
        QTreeWidgetItem* node = currentItem();
        if (node->childCount() > 0) {
            node->setExpanded(!node->isExpanded());  // an engine opens or closes
        } else {
            Q_EMIT nodeActivatedByKey(node);
        }
        event->accept();
        return;
    }
    QTreeWidget::keyPressEvent(event);
}
