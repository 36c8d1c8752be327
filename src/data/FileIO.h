// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "Status.h"

#include <QByteArray>
#include <QString>

// Whole-file reads and crash-safe writes for the engine's small and medium files.
// Any thread.
namespace quillet {

// Reads the whole file. A missing file gives "File <path> not found".
TStatus ReadWholeFile(const QString& path, QByteArray& bytes);

// Replaces the file's content: written to a temporary file beside it and renamed over it
// only when complete, so a failure or crash never leaves a half-written file.
TStatus WriteWholeFile(const QString& path, QByteArrayView bytes);

// Little-endian integers in byte buffers.
inline quint16 ReadU16(const char* p) {
    return quint16(uchar(p[0]) | uchar(p[1]) << 8);
}
inline quint32 ReadU32(const char* p) {
    return quint32(uchar(p[0])) | quint32(uchar(p[1])) << 8 | quint32(uchar(p[2])) << 16 |
           quint32(uchar(p[3])) << 24;
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
