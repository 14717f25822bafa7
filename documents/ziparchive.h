#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

struct zip;

// A zip container (EPUB, DOCX, ODT) opened for reading its members. Members are read whole,
// up to a bound, so that a small archive that unpacks to gigabytes is refused.
class ZipArchive {
  public:
    // The most one member may unpack to.
    static constexpr qint64 kLargestMember = 256LL * 1024 * 1024;

    ZipArchive() = default;
    ~ZipArchive();
    ZipArchive(const ZipArchive&) = delete;
    ZipArchive& operator=(const ZipArchive&) = delete;

    // False when the file is missing, unreadable or not a zip archive; error then says why in
    // words a user understands ("it is not a zip archive or it is damaged").
    bool open(const QString& fileName, QString* error);
    bool contains(const QString& member) const;
    QStringList members() const;
    // A member's bytes; false with error set when it is missing, damaged or too large.
    bool read(const QString& member, QByteArray* bytes, QString* error) const;

  private:
    zip* m_zip = nullptr;
};
