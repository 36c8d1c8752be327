// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <vector>

// Blocks handed from one thread that fills them to one that works through them, in order,
// through a fixed ring of slots: the filler runs ahead by up to the ring's length and waits
// only when the other is that far behind, the other only when it has caught up. Handing
// over each block in lockstep instead makes both wait for the slower at every block, and
// for the one the scheduler has just taken the core from.
//
// Thread safety: Next(), Publish() and Close() from the filling thread, Take() and Done()
// from the working one. A slot's contents pass from one to the other with Publish() and
// back with Done().
namespace quillet {

template <typename TBlock> class THandoffRing {
public:
    // (Not "slots": Qt makes that word a macro.)
    explicit THandoffRing(size_t length) : FSlots(length) {}

    // The slot to fill next, once the working thread is done with the block it held.
    TBlock& Next() {
        std::unique_lock lock(FMutex);
        FWake.wait(lock, [this] { return FPublished - FDone < FSlots.size(); });
        return FSlots[FPublished % FSlots.size()];
    }
    // Hands the slot Next() gave over to the working thread.
    void Publish() {
        {
            std::lock_guard lock(FMutex);
            ++FPublished;
        }
        FWake.notify_all();
    }
    // The blocks published that the working thread is not done with.
    size_t Pending() {
        std::lock_guard lock(FMutex);
        return FPublished - FDone;
    }
    // No more blocks: Take() returns null once the last is taken.
    void Close() {
        {
            std::lock_guard lock(FMutex);
            FClosed = true;
        }
        FWake.notify_all();
    }

    // The next block published, or null when closed and every block taken. Until one is
    // there, calls `idle` (work that can wait, outside the lock) as long as it returns true.
    // REQUIRES: the block taken before is Done().
    template <typename TIdle> TBlock* Take(TIdle&& idle) {
        std::unique_lock lock(FMutex);
        while (FTaken == FPublished && !FClosed) {
            lock.unlock();
            const bool busy = idle();
            lock.lock();
            if (!busy)
                FWake.wait(lock, [this] { return FTaken < FPublished || FClosed; });
        }
        if (FTaken == FPublished)
            return nullptr;
        return &FSlots[FTaken++ % FSlots.size()];
    }
    void Done() {
        {
            std::lock_guard lock(FMutex);
            ++FDone;
        }
        FWake.notify_all();
    }

private:
    std::vector<TBlock> FSlots;
    std::mutex FMutex;
    std::condition_variable FWake;
    size_t FPublished = 0;
    size_t FTaken = 0;
    size_t FDone = 0;
    bool FClosed = false;
};

} // namespace quillet
