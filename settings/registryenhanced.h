#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVariant>

#include "platform/registry/registry.h"

enum TRootKey {
    hkClassesRoot,
    hkCurrentConfig,
    hkCurrentUser,
    hkDynData,
    hkLocalMachine,
    hkPerformanceData,
    hkUsers
};

enum TAccess { kRead, kWrite, kExecute, kAllAccess };

// Reads and writes one value at a time under Key, converting between stored data and variants.
// Each call opens the registry afresh and keeps nothing open. A name may hold "\"-separated
// parts: all but the last extend Key, the last is the value name.
class TRegistryEnhanced {
  public:
    static constexpr int kBufferSize = 256;

    // Writes by the variant's type; other types write nothing. Raises RegistryException when
    // the key opens but the value cannot be set.
    void WriteValue(const QString& name, const QVariant& value);
    // Text, integer, or for binary data the byte count (the first bytes go to Buffer);
    // defaultValue when the key or value is missing, of another type, or unreadable.
    QVariant ReadValue(const QString& name, const QVariant& defaultValue);
    void GetValueNames(const QString& subKey, QStringList& list);
    bool DeleteValue(const QString& name);

    TRootKey RootKey = hkCurrentUser;
    TAccess Access = kAllAccess;
    QString Key;
    QByteArray Buffer = QByteArray(kBufferSize, '\0');

  private:
    Registry open() const;
    // Key from the root, extended by extraParts.
    QString fullKey(const QStringList& extraParts) const;
    // Splits name into the full key path (from the root) and the value name.
    void split(const QString& name, QString* keyPath, QString* valueName) const;
};
