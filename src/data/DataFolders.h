// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "Status.h"

#include <QString>
#include <QStringList>

// Where the program's data lies: the dictionary sets, the stopword lists and
// settings/languages.ini. The program, quillet-cli and the import dialog ask here; nothing
// else builds these paths.
//
// The folders, in the order they are searched:
//   1. the program's own folder, so that a portable copy with everything beside the
//      program keeps working;
//   2. the user's data folder, $XDG_DATA_HOME/quillet-dictionary (~/.local/share/... when
//      unset), where the imports of a user who may not write beside the program go;
//   3. quillet-dictionary in each folder of $XDG_DATA_DIRS (/usr/local/share:/usr/share
//      when unset), where packages install the default dictionary;
//   4. share/quillet-dictionary beside the program's bin/ folder, so that an installation
//      under a prefix outside $XDG_DATA_DIRS finds its own data.
// A folder is listed once, at its first place. A set found in an earlier folder hides a set
// of the same base name in a later one (TDictDB).
//
// Any thread; the answers follow the environment at the time of the call.
namespace quillet {

// The name of the program's folder under the data folders.
inline constexpr QStringView kDataFolderName = u"quillet-dictionary";

// The search path: absolute, clean paths without a trailing separator, whether they exist
// or not. An empty `programFolder` means the running program's folder.
QStringList DataFolders(const QString& programFolder = {});

// The user's data folder (2. above); it may not exist yet.
QString UserDataFolder();

// The first of `folders` that holds the file `relativePath` ("settings/languages.ini");
// empty when none does.
QString FindInFolders(const QStringList& folders, const QString& relativePath);

// The folder an import writes into when the user names none: the program's folder when
// the user may write there and it is not the bin/ folder of an installation (one with
// share/quillet-dictionary beside it), else the user's data folder, created when missing.
// It never needs more rights than the user has. Fails when the user's data folder cannot
// be created.
TStatus ImportFolder(const QString& programFolder, QString& folder);

} // namespace quillet
