// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "Status.h"

#include <memory>
#include <QFile>
#include <QString>

// The few file-system services the engine needs beyond QFile, with one implementation per
// platform (posix/, win/; CMake picks one): opening for reading without hanging on a FIFO,
// forcing written data to the disk, telling whether a path still names the file that is
// open, and an exclusive lock that the system releases when its holder dies.
//
// Any thread; each object is used by one thread at a time.
namespace quillet {

// Opens `path` for reading, refusing anything but a regular file (a FIFO, a device, a
// folder) without blocking on it. A missing file gives "File <name> not found"; the
// other refusals name the file as `name` too.
TStatus OpenRegularFile(QFile& file, const QString& path, const QString& name);

// True when `path` exists and is a regular file (not a FIFO, a device or a folder).
bool IsRegularFile(const QString& path);

// Forces the file's written data to the disk. REQUIRES: the file is open for writing
// and unbuffered (or flushed). On failure `error` gets the system's message.
bool SyncFile(QFile& file, QString* error = nullptr);
// Forces the folder's entries (names created, renamed, removed) to the disk; true where
// the system has no such notion.
bool SyncFolder(const QString& folder);

// Tells the system that a read-only file mapping's pages are not needed for now: they
// leave the process's resident memory (the page cache keeps them) and come back when
// touched. REQUIRES: `data` is page-aligned, inside a mapping that holds `size` more bytes.
void DropMappedPages(const void* data, qint64 size);
// The opposite: brings a read-only file mapping's pages into the resident memory at once,
// as reading each would, so that later reads take no page fault apiece. Same REQUIRES.
void PopulateMappedPages(const void* data, qint64 size);

// Reads up to `size` bytes at `offset` of an open file without moving its position (one
// system call); the bytes read, fewer at the end of the file, -1 on an error.
qint64 ReadFileAt(QFile& file, qint64 offset, char* data, qint64 size);

// Which file an open handle or a path refers to (device and file number), so that a
// reader can tell that the file under a name was replaced since it opened it.
struct TFileIdentity {
    quint64 Device = 0;
    quint64 Number = 0;
    bool Valid = false;
    friend bool operator==(const TFileIdentity&, const TFileIdentity&) = default;
};
TFileIdentity IdentityOf(QFile& openFile);
TFileIdentity IdentityOf(const QString& path);

// An exclusive advisory lock on a lock file, held until the object dies or the process
// ends (also by a kill), so a crashed holder never leaves a lock behind. The lock file
// itself stays: removing it would let two processes lock two different files.
class TFileLock {
public:
    TFileLock();
    ~TFileLock();
    TFileLock(const TFileLock&) = delete;
    TFileLock& operator=(const TFileLock&) = delete;

    enum class TResult { Locked, Busy, Failed };
    // Tries for up to `waitMs` milliseconds (0: once). Failed means the lock file could
    // not be created or opened (a read-only folder); `error` then says why.
    TResult Acquire(const QString& lockPath, int waitMs, QString* error = nullptr);
    bool Held() const;
    void Release();

private:
    struct TImpl;
    std::unique_ptr<TImpl> FImpl;
};

} // namespace quillet
