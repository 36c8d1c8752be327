// SPDX-License-Identifier: GPL-2.0-or-later
#include "SetFileWriter.h"

namespace quillet {

TSetFileWriter::TSetFileWriter(const QString& folder, const QString& baseName)
    : FFolder(folder), FBaseName(baseName), FThread([this] { Loop(); }) {}

TSetFileWriter::~TSetFileWriter() {
    {
        std::lock_guard lock(FMutex);
        FQuit = true;
    }
    FWake.notify_all();
    FThread.join();
}

void TSetFileWriter::Add(TSetFile& file) {
    {
        std::lock_guard lock(FMutex);
        FQueue.push_back(&file);
    }
    FWake.notify_all();
}

TStatus TSetFileWriter::Finish() {
    std::unique_lock lock(FMutex);
    FWake.wait(lock, [this] { return FQueue.empty() && FBusy == 0; });
    return FStatus;
}

void TSetFileWriter::Loop() {
    std::unique_lock lock(FMutex);
    for (;;) {
        // Quits only once the queue is empty: a file added is always written.
        FWake.wait(lock, [this] { return FQuit || !FQueue.empty(); });
        if (FQueue.empty())
            return;
        TSetFile* const file = FQueue.front();
        FQueue.pop_front();
        ++FBusy;
        lock.unlock();
        const TStatus status = WriteNewSetFile(FFolder, FBaseName, *file);
        lock.lock();
        file->Written = status.ok();
        if (!status.ok() && FStatus.ok())
            FStatus = status;
        --FBusy;
        FWake.notify_all();
    }
}

} // namespace quillet
