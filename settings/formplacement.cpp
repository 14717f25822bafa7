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

bool isPlace(int value) {
    return qAbs(qint64(value)) <= FormPlacementStore::kMaxCoordinate;
}

bool isSize(int value) {
    return value > 0 && value <= FormPlacementStore::kMaxCoordinate;
}

}  // namespace

QString FormPlacementStore::keyFor(const QString& formName) {
    return QStringLiteral("Software\\HalcyxTech\\Windows\\") + ProgramFolders::programFileName() +
           QLatin1Char('\\') + formName;
}

void FormPlacementStore::save(const QString& formName, const FormPlacement& placement) {
    TRegistryEnhanced reg;
    reg.Key = keyFor(formName);
    if (placement.maximized) {
        reg.WriteValue(QStringLiteral("Maximized"), QStringLiteral("1"));
    } else {
        reg.WriteValue(QStringLiteral("Maximized"), QStringLiteral("0"));
        reg.WriteValue(QStringLiteral("Top"), QString::number(placement.top));
        reg.WriteValue(QStringLiteral("Left"), QString::number(placement.left));
        reg.WriteValue(QStringLiteral("Width"), QString::number(placement.width));
        reg.WriteValue(QStringLiteral("Height"), QString::number(placement.height));
    }
    Registry::flush();
}

std::optional<FormPlacement> FormPlacementStore::restore(const QString& formName,
                                                         const QSize& screenSize) {
    TRegistryEnhanced reg;
    reg.Key = keyFor(formName);
    FormPlacement placement;
    placement.top = readNumber(reg, QStringLiteral("Top"));
    placement.left = readNumber(reg, QStringLiteral("Left"));
    placement.height = readNumber(reg, QStringLiteral("Height"));
    placement.width = readNumber(reg, QStringLiteral("Width"));
    placement.maximized = readNumber(reg, QStringLiteral("Maximized")) == 1;
    if (placement.height == 0) {
        return std::nullopt;
    }
    // A place or size no window system can give reads as missing: the window keeps its own.
    if (!isPlace(placement.left) || !isPlace(placement.top)) {
        placement.left = placement.top = 0;
    }
    if (!isSize(placement.width) || !isSize(placement.height)) {
        placement.width = placement.height = 0;
    }
    return clamp(placement, screenSize);
}

FormPlacement FormPlacementStore::clamp(FormPlacement placement, const QSize& screenSize) {
    // Worked out in 64 bits, so no stored place or size can overflow.
    const auto fit = [](int place, int size, int room) {
        const qint64 end = qint64(place) + size;
        const qint64 fitted = end > room ? qint64(room) - size : qint64(place);
        return int(qBound(qint64(0), fitted, qint64(qMax(room, 0))));
    };
    placement.left = fit(placement.left, placement.width, screenSize.width());
    placement.top = fit(placement.top, placement.height, screenSize.height());
    return placement;
}
