#pragma once

#include <QHash>
#include <QSettings>
#include <QString>
#include <QStringList>
#include <QVariant>

#include "platform/registry/registry.h"

// Storage of one registry root: a QSettings INI file whose groups are keys. Names are escaped so
// that the separators QSettings reserves ("/" and "\") can occur in them, and looked up without
// regard to letter case.
class RegistryHive {
  public:
    static RegistryHive& of(RootKey root);
    static bool flushAll();
    static QString fileName(RootKey root);

    // Case-resolved stored path of a "\"-separated key; missing parts keep the given spelling.
    // complete is set to whether every part exists.
    QString resolve(const QString& key, bool* complete);

    QStringList subkeys(const QString& path);
    QStringList valueNames(const QString& path);
    // Stored name of a value in a key, matched without regard to case; empty when missing.
    QString findValue(const QString& path, const QString& name);
    QVariant read(const QString& path, const QString& storedName);
    void write(const QString& path, const QString& name, const QVariant& data);
    void remove(const QString& path, const QString& storedName);
    void removeKey(const QString& path);
    bool keyExists(const QString& path);
    bool flush();

  private:
    explicit RegistryHive(const QString& file);
    static QString encode(const QString& name);
    static QString decode(const QString& stored);
    QString settingsKey(const QString& path, const QString& storedName) const;
    QString group(const QString& path) const;

    // The names in one key, as stored and by their lower-case form. Listing a key walks every
    // entry of the file, so the lists are kept until the hive changes: reading a few hundred
    // values then costs one listing per key instead of one per value.
    struct Names {
        QStringList stored;
        QHash<QString, QString> byFolded;
    };
    enum class NameKind { Values, Subkeys };
    const Names& names(const QString& path, NameKind kind);
    void forgetNames();

    QSettings m_settings;
    QHash<QString, Names> m_valueNames;
    QHash<QString, Names> m_subkeyNames;
};
