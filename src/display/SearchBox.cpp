// SPDX-License-Identifier: GPL-2.0-or-later
#include "SearchBox.h"

#include <QTimer>

namespace quillet {

TSearchBox::TSearchBox(QWidget* parent) : QComboBox(parent) {
    connect(this, &QComboBox::activated, this, [this] {
        if (FPopupClosing)
            emit historyPicked();
        FPopupClosing = false;
    });
}

void TSearchBox::showPopup() {
    FPopupClosing = false;
    QComboBox::showPopup();
}

void TSearchBox::hidePopup() {
    // A pick closes the drop-down and is reported right after, in the same call; a
    // drop-down closed without a pick leaves the flag to the next turn of the event loop.
    FPopupClosing = true;
    QComboBox::hidePopup();
    QTimer::singleShot(0, this, [this] { FPopupClosing = false; });
}

} // namespace quillet
