#pragma once

#include <QString>
#include <QStringView>
#include <memory>
#include <vector>

#include "text/nvlistclass.h"

// One section of a tagged data file: its values and its subsections.
class GBItemClass {
  public:
    GBItemClass(QStringView content, const QString& name, const QString& attributeName,
                GBItemClass* parent);

    QStringView Content;  // a view into the file's text, which the file object owns
    QString Name;
    QString AttributeName;
    QString Path;
    GBItemClass* Parent;
    int Depth;
    std::vector<std::unique_ptr<GBItemClass>> Children;
    NVListClass Values;
};
