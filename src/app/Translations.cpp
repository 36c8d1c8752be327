// SPDX-License-Identifier: GPL-2.0-or-later
#include "Translations.h"

#include "HashList.h"
#include "ProjectLinks.h"

#include <atomic>
#include <iterator>
#include <QCoreApplication>
#include <QLibraryInfo>
#include <QMutex>
#include <QMutexLocker>
#include <QPointer>
#include <QTranslator>

namespace quillet {
namespace {

struct TPair {
    QStringView German, English;
};

// German key -> English text, inserted in this order by a sorted insert: a later key
// equal to an earlier one under CompareText replaces its value ("HotKey" after "Hotkey"),
// and a repeated pair changes nothing ("Sprache").
constexpr TPair kEnglish[] = {
    {kSiteHost, kSiteHost},
    {kSiteNameDe, kSiteNameEn},
    {kSloganDe, kSloganEn},
    {u"Von", u"Powered by"},
    {u"Englisch", u"English"},
    {u"ENG", u"ENG"},
    {u"Deutsch", u"German"},
    {u"DEU", u"GER"},
    {u"lade Datenbank", u"loading database"},
    {u"Programm beenden", u"Close program"},
    {u"Suchbegriff", u"Search term"},
    {u"Wörterbuch Info", u"Dictionary Info"},
    {u"Deutsch/Englisch Wörterbuch", u"German/English Dictionary"},
    {u"Wörterbuch", u"Dictionary"},
    {u"Lade Wörterbuch Index...", u"Loading index..."},
    {u"Aussprache", u"Pronunciation"},
    {u"Über Quillet-Dictionary...", u"About Quillet-Dictionary..."},
    {u"keine Lautschrift für »%s« vorhanden", u"no pronunciation for »%s« available"},
    {u"Sprache", u"Language"},
    {u"%d Stichwörter, %d Verweise", u"%d keywords, %d references"},
    {u"Ladezeit %d.%d Sekunden", u"loading time %d.%d seconds"},
    {u"Informationen und Updates zum Programm:", u"Information and updates:"},
    {u"Forum für Kommentare und Fehler:", u"Discussion board:"},
    {u"... über Quillet-Dictionary", u"... about Quillet-Dictionary"},
    {kProductPageDe, kProductPageEn},
    {kForumDe, kForumEn},
    {u"Einstellungen", u"Options"},
    {u"Sprache", u"Language"},
    {u"Abbruch", u"Cancel"},
    {u"Hotkey", u"Hotkey"},
    {u"Mit Windows starten", u"Autorun"},
    {u"Sprachrichtung umkehren", u"Reverse language"},
    {u"Tastaturkürzel", u"Shortcut"},
    {u"Verzögerung", u"Delay"},
    {u"Schriftart / Schriftgröße", u"Font / Size"},
    {u"Schriftart", u"Font"},
    {u"Schriftgröße", u"Size"},
    {u"Lautschrift", u"Pronunciation"},
    {u"Automatische Suche", u"Auto search"},
    {u"Suchen bei Eingabe", u"Search on type"},
    {u"HotKey", u"HotKey"},
    {u"Sonstiges", u"Miscellaneous"},
    {u"Beim Beenden nachfragen", u"Ask on close"},
    {u"Versionsüberprüfung", u"Check updates"},
    {u"Neue Version suchen", u"Check now"},
    {u"Bei Programmstart suchen", u"Check on startup"},
    {u"Neue Version %s (Build %s) von %s verfügbar.",
     u"New version found! Version %s (build %s) of %s has been released."},
    {u"Wollen Sie die Download-Seite jetzt aufrufen?", u"Do you want go to the download site now?"},
    {u"Überprüfung auf neue Version fehlgeschlagen", u"Update check failed"},
    {u"Sie besitzen die aktuellste Version %s von %s.",
     u"You have the most recent version %s of %s"},
    {u"Wortschatz Info", u"Wordlist info"},
    {u"Erstellt von:", u"Created by:"},
    {u"Lizenz:", u"License:"},
    {u"Webseite:", u"Website:"},
    {u"Ordner:", u"Folder:"},
    {u"Wort kopieren", u"Copy word"},
    {u"Eintrag kopieren", u"Copy entry"},
    {u"&Wikipedia nachschlagen", u"Look up at &Wikipedia"},
    {u"&Google suchen", u"&Google search"},
    {u"&Yahoo suchen", u"&Yahoo  search"},
    {u"&MSN suchen", u"&MSN search"},
    // Reasons an update check gives when it fails.
    {u"Die Versionen %s und %s haben unterschiedlich viele Teile.",
     u"The versions %s and %s have different numbers of parts."},
    {u"Ungültiger Wert »%s« im Kopffeld %s", u"Invalid value »%s« in header %s"},
    {u"Zeitüberschreitung der Verbindung", u"Connection timed out"},
    // The settings dialog.
    {u"Millisekunden", u"Milliseconds"},
    {u"Start mit dem System konnte nicht geändert werden",
     u"Could not change the start with the system"},
    // The main window's banner and its hotkey note.
    {kSiteNameDe, kSiteNameEn},
    {kSloganDe, kSloganEn},
    {u"Tastaturkürzel nicht verfügbar", u"Hotkey not available"},
    // What assistive technology reads for the controls (AccessibleNames.cpp).
    {u"Tippen sucht; Pfeiltasten gehen durch die Wortliste, Strg+Tab wechselt die Sprache",
     u"Typing searches; the arrow keys move through the word list, Ctrl+Tab switches the "
     u"language"},
    {u"Wortliste", u"Word list"},
    {u"Stichwörter um das gesuchte Wort", u"Headwords around the word searched for"},
    {u"Sprachrichtung", u"Language direction"},
    {u"Die Sprache, in der gesucht wird (Strg+Tab)", u"The language searched in (Ctrl+Tab)"},
    {u"Einträge", u"Entries"},
    {u"Eingabetaste schlägt das erste Wort der Zeile nach, Umschalt+F10 öffnet ihr Menü, "
     u"Strg+C kopiert den Eintrag",
     u"Enter looks up the first word of the row, Shift+F10 opens its menu, Ctrl+C copies the "
     u"entry"},
    {u"Statuszeile", u"Status line"},
    {u"Trennlinie", u"Divider"},
    {u"Ziehen ändert die Breite der Wortliste", u"Dragging changes the width of the word list"},
    {u"Über das Programm und das Wörterbuch (F1)", u"About the program and the dictionary (F1)"},
    {u"Öffnet die Webseite des Projekts", u"Opens the project's web page"},
    {u"Hauptmenü", u"Main menu"},
    {u"Menü des Eintrags", u"Entry menu"},
    {u"Schlägt das in einem anderen Programm markierte Wort nach",
     u"Looks up the word selected in another program"},
    {u"Erste Kopierverzögerung", u"First copy delay"},
    {u"Zweite Kopierverzögerung", u"Second copy delay"},
    {u"Dritte Kopierverzögerung", u"Third copy delay"},
    {u"Suchverzögerung", u"Search delay"},
    {u"Schriftart der Einträge", u"Font of the entries"},
    {u"Schriftgröße der Einträge", u"Size of the entries"},
    {u"Schriftart der Lautschrift", u"Font of the pronunciation"},
    {u"Schriftgröße der Lautschrift", u"Size of the pronunciation"},
    {u"Menü", u"Menu"},
    {u"Minimieren", u"Minimize"},
    {u"Maximieren", u"Maximize"},
    {u"Wiederherstellen", u"Restore"},
    {u"Schließen", u"Close"},
    {u"Leeren", u"Clear"},
    {u"Kein Tastaturkürzel festgelegt", u"No hotkey set"},
    // The suggestion line above the entries.
    {u"Meinten Sie", u"Did you mean"},
    {u"Vorschläge", u"Suggestions"},
    {u"Was gemeint sein könnte; Alt+1 bis Alt+5 wählen",
     u"What may have been meant; Alt+1 to Alt+5 choose"},
    // Hearing a word.
    {u"Vorsprechen", u"Speak"},
    {u"Wort vorsprechen", u"Speak word"},
    {u"Spricht das Stichwort oder das Wort unter dem Mauszeiger (Strg+Leertaste)",
     u"Speaks the headword or the word under the mouse pointer (Ctrl+Space)"},
    {u"Kein Audiogerät für die Aussprache gefunden", u"No sound device found to speak the word"},
    {u"Sprachausgabe nicht möglich", u"Speech output not possible"},
    {u"Nur mit Strg, Alt oder Windows-Taste, oder F1 bis F24",
     u"Only with Ctrl, Alt or the Windows key, or F1 to F24"},
};
static_assert(std::size(kEnglish) >= 60); // the table above, then later additions

constexpr QStringView kCodes[] = {u"de", u"en"};

// THashList::Find moves the list's cursor, so lookups from different threads take turns.
struct TTables {
    THashList Lists[2];
    QMutex Lock;

    TTables() {
        for (const TPair& pair : kEnglish)
            Lists[kUILanguageEnglish].AddSorted(pair.German, pair.English);
    }
};

TTables& tables() {
    static TTables instance;
    return instance;
}

std::atomic<int> currentIndex{kUILanguageGerman};

// Qt's German texts, loaded once per application object, which owns them.
void switchQtTexts(int index) {
    QCoreApplication* application = QCoreApplication::instance();
    if (!application)
        return;
    static QPointer<QTranslator> german;
    static bool installed = false;
    if (!german) {
        german = new QTranslator(application);
        installed = false;
        (void)german->load(QStringLiteral("qtbase_de"),
                           QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    }
    const bool wanted = index == kUILanguageGerman && !german->isEmpty();
    if (wanted == installed)
        return;
    if (wanted)
        installed = QCoreApplication::installTranslator(german);
    else
        installed = !QCoreApplication::removeTranslator(german);
}

} // namespace

QString Translate(const QString& german) {
    TTables& t = tables();
    QString key = german;
    QString value;
    QMutexLocker locker(&t.Lock);
    return t.Lists[currentIndex.load()].Find(key, value) ? value : german;
}

void SetUILanguage(int index) {
    currentIndex = index == kUILanguageEnglish ? kUILanguageEnglish : kUILanguageGerman;
    switchQtTexts(currentIndex);
}

int UILanguageIndex() {
    return currentIndex;
}

QString UILanguageCode() {
    return kCodes[currentIndex].toString();
}

} // namespace quillet
