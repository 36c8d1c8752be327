// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/MappingGuard.h"

// Windows refuses to shrink or truncate a file while a view of it is mapped, so a mapping
// never loses pages there.
namespace quillet {

void GuardMapping(const void*, qint64) {}
void UnguardMapping(const void*) {}
bool MappingLost(const void*) {
    return false;
}

} // namespace quillet
