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
    return db.LoadPronunciations();
}

} // namespace quillet
