// SPDX-License-Identifier: GPL-2.0-or-later
#include "FileIO.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace quillet {

TStatus ReadWholeFile(const QString& path, QByteArray& bytes) {
    bytes.clear();
    QFile file(path);
    if (!file.exists())
        return TStatus::NotFound(path);
    if (!file.open(QIODevice::ReadOnly))
        return TStatus::Error("Cannot read " + path + ": " + file.errorString());
    bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return TStatus::Error("Cannot read " + path + ": " + file.errorString());
    return TStatus::Ok();
}

TStatus WriteWholeFile(const QString& path, QByteArrayView bytes) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return TStatus::Error("Cannot write " + path + ": " + file.errorString());
    if (file.write(bytes.data(), bytes.size()) != bytes.size() || !file.commit())
        return TStatus::Error("Cannot write " + path + ": " + file.errorString());
    return TStatus::Ok();
}

} // namespace quillet
