// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <string>

// UTF-8 and the UTF-16 of the Windows wide calls, for the Windows platform services.
// Any thread.
namespace quillet {

// Empty for an empty text; also for text that is not valid UTF-8, which the callers
// treat as a name they cannot store.
std::wstring WideFromUtf8(const std::string& text);
std::string Utf8FromWide(const wchar_t* text, int length = -1);

} // namespace quillet
