// SPDX-License-Identifier: GPL-2.0-or-later
#include "AccessibleNames.h"

#include "ChromeAccessible.h"
#include "FormCaption.h"
#include "Translations.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QSplitter>
#include <QTabBar>
#include <QWidget>

namespace quillet {
namespace {

struct TControlName {
    const char* ObjectName;
    const char16_t* Name;        // German, as every text of the program
    const char16_t* Description; // may be empty
};

constexpr TControlName kNames[] = {
    // The main window.
    {"SearchText", u"Suchbegriff",
     u"Tippen sucht; Pfeiltasten gehen durch die Wortliste, Strg+Tab wechselt die Sprache"},
    {"WordListBox", u"Wortliste", u"Stichwörter um das gesuchte Wort"},
    {"LangTabControl", u"Sprachrichtung", u"Die Sprache, in der gesucht wird (Strg+Tab)"},
    {"ResultGrid", u"Einträge",
     u"Eingabetaste schlägt das erste Wort der Zeile nach, Umschalt+F10 öffnet ihr Menü, "
     u"Strg+C kopiert den Eintrag"},
    {"SuggestionStrip", u"Vorschläge", u"Was gemeint sein könnte; Alt+1 bis Alt+5 wählen"},
    {"PronPanel", u"Aussprache", u""},
    {"btnSpeak", u"Vorsprechen",
     u"Spricht das Stichwort oder das Wort unter dem Mauszeiger (Strg+Leertaste)"},
    {"FormStatusbar", u"Statuszeile", u""},
    {"btnDictInfo", u"Wörterbuch Info", u"Über das Programm und das Wörterbuch (F1)"},
    {"AdPaintBox", u"", u"Öffnet die Webseite des Projekts"},
    {"MainMenu", u"Hauptmenü", u""},
    {"PopupMenu", u"Menü des Eintrags", u""},
    // The settings dialog: the boxes that no label of their own names.
    {"HotKeyEdit", u"Tastaturkürzel", u"Schlägt das in einem anderen Programm markierte Wort nach"},
    {"CopyDelayEdit1", u"Erste Kopierverzögerung", u"Millisekunden"},
    {"CopyDelayEdit2", u"Zweite Kopierverzögerung", u"Millisekunden"},
    {"CopyDelayEdit3", u"Dritte Kopierverzögerung", u"Millisekunden"},
    {"AutoSearchDelayEdit", u"Suchverzögerung", u"Millisekunden"},
    {"Font1Combo", u"Schriftart der Einträge", u""},
    {"Size1Combo", u"Schriftgröße der Einträge", u""},
    {"Font2Combo", u"Schriftart der Lautschrift", u""},
    {"Size2Combo", u"Schriftgröße der Lautschrift", u""},
    // The import dialog, which speaks German only.
    {"Button1", u"Quelldatei wählen", u""},
    {"Button2", u"Zieldatei wählen", u""},
    {"ProgressBar", u"Fortschritt", u""},
};

void nameWidget(QWidget* widget, const TControlName& entry) {
    const auto T = [](const char16_t* german) { return Translate(QString::fromUtf16(german)); };
    if (*entry.Name)
        widget->setAccessibleName(T(entry.Name));
    widget->setAccessibleDescription(*entry.Description ? T(entry.Description) : QString());
    // The line edit inside an editable box or the hotkey editor is what holds the focus
    // and what a reader announces.
    if (auto* edit = widget->findChild<QLineEdit*>(QString(), Qt::FindDirectChildrenOnly)) {
        edit->setAccessibleName(widget->accessibleName());
        edit->setAccessibleDescription(widget->accessibleDescription());
    }
}

} // namespace

void NameControls(QWidget* root) {
    for (const TControlName& entry : kNames) {
        const QString objectName = QLatin1String(entry.ObjectName);
        if (root->objectName() == objectName)
            nameWidget(root, entry);
        for (QWidget* widget : root->findChildren<QWidget*>(objectName))
            nameWidget(widget, entry);
    }
    if (auto* tabs = root->findChild<QTabBar*>(QStringLiteral("LangTabControl"))) {
        tabs->setAccessibleTabName(0, Translate(QStringLiteral("Deutsch")));
        tabs->setAccessibleTabName(1, Translate(QStringLiteral("Englisch")));
    }
    const QStringList buttons = {
        Translate(QStringLiteral("Menü")), Translate(QStringLiteral("Minimieren")),
        Translate(QStringLiteral("Maximieren")), Translate(QStringLiteral("Wiederherstellen")),
        Translate(QStringLiteral("Schließen"))};
    // The clear buttons that line edits bring along have neither text nor name.
    for (QAbstractButton* button : root->findChildren<QAbstractButton*>())
        if (button->text().isEmpty() && qobject_cast<QLineEdit*>(button->parentWidget()))
            button->setAccessibleName(Translate(QStringLiteral("Leeren")));
    for (TFormCaption* caption : root->findChildren<TFormCaption*>())
        SetCaptionButtonNames(caption, buttons);
    // The handle between the word list and the entries; the first handle of a splitter
    // is never shown.
    for (QSplitter* splitter : root->findChildren<QSplitter*>()) {
        for (int i = 1; i < splitter->count(); ++i) {
            splitter->handle(i)->setAccessibleName(Translate(QStringLiteral("Trennlinie")));
            splitter->handle(i)->setAccessibleDescription(
                Translate(QStringLiteral("Ziehen ändert die Breite der Wortliste")));
        }
    }
}

} // namespace quillet
