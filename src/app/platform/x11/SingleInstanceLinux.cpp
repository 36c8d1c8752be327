// SPDX-License-Identifier: GPL-2.0-or-later
#include "SingleInstance.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

// An exclusive flock on a file in the user's runtime folder. The lock belongs to the open
// file, which the kernel closes when the process dies, however it dies. The file itself
// stays: removing it would let a starting copy lock a fresh file while another copy still
// holds the old one.
namespace quillet {
namespace {

QString lockFilePath() {
    QString folder = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (!folder.isEmpty() && QFileInfo(folder).isDir())
        return QDir(folder).filePath(QStringLiteral("quillet-dictionary.lock"));
    return QStringLiteral("/tmp/quillet-dictionary-%1.lock").arg(getuid());
}

class TSingleInstanceLinux final : public TSingleInstance {
public:
    ~TSingleInstanceLinux() override {
        if (FFile >= 0)
            ::close(FFile);
    }

    bool Acquire() override {
        if (FFile >= 0)
            return true;
        // O_NOFOLLOW: the /tmp fallback is shared with other users.
        const QByteArray path = QFile::encodeName(lockFilePath());
        const int file = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (file < 0)
            return true;
        int result;
        do {
            result = ::flock(file, LOCK_EX | LOCK_NB);
        } while (result != 0 && errno == EINTR);
        if (result == 0) {
            FFile = file;
            return true;
        }
        const bool held = errno == EWOULDBLOCK;
        ::close(file);
        return !held;
    }

private:
    int FFile = -1;
};

} // namespace

std::unique_ptr<TSingleInstance> CreateSingleInstance() {
    return std::make_unique<TSingleInstanceLinux>();
}

} // namespace quillet
