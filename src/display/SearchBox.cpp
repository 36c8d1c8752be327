// SPDX-License-Identifier: GPL-2.0-or-later
#include "SearchBox.h"

#include "TextTools.h"

#include <QLineEdit>
#include <QTimer>
#include <QValidator>

namespace quillet {
namespace {

// A line edit asks its validator about every new text, however the text came (keys,
// paste, drop, setText), and takes the text the validator hands back: the one place where
// line breaks can be kept out of the box.
class TOneLineValidator final : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int& pos) const override {
        if (input.contains(u'\r') || input.contains(u'\n')) {
            pos =
                int(LineBreaksToBlanks(QStringView(input).first(qBound(0, pos, int(input.size()))))
                        .size());
            input = LineBreaksToBlanks(input);
        }
        return Acceptable;
    }
};

} // namespace

TSearchBox::TSearchBox(QWidget* parent) : QComboBox(parent) {
    setEditable(true);
    lineEdit()->setValidator(new TOneLineValidator(this));
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
