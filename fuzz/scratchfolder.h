#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

// A private folder for the files a fuzz target hands the program, made once per process. The
// program's debug log goes there too (its user data folder), not into the user's profile. An
// application object is made as the program makes one, so that it can tell its own file name.
class ScratchFolder {
  public:
    static ScratchFolder& instance() {
        static ScratchFolder folder;
        return folder;
    }

    QString path(const QString& name) const { return m_dir.filePath(name); }

    // Writes the bytes to name in the folder and returns its path.
    QString write(const QString& name, const uint8_t* data, size_t size) const {
        const QString file = path(name);
        QFile out(file);
        if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
            out.write(reinterpret_cast<const char*>(data), qint64(size)) != qint64(size)) {
            std::abort();  // the target cannot run without its input file
        }
        return file;
    }

  private:
    ScratchFolder() {
        if (!m_dir.isValid()) {
            std::abort();
        }
        qputenv("XDG_DATA_HOME", m_dir.path().toLocal8Bit());
        if (!QCoreApplication::instance()) {
            static int argc = 1;
            static char name[] = "quillsong-fuzz";
            static char* argv[] = {name, nullptr};
            m_app = std::make_unique<QCoreApplication>(argc, argv);
        }
    }
    QTemporaryDir m_dir;
    std::unique_ptr<QCoreApplication> m_app;
};

// Stops the run, so libFuzzer keeps the input, when a property of the program does not hold.
#define FUZZ_CHECK(condition) \
    do {                      \
        if (!(condition)) {   \
            __builtin_trap(); \
        }                     \
    } while (false)
