#pragma once

#include <QString>
#include <QTemporaryDir>
#include <cstdint>

// A small file system for tests of a full disk: a tmpfs of a few kilobytes mounted on a new
// folder, unmounted when the object goes, whichever way the test ends. Mounting needs root; a
// test that runs without it runs itself again in a user and mount namespace of its own
// (unshare -rm), where it is root (see Where).
class SmallDisk {
  public:
    enum class Where {
        Here,       // this process may mount: go on
        Elsewhere,  // the test has been run in a namespace of its own and its result taken
        Nowhere,    // no way to mount: skip, with the reason
    };
    // Where the calling test can have its small disk; runs it elsewhere when that is the way.
    static Where Find(QString* reason);

    explicit SmallDisk(int kilobytes, bool readOnly = false);
    ~SmallDisk();
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    // Empty when mounted; otherwise why not.
    QString Error() const { return error_; }
    QString Path() const { return folder_.path(); }
    // Fills the disk until no byte more fits.
    void Fill() const;

  private:
    QTemporaryDir folder_;
    QString error_;
    bool mounted_ = false;
};

// Runs the test's small-disk cases here, elsewhere, or skips them with the reason.
#define QUILL_REQUIRE_SMALL_DISK()                             \
    do {                                                       \
        QString smallDiskReason;                               \
        switch (SmallDisk::Find(&smallDiskReason)) {           \
            case SmallDisk::Where::Here:                       \
                break;                                         \
            case SmallDisk::Where::Elsewhere:                  \
                return;                                        \
            case SmallDisk::Where::Nowhere:                    \
                GTEST_SKIP() << smallDiskReason.toStdString(); \
        }                                                      \
    } while (false)
