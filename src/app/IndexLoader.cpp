// SPDX-License-Identifier: GPL-2.0-or-later
#include "IndexLoader.h"

namespace quillet {

TDBLoader::TDBLoader(TDictDB& db, QObject* parent) : QThread(parent), FDb(db) {
    qRegisterMetaType<quillet::TLoadReport>("quillet::TLoadReport");
}

void TDBLoader::run() {
    TLoadReport report;
    bool reported = false;
    const TStatus status = RunLoad(FDb, report, [&](const TLoadReport& r) {
        reported = true;
        emit indexLoaded(r);
    });
    if (!status.ok() && !reported)
        emit failed(status.message());
    // A damaged pronunciation file after a good index only costs the pronunciations.
}

} // namespace quillet
