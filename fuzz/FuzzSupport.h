// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <cstdio>
#include <cstdlib>
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

// What every fuzz target shares: a temporary folder of its own process, where the input
// becomes a file for the engine's readers, and a check that ends the run like a crash, so
// that libFuzzer keeps the input.
namespace quillet::fuzz {

// Created at the first call (from LLVMFuzzerInitialize, so not inside a timed run);
// removed when the process exits normally.
inline const QString& Folder() {
    static const QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/quillet-fuzz-XXXXXX"));
    static const QString path = [] {
        if (!dir.isValid()) {
            std::fprintf(stderr, "Cannot create a temporary folder: %s\n",
                         qPrintable(dir.errorString()));
            std::abort();
        }
        return dir.path() + u'/';
    }();
    return path;
}

// Writes the bytes to <folder>/<name>, replacing the file, and returns its path. The old
// file is removed first: ext4 starts writing a file that was truncated and written again
// to the disk when it is closed, which would make every run wait on the disk.
inline QString WriteInput(const QString& name, QByteArrayView bytes) {
    const QString path = Folder() + name;
    QFile::remove(path);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(bytes.data(), bytes.size()) != bytes.size()) {
        std::fprintf(stderr, "Cannot write %s\n", qPrintable(path));
        std::abort();
    }
    return path;
}

inline QByteArrayView Bytes(const uint8_t* data, size_t size) {
    return QByteArrayView(reinterpret_cast<const char*>(data), qsizetype(size));
}

} // namespace quillet::fuzz

// A broken promise of the engine: reported with its place and the input kept.
#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition);     \
            std::abort();                                                                          \
        }                                                                                          \
    } while (false)
