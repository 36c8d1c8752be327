// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <functional>
#include <memory>

// Requests from outside to end the program: the end of the user's session (logout,
// shutdown, `systemctl --user stop`), a terminal that hangs up, Ctrl+C in it. The program
// answers each by closing its main window the normal way, so that the settings are
// written; it asks nothing, as a question would hold up the logout. One implementation
// per platform, picked by the build: the POSIX signals SIGTERM, SIGHUP and SIGINT on
// Linux; the session's end message and the console's control events on Windows.
//
// Free of Qt in its interface. Create it on the UI thread once the application object
// exists, and keep it while the event loop runs.
namespace quillet {

class TSessionEnd {
public:
    // Gives the requests back to the platform's default handling (the process ends).
    virtual ~TSessionEnd() = default;

    // From now on `onEnd` runs on the UI thread, from the event loop, when a request
    // comes, starting with one that came since creation; requests that come together
    // (systemd sends SIGHUP right after SIGTERM) may run it once. Call once.
    virtual void Listen(std::function<void()> onEnd) = 0;
};

// Catches the requests from here on; until Listen they wait.
std::unique_ptr<TSessionEnd> CreateSessionEnd();

} // namespace quillet
