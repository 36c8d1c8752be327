// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "SetInstall.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

// Step 1 of an install (SetInstall.h) for files that are complete one after another: each
// is written by WriteNewSetFile on a thread of the writer's own as soon as it is added,
// while the caller makes the next. Copying tens of megabytes into the page cache and
// forcing them to the disk then costs the callers' threads nothing.
//
// Thread safety: Add() from any thread, also from two at once; Finish() and the destructor
// from the thread that made the writer.
namespace quillet {

class TSetFileWriter {
public:
    TSetFileWriter(const QString& folder, const QString& baseName);
    // Waits for the files added.
    ~TSetFileWriter();
    TSetFileWriter(const TSetFileWriter&) = delete;
    TSetFileWriter& operator=(const TSetFileWriter&) = delete;

    // Queues the file; it is marked Written once it is. REQUIRES: the file stays alive and
    // unchanged until Finish() returned.
    void Add(TSetFile& file);
    // Waits for every file added; the first failure, if any.
    TStatus Finish();

private:
    void Loop();

    const QString FFolder;
    const QString FBaseName;
    std::mutex FMutex;
    std::condition_variable FWake;
    std::deque<TSetFile*> FQueue;
    size_t FBusy = 0; // files taken off the queue and not yet written
    bool FQuit = false;
    TStatus FStatus = TStatus::Ok();
    std::thread FThread; // last: starts once the members above exist
};

} // namespace quillet
