#pragma once

#include <QHash>
#include <QString>
#include <QVariant>
#include <memory>
#include <vector>

#include "platform/shell/outcome.h"
#include "settings/baseregclass.h"

// An ordered list of typed, named settings read from and written to the product's key under
// "Software\HalcyxTech".
class TBaseRegistryClass {
  public:
    static const QString kMakerKey;       // "Software\HalcyxTech"
    static const QString kMissingMarker;  // a stored text that counts as missing

    TBaseRegistryClass() = default;
    virtual ~TBaseRegistryClass() = default;
    TBaseRegistryClass(const TBaseRegistryClass&) = delete;
    TBaseRegistryClass& operator=(const TBaseRegistryClass&) = delete;

    // A type outside RegType registers nothing.
    void RegisterValue(const QString& name, RegLocation location, const QString& alternateName,
                       const QVariant& defaultValue, RegType type);
    // Every registered value from the store; a missing one takes its default.
    void ReadAll();
    // Every current value to the store, as text; false when the store could not be saved.
    bool WriteAll();

    // The current value of the first item with this name in any letter case. An unknown name
    // reads and changes nothing and fails with "No such registry item as name between
    // equals =<name>=", for the caller to show.
    Outcome GetValue(const QString& name, QVariant& value) const;
    Outcome SetValue(const QString& name, const QVariant& value);
    // The current value by name; for an unknown name an invalid variant, and the failure goes
    // to the debug log.
    QVariant GetValue(const QString& name) const;

    virtual QString Version() const { return QStringLiteral("0.0"); }

    QString ProductSubKey = QStringLiteral("change this");
    const std::vector<std::unique_ptr<BaseRegClass>>& items() const { return m_values; }

  protected:
    BaseRegClass* findItem(const QString& name) const;

  private:
    QString keyFor(const BaseRegClass& item) const;
    void readItem(BaseRegClass& item);
    void readList(regList& list);
    void writeList(const regList& list);
    static Outcome unknownName(const QString& name);

    std::vector<std::unique_ptr<BaseRegClass>> m_values;
    // The first item of each name, by its upper-case form: several hundred voice settings are
    // looked up by name at every start.
    QHash<QString, BaseRegClass*> m_byName;
};
