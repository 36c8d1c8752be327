// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "platform/FileSystem.h"
#include "Status.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

// Installing the files of one dictionary set so that, whatever moment a kill or a power
// loss strikes, the set under its name is either entirely the old one or entirely the
// new one, in the unchanged file formats:
//   1. every new file is written and forced to the disk as ".<base>.<ext>.new";
//   2. an install record ".<base>.install" naming them is written (through a temporary
//      name, so it appears whole or not at all) - from here on the installation counts
//      as done;
//   3. the new files are renamed over the old ones, in the order given;
//   4. the record is removed.
// Whoever finds a record later (opening the set, finding the installed sets, the next
// import) finishes step 3 and 4; whoever finds new files without a record removes them.
// All of this happens under the set's lock ".<base>.lock", which every import holds from
// its start to its end, so that two imports into one set never mix their files.
//
// Any thread; the lock also keeps threads of one process apart.
namespace quillet {

// The lock of one set. Held from Acquire() until the object dies.
class TSetLock {
public:
    // Fails at once (or after `waitMs`) with "Dictionary <base> is being imported" when
    // another import holds it; Busy() then tells that case apart from a folder where no
    // lock file can be made.
    TStatus Acquire(const QString& folder, const QString& baseName, int waitMs = 0);
    bool Busy() const { return FBusy; }

private:
    TFileLock FLock;
    bool FBusy = false;
};

struct TSetFile {
    QString Extension; // "tdb", "tx1", ...
    QByteArray Bytes;
    bool Written = false; // step 1 done already by WriteNewSetFile; Bytes are not used
};

// Installs the files as <folder>/<base>.<ext>, renamed into place in the given order.
// REQUIRES: the caller holds the set's TSetLock. On failure before the record is written
// nothing under the set's name has changed and the new files are gone again.
TStatus InstallFileSet(const QString& folder, const QString& baseName,
                       const std::vector<TSetFile>& files);

// Step 1 alone for one file, for a caller that has it ready long before the others and
// writes it meanwhile: ".<base>.<ext>.new", forced to the disk; it then goes to
// InstallFileSet marked Written. Until a record names it, it is a new file without a
// record: FinishInterruptedInstall removes it. Any thread, also beside another call for
// another extension. REQUIRES: the caller holds the set's TSetLock.
TStatus WriteNewSetFile(const QString& folder, const QString& baseName, const TSetFile& file);

// Finishes an installation that was interrupted after its record was written, or removes
// the files of one interrupted before. Ok when there was nothing to do.
// REQUIRES: the caller holds the set's TSetLock.
TStatus FinishInterruptedInstall(const QString& folder, const QString& baseName);

// The same without holding the lock: when the set shows signs of an interrupted
// installation, takes the lock (waiting up to `waitMs` for a running import to finish its
// renames) and finishes it. A record that cannot be finished is an error; new files of an
// import that is still running are left to it.
TStatus RecoverSet(const QString& folder, const QString& baseName, int waitMs);

// The base names in the folder with an install record or new files lying about.
QStringList SetsWithInstallLeftovers(const QString& folder);

} // namespace quillet
