// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "DictDB.h"

#include <functional>

// The work of a dictionary load run, without any window: read the current direction's
// index (timed), report, then read the pronunciations. The window code runs this on a
// worker thread and turns the report into widget updates on its own thread.
//
// Thread safety: call from one thread at a time per TDictDB, and keep every other use of
// that TDictDB back until it returns (see TDictDB).
namespace quillet {

struct TLoadReport {
    int Headwords = 0;    // of the current direction
    int References = 0;   // summed while the index was read
    qint64 ElapsedMs = 0; // reading the index; near zero when it was already loaded
    int Seconds() const { return int(ElapsedMs / 1000); }
    int Milliseconds() const { return int(ElapsedMs % 1000); }
};

// Loads the index, calls `indexLoaded` (if given) with the report, then loads the
// pronunciations and trims the resident memory (TDictDB::TrimResidentMemory). A failure to read the
// index ends the run there; a damaged pronunciation file is reported after the index report was
// given.
TStatus RunLoad(TDictDB& db, TLoadReport& report,
                const std::function<void(const TLoadReport&)>& indexLoaded = {});

} // namespace quillet
