// Feeds a fuzz target the files it is given, and every file of the folders it is given, one at
// a time, as libFuzzer would: a test that replays the inputs that once made a target fail.
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <cstdint>
#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

bool replay(const QString& fileName) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s: %s\n", qPrintable(fileName),
                     qPrintable(file.errorString()));
        return false;
    }
    const QByteArray bytes = file.readAll();
    std::printf("%s (%lld bytes)\n", qPrintable(fileName), static_cast<long long>(bytes.size()));
    std::fflush(stdout);
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.constData()),
                           size_t(bytes.size()));
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    int replayed = 0;
    bool ok = true;
    for (int i = 1; i < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        if (!QFileInfo::exists(arg)) {
            std::printf("%s: none yet\n", qPrintable(arg));  // a target that never failed
        } else if (QFileInfo(arg).isDir()) {
            QDirIterator it(arg, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
            while (it.hasNext()) {
                ok = replay(it.next()) && ok;
                ++replayed;
            }
        } else {
            ok = replay(arg) && ok;
            ++replayed;
        }
    }
    std::printf("%d inputs replayed\n", replayed);
    // A folder that lost its inputs would make this test pass without testing anything.
    return ok && replayed > 0 ? 0 : 1;
}
