#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include "platform/registry/registryexception.h"

// The per-user settings registry: keys under a root, each holding typed values. Keys and value
// names are matched without regard to letter case, paths use "\" as separator. Each root is
// stored in one INI file in the user's configuration folder.

enum class RootKey {
    ClassesRoot,
    CurrentConfig,
    CurrentUser,
    DynData,
    LocalMachine,
    PerformanceData,
    Users
};

enum class RegAccess { Read, Write, Execute, AllAccess };

enum class RegDataType { Unknown, String, ExpandString, Integer, Binary };

class Registry {
  public:
    explicit Registry(RootKey root = RootKey::CurrentUser, RegAccess access = RegAccess::AllAccess);

    // A key starting with "\" is taken from the root, any other relative to the open key.
    bool openKey(const QString& key, bool canCreate);
    bool openKeyReadOnly(const QString& key);
    void closeKey();
    QString currentPath() const { return m_path; }

    bool keyExists(const QString& key) const;
    bool deleteKey(const QString& key);
    QStringList keyNames() const;

    bool valueExists(const QString& name) const;
    RegDataType dataType(const QString& name) const;
    int dataSize(const QString& name) const;
    QStringList valueNames() const;
    bool deleteValue(const QString& name);

    // Readers raise RegistryException when the value holds data of another type.
    QString readString(const QString& name) const;
    int readInteger(const QString& name) const;
    bool readBool(const QString& name) const;
    double readFloat(const QString& name) const;
    QByteArray readBinaryData(const QString& name) const;

    // Writers raise RegistryException when no key is open or the key was opened read-only.
    void writeString(const QString& name, const QString& value);
    void writeExpandString(const QString& name, const QString& value);
    void writeInteger(const QString& name, int value);
    void writeBool(const QString& name, bool value);
    void writeFloat(const QString& name, double value);
    void writeBinaryData(const QString& name, const QByteArray& value);

    // Writes pending changes of every root to disk; false when a file could not be written.
    static bool flush();
    // The file that holds a root's keys.
    static QString storageFile(RootKey root);

  private:
    struct Value;
    Value readRaw(const QString& name, bool* found) const;
    void writeRaw(const QString& name, const Value& value);
    QString resolvedPath(const QString& key, bool* complete) const;

    RootKey m_root;
    RegAccess m_access;
    QString m_path;  // stored (case-resolved) path of the open key, "" when none is open
    bool m_open = false;
    bool m_writable = false;
};
