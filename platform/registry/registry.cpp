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

Registry::Registry(RootKey root, RegAccess access) : root_(root), access_(access) {}

QString Registry::resolvedPath(const QString& key, bool* complete) const {
    const bool absolute = key.startsWith(QLatin1Char('\\'));
    const QString full = absolute || !open_ ? key : path_ + QLatin1Char('\\') + key;
    return RegistryHive::of(root_).resolve(full, complete);
}

bool Registry::OpenKey(const QString& key, bool canCreate) {
    bool complete = false;
    const QString path = resolvedPath(key, &complete);
    if (!complete && !canCreate) {
        return false;
    }
    path_ = path;
    open_ = true;
    writable_ = access_ == RegAccess::Write || access_ == RegAccess::AllAccess;
    return true;
}

bool Registry::OpenKeyReadOnly(const QString& key) {
    if (!OpenKey(key, false)) {
        return false;
    }
    writable_ = false;
    return true;
}

void Registry::CloseKey() {
    path_.clear();
    open_ = false;
    writable_ = false;
}

bool Registry::KeyExists(const QString& key) const {
    bool complete = false;
    resolvedPath(key, &complete);
    return complete;
}

bool Registry::DeleteKey(const QString& key) {
    bool complete = false;
    const QString path = resolvedPath(key, &complete);
    if (!complete || path.isEmpty()) {
        return false;
    }
    RegistryHive::of(root_).removeKey(path);
    return true;
}

QStringList Registry::GetKeyNames() const {
    return open_ ? RegistryHive::of(root_).subkeys(path_) : QStringList{};
}

QStringList Registry::GetValueNames() const {
    return open_ ? RegistryHive::of(root_).valueNames(path_) : QStringList{};
}

Registry::Value Registry::readRaw(const QString& name, bool* found) const {
    Value value;
    RegistryHive& hive = RegistryHive::of(root_);
    const QString stored = open_ ? hive.findValue(path_, name) : QString();
    *found = !stored.isEmpty();
    if (!*found) {
        return value;
    }
    const QVariant data = hive.read(path_, stored);
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
    if (!open_ || !writable_) {
        throw RegistryException(
            QStringLiteral("Failed to set data for '%1'").arg(name).toStdString());
    }
    RegistryHive::of(root_).write(path_, name,
                                  toStored(value.type, value.text, value.integer, value.binary));
}

bool Registry::ValueExists(const QString& name) const {
    bool found = false;
    readRaw(name, &found);
    return found;
}

RegDataType Registry::GetDataType(const QString& name) const {
    bool found = false;
    return readRaw(name, &found).type;
}

int Registry::GetDataSize(const QString& name) const {
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

bool Registry::DeleteValue(const QString& name) {
    if (!open_ || !writable_) {
        return false;
    }
    RegistryHive& hive = RegistryHive::of(root_);
    const QString stored = hive.findValue(path_, name);
    if (stored.isEmpty()) {
        return false;
    }
    hive.remove(path_, stored);
    return true;
}

QString Registry::ReadString(const QString& name) const {
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

int Registry::ReadInteger(const QString& name) const {
    bool found = false;
    const Value value = readRaw(name, &found);
    if (value.type != RegDataType::Integer) {
        throw RegistryException(typeError(name).toStdString());
    }
    return value.integer;
}

bool Registry::ReadBool(const QString& name) const {
    return ReadInteger(name) != 0;
}

double Registry::ReadFloat(const QString& name) const {
    const QByteArray data = ReadBinaryData(name);
    double result = 0;
    if (data.size() != sizeof(result)) {
        throw RegistryException(typeError(name).toStdString());
    }
    std::memcpy(&result, data.constData(), sizeof(result));
    return result;
}

QByteArray Registry::ReadBinaryData(const QString& name) const {
    bool found = false;
    const Value value = readRaw(name, &found);
    if (value.type != RegDataType::Binary) {
        throw RegistryException(typeError(name).toStdString());
    }
    return value.binary;
}

void Registry::WriteString(const QString& name, const QString& text) {
    writeRaw(name, Value{RegDataType::String, text, 0, {}});
}

void Registry::WriteExpandString(const QString& name, const QString& text) {
    writeRaw(name, Value{RegDataType::ExpandString, text, 0, {}});
}

void Registry::WriteInteger(const QString& name, int integer) {
    writeRaw(name, Value{RegDataType::Integer, {}, integer, {}});
}

void Registry::WriteBool(const QString& name, bool flag) {
    WriteInteger(name, flag ? 1 : 0);
}

void Registry::WriteFloat(const QString& name, double number) {
    QByteArray data(sizeof(number), '\0');
    std::memcpy(data.data(), &number, sizeof(number));
    WriteBinaryData(name, data);
}

void Registry::WriteBinaryData(const QString& name, const QByteArray& data) {
    writeRaw(name, Value{RegDataType::Binary, {}, 0, data});
}

bool Registry::Flush() {
    return RegistryHive::flushAll();
}

QString Registry::StorageFile(RootKey root) {
    return RegistryHive::fileName(root);
}
