#include "text/nvlistclass.h"

qsizetype NVListClass::indexOf(const QString& name) const {
    for (qsizetype i = 0; i < Names.size(); ++i) {
        if (Names[i].compare(name, Qt::CaseInsensitive) == 0) {
            return i;
        }
    }
    return -1;
}

void NVListClass::SetValue(const QString& name, const QString& value) {
    const qsizetype i = indexOf(name);
    if (i >= 0) {
        Values[i] = value;
    } else {
        Names << name;
        Values << value;
    }
}

QString NVListClass::GetValue(const QString& name) const {
    const qsizetype i = indexOf(name);
    return i >= 0 ? Values[i] : QString();
}
