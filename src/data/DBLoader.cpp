// SPDX-License-Identifier: GPL-2.0-or-later
#include "DBLoader.h"

#include <QElapsedTimer>

namespace quillet {

TStatus RunLoad(TDictDB& db, TLoadReport& report,
                const std::function<void(const TLoadReport&)>& indexLoaded) {
    report = {};
    QElapsedTimer timer;
    timer.start();
    if (TStatus s = db.LoadIndex(); !s.ok())
        return s;
    report.ElapsedMs = timer.elapsed();
    report.Headwords = db.HeadwordCount();
    report.References = db.ReferenceCount();
    if (indexLoaded)
        indexLoaded(report);
    const TStatus status = db.LoadPronunciations();
    // The load walked the whole index file; a window needs only the pages its lookups
    // touch.
    db.TrimResidentMemory();
    return status;
}

} // namespace quillet
