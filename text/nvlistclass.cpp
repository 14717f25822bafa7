#include "text/nvlistclass.h"

qsizetype NVListClass::IndexOf(const QString& name) const {
    for (qsizetype i = 0; i < Names.size(); ++i) {
        if (Names[i].compare(name, Qt::CaseInsensitive) == 0) {
            return i;
        }
    }
    return -1;
}

void NVListClass::SetValue(const QString& name, const QString& value) {
    const qsizetype i = IndexOf(name);
    if (i >= 0) {
        Values[i] = value;
    } else {
        Names << name;
        Values << value;
    }
}

QString NVListClass::GetValue(const QString& name) const {
    const qsizetype i = IndexOf(name);
    return i >= 0 ? Values[i] : QString();
}
