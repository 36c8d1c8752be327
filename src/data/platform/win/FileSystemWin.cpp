// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/FileSystem.h"

#include <io.h>
#include <QFileInfo>
#include <thread>
#include <windows.h>

namespace quillet {
namespace {

HANDLE nativeHandle(QFile& file) {
    return file.handle() < 0 ? INVALID_HANDLE_VALUE : HANDLE(_get_osfhandle(file.handle()));
}

TFileIdentity identityOfHandle(HANDLE handle) {
    BY_HANDLE_FILE_INFORMATION info{};
    if (handle == INVALID_HANDLE_VALUE || !GetFileInformationByHandle(handle, &info))
        return {};
    return {quint64(info.dwVolumeSerialNumber),
            quint64(info.nFileIndexHigh) << 32 | quint64(info.nFileIndexLow), true};
}

} // namespace

TStatus OpenRegularFile(QFile& file, const QString& path, const QString& name) {
    file.close();
    file.setFileName(path);
    const QFileInfo info(path);
    if (!info.exists())
        return TStatus::NotFound(name);
    // Named pipes and devices do not live in ordinary folders on Windows; a folder or
    // anything else that is not a file is refused before it is opened.
    if (!info.isFile())
        return TStatus::Error("File " + name + " is not a regular file");
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return TStatus::Error("Cannot read " + name + ": " + file.errorString());
    return TStatus::Ok();
}

bool IsRegularFile(const QString& path) {
    const QFileInfo info(path);
    return info.exists() && info.isFile();
}

bool SyncFile(QFile& file, QString* error) {
    const HANDLE handle = nativeHandle(file);
    if (handle != INVALID_HANDLE_VALUE && FlushFileBuffers(handle))
        return true;
    if (error)
        *error = QStringLiteral("system error %1").arg(GetLastError());
    return false;
}

bool SyncFolder(const QString&) {
    return true; // NTFS journals its folder changes itself
}

void DropMappedPages(const void* data, qint64 size) {
    // Takes the pages out of the working set; they stay in the file cache.
    if (data && size > 0)
        ::VirtualUnlock(const_cast<void*>(data), SIZE_T(size));
}

void PopulateMappedPages(const void* data, qint64 size) {
    // A read of each page brings it into the working set (PrefetchVirtualMemory only
    // reads ahead into the file cache).
    const volatile char* bytes = static_cast<const volatile char*>(data);
    for (qint64 at = 0; bytes && at < size; at += 4096)
        (void)bytes[at];
}

qint64 ReadFileAt(QFile& file, qint64 offset, char* data, qint64 size) {
    const HANDLE handle = nativeHandle(file);
    if (handle == INVALID_HANDLE_VALUE)
        return -1;
    qint64 done = 0;
    while (done < size) {
        OVERLAPPED at{};
        at.Offset = DWORD(quint64(offset + done) & 0xFFFFFFFFu);
        at.OffsetHigh = DWORD(quint64(offset + done) >> 32);
        DWORD n = 0;
        const DWORD want = DWORD(qMin<qint64>(size - done, 1 << 30));
        if (!ReadFile(handle, data + done, want, &n, &at))
            return GetLastError() == ERROR_HANDLE_EOF ? done : -1;
        if (n == 0)
            break;
        done += n;
    }
    return done;
}

TFileIdentity IdentityOf(QFile& openFile) {
    return identityOfHandle(nativeHandle(openFile));
}

TFileIdentity IdentityOf(const QString& path) {
    const HANDLE handle = CreateFileW(reinterpret_cast<const wchar_t*>(path.utf16()), 0,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    const TFileIdentity identity = identityOfHandle(handle);
    if (handle != INVALID_HANDLE_VALUE)
        CloseHandle(handle);
    return identity;
}

struct TFileLock::TImpl {
    HANDLE Handle = INVALID_HANDLE_VALUE;
};

TFileLock::TFileLock() : FImpl(std::make_unique<TImpl>()) {}

TFileLock::~TFileLock() {
    Release();
}

TFileLock::TResult TFileLock::Acquire(const QString& lockPath, int waitMs, QString* error) {
    Release();
    const HANDLE handle = CreateFileW(reinterpret_cast<const wchar_t*>(lockPath.utf16()),
                                      GENERIC_READ | GENERIC_WRITE,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        if (error)
            *error = lockPath + ": " + QString::number(GetLastError());
        return TResult::Failed;
    }
    constexpr int kStepMs = 20;
    for (int waited = 0;; waited += kStepMs) {
        OVERLAPPED whole{};
        if (LockFileEx(handle, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0,
                       &whole)) {
            FImpl->Handle = handle;
            return TResult::Locked;
        }
        if (waited >= waitMs)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(kStepMs));
    }
    CloseHandle(handle);
    return TResult::Busy;
}

bool TFileLock::Held() const {
    return FImpl->Handle != INVALID_HANDLE_VALUE;
}

void TFileLock::Release() {
    if (FImpl->Handle != INVALID_HANDLE_VALUE) {
        CloseHandle(FImpl->Handle); // closing the handle releases the lock
        FImpl->Handle = INVALID_HANDLE_VALUE;
    }
}

} // namespace quillet
