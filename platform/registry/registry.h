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
    explicit Registry(RootKey root = RootKey::CurrentUser,
                       RegAccess access = RegAccess::AllAccess);

    // A key starting with "\" is taken from the root, any other relative to the open key.
    bool OpenKey(const QString& key, bool canCreate);
    bool OpenKeyReadOnly(const QString& key);
    void CloseKey();
    QString CurrentPath() const { return path_; }

    bool KeyExists(const QString& key) const;
    bool DeleteKey(const QString& key);
    QStringList GetKeyNames() const;

    bool ValueExists(const QString& name) const;
    RegDataType GetDataType(const QString& name) const;
    int GetDataSize(const QString& name) const;
    QStringList GetValueNames() const;
    bool DeleteValue(const QString& name);

    // Readers raise RegistryException when the value holds data of another type.
    QString ReadString(const QString& name) const;
    int ReadInteger(const QString& name) const;
    bool ReadBool(const QString& name) const;
    double ReadFloat(const QString& name) const;
    QByteArray ReadBinaryData(const QString& name) const;

    // Writers raise RegistryException when no key is open or the key was opened read-only.
    void WriteString(const QString& name, const QString& value);
    void WriteExpandString(const QString& name, const QString& value);
    void WriteInteger(const QString& name, int value);
    void WriteBool(const QString& name, bool value);
    void WriteFloat(const QString& name, double value);
    void WriteBinaryData(const QString& name, const QByteArray& value);

    // Writes pending changes of every root to disk; false when a file could not be written.
    static bool Flush();
    // The file that holds a root's keys.
    static QString StorageFile(RootKey root);

  private:
    struct Value;
    Value readRaw(const QString& name, bool* found) const;
    void writeRaw(const QString& name, const Value& value);
    QString resolvedPath(const QString& key, bool* complete) const;

    RootKey root_;
    RegAccess access_;
    QString path_;  // stored (case-resolved) path of the open key, "" when none is open
    bool open_ = false;
    bool writable_ = false;
};
