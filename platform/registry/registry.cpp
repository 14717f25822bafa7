#include "platform/registry/registry.h"

#include <QVariant>
#include <cstring>

#include "platform/registry/registryhive.h"

// Typed data as kept in the hive: text values are stored as plain text so the file stays
// readable; other types carry a tag.
struct Registry::Value {
    RegDataType type = RegDataType::Unknown;
    QString text;
    int integer = 0;
    QByteArray binary;
};

namespace {

const QByteArray kDword = "dword:";
const QByteArray kExpand = "expand:";
const QByteArray kHex = "hex:";

QVariant toStored(RegDataType type, const QString& text, int integer, const QByteArray& binary) {
    switch (type) {
        case RegDataType::String:
            return text;
        case RegDataType::ExpandString:
            return QVariant(kExpand + text.toUtf8());
        case RegDataType::Integer:
            return QVariant(kDword + QByteArray::number(integer));
        case RegDataType::Binary:
            return QVariant(kHex + binary.toHex());
        case RegDataType::Unknown:
            break;
    }
    return {};
}

QString typeError(const QString& name) {
    return QStringLiteral("Invalid data type for '%1'").arg(name);
}

}  // namespace

Registry::Registry(RootKey root, RegAccess access) : m_root(root), m_access(access) {}

QString Registry::resolvedPath(const QString& key, bool* complete) const {
    const bool absolute = key.startsWith(QLatin1Char('\\'));
    const QString full = absolute || !m_open ? key : m_path + QLatin1Char('\\') + key;
    return RegistryHive::of(m_root).resolve(full, complete);
}

bool Registry::openKey(const QString& key, bool canCreate) {
    bool complete = false;
    const QString path = resolvedPath(key, &complete);
    if (!complete && !canCreate) {
        return false;
    }
    m_path = path;
    m_open = true;
    m_writable = m_access == RegAccess::Write || m_access == RegAccess::AllAccess;
    return true;
}

bool Registry::openKeyReadOnly(const QString& key) {
    if (!openKey(key, false)) {
        return false;
    }
    m_writable = false;
    return true;
}

void Registry::closeKey() {
    m_path.clear();
    m_open = false;
    m_writable = false;
}

bool Registry::keyExists(const QString& key) const {
    bool complete = false;
    resolvedPath(key, &complete);
    return complete;
}

bool Registry::deleteKey(const QString& key) {
    bool complete = false;
    const QString path = resolvedPath(key, &complete);
    if (!complete || path.isEmpty()) {
        return false;
    }
    RegistryHive::of(m_root).removeKey(path);
    return true;
}

QStringList Registry::keyNames() const {
    return m_open ? RegistryHive::of(m_root).subkeys(m_path) : QStringList{};
}

QStringList Registry::valueNames() const {
    return m_open ? RegistryHive::of(m_root).valueNames(m_path) : QStringList{};
}

Registry::Value Registry::readRaw(const QString& name, bool* found) const {
    Value value;
    RegistryHive& hive = RegistryHive::of(m_root);
    const QString stored = m_open ? hive.findValue(m_path, name) : QString();
    *found = !stored.isEmpty();
    if (!*found) {
        return value;
    }
    const QVariant data = hive.read(m_path, stored);
    if (data.typeId() == QMetaType::QByteArray) {
        const QByteArray bytes = data.toByteArray();
        if (bytes.startsWith(kDword)) {
            value.type = RegDataType::Integer;
            value.integer = bytes.mid(kDword.size()).toInt();
        } else if (bytes.startsWith(kExpand)) {
            value.type = RegDataType::ExpandString;
            value.text = QString::fromUtf8(bytes.mid(kExpand.size()));
        } else if (bytes.startsWith(kHex)) {
            value.type = RegDataType::Binary;
            value.binary = QByteArray::fromHex(bytes.mid(kHex.size()));
        } else {
            value.type = RegDataType::Binary;
            value.binary = bytes;
        }
    } else if (data.typeId() == QMetaType::QStringList) {
        // A hand-edited file may hold an unquoted list; it is one text to us.
        value.type = RegDataType::String;
        value.text = data.toStringList().join(QStringLiteral(", "));
    } else {
        value.type = RegDataType::String;
        value.text = data.toString();
    }
    return value;
}

void Registry::writeRaw(const QString& name, const Value& value) {
    if (!m_open || !m_writable) {
        throw RegistryException(
            QStringLiteral("Failed to set data for '%1'").arg(name).toStdString());
    }
    RegistryHive::of(m_root).write(m_path, name,
                                   toStored(value.type, value.text, value.integer, value.binary));
}

bool Registry::valueExists(const QString& name) const {
    bool found = false;
    readRaw(name, &found);
    return found;
}

RegDataType Registry::dataType(const QString& name) const {
    bool found = false;
    return readRaw(name, &found).type;
}

int Registry::dataSize(const QString& name) const {
    bool found = false;
    const Value value = readRaw(name, &found);
    switch (value.type) {
        case RegDataType::String:
        case RegDataType::ExpandString:
            return int((value.text.size() + 1) * sizeof(char16_t));
        case RegDataType::Integer:
            return 4;
        case RegDataType::Binary:
            return int(value.binary.size());
        case RegDataType::Unknown:
            break;
    }
    return -1;
}

bool Registry::deleteValue(const QString& name) {
    if (!m_open || !m_writable) {
        return false;
    }
    RegistryHive& hive = RegistryHive::of(m_root);
    const QString stored = hive.findValue(m_path, name);
    if (stored.isEmpty()) {
        return false;
    }
    hive.remove(m_path, stored);
    return true;
}

QString Registry::readString(const QString& name) const {
    bool found = false;
    const Value value = readRaw(name, &found);
    if (!found) {
        return {};
    }
    if (value.type != RegDataType::String && value.type != RegDataType::ExpandString) {
        throw RegistryException(typeError(name).toStdString());
    }
    return value.text;
}

int Registry::readInteger(const QString& name) const {
    bool found = false;
    const Value value = readRaw(name, &found);
    if (value.type != RegDataType::Integer) {
        throw RegistryException(typeError(name).toStdString());
    }
    return value.integer;
}

bool Registry::readBool(const QString& name) const {
    return readInteger(name) != 0;
}

double Registry::readFloat(const QString& name) const {
    const QByteArray data = readBinaryData(name);
    double result = 0;
    if (data.size() != sizeof(result)) {
        throw RegistryException(typeError(name).toStdString());
    }
    std::memcpy(&result, data.constData(), sizeof(result));
    return result;
}

QByteArray Registry::readBinaryData(const QString& name) const {
    bool found = false;
    const Value value = readRaw(name, &found);
    if (value.type != RegDataType::Binary) {
        throw RegistryException(typeError(name).toStdString());
    }
    return value.binary;
}

void Registry::writeString(const QString& name, const QString& text) {
    writeRaw(name, Value{RegDataType::String, text, 0, {}});
}

void Registry::writeExpandString(const QString& name, const QString& text) {
    writeRaw(name, Value{RegDataType::ExpandString, text, 0, {}});
}

void Registry::writeInteger(const QString& name, int integer) {
    writeRaw(name, Value{RegDataType::Integer, {}, integer, {}});
}

void Registry::writeBool(const QString& name, bool flag) {
    writeInteger(name, flag ? 1 : 0);
}

void Registry::writeFloat(const QString& name, double number) {
    QByteArray data(sizeof(number), '\0');
    std::memcpy(data.data(), &number, sizeof(number));
    writeBinaryData(name, data);
}

void Registry::writeBinaryData(const QString& name, const QByteArray& data) {
    writeRaw(name, Value{RegDataType::Binary, {}, 0, data});
}

bool Registry::flush() {
    return RegistryHive::flushAll();
}

QString Registry::storageFile(RootKey root) {
    return RegistryHive::fileName(root);
}
