// SPDX-License-Identifier: GPL-2.0-or-later
#include "ClipboardReader.h"

#include "WinApi.h"
#include "WinText.h"

// The Windows clipboard holds the text itself (or renders it for the reader at once):
// opened, read as CF_UNICODETEXT and closed again within the call. A clipboard that another
// program keeps open fails the read.
namespace quillet {
namespace {

class TClipboardReaderWin final : public TClipboardReader {
public:
    bool Available() const override { return true; }

    void Read(TClipboardSource source, int,
              std::function<void(TClipboardRead, const std::string&)> done) override {
        // Windows has no primary selection.
        if (source == TClipboardSource::Selection) {
            done(TClipboardRead::NoText, {});
            return;
        }
        if (!OpenClipboard(nullptr)) {
            done(TClipboardRead::Failed, {});
            return;
        }
        std::string text;
        bool found = false;
        if (HANDLE data = GetClipboardData(CF_UNICODETEXT); data != nullptr) {
            if (const auto* wide = static_cast<const wchar_t*>(GlobalLock(data))) {
                text = Utf8FromWide(wide);
                found = true;
                GlobalUnlock(data);
            }
        }
        CloseClipboard();
        done(found ? TClipboardRead::Text : TClipboardRead::NoText, text);
    }
};

} // namespace

std::unique_ptr<TClipboardReader> CreateClipboardReader() {
    return std::make_unique<TClipboardReaderWin>();
}

} // namespace quillet
