// SPDX-License-Identifier: GPL-2.0-or-later
#include "Clipboard.h"

#include "ClipboardReader.h"

#include <QGuiApplication>
#include <QMimeData>
#include <QTimer>

namespace quillet {

const char* const TClipboard::kOpenError = "Zwischenablage kann nicht geöffnet werden";

namespace {
const QString kTextFormat = QStringLiteral("text/plain");
} // namespace

TClipboard::TClipboard(QClipboard* clipboard) : FClipboard(clipboard) {
    if (clipboard != nullptr) {
        FWatch = QObject::connect(clipboard, &QClipboard::changed, clipboard,
                                  [this](QClipboard::Mode mode) {
                                      if (mode == QClipboard::Clipboard)
                                          ++FChanges;
                                  });
        FReader = CreateClipboardReader();
    }
}

TClipboard::~TClipboard() {
    QObject::disconnect(FWatch);
}

TStatus TClipboard::BeginAccess() {
    if (FClipboard.isNull())
        return openError();
    if (FOpenCount == 0) {
        FEmptied = false;
        FPut.clear();
    }
    ++FOpenCount;
    return TStatus::Ok();
}

void TClipboard::EndAccess() {
    if (FOpenCount == 0)
        return;
    if (--FOpenCount == 0)
        FPut.clear();
}

TStatus TClipboard::Empty() {
    if (TStatus status = BeginAccess(); !status.ok())
        return status;
    FClipboard->clear(QClipboard::Clipboard);
    FEmptied = true;
    FPut.clear();
    EndAccess();
    return TStatus::Ok();
}

TStatus TClipboard::PutData(const QString& mimeType, const QByteArray& data) {
    if (TStatus status = BeginAccess(); !status.ok())
        return status;
    // The first put of an access starts from an empty clipboard; the later ones add to it.
    if (!FEmptied) {
        FPut.clear();
        FEmptied = true;
    }
    FPut.insert(mimeType, data);
    publish();
    EndAccess();
    return TStatus::Ok();
}

TStatus TClipboard::PutText(const QString& text) {
    return PutData(kTextFormat, text.toUtf8());
}

void TClipboard::publish() {
    // The clipboard takes the data over and drops what it held before.
    auto* data = new QMimeData;
    for (auto it = FPut.cbegin(); it != FPut.cend(); ++it) {
        // As text, so that the window system offers it in all its text formats.
        if (it.key() == kTextFormat)
            data->setText(QString::fromUtf8(it.value()));
        else
            data->setData(it.key(), it.value());
    }
    FClipboard->setMimeData(data, QClipboard::Clipboard);
}

TStatus TClipboard::GetText(QString& text) {
    text.clear();
    if (TStatus status = BeginAccess(); !status.ok())
        return status;
    const QMimeData* data = FClipboard->mimeData(QClipboard::Clipboard);
    if (data != nullptr && data->hasText())
        text = data->text();
    EndAccess();
    return TStatus::Ok();
}

bool TClipboard::ContainsText() {
    if (FClipboard.isNull())
        return false;
    const QMimeData* data = FClipboard->mimeData(QClipboard::Clipboard);
    return data != nullptr && data->hasText();
}

bool TClipboard::SupportsSelection() const {
    return !FClipboard.isNull() && FClipboard->supportsSelection();
}

TStatus TClipboard::GetSelectionText(QString& text) {
    text.clear();
    if (FClipboard.isNull())
        return openError();
    if (!FClipboard->supportsSelection())
        return TStatus::Ok();
    const QMimeData* data = FClipboard->mimeData(QClipboard::Selection);
    if (data != nullptr && data->hasText())
        text = data->text();
    return TStatus::Ok();
}

void TClipboard::ReadText(bool selection, int timeoutMs,
                          std::function<void(const TStatus&, const QString&)> done) {
    const std::uint64_t read = ++FReadCount;
    auto answer = [this, read, done = std::move(done)](const TStatus& status, const QString& text) {
        if (read == FReadCount)
            done(status, text);
    };
    const QClipboard::Mode mode = selection ? QClipboard::Selection : QClipboard::Clipboard;
    // What the program owns itself, and what the toolkit holds in the process (no X
    // connection), is at hand without asking anybody.
    const bool ownText = !FClipboard.isNull() &&
                         (selection ? FClipboard->ownsSelection() : FClipboard->ownsClipboard());
    if (FClipboard.isNull() || ownText || FReader == nullptr || !FReader->Available()) {
        TStatus status = TStatus::Ok();
        QString text;
        if (FClipboard.isNull()) {
            status = openError();
        } else if (!selection || FClipboard->supportsSelection()) {
            const QMimeData* data = FClipboard->mimeData(mode);
            if (data != nullptr && data->hasText())
                text = data->text();
        }
        QTimer::singleShot(0, [answer, status, text] { answer(status, text); });
        return;
    }
    FReader->Read(selection ? TClipboardSource::Selection : TClipboardSource::Clipboard, timeoutMs,
                  [this, answer](TClipboardRead result, const std::string& utf8) {
                      TStatus status =
                          result == TClipboardRead::Failed ? openError() : TStatus::Ok();
                      const QString text = QString::fromStdString(utf8);
                      // The Windows reader answers at once; the caller hears it later.
                      QTimer::singleShot(0, [answer, status, text] { answer(status, text); });
                  });
}

TClipboard& ClipboardInstance() {
    static TClipboard instance(qGuiApp != nullptr ? QGuiApplication::clipboard() : nullptr);
    return instance;
}

} // namespace quillet
