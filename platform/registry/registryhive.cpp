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

}  // namespace

RegistryHive::RegistryHive(const QString& file) : m_settings(file, QSettings::IniFormat) {}

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
    QDir().mkpath(QFileInfo(m_settings.fileName()).absolutePath());
    m_settings.sync();  // also takes in what another program wrote meanwhile
    forgetNames();
    return m_settings.status() == QSettings::NoError;
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

const RegistryHive::Names& RegistryHive::names(const QString& path, NameKind kind) {
    const QString g = group(path);
    QHash<QString, Names>& cache = kind == NameKind::Values ? m_valueNames : m_subkeyNames;
    const auto found = cache.constFind(g);
    if (found != cache.constEnd()) {
        return *found;
    }
    m_settings.beginGroup(g);
    const QStringList listed =
        kind == NameKind::Values ? m_settings.childKeys() : m_settings.childGroups();
    m_settings.endGroup();
    Names entry;
    for (const QString& name : listed) {
        const QString decoded = decode(name);
        entry.stored << decoded;
        // The first spelling wins, as a walk over the list in order would find it.
        const QString folded = decoded.toCaseFolded();
        if (!entry.byFolded.contains(folded)) {
            entry.byFolded.insert(folded, decoded);
        }
    }
    return *cache.insert(g, entry);
}

void RegistryHive::forgetNames() {
    m_valueNames.clear();
    m_subkeyNames.clear();
}

QStringList RegistryHive::subkeys(const QString& path) {
    return names(path, NameKind::Subkeys).stored;
}

QStringList RegistryHive::valueNames(const QString& path) {
    return names(path, NameKind::Values).stored;
}

QString RegistryHive::resolve(const QString& key, bool* complete) {
    QStringList resolved;
    bool exists = true;
    for (const QString& part : parts(key)) {
        QString stored;
        if (exists) {
            stored = names(resolved.join(QLatin1Char('\\')), NameKind::Subkeys)
                         .byFolded.value(part.toCaseFolded());
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
    return names(path, NameKind::Values).byFolded.value(name.toCaseFolded());
}

QVariant RegistryHive::read(const QString& path, const QString& storedName) {
    return m_settings.value(settingsKey(path, storedName));
}

void RegistryHive::write(const QString& path, const QString& name, const QVariant& data) {
    QString stored = findValue(path, name);
    if (stored.isEmpty()) {
        stored = name;
        forgetNames();
    } else if (m_settings.value(settingsKey(path, stored)) == data) {
        return;  // unchanged: the file is not rewritten for it
    }
    m_settings.setValue(settingsKey(path, stored), data);
}

void RegistryHive::remove(const QString& path, const QString& storedName) {
    m_settings.remove(settingsKey(path, storedName));
    forgetNames();
}

void RegistryHive::removeKey(const QString& path) {
    m_settings.remove(group(path));
    forgetNames();
}
