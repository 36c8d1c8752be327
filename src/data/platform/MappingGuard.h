// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QtGlobal>

// Keeps a read-only file mapping readable when another program shrinks the file in place
// (a `cp` or `truncate` over a dictionary file while the program runs). POSIX systems
// raise SIGBUS when a reader touches pages past the file's new end, which would end the
// process; in a guarded mapping those pages become zero pages instead and read as zeros
// from then on. The engine's readers bound every position by the size they mapped, so
// zeros read as missing or damaged data, never as a crash. Windows refuses to shrink a
// mapped file, so there the guard has nothing to do.
//
// Any thread. At most 64 mappings are guarded at a time; further ones go unguarded.
namespace quillet {

// REQUIRES: `data` is the start of a read-only mapping of `size` bytes, page-aligned.
void GuardMapping(const void* data, qint64 size);
// Before the mapping goes. REQUIRES: `data` was guarded (or nothing happens).
void UnguardMapping(const void* data);
// True when pages of the guarded mapping at `data` vanished with the file's end.
bool MappingLost(const void* data);

} // namespace quillet
