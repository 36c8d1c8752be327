// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

// <windows.h> as every Windows platform file wants it: the wide-character API, and no
// min/max macros or rarely used parts to clash with the standard library.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef UNICODE
#define UNICODE
#endif
#include <windows.h>
