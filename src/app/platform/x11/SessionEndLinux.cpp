// SPDX-License-Identifier: GPL-2.0-or-later
#include "SessionEnd.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <iterator>
#include <unistd.h>

// The self-pipe: a signal handler may do next to nothing (no allocation, no locks, no Qt),
// so it writes one byte into a pipe and returns; the event loop sees the pipe become
// readable and runs the request on the UI thread. The bytes of signals that come before
// Listen, or while a request runs, wait in the pipe.
//
// A signal that was ignored when the program started (nohup ignores SIGHUP, a shell's
// background job SIGINT) stays ignored: whoever started the program asked for that.
namespace quillet {
namespace {

constexpr int kSignals[] = {SIGTERM, SIGHUP, SIGINT};

volatile sig_atomic_t gWriteEnd = -1; // the pipe's end for the handler

void onSignal(int) {
    const int saved = errno;
    const char byte = 1;
    // A full pipe holds requests enough; the byte may go.
    [[maybe_unused]] const ssize_t written = ::write(gWriteEnd, &byte, 1);
    errno = saved;
}

class TSessionEndLinux final : public TSessionEnd {
public:
    TSessionEndLinux() {
        // Non-blocking at both ends: the handler must never wait, nor the drain.
        if (::pipe2(FPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
            FPipe[0] = FPipe[1] = -1; // the signals keep ending the program at once
            return;
        }
        gWriteEnd = FPipe[1];
        struct sigaction action = {};
        action.sa_handler = &onSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        for (size_t i = 0; i < std::size(kSignals); ++i) {
            FCaught[i] = ::sigaction(kSignals[i], nullptr, &FPrevious[i]) == 0 &&
                         FPrevious[i].sa_handler != SIG_IGN &&
                         ::sigaction(kSignals[i], &action, nullptr) == 0;
        }
    }

    ~TSessionEndLinux() override {
        for (size_t i = 0; i < std::size(kSignals); ++i) {
            if (FCaught[i])
                ::sigaction(kSignals[i], &FPrevious[i], nullptr);
        }
        FNotifier.reset();
        gWriteEnd = -1;
        for (const int end : FPipe) {
            if (end >= 0)
                ::close(end);
        }
    }

    void Listen(std::function<void()> onEnd) override {
        if (FPipe[0] < 0)
            return;
        FOnEnd = std::move(onEnd);
        FNotifier = std::make_unique<QSocketNotifier>(FPipe[0], QSocketNotifier::Read);
        QObject::connect(FNotifier.get(), &QSocketNotifier::activated, FNotifier.get(),
                         [this] { Drain(); });
    }

private:
    void Drain() {
        char bytes[16];
        bool requested = false;
        while (::read(FPipe[0], bytes, sizeof bytes) > 0)
            requested = true;
        // Several signals at once (systemd sends SIGHUP right after SIGTERM) are one
        // request.
        if (requested && FOnEnd)
            FOnEnd();
    }

    int FPipe[2] = {-1, -1};
    bool FCaught[std::size(kSignals)] = {};
    struct sigaction FPrevious[std::size(kSignals)] = {};
    std::unique_ptr<QSocketNotifier> FNotifier;
    std::function<void()> FOnEnd;
};

} // namespace

std::unique_ptr<TSessionEnd> CreateSessionEnd() {
    return std::make_unique<TSessionEndLinux>();
}

} // namespace quillet
