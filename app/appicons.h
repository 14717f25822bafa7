#pragma once

#include <QIcon>
#include <QString>

// Icons of the program, read from the data folder's "icons" folder.
class AppIcons {
  public:
    static QIcon icon(const QString& name);
    static QIcon programIcon() { return icon(QStringLiteral("quillsong")); }
};
