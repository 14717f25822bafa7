#pragma once

#include <QGroupBox>
#include <QStringList>

class QButtonGroup;

// A titled group of exclusive choices that stand for a setting's item index.
class RadioGroup : public QGroupBox {
    Q_OBJECT
  public:
    RadioGroup(const QString& title, const QStringList& items, QWidget* parent = nullptr);

    int ItemIndex() const;
    // Selects an item without telling itemChosen; an index out of range selects none.
    void SetItemIndex(int index);

  Q_SIGNALS:
    // The user chose the item at this index.
    void itemChosen(int index);

  private:
    QButtonGroup* m_buttons = nullptr;
};
