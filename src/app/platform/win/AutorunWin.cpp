// SPDX-License-Identifier: GPL-2.0-or-later
#include "Autorun.h"

#include "WinText.h"

#include "WinApi.h"

// A text value in the current user's Run key, which Windows starts at logon. The program
// path is quoted: unquoted, a path with blanks ("C:\Program Files\...") would let Windows
// try "C:\Program.exe" first.
namespace quillet {
namespace {

constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

class TKey {
public:
    TKey(const std::wstring& path, bool create) {
        const LSTATUS status =
            create ? RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                                     nullptr, &FKey, nullptr)
                   : RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_QUERY_VALUE, &FKey);
        if (status != ERROR_SUCCESS)
            FKey = nullptr;
    }
    ~TKey() {
        if (FKey != nullptr)
            RegCloseKey(FKey);
    }
    TKey(const TKey&) = delete;
    TKey& operator=(const TKey&) = delete;

    HKEY Handle() const { return FKey; }

private:
    HKEY FKey = nullptr;
};

class TAutorunWin final : public TAutorun {
public:
    explicit TAutorunWin(std::wstring keyPath) : FKeyPath(std::move(keyPath)) {}

    bool AutorunEntryExists(const std::string& name) override {
        const std::wstring valueName = WideFromUtf8(name);
        if (valueName.empty())
            return false;
        const TKey key(FKeyPath, false);
        return key.Handle() != nullptr &&
               RegQueryValueExW(key.Handle(), valueName.c_str(), nullptr, nullptr, nullptr,
                                nullptr) == ERROR_SUCCESS;
    }

    bool SetAutorunEntry(const std::string& name, const std::string& program,
                         const std::string& arguments, bool enable) override {
        const std::wstring valueName = WideFromUtf8(name);
        if (valueName.empty())
            return false;
        const TKey key(FKeyPath, true);
        if (key.Handle() == nullptr)
            return false;
        if (!enable) {
            const LSTATUS status = RegDeleteValueW(key.Handle(), valueName.c_str());
            return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
        }
        const std::wstring path = WideFromUtf8(program);
        if (path.empty())
            return false;
        std::wstring command = path.find(L' ') == std::wstring::npos ? path : L'"' + path + L'"';
        if (!arguments.empty()) {
            const std::wstring wideArguments = WideFromUtf8(arguments);
            if (wideArguments.empty())
                return false;
            command += L' ' + wideArguments;
        }
        const auto bytes = static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t));
        return RegSetValueExW(key.Handle(), valueName.c_str(), 0, REG_SZ,
                              reinterpret_cast<const BYTE*>(command.c_str()),
                              bytes) == ERROR_SUCCESS;
    }

private:
    std::wstring FKeyPath;
};

} // namespace

// `folder` is a key path under HKEY_CURRENT_USER here.
std::unique_ptr<TAutorun> CreateAutorun(const std::string& folder) {
    return std::make_unique<TAutorunWin>(folder.empty() ? std::wstring(kRunKey)
                                                        : WideFromUtf8(folder));
}

} // namespace quillet
