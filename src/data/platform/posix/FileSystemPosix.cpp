// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/FileSystem.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace quillet {
namespace {

QString systemError(int code) {
    return QString::fromLocal8Bit(std::strerror(code));
}

int openRetrying(const QByteArray& path, int flags, mode_t mode = 0) {
    int fd;
    do
        fd = ::open(path.constData(), flags, mode);
    while (fd < 0 && errno == EINTR);
    return fd;
}

} // namespace

TStatus OpenRegularFile(QFile& file, const QString& path, const QString& name) {
    file.close();
    file.setFileName(path);
    // O_NONBLOCK: opening a FIFO for reading would otherwise wait for a writer forever.
    const int fd = openRetrying(QFile::encodeName(path), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        const int code = errno;
        if (code == ENOENT)
            return TStatus::NotFound(name);
        return TStatus::Error("Cannot read " + name + ": " + systemError(code));
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return TStatus::Error("File " + name + " is not a regular file");
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    if (!file.open(fd, QIODevice::ReadOnly | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return TStatus::Error("Cannot read " + name + ": " + file.errorString());
    }
    return TStatus::Ok();
}

bool IsRegularFile(const QString& path) {
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 && S_ISREG(info.st_mode);
}

bool SyncFile(QFile& file, QString* error) {
    const int fd = file.handle();
    if (fd >= 0 && ::fsync(fd) == 0)
        return true;
    if (error)
        *error = systemError(fd < 0 ? EBADF : errno);
    return false;
}

bool SyncFolder(const QString& folder) {
    const int fd = openRetrying(QFile::encodeName(folder), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    // Some file systems refuse to sync a folder (EINVAL); their renames are as durable as
    // they get.
    const bool ok = ::fsync(fd) == 0 || errno == EINVAL;
    ::close(fd);
    return ok;
}

void DropMappedPages(const void* data, qint64 size) {
    if (data && size > 0)
        ::madvise(const_cast<void*>(data), size_t(size), MADV_DONTNEED);
}

void PopulateMappedPages(const void* data, qint64 size) {
    if (!data || size <= 0)
        return;
#ifdef MADV_POPULATE_READ
    // One call maps every page (Linux 5.14 and later); older kernels refuse the advice
    // and the pages come in as they are read, as without it.
    ::madvise(const_cast<void*>(data), size_t(size), MADV_POPULATE_READ);
#else
    ::madvise(const_cast<void*>(data), size_t(size), MADV_WILLNEED);
#endif
}

qint64 ReadFileAt(QFile& file, qint64 offset, char* data, qint64 size) {
    const int fd = file.handle();
    qint64 done = 0;
    while (fd >= 0 && done < size) {
        const ssize_t n = ::pread(fd, data + done, size_t(size - done), off_t(offset + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return -1;
        if (n == 0)
            break;
        done += n;
    }
    return fd < 0 ? -1 : done;
}

TFileIdentity IdentityOf(QFile& openFile) {
    struct stat info {};
    if (openFile.handle() < 0 || ::fstat(openFile.handle(), &info) != 0)
        return {};
    return {quint64(info.st_dev), quint64(info.st_ino), true};
}

TFileIdentity IdentityOf(const QString& path) {
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return {};
    return {quint64(info.st_dev), quint64(info.st_ino), true};
}

struct TFileLock::TImpl {
    int Fd = -1;
};

TFileLock::TFileLock() : FImpl(std::make_unique<TImpl>()) {}

TFileLock::~TFileLock() {
    Release();
}

TFileLock::TResult TFileLock::Acquire(const QString& lockPath, int waitMs, QString* error) {
    Release();
    const int fd = openRetrying(QFile::encodeName(lockPath), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) {
        if (error)
            *error = lockPath + ": " + systemError(errno);
        return TResult::Failed;
    }
    constexpr int kStepMs = 20;
    for (int waited = 0;; waited += kStepMs) {
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            FImpl->Fd = fd;
            return TResult::Locked;
        }
        if (errno != EWOULDBLOCK && errno != EINTR) {
            if (error)
                *error = lockPath + ": " + systemError(errno);
            ::close(fd);
            return TResult::Failed;
        }
        if (waited >= waitMs)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(kStepMs));
    }
    ::close(fd);
    return TResult::Busy;
}

bool TFileLock::Held() const {
    return FImpl->Fd >= 0;
}

void TFileLock::Release() {
    if (FImpl->Fd >= 0) {
        ::close(FImpl->Fd); // closing the descriptor releases the lock
        FImpl->Fd = -1;
    }
}

} // namespace quillet
