// SPDX-License-Identifier: GPL-2.0-or-later
#include "ClipboardReader.h"

#include "XcbConnection.h"

#include <QAbstractNativeEventFilter>
#include <QByteArray>
#include <QCoreApplication>
#include <QTimer>

#include <algorithm>
#include <cstdlib>
#include <memory>

// ICCCM's conversion on Qt's connection, driven by events: the reader asks the owner of the
// selection to convert it to UTF8_STRING (then STRING, Latin-1) into a property of a
// hidden window of its own, and picks the SelectionNotify and, for large texts sent in
// INCR pieces, the PropertyNotify events out of Qt's event stream. Events for other
// windows go on to Qt. Late answers of a read that timed out find no read under way and
// are thrown away.
namespace quillet {
namespace {

template <typename T> using TReply = std::unique_ptr<T, decltype(&std::free)>;

class TClipboardReaderX11 final : public TClipboardReader, public QAbstractNativeEventFilter {
public:
    TClipboardReaderX11() : FConnection(QtXcbConnection()) {
        if (FConnection == nullptr)
            return;
        FClipboard = InternAtom(FConnection, "CLIPBOARD");
        FUtf8 = InternAtom(FConnection, "UTF8_STRING");
        FIncr = InternAtom(FConnection, "INCR");
        FProperty = InternAtom(FConnection, "QUILLET_CLIPBOARD_READ");
        const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(FConnection)).data;
        FWindow = xcb_generate_id(FConnection);
        const std::uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
        xcb_create_window(FConnection, XCB_COPY_FROM_PARENT, FWindow, screen->root, 0, 0, 1, 1, 0,
                          XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK,
                          &mask);
        xcb_flush(FConnection);
        QCoreApplication::instance()->installNativeEventFilter(this);
        FTimer.setSingleShot(true);
        QObject::connect(&FTimer, &QTimer::timeout, [this] { finish(TClipboardRead::Failed); });
    }

    ~TClipboardReaderX11() override {
        if (FConnection == nullptr)
            return;
        if (QCoreApplication::instance() != nullptr)
            QCoreApplication::instance()->removeNativeEventFilter(this);
        xcb_destroy_window(FConnection, FWindow);
        xcb_flush(FConnection);
    }

    bool Available() const override { return FConnection != nullptr; }

    void Read(TClipboardSource source, int timeoutMs,
              std::function<void(TClipboardRead, const std::string&)> done) override {
        FDone = nullptr;
        FTimer.stop();
        if (FConnection == nullptr) {
            done(TClipboardRead::Failed, {});
            return;
        }
        FSelection =
            source == TClipboardSource::Clipboard ? FClipboard : xcb_atom_t(XCB_ATOM_PRIMARY);
        TReply<xcb_get_selection_owner_reply_t> owner(
            xcb_get_selection_owner_reply(
                FConnection, xcb_get_selection_owner(FConnection, FSelection), nullptr),
            &std::free);
        if (!owner || owner->owner == XCB_WINDOW_NONE) {
            done(TClipboardRead::NoText, {});
            return;
        }
        FDone = std::move(done);
        FText.clear();
        FInPieces = false;
        convert(FUtf8);
        FTimer.start(std::max(timeoutMs, 0));
    }

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) override {
        if (eventType != "xcb_generic_event_t")
            return false;
        const auto* event = static_cast<const xcb_generic_event_t*>(message);
        const std::uint8_t type = event->response_type & ~0x80;
        if (type == XCB_SELECTION_NOTIFY) {
            const auto* notify = static_cast<const xcb_selection_notify_event_t*>(message);
            if (notify->requestor != FWindow)
                return false;
            if (FDone)
                converted(*notify);
            return true;
        }
        if (type == XCB_PROPERTY_NOTIFY) {
            const auto* property = static_cast<const xcb_property_notify_event_t*>(message);
            if (property->window != FWindow)
                return false;
            if (FDone && FInPieces && property->atom == FProperty &&
                property->state == XCB_PROPERTY_NEW_VALUE)
                piece();
            return true;
        }
        return false;
    }

private:
    void convert(xcb_atom_t target) {
        FTarget = target;
        xcb_convert_selection(FConnection, FWindow, FSelection, target, FProperty,
                              XCB_CURRENT_TIME);
        xcb_flush(FConnection);
    }

    // Reads and deletes the property; deleting it asks an INCR sender for the next piece.
    bool take(QByteArray& data, xcb_atom_t& type) {
        TReply<xcb_get_property_reply_t> reply(
            xcb_get_property_reply(FConnection,
                                   xcb_get_property(FConnection, 1, FWindow, FProperty,
                                                    XCB_GET_PROPERTY_TYPE_ANY, 0, 0x1000000),
                                   nullptr),
            &std::free);
        xcb_flush(FConnection);
        if (!reply)
            return false;
        type = reply->type;
        data = QByteArray(static_cast<const char*>(xcb_get_property_value(reply.get())),
                          xcb_get_property_value_length(reply.get()));
        return true;
    }

    void converted(const xcb_selection_notify_event_t& notify) {
        if (notify.property == XCB_ATOM_NONE) {
            // No UTF-8 from this owner: older clients offer Latin-1 only.
            if (FTarget == FUtf8)
                convert(XCB_ATOM_STRING);
            else
                finish(TClipboardRead::NoText);
            return;
        }
        QByteArray data;
        xcb_atom_t type = XCB_ATOM_NONE;
        if (!take(data, type)) {
            finish(TClipboardRead::NoText);
            return;
        }
        if (type == FIncr) {
            FInPieces = true;
            return;
        }
        FText = data;
        finish(TClipboardRead::Text);
    }

    void piece() {
        QByteArray data;
        xcb_atom_t type = XCB_ATOM_NONE;
        if (!take(data, type)) {
            finish(TClipboardRead::NoText);
            return;
        }
        // An empty piece ends the transfer.
        if (data.isEmpty())
            finish(TClipboardRead::Text);
        else
            FText += data;
    }

    void finish(TClipboardRead result) {
        FTimer.stop();
        auto done = std::move(FDone);
        FDone = nullptr;
        FInPieces = false;
        std::string text;
        if (result == TClipboardRead::Text) {
            text = FTarget == FUtf8 ? FText.toStdString()
                                    : QString::fromLatin1(FText).toUtf8().toStdString();
        }
        FText.clear();
        if (done)
            done(result, text);
    }

    xcb_connection_t* FConnection;
    xcb_window_t FWindow = XCB_WINDOW_NONE;
    xcb_atom_t FClipboard = XCB_ATOM_NONE;
    xcb_atom_t FUtf8 = XCB_ATOM_NONE;
    xcb_atom_t FIncr = XCB_ATOM_NONE;
    xcb_atom_t FProperty = XCB_ATOM_NONE;
    xcb_atom_t FSelection = XCB_ATOM_NONE;
    xcb_atom_t FTarget = XCB_ATOM_NONE;
    QTimer FTimer;
    std::function<void(TClipboardRead, const std::string&)> FDone;
    QByteArray FText;
    bool FInPieces = false;
};

} // namespace

std::unique_ptr<TClipboardReader> CreateClipboardReader() {
    return std::make_unique<TClipboardReaderX11>();
}

} // namespace quillet
