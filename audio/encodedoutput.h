#pragma once

#include <QFile>
#include <QString>
#include <cstdint>

// The file an encoder writes into. The first failure is kept, in words a user can read, naming
// the file and the system's reason.
class EncodedOutput {
  public:
    explicit EncodedOutput(const QString& fileName);

    bool open();
    // Appends size bytes; false (and the failure kept) when the disk did not take them all.
    bool write(const void* data, int64_t size);
    // Writes what is still buffered and closes the file.
    bool close();

    // Whether open() succeeded: the file then holds this output only.
    bool opened() const { return m_opened; }
    bool failed() const { return !m_failure.isEmpty(); }
    const QString& failure() const { return m_failure; }
    QString fileName() const { return m_file.fileName(); }

  private:
    bool failWrite();

    QFile m_file;
    QString m_failure;
    bool m_opened = false;
};
