// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "Status.h"

#include <QByteArray>
#include <QClipboard>
#include <QMap>
#include <QPointer>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>

// The program's access to the system clipboard, used by the hotkey lookup and the copy
// commands of the result grid. Accesses nest (BeginAccess/EndAccess): what is put during
// one outermost access replaces the clipboard's content once and then adds up, so several
// formats put in one access end up side by side. Text is Unicode text throughout.
//
// Every operation that needs the clipboard fails with "Zwischenablage kann nicht geöffnet
// werden" when there is none (no QGuiApplication, or it is gone). Qt itself reports no
// failure: a clipboard whose owner does not answer reads as one without data. The message
// is German, as every program text; it is translated where shown.
//
// UI thread only.
namespace quillet {

class TClipboardReader;

class TClipboard {
public:
    // `clipboard`: the application's clipboard; nullptr gives a clipboard that cannot be
    // opened.
    explicit TClipboard(QClipboard* clipboard);
    ~TClipboard();
    TClipboard(const TClipboard&) = delete;
    TClipboard& operator=(const TClipboard&) = delete;

    static const char* const kOpenError;

    TStatus BeginAccess();
    // Nothing when no access is open.
    void EndAccess();

    TStatus Empty();
    // Adds data of `mimeType` ("text/plain" is UTF-8 text) to what this access has put; the first
    // put of an access replaces the clipboard's content.
    TStatus PutData(const QString& mimeType, const QByteArray& data);
    TStatus PutText(const QString& text);
    // Empty text when the clipboard holds no text.
    TStatus GetText(QString& text);
    bool ContainsText();
    // The X11 primary selection (the text selected last, in any application), or empty
    // text where the window system has none.
    TStatus GetSelectionText(QString& text);
    bool SupportsSelection() const;

    // Reads the text of the clipboard (`selection` false) or of the primary selection
    // without waiting on the UI thread for the program that owns it: `done` gets Ok and
    // the text (empty when there is none), or the open error when the owner has not
    // answered within `timeoutMs`. Always from the event loop, never before ReadText
    // returns. A second read drops the first one's call.
    void ReadText(bool selection, int timeoutMs,
                  std::function<void(const TStatus& status, const QString& text)> done);

    // Counts every change of the clipboard's content since this object exists, by this
    // program or another one: a change shows as a different number.
    std::uint64_t ChangeCount() const { return FChanges; }

    int OpenCount() const { return FOpenCount; }
    bool Emptied() const { return FEmptied; }

private:
    TStatus openError() const { return TStatus::Error(QString::fromUtf8(kOpenError)); }
    void publish();

    QPointer<QClipboard> FClipboard;
    int FOpenCount = 0;
    bool FEmptied = false;
    // What this access has put, by format; published whole at each put.
    QMap<QString, QByteArray> FPut;
    std::uint64_t FChanges = 0;
    QMetaObject::Connection FWatch;
    std::unique_ptr<TClipboardReader> FReader;
    std::uint64_t FReadCount = 0; // tells a dropped read's late answer from the current one
};

// The program's one clipboard object, bound to the application's clipboard on the first
// call, which must come after the QGuiApplication exists.
TClipboard& ClipboardInstance();

} // namespace quillet
