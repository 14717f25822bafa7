#include "platform/registry/registryhive.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <map>
#include <memory>

namespace {

QString rootName(RootKey root) {
    switch (root) {
        case RootKey::ClassesRoot:
            return QStringLiteral("HKEY_CLASSES_ROOT");
        case RootKey::CurrentConfig:
            return QStringLiteral("HKEY_CURRENT_CONFIG");
        case RootKey::CurrentUser:
            return QStringLiteral("HKEY_CURRENT_USER");
        case RootKey::DynData:
            return QStringLiteral("HKEY_DYN_DATA");
        case RootKey::LocalMachine:
            return QStringLiteral("HKEY_LOCAL_MACHINE");
        case RootKey::PerformanceData:
            return QStringLiteral("HKEY_PERFORMANCE_DATA");
        case RootKey::Users:
            return QStringLiteral("HKEY_USERS");
    }
    return QStringLiteral("HKEY_UNKNOWN");
}

std::map<RootKey, std::unique_ptr<RegistryHive>>& hives() {
    static std::map<RootKey, std::unique_ptr<RegistryHive>> all;
    return all;
}

QStringList parts(const QString& key) {
    return key.split(QLatin1Char('\\'), Qt::SkipEmptyParts);
}

QString findNoCase(const QStringList& names, const QString& wanted) {
    for (const QString& name : names) {
        if (name.compare(wanted, Qt::CaseInsensitive) == 0) {
            return name;
        }
    }
    return {};
}

}  // namespace

RegistryHive::RegistryHive(const QString& file) : settings_(file, QSettings::IniFormat) {}

RegistryHive& RegistryHive::of(RootKey root) {
    auto& slot = hives()[root];
    if (!slot) {
        slot.reset(new RegistryHive(fileName(root)));
    }
    return *slot;
}

bool RegistryHive::flushAll() {
    bool ok = true;
    for (auto& [root, hive] : hives()) {
        ok = hive->flush() && ok;
    }
    return ok;
}

bool RegistryHive::flush() {
    QDir().mkpath(QFileInfo(settings_.fileName()).absolutePath());
    settings_.sync();
    return settings_.status() == QSettings::NoError;
}

QString RegistryHive::fileName(RootKey root) {
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return base + QStringLiteral("/quillsong/registry/") + rootName(root) + QStringLiteral(".ini");
}

QString RegistryHive::encode(const QString& name) {
    QString out = name;
    out.replace(QLatin1Char('%'), QStringLiteral("%25"));
    out.replace(QLatin1Char('/'), QStringLiteral("%2F"));
    out.replace(QLatin1Char('\\'), QStringLiteral("%5C"));
    return out;
}

QString RegistryHive::decode(const QString& stored) {
    QString out = stored;
    out.replace(QStringLiteral("%2F"), QStringLiteral("/"));
    out.replace(QStringLiteral("%5C"), QStringLiteral("\\"));
    out.replace(QStringLiteral("%25"), QStringLiteral("%"));
    return out;
}

QString RegistryHive::group(const QString& path) const {
    QStringList encoded;
    for (const QString& part : parts(path)) {
        encoded << encode(part);
    }
    return encoded.join(QLatin1Char('/'));
}

QString RegistryHive::settingsKey(const QString& path, const QString& storedName) const {
    const QString g = group(path);
    return g.isEmpty() ? encode(storedName) : g + QLatin1Char('/') + encode(storedName);
}

QStringList RegistryHive::subkeys(const QString& path) {
    settings_.beginGroup(group(path));
    QStringList names = settings_.childGroups();
    settings_.endGroup();
    for (QString& name : names) {
        name = decode(name);
    }
    return names;
}

QStringList RegistryHive::valueNames(const QString& path) {
    settings_.beginGroup(group(path));
    QStringList names = settings_.childKeys();
    settings_.endGroup();
    for (QString& name : names) {
        name = decode(name);
    }
    return names;
}

QString RegistryHive::resolve(const QString& key, bool* complete) {
    QStringList resolved;
    bool exists = true;
    for (const QString& part : parts(key)) {
        QString stored;
        if (exists) {
            stored = findNoCase(subkeys(resolved.join(QLatin1Char('\\'))), part);
        }
        if (stored.isEmpty()) {
            exists = false;
            stored = part;
        }
        resolved << stored;
    }
    if (complete) {
        *complete = exists;
    }
    return resolved.join(QLatin1Char('\\'));
}

bool RegistryHive::keyExists(const QString& path) {
    bool complete = false;
    resolve(path, &complete);
    return complete;
}

QString RegistryHive::findValue(const QString& path, const QString& name) {
    return findNoCase(valueNames(path), name);
}

QVariant RegistryHive::read(const QString& path, const QString& storedName) {
    return settings_.value(settingsKey(path, storedName));
}

void RegistryHive::write(const QString& path, const QString& name, const QVariant& data) {
    QString stored = findValue(path, name);
    if (stored.isEmpty()) {
        stored = name;
    }
    settings_.setValue(settingsKey(path, stored), data);
}

void RegistryHive::remove(const QString& path, const QString& storedName) {
    settings_.remove(settingsKey(path, storedName));
}

void RegistryHive::removeKey(const QString& path) {
    settings_.remove(group(path));
}
