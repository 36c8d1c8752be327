// SPDX-License-Identifier: GPL-2.0-or-later
#include "DataFolders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace quillet {
namespace {

QString programFolderOr(const QString& programFolder) {
    if (!programFolder.isEmpty())
        return QDir::cleanPath(QDir(programFolder).absolutePath());
    return QCoreApplication::instance() ? QCoreApplication::applicationDirPath()
                                        : QDir::currentPath();
}

QString underData(const QString& dataFolder) {
    return QDir::cleanPath(dataFolder + u'/' + kDataFolderName.toString());
}

// share/quillet-dictionary of the installation whose bin/ folder is `programFolder`.
QString besideBin(const QString& programFolder) {
    return QDir::cleanPath(programFolder + QStringLiteral("/../share/") +
                           kDataFolderName.toString());
}

} // namespace

QString UserDataFolder() {
    QString home = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    // A relative $XDG_DATA_HOME is invalid and to be ignored, which Qt does not do.
    if (home.isEmpty() || QDir::isRelativePath(home))
        home = QDir::homePath() + QStringLiteral("/.local/share");
    return underData(home);
}

QStringList DataFolders(const QString& programFolder) {
    const QString program = programFolderOr(programFolder);
    QStringList folders{program, UserDataFolder()};
    // Qt's list starts with the user's folder, then $XDG_DATA_DIRS (on Windows its own
    // application-data folders), relative entries already left out.
    const QStringList system =
        QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation);
    for (qsizetype i = 1; i < system.size(); ++i)
        folders.append(underData(system[i]));
    folders.append(besideBin(program));
    folders.removeDuplicates();
    return folders;
}

QString FindInFolders(const QStringList& folders, const QString& relativePath) {
    for (const QString& folder : folders) {
        if (QFileInfo(QDir(folder).filePath(relativePath)).isFile())
            return folder;
    }
    return {};
}

TStatus ImportFolder(const QString& programFolder, QString& folder) {
    const QString program = programFolderOr(programFolder);
    // isWritable asks the system (access(2)), so a read-only mount counts as read-only.
    if (QFileInfo(program).isWritable() && !QFileInfo(besideBin(program)).isDir()) {
        folder = program;
        return TStatus::Ok();
    }
    folder = UserDataFolder();
    if (!QDir().mkpath(folder))
        return TStatus::Error("Folder " + QDir::toNativeSeparators(folder) + " cannot be created");
    return TStatus::Ok();
}

} // namespace quillet
