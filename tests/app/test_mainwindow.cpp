// SPDX-License-Identifier: GPL-2.0-or-later
// The main window driven the way a user drives it: typing and the search timer, the word
// list, the history, the language direction, Escape, options.ini and the interface language.
#include "AboutForm.h"
#include "FormCaption.h"
#include "FormStatusbar.h"
#include "Import.h"
#include "IndexLoader.h" // MainWindow.h needs the loader type complete
#include "IniFile.h"
#include "MainWindow.h"
#include "PronPanel.h"
#include "ResultGrid.h"
#include "ResultGridAccessible.h"
#include "SuggestionStrip.h"
#include "Translations.h"

#include <memory>
#include <optional>
#include <QtTest>
#include <QtWidgets>

using namespace quillet;

namespace {

constexpr int kDelay = 30; // the test windows' Auto_Search_Delay, ms
// Direction 1 searches the English side, whose headwords are apple, house, housing, hove, tree.
const QByteArray kOptions = "[Dictionary]\nName=d\nDirection=1\nAuto_Search_Delay=30\n";

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT

    QTemporaryDir FProgram;  // the program folder with the dictionary "d"
    QTemporaryDir FDataDirs; // $XDG_DATA_DIRS: no dictionary of this machine's comes in
    std::optional<QTemporaryDir> FConfig;
    std::unique_ptr<TMainForm> FForm;

    QString iniPath() const { return FConfig->filePath("options.ini"); }
    static QString current(TMainForm* w) {
        return w->WordListBox()->currentItem() ? w->WordListBox()->currentItem()->text() : "";
    }
    static QString text(TMainForm* w) { return w->SearchText()->currentText(); }
    // The search text and, after a bar, its selected part.
    static QString box(TMainForm* w) {
        return text(w) + '|' + w->SearchText()->lineEdit()->selectedText();
    }
    static QStringList history(TMainForm* w) {
        QStringList items;
        for (int i = 0; i < w->SearchText()->count(); ++i)
            items.append(w->SearchText()->itemText(i));
        return items;
    }
    static std::pair<int, int> tabAndDirection(TMainForm* w) {
        return {w->LangTabControl()->currentIndex(), w->Dictionary()->Direction()};
    }
    // Keys go where the platform sends them: to the focused control.
    static void type(const QString& keys) { QTest::keyClicks(QApplication::focusWidget(), keys); }
    static void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(QApplication::focusWidget(), key, modifiers);
    }
    static void clickLine(TMainForm* w, const QString& headword) {
        QListWidget* list = w->WordListBox();
        const QList<QListWidgetItem*> items = list->findItems(headword, Qt::MatchExactly);
        QCOMPARE(items.size(), 1);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(items.first()).center());
    }
    // Lets a pending lookup run to its end.
    static bool settled(TMainForm* w) {
        return QTest::qWaitFor([w] { return !w->SearchTimer()->isActive(); }, 5000);
    }

    // A window on `options` (no options.ini when null), shown and active; with a dictionary
    // also with its index in and the first lookup done. Null when that does not happen.
    TMainForm* open(const QByteArray& options, bool dictionary = true) {
        if (!options.isNull() && !writeFile(iniPath(), options))
            return nullptr;
        FForm = std::make_unique<TMainForm>(FProgram.path(), iniPath(), false);
        QSignalSpy loaded(FForm.get(), &TMainForm::loadFinished);
        FForm->show();
        if (!QTest::qWaitForWindowActive(FForm.get()))
            return nullptr;
        if (dictionary && ((loaded.isEmpty() && !loaded.wait(5000)) || !settled(FForm.get())))
            return nullptr;
        return FForm.get();
    }

private slots:
    void initTestCase() {
        QStandardPaths::setTestModeEnabled(true);
        qputenv("XDG_DATA_DIRS", FDataDirs.path().toUtf8());
        const QString source = FProgram.filePath("d.txt");
        QVERIFY(writeFile(source, "Apfel :: apple\nBaum :: tree\nHaus :: house\n"
                                  "Unterbringung :: housing\nhob :: hove\n"));
        TImportRequest request;
        request.Folder = FProgram.path();
        request.BaseName = "d";
        request.SourcePath = source;
        request.Meta.Name = "Deutsch/Englisch Wörterbuch";
        TImportSummary summary;
        QVERIFY(Import(request, summary).ok());
    }
    void init() { QVERIFY(FConfig.emplace().isValid()); }
    void cleanup() {
        // Closed before it goes, as the program does: a window destroyed while shown runs
        // into the fault that leavingSearchBoxStartsNoLookup shows.
        if (FForm)
            FForm->close();
        FForm.reset();
        SetUILanguage(kUILanguageGerman);
    }

    void typingLooksUpOnceAfterTwoDelays() {
        TMainForm* w = open(kOptions);
        QVERIFY(w);
        QSignalSpy ticks(w->SearchTimer(), &QTimer::timeout);
        QList<qint64> lookups;
        QElapsedTimer clock;
        QObject guard; // ends the connection with this test
        connect(w->WordListBox(), &QListWidget::currentRowChanged, &guard,
                [&] { lookups.append(clock.elapsed()); });
        type("hove");
        clock.start();
        QTRY_COMPARE(current(w), QString("hove"));
        QTest::qWait(4 * kDelay);
        QCOMPARE(lookups.size(), 1);
        QVERIFY2(lookups.first() >= 2 * kDelay - 5, qPrintable(QString::number(lookups.first())));
        QCOMPARE(ticks.count(), 2);
        QVERIFY(!w->SearchTimer()->isActive());

        // The digit keys 0 and 1 start no lookup ("1" would make apple current).
        press(Qt::Key_Escape);
        type("1");
        QTest::qWait(4 * kDelay);
        QCOMPARE(std::pair(box(w), current(w)), std::pair(QString("1|"), QString("hove")));
    }

    void withoutAutoSearchOnlyEnterLooksUp() {
        TMainForm* w = open(kOptions + "Auto_Search=0\n");
        QVERIFY(w);
        type("tree");
        QTest::qWait(4 * kDelay);
        QVERIFY(current(w) != "tree");
        press(Qt::Key_Return);
        QTRY_COMPARE(current(w), QString("tree"));
        QCOMPARE(box(w), QString("tree|tree"));
        QCOMPARE(history(w), QStringList());
    }

    void mismatchIsSelectedAndNotKept() {
        TMainForm* w = open(kOptions);
        QVERIFY(w);
        type("housx");
        QVERIFY(settled(w));
        QCOMPARE(std::pair(box(w), current(w)), std::pair(QString("housx|x"), QString("housing")));
        QCOMPARE(history(w), QStringList());

        press(Qt::Key_Escape); // selects the whole text, which typing replaces
        type("HOUSE");
        QVERIFY(settled(w));
        QCOMPARE(std::pair(box(w), current(w)), std::pair(QString("HOUSE|"), QString("house")));
        QCOMPARE(history(w), QStringList{"HOUSE"});
        QCOMPARE(w->PronPanel()->Word(), QString("house"));
    }

    void historyRule_data() {
        QTest::addColumn<QString>("added");
        QTest::addColumn<QString>("expected");
        QTest::newRow("most recent first") << "eins zwei drei"
                                           << "drei zwei eins";
        QTest::newRow("short ignored") << "ab _ab_ abc"
                                       << "abc"; // _ stands for a blank
        QTest::newRow("duplicate to top as typed") << "eins zwei EINS"
                                                   << "EINS zwei";
        QTest::newRow("top duplicate unchanged") << "eins EINS"
                                                 << "eins";
        QTest::newRow("at most ten") << "w01 w02 w03 w04 w05 w06 w07 w08 w09 w10 w11 w12"
                                     << "w12 w11 w10 w09 w08 w07 w06 w05 w04 w03";
    }
    void historyRule() {
        QFETCH(QString, added);
        QFETCH(QString, expected);
        TMainForm* w = open(kOptions);
        QVERIFY(w);
        for (const QString& entry : added.split(' '))
            w->AddToHistory(QString(entry).replace('_', ' '));
        QCOMPARE(history(w).join(' '), expected);
    }

    // A pasted text, a word set by the program (as the hotkey lookup does) and a history
    // entry keep no line break, so that options.ini keeps its sections and keys.
    void lineBreaksNeverReachTheSettings() {
        TMainForm* w = open(kOptions);
        QVERIFY(w);
        QGuiApplication::clipboard()->setText("Haus\r\n[Window]\nFlat_Skin=1");
        w->SearchText()->lineEdit()->selectAll();
        QTest::keySequence(QApplication::focusWidget(), QKeySequence::Paste);
        QCOMPARE(text(w), QString("Haus [Window] Flat_Skin=1"));
        w->SearchText()->setEditText("tree\n[History]\r0=x");
        QCOMPARE(text(w), QString("tree [History] 0=x"));
        w->AddToHistory("Baum\r\nHaus");
        QCOMPARE(history(w).value(0), QString("Baum Haus"));
        QVERIFY(w->close());
        const TIniFile ini(iniPath());
        QCOMPARE(ini.SectionNames(),
                 (QList<QByteArray>{"Dictionary", "Window", "Font", "HotKey", "History"}));
        QCOMPARE(ini.ReadString("Dictionary", "Last_Word"), "tree [History] 0=x");
        QCOMPARE(ini.ReadString("History", "0"), "Baum Haus");
        QCOMPARE(ini.ReadString("Window", "Flat_Skin", "-"), "-");
    }

    // options.ini edited by hand while the program runs: the menu shows the file's
    // Check_Update, and the close keeps the keys only a user sets.
    void handEditsWhileRunningSurviveTheClose() {
        TMainForm* w = open(kOptions);
        QVERIFY(w);
        QVERIFY(writeFile(iniPath(), kOptions + "Check_Update=1\n[Window]\nFlat_Skin=1\n"
                                                "[Font]\nList_Name=Courier\n"));
        QAction* autoCheck = nullptr;
        for (QAction* action : w->findChildren<QAction*>())
            if (action->text() == "Bei Programmstart suchen")
                autoCheck = action;
        QVERIFY(autoCheck);
        emit w->MainMenu()->aboutToShow();
        QVERIFY(autoCheck->isChecked());
        QVERIFY(w->close());
        const TIniFile ini(iniPath());
        QCOMPARE(ini.ReadString("Window", "Flat_Skin") + ini.ReadString("Font", "List_Name") +
                     ini.ReadString("Dictionary", "Check_Update"),
                 "1Courier1");
        QCOMPARE(ini.ReadString("Window", "Width"), "750");
    }

    // Hand-edited extremes: the window stays on the screen and usable, the search still
    // runs, and sane values go back into the file.
    void extremeStoredValuesStayUsable_data() {
        QTest::addColumn<QByteArray>("window");
        QTest::newRow("far away, huge")
            << QByteArray("Left=-2147483648\nPos=2147483647\nWidth=2147483647\nHeight=2147483647");
        QTest::newRow("tiny, past the corner")
            << QByteArray("Left=2147483647\nPos=2147483647\nWidth=1\nHeight=1");
    }
    void extremeStoredValuesStayUsable() {
        QFETCH(QByteArray, window);
        TMainForm* w = open(QByteArray(kOptions).replace("=30", "=2147483647") +
                            "[HotKey]\nCopy_Delay_1=2147483647\n[Window]\n" + window + "\n");
        QVERIFY(w);
        const QRect area = w->screen()->availableGeometry();
        const QRect frame(w->pos(), w->size());
        QVERIFY2(area.contains(frame) && frame.width() >= 200 && frame.height() >= 100,
                 qPrintable(QString("%1,%2 %3x%4")
                                .arg(frame.x())
                                .arg(frame.y())
                                .arg(frame.width())
                                .arg(frame.height())));
        type("tree");
        QTRY_COMPARE(current(w), QString("tree"));
        QVERIFY(w->close());
        const TIniFile ini(iniPath());
        QCOMPARE(QRect(ini.ReadInteger("Window", "Left", -1), ini.ReadInteger("Window", "Pos", -1),
                       ini.ReadInteger("Window", "Width", -1),
                       ini.ReadInteger("Window", "Height", -1)),
                 frame);
        QCOMPARE(ini.ReadInteger("Dictionary", "Auto_Search_Delay", -1), 200);
        QCOMPARE(ini.ReadInteger("HotKey", "Copy_Delay_1", -1), 250);
    }

    void wordListFollowsKeysAndClicks() {
        TMainForm* w = open(kOptions);
        QVERIFY(w);
        type("tree");
        QVERIFY(settled(w));
        // Down at the last line: the key must not reach the box, which would step into
        // its history.
        w->AddToHistory("Apfelbaum");
        press(Qt::Key_Down);
        QCOMPARE(std::pair(text(w), current(w)), std::pair(QString("tree"), QString("tree")));
        press(Qt::Key_Up);
        press(Qt::Key_Up);
        QCOMPARE(std::pair(text(w), current(w)), std::pair(QString("housing"), QString("housing")));
        QVERIFY(settled(w));
        QCOMPARE(history(w).value(0), QString("housing"));

        // A click while a lookup is pending only hands the headword to that lookup.
        press(Qt::Key_Escape);
        type("ho");
        const QStringList before = history(w);
        clickLine(w, "apple");
        QCOMPARE(box(w), QString("apple|apple"));
        QVERIFY(w->SearchTimer()->isActive());
        QCOMPARE(history(w), before);
        QVERIFY(settled(w));
        QCOMPARE(current(w), QString("apple"));

        // With no lookup pending the click is the lookup.
        clickLine(w, "tree");
        QVERIFY(!w->SearchTimer()->isActive());
        QCOMPARE(box(w), QString("tree|tree"));
        QCOMPARE(history(w).value(0), QString("tree"));
        QCOMPARE(w->ResultGrid()->CellObject(1, 2)->Text, QString("tree"));
    }

    // The list's selected line is the current headword: moving it with the keys looks the
    // headword up, as a click does.
    void wordListKeysLookUp() {
        TMainForm* w = open(kOptions);
        QVERIFY(w);
        type("apple");
        QVERIFY(settled(w));
        w->WordListBox()->setFocus();
        QTest::keyClick(w->WordListBox(), Qt::Key_Down);
        QVERIFY(settled(w));
        QCOMPARE(current(w), QString("house"));
        QCOMPARE(box(w), QString("house|house"));
        QCOMPARE(w->ResultGrid()->CellObject(1, 2)->Text, QString("house"));
    }

    // Leaving the box is no pick from its history: no second lookup refills the grid that
    // the user has just clicked into. (The same pick, made while the window is destroyed,
    // starts a timer that is already gone.)
    // The wheel anywhere on the window scrolls the grid by notches: the small steps of a
    // touchpad add up, a sideways turn scrolls nothing.
    void wheelScrollsTheGridByNotches() {
        TMainForm* w = open(kOptions);
        QVERIFY(w);
        w->ResultGrid()->Fill(TTermPairArray(40, {"eins", "one", 1}), 0, false, {});
        QScrollBar* bar = w->ResultGrid()->verticalScrollBar();
        const auto turn = [](QWidget* target, QPoint delta) {
            QWheelEvent wheel(QPointF(5, 5), target->mapToGlobal(QPointF(5, 5)), QPoint(), delta,
                              Qt::NoButton, {}, Qt::NoScrollPhase, false);
            QCoreApplication::sendEvent(target, &wheel);
        };
        for (QWidget* target : {static_cast<QWidget*>(w), w->ResultGrid()->viewport()})
            turn(target, QPoint(-120, 0));
        QCOMPARE(bar->value(), 0);
        for (int step = 0; step < 6; ++step)
            turn(w, QPoint(0, -40));
        QCOMPARE(bar->value(), 2);
    }

    void leavingSearchBoxStartsNoLookup() {
        TMainForm* w = open(kOptions);
        QVERIFY(w);
        type("house");
        QVERIFY(settled(w));
        w->ResultGrid()->setFocus();
        QVERIFY(!w->SearchTimer()->isActive());
    }

    void directionFollowsTabsKeysAndGrid() {
        TMainForm* w = open(kOptions);
        QVERIFY(w);
        QCOMPARE(tabAndDirection(w), std::pair(1, 1));
        QSignalSpy loaded(w, &TMainForm::loadFinished);
        QTabBar* tabs = w->LangTabControl();
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(0).center());
        QVERIFY(loaded.wait(5000));
        QCOMPARE(tabAndDirection(w), std::pair(0, 0));

        press(Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(tabAndDirection(w), std::pair(1, 1));
        QVERIFY(loaded.wait(5000) && settled(w));

        // A German word clicked in the translation's column is looked up among German words.
        emit w->ResultGrid()->wordClicked("Haus", true);
        QCOMPARE(tabAndDirection(w), std::pair(0, 0));
        QVERIFY(loaded.wait(5000));
        QTRY_COMPARE(current(w), QString("Haus"));
        QVERIFY(settled(w));
        QCOMPARE(box(w), QString("Haus|Haus"));
        QVERIFY(w->close());
        QCOMPARE(TIniFile(iniPath()).ReadInteger("Dictionary", "Direction", -1), 0);
    }

    // The line above the grid: a click and Alt+1 take the lookup's road, a word of the
    // other language after a switch of the direction, and the line goes with nothing to offer.
    void suggestionsChosenByClickAndAltDigit() {
        TMainForm* w = open(kOptions);
        QVERIFY(w);
        TSuggestionStrip* strip = w->SuggestionStrip();
        QVERIFY(!strip->isVisible());
        type("houze");
        QVERIFY(settled(w));
        QCOMPARE(current(w), QString("housing"));
        QCOMPARE(strip->ShownText(), QString("Meinten Sie: house"));
        QVERIFY(strip->isVisible());
        QTest::mouseClick(strip->WordButton(0), Qt::LeftButton);
        QCOMPARE(text(w), QString("house"));
        QVERIFY(w->SearchTimer()->isActive());
        QVERIFY(settled(w));
        QCOMPARE(current(w), QString("house"));
        QVERIFY(!strip->isVisible());

        press(Qt::Key_Escape);
        type("Baum");
        QVERIFY(settled(w));
        QCOMPARE(strip->ShownText(), QString("Deutsch: Baum"));
        QSignalSpy loaded(w, &TMainForm::loadFinished);
        press(Qt::Key_1, Qt::AltModifier);
        QCOMPARE(tabAndDirection(w), std::pair(0, 0));
        QVERIFY(loaded.wait(5000) && settled(w));
        QCOMPARE(std::pair(text(w), current(w)), std::pair(QString("Baum"), QString("Baum")));
        QVERIFY(!strip->isVisible());
    }

    // Every command without a mouse: the window's keys from the search box and from the grid.
    void commandKeys_data() {
        QTest::addColumn<bool>("inGrid");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<bool>("closeQuestion");
        QTest::addColumn<QString>("outcome");
        const int none = Qt::NoModifier, ctrl = Qt::ControlModifier;
        QTest::newRow("F10") << false << int(Qt::Key_F10) << none << false << "main menu";
        QTest::newRow("F10 in the grid")
            << true << int(Qt::Key_F10) << none << false << "main menu";
        QTest::newRow("Menu") << false << int(Qt::Key_Menu) << none << false << "main menu";
        QTest::newRow("Menu in the grid")
            << true << int(Qt::Key_Menu) << none << false << "grid menu";
        QTest::newRow("Shift+F10 in the grid")
            << true << int(Qt::Key_F10) << int(Qt::ShiftModifier) << false << "grid menu";
        QTest::newRow("Ctrl+L") << true << int(Qt::Key_L) << ctrl << false << "search box";
        QTest::newRow("Alt+D") << true << int(Qt::Key_D) << int(Qt::AltModifier) << false
                               << "search box";
        QTest::newRow("F1") << true << int(Qt::Key_F1) << none << false << "about window";
        QTest::newRow("Ctrl+Q") << false << int(Qt::Key_Q) << ctrl << false << "closed";
        QTest::newRow("Ctrl+Q, asked, No") << true << int(Qt::Key_Q) << ctrl << true << "asked";
    }
    void commandKeys() {
        QFETCH(bool, inGrid);
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(bool, closeQuestion);
        QFETCH(QString, outcome);
        TMainForm* w = open(kOptions + (closeQuestion ? "Close_Question=1\n" : ""));
        QVERIFY(w);
        type("house");
        QVERIFY(settled(w));
        if (inGrid) {
            w->ResultGrid()->setFocus();
            QTRY_COMPARE(QApplication::focusWidget(), w->ResultGrid());
        }
        // Modal windows are looked at and closed (answered No) once they are up.
        QString modal;
        QTimer::singleShot(300, [&modal] {
            if (QWidget* window = QApplication::activeModalWidget()) {
                modal = window->metaObject()->className();
                if (auto* box = qobject_cast<QMessageBox*>(window))
                    box->button(QMessageBox::No)->click();
                else
                    window->close();
            }
        });
        press(Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        if (outcome == "main menu") {
            QTRY_VERIFY(w->MainMenu()->isVisible());
            QVERIFY(w->MainMenu()->activeAction());
            QTest::qWait(50); // a submenu opened with the item would be up by now
            QCOMPARE(QApplication::activePopupWidget(), w->MainMenu());
            w->MainMenu()->close();
        } else if (outcome == "grid menu") {
            QTRY_VERIFY(w->ResultGrid()->ContextMenu()->isVisible());
            QCOMPARE(w->ResultGrid()->PopupWord(), QString("house"));
            w->ResultGrid()->ContextMenu()->close();
        } else if (outcome == "search box") {
            QTRY_VERIFY(w->SearchText()->hasFocus() || w->SearchText()->lineEdit()->hasFocus());
            QCOMPARE(box(w), QString("house|house"));
        } else if (outcome == "about window") {
            QTRY_COMPARE(modal, QString("quillet::TAboutForm"));
        } else if (outcome == "closed") {
            QTRY_VERIFY(!w->isVisible());
        } else {
            QTRY_COMPARE(modal, QString("QMessageBox"));
            QVERIFY(w->isVisible());
        }
    }

    // What a screen reader reads, in both interface languages.
    void screenReaderNames_data() {
        QTest::addColumn<int>("language");
        QTest::addColumn<QStringList>("names");
        QTest::newRow("German") << kUILanguageGerman
                                << QStringList{"Suchbegriff", "Wortliste",   "Einträge",
                                               "Aussprache",  "Statuszeile", "Menü",
                                               "Minimieren",  "Schließen"};
        QTest::newRow("English") << kUILanguageEnglish
                                 << QStringList{"Search term",   "Word list",   "Entries",
                                                "Pronunciation", "Status line", "Menu",
                                                "Minimize",      "Close"};
    }
    void screenReaderNames() {
        QFETCH(int, language);
        QFETCH(QStringList, names);
        TMainForm* w = open(kOptions);
        QVERIFY(w);
        w->ApplyUILanguage(language);
        type("house");
        QVERIFY(settled(w));
        const auto name = [](QObject* object) {
            return QAccessible::queryAccessibleInterface(object)->text(QAccessible::Name);
        };
        QAccessibleInterface* caption = QAccessible::queryAccessibleInterface(w->FormCaption());
        QCOMPARE(caption->role(), QAccessible::TitleBar);
        QCOMPARE(caption->childCount(), 4); // menu, minimise, maximise, close
        QCOMPARE(QStringList({name(w->SearchText()->lineEdit()), name(w->WordListBox()),
                              name(w->ResultGrid()), name(w->PronPanel()), name(w->Statusbar()),
                              caption->child(0)->text(QAccessible::Name),
                              caption->child(1)->text(QAccessible::Name),
                              caption->child(3)->text(QAccessible::Name)}),
                 names);
        QVERIFY(!QAccessible::queryAccessibleInterface(w->ResultGrid())
                     ->text(QAccessible::Description)
                     .isEmpty());

        // The painted lines read as they show.
        QAccessibleInterface* pron = QAccessible::queryAccessibleInterface(w->PronPanel());
        QCOMPARE(pron->textInterface()->text(0, -1), w->PronPanel()->ShownText());
        QVERIFY(pron->textInterface()->text(0, -1).contains("house"));
        QAccessibleInterface* status = QAccessible::queryAccessibleInterface(w->Statusbar());
        QCOMPARE(status->role(), QAccessible::StatusBar);
        QCOMPARE(status->textInterface()->text(0, -1), w->Statusbar()->Caption());
        QVERIFY(!w->Statusbar()->Caption().isEmpty());
        QCOMPARE(QAccessible::queryAccessibleInterface(w->ResultGrid())
                     ->tableInterface()
                     ->cellAt(0, 1)
                     ->text(QAccessible::Name),
                 QString("house"));

        // Nothing that takes the focus or draws itself goes without a name.
        for (QWidget* widget : w->findChildren<QWidget*>()) {
            if (!widget->isVisibleTo(w) || widget->window() != w)
                continue;
            QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(widget);
            const bool named =
                widget->focusPolicy() != Qt::NoFocus || iface->role() == QAccessible::Button ||
                iface->role() == QAccessible::Link || iface->role() == QAccessible::PageTabList ||
                qobject_cast<QSplitterHandle*>(widget);
            if (named)
                QVERIFY2(
                    !iface->text(QAccessible::Name).isEmpty(),
                    qPrintable(widget->objectName() + ' ' + widget->metaObject()->className()));
        }
        // The caption bar's close button closes, as a click does.
        caption->child(3)->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QTRY_VERIFY(!w->isVisible());
    }

    void escapeTwiceHides() {
        TMainForm* w = open(kOptions);
        QVERIFY(w);
        type("tree");
        QVERIFY(settled(w));
        press(Qt::Key_Escape);
        QCOMPARE(box(w), QString("tree|tree"));
        type("s");
        press(Qt::Key_Escape);
        QTest::qWait(50);
        QVERIFY(!w->isMinimized() && w->isVisible());
        press(Qt::Key_Escape);
        // This platform has no notification area: the window goes to the task bar rather
        // than out of reach. (Hiding into the icon is tested on a real desktop.)
        QVERIFY(!QSystemTrayIcon::isSystemTrayAvailable());
        QTRY_VERIFY(w->isMinimized());
        QVERIFY(!w->TrayIconShown());
        w->BringUp();
        QTRY_VERIFY(w->isVisible() && !w->isMinimized());
    }

    // "Programm beenden" from the notification area's menu while the window is hidden
    // there ends the program: it must not stay without a window, holding the guard that
    // turns the next start away.
    void closingWhileHiddenEndsTheProgram() {
        TMainForm* w = open(kOptions);
        QVERIFY(w);
        w->hide(); // as in the notification area, which this platform lacks
        QAction* close = nullptr;
        for (QAction* action : w->MainMenu()->actions())
            if (action->text().remove('&') == "Programm beenden")
                close = action;
        QVERIFY(close);
        QTimer::singleShot(0, close, &QAction::trigger);
        QTimer guard;
        guard.setSingleShot(true);
        connect(&guard, &QTimer::timeout, [] { QCoreApplication::exit(1); });
        guard.start(5000);
        QCOMPARE(QApplication::exec(), 0);
        QCOMPARE(TIniFile(iniPath()).ReadString("Dictionary", "Name"), "d");
    }

    // A dark desktop palette changes nothing on the skin: every text drawn on it stays dark
    // on its light ground, in the main window and in the about window.
    void skinReadsTheSameUnderADarkPalette() {
        const auto restore =
            qScopeGuard([old = QApplication::palette()] { QApplication::setPalette(old); });
        QApplication::setPalette(QPalette(QColor(53, 53, 53), QColor(53, 53, 53)));
        TMainForm* w = open(kOptions);
        QVERIFY(w);
        QWidgetList surfaces;
        for (const char* name : {"SearchText", "WordListBox", "LangTabControl", "btnDictInfo",
                                 "InfoLabel", "PronLabel", "FormStatusbar", "ResultGrid"})
            surfaces.append(w->findChild<QWidget*>(name));
        for (QLabel* label : w->findChild<TAboutForm*>()->findChildren<QLabel*>())
            if (!label->text().isEmpty())
                surfaces.append(label);
        for (QWidget* surface : surfaces) {
            QVERIFY(surface);
            const QImage image = surface->grab().toImage();
            qsizetype dark = 0;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    dark += qGray(image.pixel(x, y)) < 80;
            QVERIFY2(
                dark > 0 && dark * 2 < image.width() * image.height(),
                qPrintable(surface->objectName() + ' ' + surface->property("text").toString()));
        }
    }

    void windowSurfaceResizesAndFlatSkin() {
        TMainForm* w = open(kOptions + "[Window]\nFlat_Skin=1\n");
        QVERIFY(w);
        QVERIFY(w->FormCaption()->WindowBitmap().isNull());
        QCOMPARE(w->FormCaption()->PopupMenu(), w->MainMenu());
        QCOMPARE(w->FormCaption()->WindowRadius(), 8);
        QVERIFY(!w->Statusbar()->Skinned());
        // The right margin drags the width only; a right-button press at the left edge
        // only records the point, a left one sets 800 x 600 where the window is.
        const QPoint topLeft = w->pos();
        const int height = w->height();
        const int x = w->width() - 2;
        QTest::mousePress(w, Qt::LeftButton, {}, QPoint(x, 200));
        QMouseEvent drag(QEvent::MouseMove, QPointF(x + 30, 200),
                         w->mapToGlobal(QPointF(x + 30, 200)), Qt::NoButton, Qt::LeftButton,
                         Qt::NoModifier);
        QApplication::sendEvent(w, &drag);
        QTest::mouseRelease(w, Qt::LeftButton, {}, QPoint(x + 30, 200));
        QCOMPARE(w->size(), QSize(750 + 30, height));
        QTest::mouseClick(w, Qt::RightButton, {}, QPoint(2, 200));
        QCOMPARE(w->size(), QSize(780, height));
        QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(2, 200));
        QCOMPARE(w->size(), QSize(800, 600));
        QCOMPARE(w->pos(), topLeft);
        // The rounded shape follows the size: corners cut, the edges kept (the last row and
        // column lie outside, as in the region the shape copies).
        QVERIFY(!w->mask().contains(QPoint(0, 0)) && w->mask().contains(QPoint(0, 300)));
        QVERIFY(!w->mask().contains(QPoint(798, 598)) && w->mask().contains(QPoint(400, 598)));
        QVERIFY(!w->mask().contains(QPoint(400, 599)));
    }

    // The word list's panel keeps its width while the window's changes, and the stored
    // LeftPanel with it. A drag of the splitter shows a line and moves the boundary on
    // release; a panel dragged narrower than 30 pixels snaps closed. The info button sits
    // 11 pixels inside the right panel's edge.
    void panelsAndSplitter() {
        TMainForm* w = open(kOptions + "[Window]\nLeftPanel=170\n");
        QVERIFY(w);
        auto* splitter = w->findChild<QSplitter*>();
        QVERIFY(splitter);
        const auto left = [splitter] { return splitter->sizes().value(0); };
        QCOMPARE(left(), 170);
        for (const int width : {950, 600, 750}) {
            w->resize(width, w->height());
            QCOMPARE(left(), 170);
        }
        const QWidget* button = w->findChild<QWidget*>("btnDictInfo");
        QCOMPARE(button->parentWidget()->width() - button->geometry().right() - 1, 11);
        QCOMPARE(button->y(), 11);

        QSplitterHandle* handle = splitter->handle(1);
        const auto send = [handle, splitter](QEvent::Type type, int x) {
            const QPoint at = handle->mapFrom(splitter, QPoint(x + 5, handle->height() / 2));
            QMouseEvent event(type, at, handle->mapToGlobal(at), Qt::LeftButton,
                              type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                              Qt::NoModifier);
            QApplication::sendEvent(handle, &event);
        };
        const auto drag = [&](int from, int to) { // the handle's left edge
            send(QEvent::MouseButtonPress, from);
            send(QEvent::MouseMove, to);
        };
        drag(170, 100);
        const QPointer<QRubberBand> line = splitter->findChild<QRubberBand*>();
        QVERIFY(line && line->isVisible());
        QCOMPARE(left(), 170); // nothing moves before the release
        send(QEvent::MouseButtonRelease, 100);
        QCOMPARE(left(), 100);
        QTRY_VERIFY(!line);
        w->resize(900, w->height());
        QCOMPARE(left(), 100);
        drag(100, 20);
        send(QEvent::MouseButtonRelease, 20);
        QCOMPARE(left(), 0);
        // Closed, it stays closed in the next session.
        QVERIFY(w->close());
        QCOMPARE(TIniFile(iniPath()).ReadInteger("Window", "LeftPanel", -1), 0);
        w = open(QByteArray());
        QVERIFY(w);
        QCOMPARE(w->findChild<QSplitter*>()->sizes().value(0), 0);
    }

    void importedSetsBecomeSelectableOrReload() {
        TMainForm* w = open(kOptions);
        QVERIFY(w);
        QMenu* menu = nullptr;
        for (QMenu* item : w->findChildren<QMenu*>()) {
            if (item->title() == QStringLiteral("Wörterbuch"))
                menu = item;
        }
        QVERIFY(menu);
        auto dictionaryItems = [menu] {
            QStringList titles;
            for (QAction* action : menu->actions())
                titles.append(action->text() + (action->isEnabled() ? "" : "*"));
            return titles;
        };
        QCOMPARE(dictionaryItems(), QStringList{"Deutsch/Englisch Wörterbuch*"});
        QVERIFY(!menu->menuAction()->isVisible()); // nothing to choose
        // The second set lies in a data folder of the search path, not beside the program.
        const QString dataFolder = FDataDirs.filePath("quillet-dictionary");
        QVERIFY(QDir().mkpath(dataFolder));
        auto import = [this, dataFolder](const QString& base, const QByteArray& lines) {
            const QString source = FProgram.filePath(base + ".txt");
            TImportRequest request;
            request.Folder = base == "d" ? FProgram.path() : dataFolder;
            request.BaseName = base;
            request.SourcePath = source;
            request.Meta.Name = "Deutsch/Englisch Wörterbuch"; // as a user's import keeps it
            TImportSummary summary;
            return writeFile(source, lines) && Import(request, summary).ok();
        };
        // A new set: selectable, the open one untouched.
        QVERIFY(import("e", "Tür :: door\n"));
        w->DictionaryImported("e");
        QCOMPARE(dictionaryItems(), (QStringList{"Deutsch/Englisch Wörterbuch (d)*",
                                                 "Deutsch/Englisch Wörterbuch (e)"}));
        QVERIFY(menu->menuAction()->isVisible());
        QCOMPARE(menu->actions()[1]->toolTip(), dataFolder);
        QCOMPARE(w->Dictionary()->HeadwordCount(), 5);
        // The open set replaced: loaded again, with its new headwords.
        QVERIFY(import("d", "Apfel :: apple\nBaum :: tree\nHaus :: house\nHund :: dog\n"
                            "Unterbringung :: housing\nhob :: hove\n"));
        QSignalSpy loaded(w, &TMainForm::loadFinished);
        w->DictionaryImported("d");
        QVERIFY(loaded.wait(5000));
        QCOMPARE(w->Dictionary()->HeadwordCount(), 6);
        QVERIFY(w->Statusbar()->Caption().contains("6"));
        // Put back for the other cases.
        QVERIFY(QFile::remove(QDir(dataFolder).filePath("e.tdb")));
        QVERIFY(import("d", "Apfel :: apple\nBaum :: tree\nHaus :: house\n"
                            "Unterbringung :: housing\nhob :: hove\n"));
    }

    void defaultsWithoutOptionsAndWrittenAtClose() {
        TMainForm* w = open(QByteArray(), false); // and no dictionary "de_en_dict" either
        QVERIFY(w);
        QVERIFY(w->Settings() == TSettings());
        QCOMPARE(QRect(w->pos(), w->size()), QRect(10, 10, 750, 540));
        QCOMPARE(w->ResultGrid()->GridFont().family(), QString("Arial"));
        QCOMPARE(w->SearchText()->font().family(), QString("Tahoma"));
        type("Haus"); // looked up in nothing: no crash, no message
        QVERIFY(settled(w));
        w->AddToHistory("Baum");
        QVERIFY(w->close());

        // Every key the close writes, and some it leaves alone ("-": absent), read back.
        const QStringList expected =
            QString("Dictionary/Name=de_en_dict Dictionary/Direction=0 "
                    "Dictionary/Reverse_Language=0 Dictionary/Close_Question=0 "
                    "Dictionary/Auto_Search=1 Dictionary/Auto_Search_Delay=200 "
                    "Dictionary/Last_Word=Haus Window/Left=10 Window/Pos=10 Window/Width=750 "
                    "Window/Height=540 Window/LeftPanel=150 Font/Grid_Name=Arial Font/Grid_Size=9 "
                    "Font/Pron_Name=Junicode Font/Pron_Size=12 HotKey/Char=123 HotKey/Mod=1 "
                    "HotKey/Copy_Delay_1=250 HotKey/Copy_Delay_2=150 HotKey/Copy_Delay_3=150 "
                    "History/0=Baum History/1=- Font/List_Name=- Window/Flat_Skin=- "
                    "Dictionary/Check_Update=- GUI/Language=-")
                .split(' ');
        const TIniFile ini(iniPath());
        QStringList wrong; // what differs, as read back
        for (const QString& line : expected) {
            const QString name = line.section('=', 0, 0);
            const QString read = name + '=' +
                                 ini.ReadString(name.section('/', 0, 0).toLatin1(),
                                                name.section('/', 1).toLatin1(), "-");
            if (read != line)
                wrong.append(read);
        }
        QCOMPARE(wrong.join(' '), QString());
    }

    // The note stays after the first activation has relabelled the window.
    void missingDictionaryInStatus() {
        TMainForm* w = open(QByteArray(), false);
        QVERIFY(w);
        QCOMPARE(w->Statusbar()->Caption(),
                 QString::fromUtf8("Quillet-Dictionary – *keine Datenbank geladen*"));
        // No set, no name: the titles keep the program's name, with no dash left hanging.
        QCOMPARE(w->windowTitle() + " | " + w->FormCaption()->Caption(),
                 QString("Quillet Dictionary | Quillet Dictionary"));
    }

    // History and interface language from options.ini; the language at first activation.
    void storedOptionsApplied() {
        TMainForm* w = open(kOptions + "[History]\n0=Haus\n1=Baum\n[GUI]\nLanguage=1\n");
        QVERIFY(w);
        QCOMPARE(history(w), (QStringList{"Haus", "Baum"}));
        QTRY_COMPARE(w->LangTabControl()->tabText(0), QString("GER"));
        QCOMPARE(w->LangTabControl()->tabText(1), QString("ENG"));
        QCOMPARE(w->ResultGrid()->CopyWordAction()->text(), QString("Copy word"));
        QVERIFY2(w->Statusbar()->Caption().startsWith("English, "),
                 qPrintable(w->Statusbar()->Caption()));
        QVERIFY(w->close());
        const TIniFile ini(iniPath());
        QCOMPARE(ini.ReadString("History", "0") + ini.ReadString("History", "1"), "HausBaum");
    }

    // The load's report before the first activation, and a language chosen meanwhile from
    // the menu of the notification area: the activation keeps that language, and the texts
    // end as when the activation comes first, translated and with the load time. The
    // caption bar names the set in that language, the window's own title as it is called.
    void firstActivationAfterTheLoad() {
        QVERIFY(writeFile(iniPath(), kOptions));
        FForm = std::make_unique<TMainForm>(FProgram.path(), iniPath(), false);
        TMainForm* w = FForm.get();
        QSignalSpy loaded(w, &TMainForm::loadFinished);
        QVERIFY(loaded.wait(5000));
        QAction* english = nullptr;
        for (QAction* action : w->findChildren<QAction*>())
            if (action->text() == "Englisch")
                english = action;
        QVERIFY(english);
        english->trigger();
        w->show();
        QVERIFY(QTest::qWaitForWindowActive(w));
        QTRY_VERIFY(!w->SearchTimer()->isActive());
        const QString status = w->Statusbar()->Caption();
        QVERIFY2(status.startsWith("English, 5 keywords, ") && status.contains(", loading time 0."),
                 qPrintable(status));
        QCOMPARE(w->findChild<QLabel*>("InfoLabel")->text(),
                 QString::fromUtf8(" Dictionary English → German"));
        QCOMPARE(w->FormCaption()->Caption(),
                 QString::fromUtf8("Quillet-Dictionary – German/English Dictionary"));
        QCOMPARE(w->windowTitle(),
                 QString::fromUtf8("Quillet-Dictionary – Deutsch/Englisch Wörterbuch"));
    }
};

QTEST_MAIN(TestMainWindow)
#include "test_mainwindow.moc"
