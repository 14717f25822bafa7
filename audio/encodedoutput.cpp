#include "audio/encodedoutput.h"

#include "audio/mp3partencoder.h"

EncodedOutput::EncodedOutput(const QString& fileName) : m_file(fileName) {}

bool EncodedOutput::open() {
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        m_failure = m_file.errorString() + QStringLiteral(": ") + m_file.fileName();
        return false;
    }
    m_opened = true;
    return true;
}

bool EncodedOutput::failWrite() {
    if (m_failure.isEmpty()) {
        m_failure = QStringLiteral("Write error: cannot write %1: %2")
                        .arg(m_file.fileName(), Mp3PartEncoder::writeError(&m_file));
    }
    return false;
}

bool EncodedOutput::write(const void* data, int64_t size) {
    if (failed()) {
        return false;
    }
    if (m_file.write(static_cast<const char*>(data), size) != size) {
        return failWrite();
    }
    return true;
}

bool EncodedOutput::close() {
    if (!m_file.isOpen()) {
        return !failed();
    }
    if (!failed() && !m_file.flush()) {
        failWrite();
    }
    m_file.close();
    return !failed();
}
