// SPDX-License-Identifier: GPL-2.0-or-later
#include "FileIO.h"

#include "platform/FileSystem.h"
#include "platform/MappingGuard.h"

#include <filesystem>
#include <new>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

namespace quillet {
namespace {

TStatus cannotWrite(const QString& path, const QString& why) {
    return TStatus::Error("Cannot write " + path + ": " + why);
}

// Writes every byte through an unbuffered file, so that a full disk shows at the write
// that hit it and not only at a close whose result is easily lost.
TStatus writeAndSync(QFile& file, const QString& path, QByteArrayView bytes) {
    qint64 done = 0;
    while (done < bytes.size()) {
        const qint64 n = file.write(bytes.data() + done, bytes.size() - done);
        if (n <= 0)
            return cannotWrite(path, file.errorString());
        done += n;
    }
    if (QString error; !SyncFile(file, &error))
        return cannotWrite(path, error);
    file.close();
    if (file.error() != QFileDevice::NoError)
        return cannotWrite(path, file.errorString());
    return TStatus::Ok();
}

} // namespace

TStatus ReadWholeFile(const QString& path, QByteArray& bytes, qint64 maxBytes) {
    bytes.clear();
    QFile file;
    if (TStatus s = OpenRegularFile(file, path, path); !s.ok())
        return s;
    const qint64 size = file.size();
    if (size > maxBytes)
        return TStatus::Error(QStringLiteral("File %1 is too large: %2 bytes, at most %3")
                                  .arg(path)
                                  .arg(size)
                                  .arg(maxBytes));
    try {
        bytes.resize(qsizetype(size));
    } catch (const std::bad_alloc&) {
        return TStatus::Error("Not enough memory to read " + path);
    }
    qint64 done = 0;
    while (done < size) {
        const qint64 n = file.read(bytes.data() + done, size - done);
        if (n < 0)
            return TStatus::Error("Cannot read " + path + ": " + file.errorString());
        if (n == 0)
            break; // shrank while being read
        done += n;
    }
    bytes.truncate(qsizetype(done));
    return TStatus::Ok();
}

TStatus TMappedFile::Open(const QString& path, const QString& name, qint64 maxBytes) {
    Close();
    if (TStatus s = OpenRegularFile(FFile, path, name); !s.ok())
        return s;
    const qint64 size = FFile.size();
    if (size > maxBytes) {
        Close();
        return TStatus::Error(QStringLiteral("File %1 is too large: %2 bytes, at most %3")
                                  .arg(name)
                                  .arg(size)
                                  .arg(maxBytes));
    }
    if (size == 0)
        return TStatus::Ok();
    if (uchar* mapped = FFile.map(0, size)) {
        FData = reinterpret_cast<const char*>(mapped);
        FSize = size;
        GuardMapping(FData, FSize);
        return TStatus::Ok();
    }
    try {
        FCopy.resize(qsizetype(size));
    } catch (const std::bad_alloc&) {
        Close();
        return TStatus::Error("Not enough memory to read " + name);
    }
    qint64 done = 0;
    while (done < size) {
        const qint64 n = FFile.read(FCopy.data() + done, size - done);
        if (n < 0) {
            const QString why = FFile.errorString();
            Close();
            return TStatus::Error("Cannot read " + name + ": " + why);
        }
        if (n == 0)
            break; // shrank while being read
        done += n;
    }
    FCopy.truncate(qsizetype(done));
    FData = FCopy.constData();
    FSize = done;
    return TStatus::Ok();
}

void TMappedFile::DropResidentPages(qint64 offset, qint64 size) const {
    if (FCopy.isNull() && offset >= 0 && offset < FSize)
        DropMappedPages(FData + offset, qMin(size, FSize - offset));
}

bool NameMatches(QStringView name, QStringView prefix, QStringView suffix) {
    return name.size() >= prefix.size() + suffix.size() &&
           name.startsWith(prefix, Qt::CaseInsensitive) &&
           name.endsWith(suffix, Qt::CaseInsensitive);
}

QStringList FilesNamed(const QString& folder, QStringView prefix, QStringView suffix,
                       QDir::SortFlags sort) {
    QStringList names = QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System, sort);
    names.removeIf([&](const QString& name) { return !NameMatches(name, prefix, suffix); });
    return names;
}

void TMappedFile::PopulateResidentPages() const {
    if (FCopy.isNull())
        PopulateMappedPages(FData, FSize);
}

void TMappedFile::Close() {
    if (FCopy.isNull())
        UnguardMapping(FData);
    FFile.close(); // also unmaps
    FCopy = QByteArray();
    FData = nullptr;
    FSize = 0;
}

TStatus WriteWholeFile(const QString& path, QByteArrayView bytes) {
    QString target = path;
    const QFileInfo info(path);
    if (info.isSymLink())
        target = info.symLinkTarget();
    const QFileInfo targetInfo(target);
    const bool exists = targetInfo.exists();
    if (exists && !IsRegularFile(target))
        return TStatus::Error("File " + path + " is not a regular file");

    // A fresh name beside the target, so the rename stays within one file system.
    QFile temp;
    for (int attempt = 0;; ++attempt) {
        temp.setFileName(targetInfo.absolutePath() + "/." + targetInfo.fileName() + ".tmp-" +
                         QString::number(QRandomGenerator::global()->generate(), 36));
        if (temp.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered))
            break;
        if (!temp.exists() || attempt == 10) // only a taken name is worth another try
            return cannotWrite(path, temp.errorString());
    }
    if (exists)
        temp.setPermissions(QFile::permissions(target));
    TStatus status = writeAndSync(temp, path, bytes);
    if (status.ok())
        status = RenameOver(temp.fileName(), target);
    if (!status.ok()) {
        QFile::remove(temp.fileName());
        return status;
    }
    if (!SyncFolder(targetInfo.absolutePath()))
        return cannotWrite(path, QStringLiteral("its folder could not be forced to the disk"));
    return TStatus::Ok();
}

TStatus WriteAndSyncFile(const QString& path, QByteArrayView bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered))
        return cannotWrite(path, file.errorString());
    return writeAndSync(file, path, bytes);
}

TStatus RenameOver(const QString& from, const QString& to) {
    std::error_code code;
    std::filesystem::rename(QFileInfo(from).filesystemFilePath(),
                            QFileInfo(to).filesystemFilePath(), code);
    if (code)
        return cannotWrite(to, QString::fromStdString(code.message()));
    return TStatus::Ok();
}

} // namespace quillet
