// SPDX-License-Identifier: GPL-2.0-or-later
#include "WinText.h"

#include "WinApi.h"

namespace quillet {

std::wstring WideFromUtf8(const std::string& text) {
    if (text.empty())
        return {};
    const int size = static_cast<int>(text.size());
    const int length =
        MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), size, nullptr, 0);
    if (length <= 0)
        return {};
    std::wstring result(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), size, result.data(), length);
    return result;
}

std::string Utf8FromWide(const wchar_t* text, int length) {
    if (text == nullptr || length == 0)
        return {};
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
    if (size <= 0)
        return {};
    std::string result(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, length, result.data(), size, nullptr, nullptr);
    if (length < 0 && !result.empty() && result.back() == '\0')
        result.pop_back(); // the terminator counted in with length -1
    return result;
}

} // namespace quillet
