#include "settings/baseregistryclass.h"

#include "platform/shell/debuglog.h"
#include "platform/shell/utilsclass.h"
#include "settings/registryenhanced.h"

const QString TBaseRegistryClass::kMakerKey = QStringLiteral("Software\\HalcyxTech");
const QString TBaseRegistryClass::kMissingMarker = QStringLiteral("defaultvalue");

void TBaseRegistryClass::RegisterValue(const QString& name, RegLocation location,
                                       const QString& alternateName, const QVariant& defaultValue,
                                       RegType type) {
    std::unique_ptr<BaseRegClass> item;
    switch (type) {
        case RegType::Int:
            item = std::make_unique<regInt>(name, location, alternateName, defaultValue.toInt());
            break;
        case RegType::Real:
            item =
                std::make_unique<regReal>(name, location, alternateName, defaultValue.toDouble());
            break;
        case RegType::Bool:
            item = std::make_unique<regBool>(name, location, alternateName, defaultValue.toBool());
            break;
        case RegType::String:
            item =
                std::make_unique<regString>(name, location, alternateName, defaultValue.toString());
            break;
        case RegType::List:
            item = std::make_unique<regList>(name, location, alternateName);
            break;
    }
    if (!item) {
        return;  // a type code of no item class
    }
    const QString key = name.toUpper();
    if (!m_byName.contains(key)) {
        m_byName.insert(key, item.get());
    }
    m_values.push_back(std::move(item));
}

QString TBaseRegistryClass::keyFor(const BaseRegClass& item) const {
    return item.Location != RegLocation::MakerKey ? kMakerKey + QLatin1Char('\\') + ProductSubKey
                                                  : kMakerKey;
}

void TBaseRegistryClass::ReadAll() {
    for (const auto& item : m_values) {
        if (auto* list = dynamic_cast<regList*>(item.get())) {
            readList(*list);
        } else {
            readItem(*item);
        }
    }
}

void TBaseRegistryClass::readItem(BaseRegClass& item) {
    TRegistryEnhanced reg;
    reg.Key = keyFor(item);
    QString text = reg.ReadValue(item.Name, kMissingMarker).toString();
    if (text == kMissingMarker && item.Location == RegLocation::ProductKeyOrAlternate) {
        reg.Key = kMakerKey;
        text = reg.ReadValue(item.AlternateName, kMissingMarker).toString();
    }
    if (text == kMissingMarker) {
        text = item.GetDefaultText();
    }
    try {
        item.SetText(text);
    } catch (const ConvertError& error) {
        // A value that is not a number (edited by hand, damaged) counts as missing, so one bad
        // value never stops the rest of the settings from loading.
        UtilsClass::WriteDebugLine(QStringLiteral("Setting ") + item.Name + QStringLiteral(": ") +
                                   QString::fromStdString(error.what()) +
                                   QStringLiteral("; using the default"));
        item.SetText(item.GetDefaultText());
    }
}

void TBaseRegistryClass::readList(regList& list) {
    TRegistryEnhanced reg;
    reg.Key = keyFor(list) + QStringLiteral("\\List") + list.Name;
    list.Entries.clear();
    QStringList names;
    reg.GetValueNames(QString(), names);
    for (const QString& name : names) {
        list.Entries << reg.ReadValue(name, QString()).toString();
    }
}

bool TBaseRegistryClass::WriteAll() {
    for (const auto& item : m_values) {
        if (auto* list = dynamic_cast<regList*>(item.get())) {
            writeList(*list);
        } else {
            TRegistryEnhanced reg;
            reg.Key = keyFor(*item);
            reg.WriteValue(item->Name, item->GetText());
        }
    }
    if (!Registry::flush()) {
        UtilsClass::WriteDebugLine(QStringLiteral("Settings could not be saved to ") +
                                   Registry::storageFile(RootKey::CurrentUser));
        return false;
    }
    return true;
}

void TBaseRegistryClass::writeList(const regList& list) {
    TRegistryEnhanced reg;
    reg.Key = keyFor(list) + QStringLiteral("\\List") + list.Name;
    QStringList names;
    reg.GetValueNames(QString(), names);
    for (const QString& name : names) {
        reg.DeleteValue(name);
    }
    for (qsizetype i = 0; i < list.Entries.size(); ++i) {
        reg.WriteValue(QString::number(i), list.Entries[i]);
    }
}

BaseRegClass* TBaseRegistryClass::findItem(const QString& name) const {
    return m_byName.value(name.toUpper(), nullptr);
}

Outcome TBaseRegistryClass::unknownName(const QString& name) {
    return Outcome::failure(QStringLiteral("No such registry item as name between equals =") +
                            name + QLatin1Char('='));
}

Outcome TBaseRegistryClass::GetValue(const QString& name, QVariant& value) const {
    const BaseRegClass* item = findItem(name);
    if (!item) {
        return unknownName(name);
    }
    value = item->GetValue();
    return Outcome::success();
}

QVariant TBaseRegistryClass::GetValue(const QString& name) const {
    QVariant value;
    debugLogFailure(GetValue(name, value));
    return value;
}

Outcome TBaseRegistryClass::SetValue(const QString& name, const QVariant& value) {
    BaseRegClass* item = findItem(name);
    if (!item) {
        return unknownName(name);
    }
    item->SetValue(value);
    return Outcome::success();
}
