#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <cstdint>

#include "platform/shell/convert.h"

// One named, typed value of the settings store, with a default and a current value.
// Location 0 keeps the value under the maker key, 1 under the product key with a fallback to
// the alternate name under the maker key, 2 under the product key only.
class BaseRegClass {
  public:
    BaseRegClass(const QString& name, uint8_t location, const QString& alternateName)
        : Name(name), Location(location), AlternateName(alternateName) {}
    virtual ~BaseRegClass() = default;

    virtual void SetText(const QString& text) = 0;  // raises ConvertError
    virtual QString GetText() const = 0;
    virtual QString GetDefaultText() const = 0;
    virtual QVariant GetValue() const = 0;
    virtual void SetValue(const QVariant& value) = 0;
    virtual int typeCode() const = 0;

    QString Name;
    uint8_t Location;
    QString AlternateName;
};

class regInt : public BaseRegClass {
  public:
    regInt(const QString& name, uint8_t location, const QString& alt, int32_t def)
        : BaseRegClass(name, location, alt), Default(def) {}
    void SetText(const QString& text) override;
    QString GetText() const override { return QString::number(Value); }
    QString GetDefaultText() const override { return QString::number(Default); }
    QVariant GetValue() const override { return Value; }
    void SetValue(const QVariant& value) override { Value = value.toInt(); }
    int typeCode() const override { return 0; }

    int32_t Value = 0;
    int32_t Default;
};

class regReal : public BaseRegClass {
  public:
    regReal(const QString& name, uint8_t location, const QString& alt, double def)
        : BaseRegClass(name, location, alt), Default(def) {}
    void SetText(const QString& text) override;
    QString GetText() const override;
    QString GetDefaultText() const override;
    QVariant GetValue() const override { return Value; }
    void SetValue(const QVariant& value) override { Value = value.toDouble(); }
    int typeCode() const override { return 1; }

    double Value = 0;
    double Default;
};

class regBool : public BaseRegClass {
  public:
    regBool(const QString& name, uint8_t location, const QString& alt, bool def)
        : BaseRegClass(name, location, alt), Default(def) {}
    void SetText(const QString& text) override;
    QString GetText() const override;
    QString GetDefaultText() const override;
    QVariant GetValue() const override { return Value; }
    void SetValue(const QVariant& value) override { Value = value.toBool(); }
    int typeCode() const override { return 2; }

    bool Value = false;
    bool Default;
};

class regString : public BaseRegClass {
  public:
    regString(const QString& name, uint8_t location, const QString& alt, const QString& def)
        : BaseRegClass(name, location, alt), Default(def) {}
    void SetText(const QString& text) override { Value = text; }
    QString GetText() const override { return Value; }
    QString GetDefaultText() const override { return Default; }
    QVariant GetValue() const override { return Value; }
    void SetValue(const QVariant& value) override { Value = value.toString(); }
    int typeCode() const override { return 3; }

    QString Value;
    QString Default;
};

// A list of texts kept as numbered values under a key of its own.
class regList : public BaseRegClass {
  public:
    regList(const QString& name, uint8_t location, const QString& alt)
        : BaseRegClass(name, location, alt) {}
    void SetText(const QString&) override {}
    QString GetText() const override { return {}; }
    QString GetDefaultText() const override { return {}; }
    QVariant GetValue() const override { return 0; }
    void SetValue(const QVariant& value) override { Text = value.toString(); }
    int typeCode() const override { return 4; }

    QStringList Entries;
    QString Text;
};
