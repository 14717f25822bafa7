#pragma once

#include <QAccessible>
#include <QWidget>

// Whether assistive tools can tell what a control is: by its own name, or by the label tied to
// it (which screen readers on this platform read for combo boxes, whose name is their value).
inline bool HasAccessibleName(QAccessibleInterface* node) {
    if (!node) {
        return false;
    }
    if (!node->text(QAccessible::Name).trimmed().isEmpty()) {
        return true;
    }
    for (const auto& [label, relation] : node->relations(QAccessible::Label)) {
        if (label && !label->text(QAccessible::Name).trimmed().isEmpty()) {
            return true;
        }
    }
    return false;
}

inline bool HasAccessibleName(QWidget* control) {
    return HasAccessibleName(QAccessible::queryAccessibleInterface(control));
}
