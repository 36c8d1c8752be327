// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/MappingGuard.h"

#include <atomic>
#include <csignal>
#include <cstdint>
#include <mutex>
#include <sys/mman.h>
#include <unistd.h>

namespace quillet {
namespace {

// A fixed table of lock-free slots: the signal handler may read it at any moment, also
// while another thread adds or removes a mapping.
struct TGuardedRange {
    std::atomic<std::uintptr_t> Begin{0}; // 0: a free slot
    std::atomic<std::uintptr_t> End{0};
    std::atomic<bool> Lost{false};
};
constexpr int kSlots = 64;
TGuardedRange gRanges[kSlots];
std::uintptr_t gPageSize = 4096;
struct sigaction gPrevious {};
std::once_flag gInstalled;

void OnBusError(int signal, siginfo_t* info, void* context) {
    const auto address = reinterpret_cast<std::uintptr_t>(info->si_addr);
    for (TGuardedRange& range : gRanges) {
        const std::uintptr_t begin = range.Begin.load(std::memory_order_acquire);
        const std::uintptr_t end = range.End.load(std::memory_order_acquire);
        if (begin == 0 || address < begin || address >= end)
            continue;
        // The file ended before this page: zero pages from here to the mapping's end. The
        // access that faulted runs again and reads zeros.
        const std::uintptr_t from = address & ~(gPageSize - 1);
        const std::uintptr_t to = (end + gPageSize - 1) & ~(gPageSize - 1);
        if (::mmap(reinterpret_cast<void*>(from), to - from, PROT_READ,
                   MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0) != MAP_FAILED) {
            range.Lost.store(true, std::memory_order_release);
            return;
        }
        break;
    }
    // Not one of ours: whatever handled it before (a sanitizer), or the default, which
    // ends the process when the access runs again.
    if ((gPrevious.sa_flags & SA_SIGINFO) && gPrevious.sa_sigaction != nullptr) {
        gPrevious.sa_sigaction(signal, info, context);
    } else if (gPrevious.sa_handler != SIG_DFL && gPrevious.sa_handler != SIG_IGN &&
               gPrevious.sa_handler != nullptr) {
        gPrevious.sa_handler(signal);
    } else {
        ::signal(SIGBUS, SIG_DFL);
    }
}

void Install() {
    if (const long size = ::sysconf(_SC_PAGESIZE); size > 0)
        gPageSize = std::uintptr_t(size);
    struct sigaction action {};
    action.sa_sigaction = OnBusError;
    action.sa_flags = SA_SIGINFO;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGBUS, &action, &gPrevious);
}

} // namespace

void GuardMapping(const void* data, qint64 size) {
    if (data == nullptr || size <= 0)
        return;
    std::call_once(gInstalled, Install);
    const auto begin = reinterpret_cast<std::uintptr_t>(data);
    for (TGuardedRange& range : gRanges) {
        std::uintptr_t expected = 0;
        // Claimed with an end of "nothing" first, so the handler never sees a half-made slot.
        if (range.Begin.compare_exchange_strong(expected, begin, std::memory_order_acq_rel)) {
            range.Lost.store(false, std::memory_order_relaxed);
            range.End.store(begin + std::uintptr_t(size), std::memory_order_release);
            return;
        }
    }
}

void UnguardMapping(const void* data) {
    const auto begin = reinterpret_cast<std::uintptr_t>(data);
    for (TGuardedRange& range : gRanges) {
        if (begin != 0 && range.Begin.load(std::memory_order_acquire) == begin) {
            range.End.store(0, std::memory_order_release);
            range.Begin.store(0, std::memory_order_release);
            return;
        }
    }
}

bool MappingLost(const void* data) {
    const auto begin = reinterpret_cast<std::uintptr_t>(data);
    for (const TGuardedRange& range : gRanges) {
        if (begin != 0 && range.Begin.load(std::memory_order_acquire) == begin)
            return range.Lost.load(std::memory_order_acquire);
    }
    return false;
}

} // namespace quillet
