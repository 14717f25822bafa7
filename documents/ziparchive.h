#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

struct zip;

// A zip container (EPUB, DOCX, ODT) opened for reading its members. Members are read whole,
// and all that is read of one archive is bounded, so that a small archive that unpacks to
// gigabytes (a member listed many times, or one that inflates a thousandfold) is refused.
class ZipArchive {
  public:
    // The most all the members read from one archive may unpack to, together.
    static constexpr qint64 kLargestUnpacked = 64LL * 1024 * 1024;

    ZipArchive() = default;
    ~ZipArchive();
    ZipArchive(const ZipArchive&) = delete;
    ZipArchive& operator=(const ZipArchive&) = delete;

    // False when the file is missing, unreadable or not a zip archive; error then says why in
    // words a user understands ("it is not a zip archive or it is damaged").
    bool open(const QString& fileName, QString* error);
    bool contains(const QString& member) const;
    QStringList members() const;
    // A member's bytes; false with error set when it is missing, damaged, or would take what
    // is read of the archive past kLargestUnpacked.
    bool read(const QString& member, QByteArray* bytes, QString* error) const;
    // A read failed for kLargestUnpacked: the document as a whole is too large.
    bool exhausted() const { return m_exhausted; }

  private:
    QString tooLarge() const;

    zip* m_zip = nullptr;
    mutable qint64 m_unpacked = 0;  // bytes read so far
    mutable bool m_exhausted = false;
};
