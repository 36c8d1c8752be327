// SPDX-License-Identifier: GPL-2.0-or-later
#include "SetInstall.h"

#include "FileIO.h"

#include <QDir>
#include <QFile>

namespace quillet {
namespace {

const QByteArray kRecordHeader = "quillet-install 1";
const QByteArray kRecordEnd = "end";

QString hiddenPath(const QString& folder, const QString& baseName, const QString& suffix) {
    return QDir(folder).filePath("." + baseName + "." + suffix);
}
QString newFilePath(const QString& folder, const QString& baseName, const QString& extension) {
    return hiddenPath(folder, baseName, extension + ".new");
}
QString recordPath(const QString& folder, const QString& baseName) {
    return hiddenPath(folder, baseName, QStringLiteral("install"));
}
QString installedPath(const QString& folder, const QString& baseName, const QString& extension) {
    return QDir(folder).filePath(baseName + "." + extension);
}

// The extensions a record names, or an empty list when it is not a whole record.
QStringList readRecord(const QString& path) {
    QByteArray bytes;
    if (!ReadWholeFile(path, bytes, 4096).ok())
        return {};
    const QList<QByteArray> lines = bytes.split('\n');
    // header, names..., "end", and the empty piece after the last line break
    if (lines.size() < 4 || lines.first() != kRecordHeader ||
        lines[lines.size() - 2] != kRecordEnd || !lines.last().isEmpty())
        return {};
    QStringList extensions;
    for (qsizetype i = 1; i < lines.size() - 2; ++i) {
        const QString extension = QString::fromLatin1(lines[i]);
        if (extension.isEmpty() || extension.contains(u'/') || extension.contains(u'.'))
            return {};
        extensions.append(extension);
    }
    return extensions;
}

TStatus removeFile(const QString& path) {
    QFile file(path);
    if (!file.exists() || file.remove())
        return TStatus::Ok();
    return TStatus::Error("Cannot remove " + path + ": " + file.errorString());
}

// Removes the new files of an installation that never wrote its record.
TStatus discardNewFiles(const QString& folder, const QString& baseName) {
    const QDir dir(folder);
    const QStringList names = FilesNamed(folder, QString("." + baseName + "."), u".new");
    for (const QString& name : names) {
        if (TStatus s = removeFile(dir.filePath(name)); !s.ok())
            return s;
    }
    return TStatus::Ok();
}

bool hasLeftovers(const QString& folder, const QString& baseName) {
    const QDir dir(folder);
    return dir.exists("." + baseName + ".install") ||
           !FilesNamed(folder, QString("." + baseName + "."), u".new").isEmpty();
}

} // namespace

TStatus TSetLock::Acquire(const QString& folder, const QString& baseName, int waitMs) {
    FBusy = false;
    QString error;
    switch (FLock.Acquire(hiddenPath(folder, baseName, QStringLiteral("lock")), waitMs, &error)) {
    case TFileLock::TResult::Locked:
        return TStatus::Ok();
    case TFileLock::TResult::Busy:
        FBusy = true;
        return TStatus::Error("Dictionary " + baseName + " is being imported");
    case TFileLock::TResult::Failed:
        break;
    }
    return TStatus::Error("Cannot write " + error);
}

TStatus InstallFileSet(const QString& folder, const QString& baseName,
                       const std::vector<TSetFile>& files) {
    auto fail = [&](TStatus status) {
        (void)discardNewFiles(folder, baseName);
        QFile::remove(recordPath(folder, baseName) + ".new");
        return status;
    };
    QByteArray record = kRecordHeader + '\n';
    for (const TSetFile& file : files) {
        if (!file.Written) {
            if (TStatus s = WriteNewSetFile(folder, baseName, file); !s.ok())
                return fail(s);
        }
        record += file.Extension.toLatin1() + '\n';
    }
    record += kRecordEnd + '\n';
    // The record's rename is the moment the new set takes over.
    const QString recordFile = recordPath(folder, baseName);
    if (TStatus s = WriteAndSyncFile(recordFile + ".new", record); !s.ok())
        return fail(s);
    if (!SyncFolder(folder))
        return fail(TStatus::Error("Cannot write " + folder +
                                   ": the folder could not be "
                                   "forced to the disk"));
    if (TStatus s = RenameOver(recordFile + ".new", recordFile); !s.ok())
        return fail(s);
    return FinishInterruptedInstall(folder, baseName);
}

TStatus WriteNewSetFile(const QString& folder, const QString& baseName, const TSetFile& file) {
    return WriteAndSyncFile(newFilePath(folder, baseName, file.Extension), file.Bytes);
}

TStatus FinishInterruptedInstall(const QString& folder, const QString& baseName) {
    const QString recordFile = recordPath(folder, baseName);
    if (!QFile::exists(recordFile)) {
        QFile::remove(recordFile + ".new");
        return discardNewFiles(folder, baseName);
    }
    const QStringList extensions = readRecord(recordFile);
    if (extensions.isEmpty()) // not a record this program wrote: nothing was promised
        return removeFile(recordFile);
    for (const QString& extension : extensions) {
        const QString from = newFilePath(folder, baseName, extension);
        if (QFile::exists(from)) {
            if (TStatus s = RenameOver(from, installedPath(folder, baseName, extension)); !s.ok())
                return s;
        }
    }
    if (!SyncFolder(folder))
        return TStatus::Error("Cannot write " + folder +
                              ": the folder could not be forced to the disk");
    if (TStatus s = removeFile(recordFile); !s.ok())
        return s;
    (void)SyncFolder(folder);
    return discardNewFiles(folder, baseName);
}

TStatus RecoverSet(const QString& folder, const QString& baseName, int waitMs) {
    if (!hasLeftovers(folder, baseName))
        return TStatus::Ok();
    const bool recorded = QFile::exists(recordPath(folder, baseName));
    TSetLock lock;
    if (TStatus s = lock.Acquire(folder, baseName, recorded ? waitMs : 0); !s.ok()) {
        // New files without a record belong to an import that is still writing them.
        if (!recorded && lock.Busy())
            return TStatus::Ok();
        return s;
    }
    return FinishInterruptedInstall(folder, baseName);
}

QStringList SetsWithInstallLeftovers(const QString& folder) {
    QStringList names = QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System);
    names.removeIf([](const QString& name) { // as the filters ".*.install" and ".*.new" would
        return !NameMatches(name, u".", u".install") && !NameMatches(name, u".", u".new");
    });
    QStringList bases;
    for (const QString& name : names) {
        const QString base = name.mid(1).section(u'.', 0, 0);
        if (!base.isEmpty() && !bases.contains(base))
            bases.append(base);
    }
    return bases;
}

} // namespace quillet
