#include "speech/lexicontablemodel.h"

#include <QLocale>

void LexiconTableModel::setEntries(const LexiconEntries& entries) {
    beginResetModel();
    m_entries = entries;
    endResetModel();
}

int LexiconTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_entries.size());
}

int LexiconTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QString LexiconTableModel::languageName(const QString& tag) {
    if (tag.isEmpty()) {
        return QStringLiteral("All languages");
    }
    const QLocale locale(tag);
    const QString name =
        locale.language() == QLocale::C ? QString() : QLocale::languageToString(locale.language());
    return name.isEmpty() ? tag : QStringLiteral("%1 (%2)").arg(name, tag);
}

QVariant LexiconTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= m_entries.size()) {
        return {};
    }
    const LexiconEntry& entry = m_entries.at(index.row());
    if (role == SearchRole) {
        return index.column() == Written ? entry.written + QLatin1Char('\n') + entry.spoken
                                         : QVariant();
    }
    if (role == Qt::ToolTipRole && (index.column() == Written || index.column() == Spoken)) {
        return index.column() == Written ? entry.written : entry.spoken;
    }
    if (role == Qt::ToolTipRole && index.column() == Kind) {
        return entry.phonemes ? QStringLiteral(
                                    "eSpeak NG phonemes: said so by eSpeak NG voices "
                                    "only; other voices say the written form")
                              : QStringLiteral("Words: said so by every voice");
    }
    if (role != Qt::DisplayRole) {
        return {};
    }
    switch (index.column()) {
        case Written:
            return entry.written;
        case Spoken:
            return entry.spoken;
        case Kind:
            return entry.phonemes ? QStringLiteral("Phonemes") : QStringLiteral("Words");
        case Case:
            return entry.matchCase ? QStringLiteral("Match case") : QStringLiteral("Any case");
        case Language:
            return languageName(entry.language);
        default:
            return {};
    }
}

QVariant LexiconTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    switch (section) {
        case Written:
            return QStringLiteral("Written");
        case Spoken:
            return QStringLiteral("Spoken as");
        case Kind:
            return QStringLiteral("Kind");
        case Case:
            return QStringLiteral("Capitals");
        case Language:
            return QStringLiteral("Language");
        default:
            return {};
    }
}
