#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <cstdint>

#include "platform/shell/convert.h"

// Where a value of the settings store is kept.
enum class RegLocation : uint8_t {
    MakerKey = 0,               // directly under the maker key
    ProductKeyOrAlternate = 1,  // the product key; when missing there, the alternate name
                                // under the maker key
    ProductKey = 2,             // the product key only
};

// The type codes of the settings store, one for each item class below.
enum class RegType { Int = 0, Real = 1, Bool = 2, String = 3, List = 4 };

// One named, typed value of the settings store, with a default and a current value.
class BaseRegClass {
  public:
    BaseRegClass(const QString& name, RegLocation location, const QString& alternateName)
        : Name(name), Location(location), AlternateName(alternateName) {}
    virtual ~BaseRegClass() = default;

    virtual void SetText(const QString& text) = 0;  // raises ConvertError
    virtual QString GetText() const = 0;
    virtual QString GetDefaultText() const = 0;
    virtual QVariant GetValue() const = 0;
    virtual void SetValue(const QVariant& value) = 0;
    virtual RegType typeCode() const = 0;

    QString Name;
    RegLocation Location;
    QString AlternateName;
};

class regInt : public BaseRegClass {
  public:
    regInt(const QString& name, RegLocation location, const QString& alt, int32_t def)
        : BaseRegClass(name, location, alt), Default(def) {}
    void SetText(const QString& text) override;
    QString GetText() const override { return QString::number(Value); }
    QString GetDefaultText() const override { return QString::number(Default); }
    QVariant GetValue() const override { return Value; }
    void SetValue(const QVariant& value) override { Value = value.toInt(); }
    RegType typeCode() const override { return RegType::Int; }

    int32_t Value = 0;
    int32_t Default;
};

class regReal : public BaseRegClass {
  public:
    regReal(const QString& name, RegLocation location, const QString& alt, double def)
        : BaseRegClass(name, location, alt), Default(def) {}
    void SetText(const QString& text) override;
    QString GetText() const override;
    QString GetDefaultText() const override;
    QVariant GetValue() const override { return Value; }
    void SetValue(const QVariant& value) override { Value = value.toDouble(); }
    RegType typeCode() const override { return RegType::Real; }

    double Value = 0;
    double Default;
};

class regBool : public BaseRegClass {
  public:
    regBool(const QString& name, RegLocation location, const QString& alt, bool def)
        : BaseRegClass(name, location, alt), Default(def) {}
    void SetText(const QString& text) override;
    QString GetText() const override;
    QString GetDefaultText() const override;
    QVariant GetValue() const override { return Value; }
    void SetValue(const QVariant& value) override { Value = value.toBool(); }
    RegType typeCode() const override { return RegType::Bool; }

    bool Value = false;
    bool Default;
};

class regString : public BaseRegClass {
  public:
    regString(const QString& name, RegLocation location, const QString& alt, const QString& def)
        : BaseRegClass(name, location, alt), Default(def) {}
    void SetText(const QString& text) override { Value = text; }
    QString GetText() const override { return Value; }
    QString GetDefaultText() const override { return Default; }
    QVariant GetValue() const override { return Value; }
    void SetValue(const QVariant& value) override { Value = value.toString(); }
    RegType typeCode() const override { return RegType::String; }

    QString Value;
    QString Default;
};

// A list of texts kept as numbered values under a key of its own.
class regList : public BaseRegClass {
  public:
    regList(const QString& name, RegLocation location, const QString& alt)
        : BaseRegClass(name, location, alt) {}
    void SetText(const QString&) override {}
    QString GetText() const override { return {}; }
    QString GetDefaultText() const override { return {}; }
    QVariant GetValue() const override { return 0; }
    void SetValue(const QVariant& value) override { Text = value.toString(); }
    RegType typeCode() const override { return RegType::List; }

    QStringList Entries;
    QString Text;
};
