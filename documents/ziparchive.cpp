#include "documents/ziparchive.h"

#include <zip.h>
#include <QFile>
#include <memory>

namespace {

QString ZipReason(int code) {
    switch (code) {
        case ZIP_ER_NOENT:
            return QStringLiteral("the file does not exist");
        case ZIP_ER_OPEN:
        case ZIP_ER_READ:
            return QStringLiteral("the file cannot be read");
        case ZIP_ER_MEMORY:
            return QStringLiteral("there is not enough memory");
        case ZIP_ER_NOPASSWD:
        case ZIP_ER_WRONGPASSWD:
            return QStringLiteral("it is encrypted");
        default:
            return QStringLiteral("it is not a zip archive or it is damaged");
    }
}

}  // namespace

ZipArchive::~ZipArchive() {
    if (m_zip) {
        zip_discard(m_zip);
    }
}

bool ZipArchive::open(const QString& fileName, QString* error) {
    int code = 0;
    const QByteArray path = QFile::encodeName(fileName);
    m_zip = zip_open(path.constData(), ZIP_RDONLY | ZIP_CHECKCONS, &code);
    if (!m_zip) {
        *error = ZipReason(code);
        return false;
    }
    return true;
}

bool ZipArchive::contains(const QString& member) const {
    return m_zip && zip_name_locate(m_zip, member.toUtf8().constData(), 0) >= 0;
}

QStringList ZipArchive::members() const {
    QStringList names;
    const zip_int64_t count = m_zip ? zip_get_num_entries(m_zip, 0) : 0;
    for (zip_int64_t i = 0; i < count; ++i) {
        if (const char* name = zip_get_name(m_zip, zip_uint64_t(i), 0)) {
            names << QString::fromUtf8(name);
        }
    }
    return names;
}

bool ZipArchive::read(const QString& member, QByteArray* bytes, QString* error) const {
    bytes->clear();
    const QByteArray name = member.toUtf8();
    zip_stat_t stat;
    zip_stat_init(&stat);
    if (!m_zip || zip_stat(m_zip, name.constData(), 0, &stat) != 0) {
        *error = member + QStringLiteral(" is missing from it");
        return false;
    }
    const qint64 room = kLargestUnpacked - m_unpacked;
    if ((stat.valid & ZIP_STAT_SIZE) && stat.size > zip_uint64_t(room)) {
        *error = tooLarge();
        return false;
    }
    const std::unique_ptr<zip_file_t, int (*)(zip_file_t*)> file(
        zip_fopen(m_zip, name.constData(), 0), zip_fclose);
    if (!file) {
        *error = member + QStringLiteral(" in it cannot be unpacked: ") +
                 ZipReason(zip_error_code_zip(zip_get_error(m_zip)));
        return false;
    }
    // The stated size may lie: read in blocks and stop at the bound whatever it says.
    constexpr qint64 kBlock = 64 * 1024;
    for (;;) {
        const qsizetype old = bytes->size();
        bytes->resize(old + kBlock);
        const zip_int64_t got = zip_fread(file.get(), bytes->data() + old, kBlock);
        if (got < 0) {
            bytes->clear();
            *error = member + QStringLiteral(" in it is damaged");
            return false;
        }
        bytes->resize(old + got);
        if (got == 0) {
            m_unpacked += bytes->size();
            return true;
        }
        if (bytes->size() > room) {
            bytes->clear();
            *error = tooLarge();
            return false;
        }
    }
}

QString ZipArchive::tooLarge() const {
    m_exhausted = true;
    return QStringLiteral("its text unpacks to more than %1 MB, the most a document may")
        .arg(kLargestUnpacked >> 20);
}
