// SPDX-License-Identifier: GPL-2.0-or-later
#include "ChromeAccessible.h"

#include "FormCaption.h"
#include "FormStatusbar.h"
#include "PaintBoxEx.h"
#include "RoundButton.h"

#include <map>
#include <QCoreApplication>
#include <QMouseEvent>
#include <QPointer>
#include <QWindow>

namespace quillet {
namespace {

const char kButtonNamesProperty[] = "quillet_accessible_button_names";
TAccessibilityObserver gObserver = nullptr;

// German, as every text of the program; the windows set them again in their language.
QStringList defaultButtonNames() {
    return {QStringLiteral("Menü"), QStringLiteral("Minimieren"), QStringLiteral("Maximieren"),
            QStringLiteral("Wiederherstellen"), QStringLiteral("Schließen")};
}

// One caption button: no widget of its own, so it lives as long as its bar's interface.
class TCaptionButtonAccessible : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    TCaptionButtonAccessible(TFormCaption* caption, TFormCaption::Button button)
        : FCaption(caption), FButton(button) {}

    bool isValid() const override {
        return FCaption && FCaption->State(FButton) != TFormCaption::cbsAbsent;
    }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override {
        return FCaption ? FCaption->window()->windowHandle() : nullptr;
    }
    QAccessibleInterface* parent() const override {
        return QAccessible::queryAccessibleInterface(FCaption.data());
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QString text(QAccessible::Text kind) const override {
        if (kind != QAccessible::Name || !FCaption)
            return {};
        QStringList names = FCaption->property(kButtonNamesProperty).toStringList();
        if (names.size() != 5)
            names = defaultButtonNames();
        switch (FButton) {
        case TFormCaption::HelpButton:
            return names[0];
        case TFormCaption::MinimizeButton:
            return names[1];
        case TFormCaption::MaximizeButton:
            return names[FCaption->ShowState() == TFormCaption::ssMaximized ? 3 : 2];
        case TFormCaption::CloseButton:
            return names[4];
        }
        return {};
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override {
        if (!FCaption)
            return {};
        const QRect local = FCaption->ButtonRect(FButton);
        return QRect(FCaption->mapToGlobal(local.topLeft()), local.size());
    }
    QAccessible::Role role() const override { return QAccessible::Button; }
    QAccessible::State state() const override {
        QAccessible::State state;
        state.invisible = !FCaption || !FCaption->isVisible();
        state.hasPopup = FButton == TFormCaption::HelpButton && FCaption && FCaption->PopupMenu();
        return state;
    }
    void* interface_cast(QAccessible::InterfaceType type) override {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this)
                                                    : nullptr;
    }

    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& name) override {
        if (name != pressAction() || !isValid())
            return;
        // Posted, as the release of a real click: the action may open a question or the
        // menu, and the caller must not wait for that.
        const QPointF at = QRectF(FCaption->ButtonRect(FButton)).center();
        QCoreApplication::postEvent(FCaption.data(),
                                    new QMouseEvent(QEvent::MouseButtonRelease, at,
                                                    FCaption->mapToGlobal(at), Qt::LeftButton,
                                                    Qt::NoButton, Qt::NoModifier));
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    QPointer<TFormCaption> FCaption;
    TFormCaption::Button FButton;
};

class TFormCaptionAccessible : public QAccessibleWidget {
public:
    explicit TFormCaptionAccessible(TFormCaption* caption)
        : QAccessibleWidget(caption, QAccessible::TitleBar) {}
    ~TFormCaptionAccessible() override {
        for (const auto& [button, id] : FButtons)
            QAccessible::deleteAccessibleInterface(id);
    }

    QString text(QAccessible::Text kind) const override {
        const QString own = QAccessibleWidget::text(kind);
        if (kind == QAccessible::Name && own.isEmpty())
            return caption()->Caption();
        return own;
    }
    int childCount() const override { return int(presentButtons().size()); }
    QAccessibleInterface* child(int index) const override {
        const std::vector<TFormCaption::Button> present = presentButtons();
        if (index < 0 || index >= int(present.size()))
            return nullptr;
        const TFormCaption::Button button = present[size_t(index)];
        auto found = FButtons.find(button);
        if (found == FButtons.end())
            found = FButtons
                        .emplace(button, QAccessible::registerAccessibleInterface(
                                             new TCaptionButtonAccessible(caption(), button)))
                        .first;
        return QAccessible::accessibleInterface(found->second);
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        for (int i = 0; i < childCount(); ++i)
            if (this->child(i) == child)
                return i;
        return -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        for (int i = 0; i < childCount(); ++i)
            if (child(i)->rect().contains(x, y))
                return child(i);
        return nullptr;
    }

private:
    TFormCaption* caption() const { return static_cast<TFormCaption*>(widget()); }
    std::vector<TFormCaption::Button> presentButtons() const {
        std::vector<TFormCaption::Button> present;
        for (auto button : {TFormCaption::HelpButton, TFormCaption::MinimizeButton,
                            TFormCaption::MaximizeButton, TFormCaption::CloseButton})
            if (caption()->State(button) != TFormCaption::cbsAbsent)
                present.push_back(button);
        return present;
    }

    mutable std::map<TFormCaption::Button, QAccessible::Id> FButtons;
};

// A control whose only action is its OnClick signal: the round button and the banner.
class TClickableAccessible : public QAccessibleWidget {
public:
    TClickableAccessible(QWidget* widget, QAccessible::Role role, QString caption = {})
        : QAccessibleWidget(widget, role), FCaption(std::move(caption)) {}

    QString text(QAccessible::Text kind) const override {
        const QString own = QAccessibleWidget::text(kind);
        if (kind == QAccessible::Name && own.isEmpty())
            return FCaption;
        return own;
    }
    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& name) override {
        if (name == pressAction())
            QMetaObject::invokeMethod(widget(), "OnClick", Qt::QueuedConnection);
    }

private:
    QString FCaption;
};

class TRoundButtonAccessible : public TClickableAccessible {
public:
    explicit TRoundButtonAccessible(TRoundButton* button)
        : TClickableAccessible(button, QAccessible::Button) {}
    QString text(QAccessible::Text kind) const override {
        const QString own = TClickableAccessible::text(kind);
        if (kind == QAccessible::Name && own.isEmpty())
            return static_cast<TRoundButton*>(widget())->Caption();
        return own;
    }
};

QAccessibleInterface* chromeFactory(const QString&, QObject* object) {
    if (auto* caption = qobject_cast<TFormCaption*>(object))
        return new TFormCaptionAccessible(caption);
    if (auto* status = qobject_cast<TFormStatusbar*>(object))
        return new TPaintedTextAccessible(status, QAccessible::StatusBar,
                                          [status] { return status->Caption(); });
    if (auto* button = qobject_cast<TRoundButton*>(object))
        return new TRoundButtonAccessible(button);
    if (auto* box = qobject_cast<TPaintBoxEx*>(object))
        return new TClickableAccessible(box, QAccessible::Link);
    return nullptr;
}

} // namespace

void InstallChromeAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(chromeFactory);
        return true;
    }();
    (void)installed;
}

void SetCaptionButtonNames(TFormCaption* caption, const QStringList& names) {
    caption->setProperty(kButtonNamesProperty, names);
}

TPaintedTextAccessible::TPaintedTextAccessible(QWidget* widget, QAccessible::Role role,
                                               std::function<QString()> shownText)
    : QAccessibleWidget(widget, role), FShownText(std::move(shownText)) {}

QString TPaintedTextAccessible::text(QAccessible::Text kind) const {
    if (kind == QAccessible::Value)
        return FShownText();
    const QString own = QAccessibleWidget::text(kind);
    if (kind == QAccessible::Name && own.isEmpty())
        return FShownText();
    return own;
}

void* TPaintedTextAccessible::interface_cast(QAccessible::InterfaceType type) {
    if (type == QAccessible::TextInterface)
        return static_cast<QAccessibleTextInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
}

void TPaintedTextAccessible::selection(int, int* startOffset, int* endOffset) const {
    *startOffset = 0;
    *endOffset = 0;
}

QString TPaintedTextAccessible::text(int startOffset, int endOffset) const {
    const QString shown = FShownText();
    if (endOffset < 0 || endOffset > shown.size())
        endOffset = int(shown.size());
    startOffset = std::clamp(startOffset, 0, endOffset);
    return shown.mid(startOffset, endOffset - startOffset);
}

int TPaintedTextAccessible::characterCount() const {
    return int(FShownText().size());
}

QRect TPaintedTextAccessible::characterRect(int) const {
    return {}; // the painting lays the text out; no character positions are kept
}

int TPaintedTextAccessible::offsetAtPoint(const QPoint&) const {
    return -1;
}

QString TPaintedTextAccessible::attributes(int offset, int* startOffset, int* endOffset) const {
    *startOffset = offset;
    *endOffset = offset;
    return {};
}

void NotifyPaintedTextChanged(QWidget* widget, const QString& before, const QString& after) {
    if (before == after || !AccessibilityListening())
        return;
    QAccessibleTextUpdateEvent changed(widget, 0, before, after);
    SendAccessibilityEvent(&changed);
    if (widget->accessibleName().isEmpty()) {
        QAccessibleEvent renamed(widget, QAccessible::NameChanged);
        SendAccessibilityEvent(&renamed);
    }
}

void SetAccessibilityObserver(TAccessibilityObserver observer) {
    gObserver = observer;
}

bool AccessibilityListening() {
    return gObserver || QAccessible::isActive();
}

void SendAccessibilityEvent(QAccessibleEvent* event) {
    if (gObserver)
        gObserver(event);
    QAccessible::updateAccessibility(event);
}

} // namespace quillet
