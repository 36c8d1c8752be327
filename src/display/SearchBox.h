// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QComboBox>

// `SearchText`: the search box, an editable combo box whose drop-down holds the history.
// QComboBox also reports "activated" when the box merely loses the focus with a text
// that equals a history item; historyPicked comes only for a real pick from the list.
//
// The box holds one line: whatever reaches its text (typing, a paste, a drop, a text the
// program sets, such as the hotkey lookup's word) has its line breaks turned into blanks
// (LineBreaksToBlanks) before the box takes it.
// UI thread only.
namespace quillet {

class TSearchBox : public QComboBox {
    Q_OBJECT
public:
    explicit TSearchBox(QWidget* parent = nullptr);

    void showPopup() override;
    void hidePopup() override;

signals:
    void historyPicked();

private:
    bool FPopupClosing = false; // set while the drop-down closes, when a pick is reported
};

} // namespace quillet
