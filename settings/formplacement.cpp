#include "settings/formplacement.h"

#include "platform/registry/registry.h"
#include "platform/shell/programfolders.h"
#include "settings/registryenhanced.h"

namespace {

// A stored number that is not one reads as 0, like a missing value.
int readNumber(TRegistryEnhanced& reg, const QString& name) {
    bool ok = false;
    const int value = reg.ReadValue(name, QStringLiteral("0")).toString().trimmed().toInt(&ok);
    return ok ? value : 0;
}

}  // namespace

QString FormPlacementStore::KeyFor(const QString& formName) {
    return QStringLiteral("Software\\HalcyxTech\\Windows\\") + ProgramFolders::programFileName() +
           QLatin1Char('\\') + formName;
}

void FormPlacementStore::Save(const QString& formName, const FormPlacement& placement) {
    TRegistryEnhanced reg;
    reg.Key = KeyFor(formName);
    if (placement.Maximized) {
        reg.WriteValue(QStringLiteral("Maximized"), QStringLiteral("1"));
    } else {
        reg.WriteValue(QStringLiteral("Maximized"), QStringLiteral("0"));
        reg.WriteValue(QStringLiteral("Top"), QString::number(placement.Top));
        reg.WriteValue(QStringLiteral("Left"), QString::number(placement.Left));
        reg.WriteValue(QStringLiteral("Width"), QString::number(placement.Width));
        reg.WriteValue(QStringLiteral("Height"), QString::number(placement.Height));
    }
    Registry::Flush();
}

std::optional<FormPlacement> FormPlacementStore::Restore(const QString& formName,
                                                         const QSize& screenSize) {
    TRegistryEnhanced reg;
    reg.Key = KeyFor(formName);
    FormPlacement placement;
    placement.Top = readNumber(reg, QStringLiteral("Top"));
    placement.Left = readNumber(reg, QStringLiteral("Left"));
    placement.Height = readNumber(reg, QStringLiteral("Height"));
    placement.Width = readNumber(reg, QStringLiteral("Width"));
    placement.Maximized = readNumber(reg, QStringLiteral("Maximized")) == 1;
    if (placement.Height == 0) {
        return std::nullopt;
    }
    return Clamp(placement, screenSize);
}

FormPlacement FormPlacementStore::Clamp(FormPlacement placement, const QSize& screenSize) {
    if (placement.Left + placement.Width > screenSize.width()) {
        placement.Left = screenSize.width() - placement.Width;
    }
    if (placement.Top + placement.Height > screenSize.height()) {
        placement.Top = screenSize.height() - placement.Height;
    }
    placement.Left = qMax(placement.Left, 0);
    placement.Top = qMax(placement.Top, 0);
    return placement;
}
