// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "Status.h"

#include <QString>
#include <QStringList>

namespace quillet::ref {

// The import done the direct way: the same line handling, header and entries as
// quillet::Import, but each language's headwords are gathered in a TLiteralList, one term
// at a time (IndexOf from the cursor; when absent, the tail-scan AddSortedWithData), and
// saved record by record. Writes <base>.tdb/.tx1/.tx2 into `folder` as plain files.
// `maxLines` >= 0 reads only the first that many lines of the source. A missing source
// gives "File <path> not found".
TStatus LiteralImport(const QString& folder, const QString& base, const QString& sourcePath,
                      const QString& title, const QStringList& stopwordFolders, int maxLines = -1);

} // namespace quillet::ref
