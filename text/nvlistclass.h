#pragma once

#include <QString>
#include <QStringList>

// Named values of one section, in insertion order; names are matched without regard to case.
class NVListClass {
  public:
    // Replaces the value of an existing name in place, or appends a new one.
    void SetValue(const QString& name, const QString& value);
    // Index of a name, -1 when absent.
    qsizetype indexOf(const QString& name) const;
    QString GetValue(const QString& name) const;
    qsizetype count() const { return Names.size(); }

    QStringList Names;
    QStringList Values;
};
