// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "Status.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>

// Whole-file reads and crash-safe writes for the engine's small and medium files.
// Any thread.
namespace quillet {

// Files the engine reads whole are at most this large: their items are addressed with
// 32-bit positions.
inline constexpr qint64 kMaxWholeFileBytes = 0xFFFFFFFFLL;

// Reads the whole file. A missing file gives "File <path> not found"; a FIFO, device or
// folder, a file larger than `maxBytes` and a file that does not fit in memory are
// refused with a message naming it.
TStatus ReadWholeFile(const QString& path, QByteArray& bytes, qint64 maxBytes = kMaxWholeFileBytes);

// A file's bytes read in place: mapped read-only into memory, so that only the pages a
// reader touches are brought in, from the page cache, without a copy; read whole into
// memory where the system cannot map the file. The file stays open (and its bytes valid)
// until Close() or the object's end, also when another process renames a new file over
// its name; the engine's writers never change a file in place. Another program that
// shrinks the file in place leaves zeros where its bytes were, not a crash
// (MappingGuard.h), and may change the bytes: readers bound every position they read
// from the file by Size().
//
// One thread at a time; the bytes may be read from any thread while the object lives.
class TMappedFile {
public:
    TMappedFile() = default;
    TMappedFile(const TMappedFile&) = delete;
    TMappedFile& operator=(const TMappedFile&) = delete;
    ~TMappedFile() { Close(); }

    // Fails as ReadWholeFile does, with the same messages (`name` stands for the file in
    // them); an empty file gives no bytes.
    TStatus Open(const QString& path, const QString& name, qint64 maxBytes = kMaxWholeFileBytes);
    void Close();
    bool IsOpen() const { return FFile.isOpen(); }
    const char* Data() const { return FData; }
    qint64 Size() const { return FSize; }
    QByteArrayView Bytes() const { return QByteArrayView(FData, FSize); }
    // Lets the pages read so far leave the resident memory (see DropMappedPages); no-op
    // for a file read whole. The bytes stay as they are: a later read brings them back.
    void DropResidentPages() const { DropResidentPages(0, FSize); }
    // The same for `size` bytes from `offset`. REQUIRES: `offset` is a multiple of 64 KiB.
    void DropResidentPages(qint64 offset, qint64 size) const;
    // Brings every page of the file into the resident memory now (PopulateMappedPages),
    // for an owner that will read all over it; no-op for a file read whole.
    void PopulateResidentPages() const;
    // The open file (for its identity).
    QFile& File() { return FFile; }

private:
    QFile FFile;
    const char* FData = nullptr;
    qint64 FSize = 0;
    QByteArray FCopy; // only where mapping failed
};

// Replaces the file's content: written to a temporary file beside it, forced to the disk
// and renamed over it only when every byte arrived, so a failure (a full disk) or a crash
// never leaves a short or empty file under the name; the old file then stays as it was
// and the system's error is reported. A symbolic link is followed and its target
// replaced; an existing file's permissions are kept. A path that names a FIFO, device or
// folder is refused.
TStatus WriteWholeFile(const QString& path, QByteArrayView bytes);

// Creates or truncates `path` with exactly `bytes` and forces it to the disk; for files
// written under a temporary name that the caller renames into place itself.
TStatus WriteAndSyncFile(const QString& path, QByteArrayView bytes);

// Renames `from` over `to` in one step (a reader that has the old file open keeps
// reading it).
TStatus RenameOver(const QString& from, const QString& to);

// Whether a file name matches the name filter "<prefix>*<suffix>", ignoring case as QDir's
// name filters do.
bool NameMatches(QStringView name, QStringView prefix, QStringView suffix);
// The files of the folder (hidden and system ones too) named "<prefix>*<suffix>", in the
// order `sort` gives. Matched here rather than through QDir's name filters: QDir compiles
// each filter into a regular expression, which cost a lookup in a fresh process more than
// reading the folder.
QStringList FilesNamed(const QString& folder, QStringView prefix, QStringView suffix,
                       QDir::SortFlags sort = QDir::Name | QDir::IgnoreCase);

// Little-endian integers in byte buffers.
inline quint16 ReadU16(const char* p) {
    return quint16(uchar(p[0]) | uchar(p[1]) << 8);
}
inline quint32 ReadU32(const char* p) {
    return quint32(uchar(p[0])) | quint32(uchar(p[1])) << 8 | quint32(uchar(p[2])) << 16 |
           quint32(uchar(p[3])) << 24;
}
inline quint64 ReadU64(const char* p) {
    return quint64(ReadU32(p)) | quint64(ReadU32(p + 4)) << 32;
}
inline void AppendU16(QByteArray& out, quint16 v) {
    out.append(char(v & 0xFF));
    out.append(char(v >> 8));
}
inline void AppendU32(QByteArray& out, quint32 v) {
    for (int shift = 0; shift < 32; shift += 8)
        out.append(char((v >> shift) & 0xFF));
}

} // namespace quillet
