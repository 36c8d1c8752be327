// SPDX-License-Identifier: GPL-2.0-or-later
#include "SingleInstance.h"

#include "WinApi.h"

// A named mutex in the session's namespace, owned from creation. Windows destroys it when
// the last handle closes, which at the latest is the end of the owning process.
namespace quillet {
namespace {

class TSingleInstanceWin final : public TSingleInstance {
public:
    ~TSingleInstanceWin() override {
        if (FMutex != nullptr) {
            ReleaseMutex(FMutex);
            CloseHandle(FMutex);
        }
    }

    bool Acquire() override {
        if (FMutex != nullptr)
            return true;
        HANDLE mutex = CreateMutexW(nullptr, TRUE, L"Quillet Dictionary");
        const DWORD error = GetLastError();
        if (mutex == nullptr) {
            // The mutex exists but belongs to a copy running with other rights (elevated);
            // any other failure leaves nothing to guard with.
            return error != ERROR_ACCESS_DENIED;
        }
        if (error == ERROR_ALREADY_EXISTS) {
            CloseHandle(mutex);
            return false;
        }
        FMutex = mutex;
        return true;
    }

private:
    HANDLE FMutex = nullptr;
};

} // namespace

std::unique_ptr<TSingleInstance> CreateSingleInstance() {
    return std::make_unique<TSingleInstanceWin>();
}

} // namespace quillet
