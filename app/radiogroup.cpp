#include "app/radiogroup.h"

#include <QButtonGroup>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

RadioGroup::RadioGroup(const QString& title, const QStringList& items, QWidget* parent)
    : QGroupBox(title, parent), m_buttons(new QButtonGroup(this)) {
    auto* layout = new QVBoxLayout(this);
    for (int i = 0; i < items.size(); ++i) {
        auto* button = new QRadioButton(items[i], this);
        m_buttons->addButton(button, i);
        layout->addWidget(button);
    }
    layout->addStretch();
    connect(m_buttons, &QButtonGroup::idClicked, this, &RadioGroup::itemChosen);
}

int RadioGroup::ItemIndex() const {
    return m_buttons->checkedId();
}

void RadioGroup::SetItemIndex(int index) {
    const QSignalBlocker quiet(m_buttons);
    if (QAbstractButton* button = m_buttons->button(index)) {
        button->setChecked(true);
        return;
    }
    // An exclusive group keeps one button checked; none is chosen for an unknown value.
    m_buttons->setExclusive(false);
    for (QAbstractButton* button : m_buttons->buttons()) {
        button->setChecked(false);
    }
    m_buttons->setExclusive(true);
}
