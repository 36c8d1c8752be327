// SPDX-License-Identifier: GPL-2.0-or-later
#include "Mnemonics.h"

#include <initializer_list>
#include <QAbstractButton>
#include <QLabel>
#include <QWidget>

namespace quillet {
namespace {

struct TMnemonicControl {
    const char* Control; // a label or a button
    const char* Buddy;   // the box a label names; null for buttons
};

// The controls in reading order; the "ms" labels and the "..." buttons get no letter.
constexpr TMnemonicControl kOptionsControls[] = {
    {"Label6", "HotKeyEdit"},        {"Label7", "CopyDelayEdit1"},
    {"checkAutoSearch", nullptr},    {"Label8", "AutoSearchDelayEdit"},
    {"Label2", "Font1Combo"},        {"Label3", "Size1Combo"},
    {"Label4", "Font2Combo"},        {"Label5", "Size2Combo"},
    {"checkAutorun", nullptr},       {"checkLanguageDirection", nullptr},
    {"checkCloseQuestion", nullptr}, {"OkButton", nullptr},
    {"CancelButton", nullptr},
};

constexpr TMnemonicControl kImportControls[] = {
    {"SourceLabel", "SourceEdit"},
    {"DestinationLabel", "DestinationEdit"},
    {"TntLabel3", "MetaNameEdit"},
    {"TntLabel1", "LanguageCombo1"},
    {"TntLabel2", "LanguageCombo2"},
    {"Button3", nullptr},
    {"Button5", nullptr},
    {"BtnCancel", nullptr},
};

template <size_t N> void assign(QWidget* dialog, const TMnemonicControl (&controls)[N]) {
    QString used;
    for (const TMnemonicControl& control : controls) {
        QWidget* widget = dialog->findChild<QWidget*>(QLatin1String(control.Control));
        if (auto* label = qobject_cast<QLabel*>(widget)) {
            if (control.Buddy)
                label->setBuddy(dialog->findChild<QWidget*>(QLatin1String(control.Buddy)));
            label->setText(WithMnemonic(label->text(), used));
        } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
            button->setText(WithMnemonic(button->text(), used));
        }
    }
}

} // namespace

QString WithMnemonic(const QString& text, QString& used) {
    QString plain = text;
    plain.remove(u'&');
    const auto take = [&](qsizetype at) {
        used.append(plain[at].toLower());
        plain.insert(at, u'&');
        return plain;
    };
    const auto free = [&](qsizetype at) {
        return plain[at].isLetterOrNumber() && !used.contains(plain[at].toLower());
    };
    for (qsizetype at = 0; at < plain.size(); ++at)
        if ((at == 0 || !plain[at - 1].isLetterOrNumber()) && free(at))
            return take(at);
    for (qsizetype at = 0; at < plain.size(); ++at)
        if (free(at))
            return take(at);
    return plain;
}

void AssignOptionsMnemonics(QWidget* dialog) {
    assign(dialog, kOptionsControls);
}

void AssignImportMnemonics(QWidget* dialog) {
    assign(dialog, kImportControls);
}

} // namespace quillet
