// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <memory>

// The guard that keeps one running copy of the program per user session. The program
// entry acquires it before the widget framework starts and keeps the object until the
// process ends; the operating system drops the guard with the process, so a crashed copy
// never blocks the next start. One implementation per platform, picked by the build.
//
// Free of Qt so that every platform can implement it with its own calls. Main thread.
namespace quillet {

class TSingleInstance {
public:
    virtual ~TSingleInstance() = default; // releases the guard when held

    // True when no other copy holds the guard; this object then holds it. True again on
    // a repeated call once held. When the guard cannot be set up at all, the copy is let
    // run: refusing to start would lock the user out of the program.
    virtual bool Acquire() = 0;
};

std::unique_ptr<TSingleInstance> CreateSingleInstance();

} // namespace quillet
