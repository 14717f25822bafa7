#include "speech/lexiconstore.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

#include "platform/shell/debuglog.h"
#include "platform/speechapi/pronunciationlexicon.h"
#include "text/printabletext.h"

LexiconStore::LexiconStore(const QString& path, QObject* parent) : QObject(parent), m_path(path) {}

bool LexiconStore::load(QString* error) {
    m_stamp = stamp();
    m_readFailed = !LexiconFile::load(m_path, &m_contents, error);
    m_loadError = m_readFailed ? *error : QString();
    if (m_readFailed) {
        debugLog(QStringLiteral("Lexicon: ") + *error);
    }
    for (const LexiconProblem& problem : m_contents.problems) {
        debugLog(QStringLiteral("Lexicon %1, %2")
                     .arg(PrintableText::escaped(m_path), LexiconFile::describe(problem)));
    }
    publish();
    return !m_readFailed;
}

bool LexiconStore::setEntries(const LexiconEntries& entries, QString* error) {
    m_contents.entries = entries;
    publish();
    if (m_readFailed) {
        *error = QStringLiteral(
                     "%1 could not be read, so it is not written over; the changes "
                     "hold until the program ends.")
                     .arg(PrintableText::escaped(QDir::toNativeSeparators(m_path)));
        return false;
    }
    if (!LexiconFile::save(m_path, m_contents, error)) {
        debugLog(QStringLiteral("Lexicon: ") + *error);
        return false;
    }
    m_stamp = stamp();
    return true;
}

QString LexiconStore::stamp() const {
    const QFileInfo info(m_path);
    return info.exists() ? info.lastModified().toString(Qt::ISODateWithMs) + QLatin1Char('/') +
                               QString::number(info.size())
                         : QString();
}

bool LexiconStore::reloadIfChanged(QString* error) {
    return stamp() == m_stamp ? true : load(error);
}

bool LexiconStore::sameWords(const LexiconEntry& a, const LexiconEntry& b) {
    const Qt::CaseSensitivity sensitivity =
        a.matchCase && b.matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
    return a.matchCase == b.matchCase && a.language.compare(b.language, Qt::CaseInsensitive) == 0 &&
           a.written.simplified().compare(b.written.simplified(), sensitivity) == 0;
}

bool LexiconStore::import(const QString& path, int* added, int* replaced,
                          QList<LexiconProblem>* problems, QString* error) {
    if (!QFileInfo::exists(path)) {
        *error = QStringLiteral("%1 does not exist")
                     .arg(PrintableText::escaped(QDir::toNativeSeparators(path)));
        return false;
    }
    LexiconContents imported;
    if (!LexiconFile::load(path, &imported, error)) {
        return false;
    }
    *problems = imported.problems;
    LexiconEntries entries = m_contents.entries;
    *added = 0;
    *replaced = 0;
    for (const LexiconEntry& entry : imported.entries) {
        const auto same = std::find_if(entries.begin(), entries.end(),
                                       [&](const LexiconEntry& e) { return sameWords(e, entry); });
        if (same != entries.end()) {
            *same = entry;
            ++*replaced;
        } else {
            entries << entry;
            ++*added;
        }
    }
    return setEntries(entries, error);
}

bool LexiconStore::exportTo(const QString& path, QString* error) const {
    return LexiconFile::save(path, m_contents, error);
}

void LexiconStore::publish() {
    PronunciationLexicon::setEntries(m_contents.entries);
    Q_EMIT changed();
}
