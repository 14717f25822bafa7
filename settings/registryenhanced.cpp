#include "settings/registryenhanced.h"

#include <QDateTime>
#include <cstring>

#include "platform/shell/utilsclass.h"

namespace {

RootKey toRoot(TRootKey key) {
    switch (key) {
        case hkClassesRoot:
            return RootKey::ClassesRoot;
        case hkCurrentConfig:
            return RootKey::CurrentConfig;
        case hkCurrentUser:
            return RootKey::CurrentUser;
        case hkDynData:
            return RootKey::DynData;
        case hkLocalMachine:
            return RootKey::LocalMachine;
        case hkPerformanceData:
            return RootKey::PerformanceData;
        case hkUsers:
            return RootKey::Users;
    }
    return RootKey::CurrentUser;
}

RegAccess toAccess(TAccess access) {
    switch (access) {
        case kRead:
            return RegAccess::Read;
        case kWrite:
            return RegAccess::Write;
        case kExecute:
            return RegAccess::Execute;
        case kAllAccess:
            return RegAccess::AllAccess;
    }
    return RegAccess::AllAccess;
}

// Days since 30 December 1899, the usual variant date.
double variantDate(const QDateTime& when) {
    const QDateTime epoch(QDate(1899, 12, 30), QTime(0, 0));
    return double(epoch.msecsTo(when)) / 86400000.0;
}

}  // namespace

Registry TRegistryEnhanced::open() const {
    return Registry(toRoot(RootKey), toAccess(Access));
}

QString TRegistryEnhanced::fullKey(const QStringList& extraParts) const {
    QString key = Key;
    if (key.endsWith(QLatin1Char('\\'))) {
        key.chop(1);
    }
    if (key.size() > 1 && key.startsWith(QLatin1Char('\\'))) {
        key.remove(0, 1);
    }
    for (const QString& part : extraParts) {
        key += QLatin1Char('\\') + part;
    }
    return QLatin1Char('\\') + key;
}

void TRegistryEnhanced::split(const QString& name, QString* keyPath, QString* valueName) const {
    QStringList parts = name.split(QLatin1Char('\\'));
    *valueName = parts.takeLast();
    *keyPath = fullKey(parts);
}

void TRegistryEnhanced::WriteValue(const QString& name, const QVariant& value) {
    QString keyPath, valueName;
    split(name, &keyPath, &valueName);
    Registry reg = open();
    if (!reg.openKey(keyPath, true)) {
        return;
    }
    switch (value.typeId()) {
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
        case QMetaType::Short:
        case QMetaType::UShort:
        case QMetaType::UChar:
        case QMetaType::SChar:
            reg.writeInteger(valueName, value.toInt());
            break;
        case QMetaType::Double:
        case QMetaType::Float:
            reg.writeFloat(valueName, value.toDouble());
            break;
        case QMetaType::QDateTime:
        case QMetaType::QDate:
            reg.writeFloat(valueName, variantDate(value.toDateTime()));
            break;
        case QMetaType::Bool:
            reg.writeBool(valueName, value.toBool());
            break;
        case QMetaType::QString:
            reg.writeString(valueName, value.toString());
            break;
        default:
            break;
    }
}

QVariant TRegistryEnhanced::ReadValue(const QString& name, const QVariant& defaultValue) {
    QString keyPath, valueName;
    split(name, &keyPath, &valueName);
    Registry reg = open();
    try {
        if (!reg.openKeyReadOnly(keyPath) || !reg.valueExists(valueName)) {
            return defaultValue;
        }
        switch (reg.dataType(valueName)) {
            case RegDataType::String:
            case RegDataType::ExpandString:
                return reg.readString(valueName);
            case RegDataType::Integer:
                return reg.readInteger(valueName);
            case RegDataType::Binary: {
                // Data past the buffer's end is not kept; the count tells the whole size.
                const QByteArray data = reg.readBinaryData(valueName);
                Buffer.fill('\0', kBufferSize);
                std::memcpy(Buffer.data(), data.constData(),
                            qMin<qsizetype>(data.size(), kBufferSize));
                return int(data.size());
            }
            case RegDataType::Unknown:
                break;
        }
    } catch (const RegistryException& error) {
        UtilsClass::WriteDebugLine(QStringLiteral("Registry read of ") + name +
                                   QStringLiteral(" failed: ") +
                                   QString::fromStdString(error.what()));
    }
    return defaultValue;
}

void TRegistryEnhanced::GetValueNames(const QString& subKey, QStringList& list) {
    const QStringList extra =
        subKey.isEmpty() ? QStringList{} : subKey.split(QLatin1Char('\\'), Qt::SkipEmptyParts);
    Registry reg = open();
    if (reg.openKeyReadOnly(fullKey(extra))) {
        list = reg.valueNames();
    }
}

bool TRegistryEnhanced::DeleteValue(const QString& name) {
    QString keyPath, valueName;
    split(name, &keyPath, &valueName);
    Registry reg = open();
    return reg.openKey(keyPath, false) && reg.deleteValue(valueName);
}
