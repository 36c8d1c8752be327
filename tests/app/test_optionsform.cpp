// SPDX-License-Identifier: GPL-2.0-or-later
// The settings dialog: the hotkey codes, the rules of the delay boxes, what OK and Cancel
// do to the settings, the autorun entry, and the choice of pronunciation fonts.
#include "Autorun.h"
#include "GlobalHotkey.h"
#include "HotkeyCodes.h"
#include "OptionsForm.h"
#include "Settings.h"
#include "Translations.h"

#include <functional>
#include <QtTest>
#include <QtWidgets>

using namespace quillet;

namespace {

// Opens the dialog on `settings` and lets `user` work the controls while it is shown.
TOptionsResult runDialog(TOptionsWin& dialog, TSettings& settings, bool& autorunState,
                         TAutorun& autorun, const std::function<void()>& user) {
    QTimer::singleShot(0, &dialog, user);
    return dialog.Execute(settings, autorunState, autorun, QStringLiteral("/opt/q d/quillet"));
}

} // namespace

class TestOptionsForm : public QObject {
    Q_OBJECT

    QTemporaryDir FAutostart;
    std::unique_ptr<TAutorun> FAutorun;
    std::unique_ptr<TOptionsWin> FDialog;

    template <typename T> T* control(const char* name) {
        T* widget = FDialog->findChild<T*>(QLatin1String(name));
        if (widget == nullptr)
            qFatal("no control %s", name);
        return widget;
    }
    QString entryPath() const { return FAutostart.filePath("quillet-dictionary.desktop"); }

private slots:
    void initTestCase() {
        FAutorun = CreateAutorun(FAutostart.path().toStdString());
        FDialog = std::make_unique<TOptionsWin>();
    }

    void hotkeyCodes_data() {
        QTest::addColumn<QKeyCombination>("keys");
        QTest::addColumn<bool>("usable");
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("modifiers");
        const auto row = [](const char* name, Qt::KeyboardModifiers modifiers, Qt::Key key,
                            bool usable, int code, int bits) {
            QTest::newRow(name) << QKeyCombination(modifiers, key) << usable << code << bits;
        };
        row("Ctrl+Shift+D", Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_D, true, 68, 6);
        row("Alt+F12", Qt::AltModifier, Qt::Key_F12, true, 123, 1);
        row("F24", Qt::NoModifier, Qt::Key_F24, true, 0x87, 0);
        row("keypad 5", Qt::ControlModifier | Qt::KeypadModifier, Qt::Key_5, true, 0x65, 2);
        row("keypad Home is Home", Qt::KeypadModifier, Qt::Key_Home, true, 0x24, 0);
        row("Shift+1 typed as !", Qt::ShiftModifier, Qt::Key_Exclam, true, 0x31, 4);
        row("Ü key", Qt::ControlModifier, Qt::Key_Udiaeresis, true, 0xBA, 2);
        row("Meta is Super", Qt::MetaModifier, Qt::Key_A, true, 0x41, 8);
        row("modifier alone", Qt::ControlModifier, Qt::Key_Control, false, 0, 0);
    }
    void hotkeyCodes() {
        QFETCH(QKeyCombination, keys);
        QFETCH(bool, usable);
        QFETCH(int, code);
        QFETCH(int, modifiers);
        // Outputs stay untouched when the combination is not usable.
        quint16 gotCode = 0;
        quint16 gotModifiers = 0;
        QCOMPARE(FromKeyCombination(keys, gotCode, gotModifiers), usable);
        QCOMPARE(int(gotCode), code);
        QCOMPARE(int(gotModifiers), modifiers);
    }

    // Every code with a Qt key comes back as itself, with its modifier bits.
    void hotkeyCodesRoundTrip() {
        int known = 0;
        for (int code = 1; code < 256; ++code) {
            const QKeyCombination keys = ToKeyCombination(quint16(code), kModCtrl | kModShift);
            if (keys.key() == Qt::Key_unknown)
                continue;
            ++known;
            quint16 back = 0;
            quint16 modifiers = 0;
            QVERIFY2(FromKeyCombination(keys, back, modifiers), qPrintable(QString::number(code)));
            QCOMPARE(int(back), code);
            QCOMPARE(int(modifiers), kModCtrl | kModShift);
        }
        QVERIFY(known > 100);
    }

    void delayBoxes() {
        FDialog->Fill(TSettings(), false);
        FDialog->show(); // and left open: a window shown again is not active here
        QVERIFY(QTest::qWaitForWindowActive(FDialog.get()));
        control<QPushButton>("OkButton")->setFocus();
        auto* edit = control<QLineEdit>("CopyDelayEdit1");
        const auto leave = [&](const QString& typed) {
            edit->setFocus();
            edit->clear();
            QTest::keyClicks(edit, typed);
            QTest::keyClick(edit, Qt::Key_Tab);
            return edit->text();
        };
        QCOMPARE(leave("1500"), "1000");
        QCOMPARE(leave(""), "200");
        QCOMPARE(leave("-5"), "1000");
        QCOMPARE(leave("12a"), "200"); // letters are typed, then replaced on leaving
        QCOMPARE(leave("0"), "0");

        // Keys that only move or delete do nothing; typed characters and Backspace work.
        edit->setFocus();
        edit->setText("123");
        for (Qt::Key key : {Qt::Key_Left, Qt::Key_Home, Qt::Key_Delete})
            QTest::keyClick(edit, key);
        QTest::keyClicks(edit, "4");
        QCOMPARE(edit->text(), "1234");
        QTest::keyClick(edit, Qt::Key_Backspace);
        QCOMPARE(edit->text(), "123");

        // Search while typing switched off disables its delay box; ticking enables it.
        TSettings off;
        off.AutoSearch = false;
        FDialog->Fill(off, false);
        auto* autoSearchDelay = control<QLineEdit>("AutoSearchDelayEdit");
        QVERIFY(!autoSearchDelay->isEnabled());
        control<QCheckBox>("checkAutoSearch")->click();
        QVERIFY(autoSearchDelay->isEnabled());
        control<QCheckBox>("checkAutoSearch")->click();
        QVERIFY(!autoSearchDelay->isEnabled());
        FDialog->hide();
    }

    void okAppliesEverything() {
        TSettings settings;
        bool autorunState = false;
        const auto result = runDialog(*FDialog, settings, autorunState, *FAutorun, [this] {
            // Each combination typed replaces the one before.
            auto* hotKeyEdit = control<QKeySequenceEdit>("HotKeyEdit");
            hotKeyEdit->setFocus();
            QTest::keyClick(hotKeyEdit, Qt::Key_X, Qt::ControlModifier);
            QTest::keyClick(hotKeyEdit, Qt::Key_D, Qt::ControlModifier | Qt::ShiftModifier);
            control<QLineEdit>("CopyDelayEdit1")->setText("10");
            control<QLineEdit>("CopyDelayEdit2")->setText("20");
            control<QLineEdit>("CopyDelayEdit3")->setText("30");
            control<QCheckBox>("checkAutoSearch")->setChecked(false);
            // Still in the box when Enter confirms: the leave rule applies first.
            auto* autoSearchDelay = control<QLineEdit>("AutoSearchDelayEdit");
            autoSearchDelay->setFocus();
            autoSearchDelay->setText("5000");
            control<QCheckBox>("checkAutorun")->setChecked(true);
            control<QCheckBox>("checkLanguageDirection")->setChecked(true);
            control<QCheckBox>("checkCloseQuestion")->setChecked(true);
            control<QComboBox>("Font1Combo")->setEditText("DejaVu Sans");
            control<QComboBox>("Size1Combo")->setEditText("14");
            control<QComboBox>("Font2Combo")->setEditText("DejaVu Serif");
            control<QComboBox>("Size2Combo")->setEditText("big"); // keeps the old size
            QTest::keyClick(autoSearchDelay, Qt::Key_Return);
        });
        QCOMPARE(result, TOptionsResult::Applied);
        QCOMPARE(int(settings.HotKeyChar), 68);
        QCOMPARE(int(settings.HotKeyMod), 6);
        QCOMPARE(settings.CopyDelay1, 10);
        QCOMPARE(settings.CopyDelay2, 20);
        QCOMPARE(settings.CopyDelay3, 30);
        QCOMPARE(settings.AutoSearch, false);
        QCOMPARE(settings.AutoSearchDelay, 1000);
        QVERIFY(autorunState);
        QVERIFY(settings.ReverseLanguage);
        QVERIFY(settings.CloseQuestion);
        QCOMPARE(settings.GridFontName, "DejaVu Sans");
        QCOMPARE(settings.GridFontSize, 14);
        QCOMPARE(settings.PronFontName, "DejaVu Serif");
        QCOMPARE(settings.PronFontSize, 12);

        // The entry starts the program hidden; unticking removes it.
        QFile entry(entryPath());
        QVERIFY(entry.open(QIODevice::ReadOnly));
        QVERIFY(entry.readAll().contains("/opt/q d/quillet"));
        QVERIFY(FAutorun->AutorunEntryExists(kAutorunEntryName));
        const auto unticked = runDialog(*FDialog, settings, autorunState, *FAutorun, [this] {
            control<QCheckBox>("checkAutorun")->setChecked(false);
            control<QPushButton>("OkButton")->click();
        });
        QCOMPARE(unticked, TOptionsResult::Applied);
        QVERIFY(!autorunState);
        QVERIFY(!QFile::exists(entryPath()));
    }

    // What the hotkey box takes: combinations with Ctrl, Alt or Super and the function
    // keys; Escape and Return keep their dialog roles, Tab moves on, other keys are refused
    // with a note, and a cleared box switches the hotkey off.
    void hotkeyEditTakes_data() {
        QTest::addColumn<int>("key"); // 0: the box is cleared
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<bool>("applied");
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("bits");
        QTest::addColumn<bool>("note");
        const auto row = [](const char* name, int key, Qt::KeyboardModifiers modifiers,
                            bool applied, int code, int bits, bool note) {
            QTest::newRow(name) << key << int(modifiers) << applied << code << bits << note;
        };
        row("Ctrl+Shift+D", Qt::Key_D, Qt::ControlModifier | Qt::ShiftModifier, true, 68, 6, false);
        row("Super+A", Qt::Key_A, Qt::MetaModifier, true, 0x41, 8, false);
        row("F5", Qt::Key_F5, Qt::NoModifier, true, 0x74, 0, false);
        row("letter refused", Qt::Key_A, Qt::NoModifier, true, 123, 1, true);
        row("Shift+letter refused", Qt::Key_A, Qt::ShiftModifier, true, 123, 1, true);
        row("Tab moves on", Qt::Key_Tab, Qt::NoModifier, true, 123, 1, false);
        row("Escape cancels", Qt::Key_Escape, Qt::NoModifier, false, 123, 1, false);
        row("cleared", 0, Qt::NoModifier, true, 0, 0, false);
    }
    void hotkeyEditTakes() {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(bool, applied);
        QFETCH(int, code);
        QFETCH(int, bits);
        QFETCH(bool, note);
        TSettings settings; // Alt+F12
        bool autorunState = false;
        bool noteShown = false;
        // A box that swallows Return would keep the dialog open: the timer ends it then.
        QTimer::singleShot(3000, FDialog.get(), [this] { FDialog->reject(); });
        const auto result = runDialog(*FDialog, settings, autorunState, *FAutorun, [&] {
            auto* hotKeyEdit = control<QKeySequenceEdit>("HotKeyEdit");
            hotKeyEdit->setFocus();
            if (key == 0)
                hotKeyEdit->clear();
            else
                QTest::keyClick(hotKeyEdit, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
            noteShown = control<QLabel>("HotKeyNote")->isVisible();
            if (key == Qt::Key_Tab)
                QVERIFY(!hotKeyEdit->hasFocus());
            if (FDialog->isVisible())
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        });
        QCOMPARE(result == TOptionsResult::Applied, applied);
        QCOMPARE(int(settings.HotKeyChar), code);
        QCOMPARE(int(settings.HotKeyMod), bits);
        QCOMPARE(noteShown, note);
    }

    // The dialog's client area is centred on its owner's.
    void opensCentredOnOwner() {
        QWidget owner;
        owner.setGeometry(300, 200, 800, 600);
        owner.show();
        QVERIFY(QTest::qWaitForWindowExposed(&owner));
        TOptionsWin dialog(&owner);
        TSettings settings;
        bool autorunState = false;
        QPoint centre;
        runDialog(dialog, settings, autorunState, *FAutorun, [&] {
            centre = dialog.geometry().center();
            dialog.reject();
        });
        QVERIFY2((centre - owner.geometry().center()).manhattanLength() <= 1,
                 qPrintable(QStringLiteral("%1,%2").arg(centre.x()).arg(centre.y())));
    }

    // Cancel, Escape and the close box change neither the settings nor the entry.
    void cancelChangesNothing() {
        const TSettings before;
        for (int way = 0; way < 3; ++way) {
            TSettings settings;
            bool autorunState = false;
            const auto result = runDialog(*FDialog, settings, autorunState, *FAutorun, [this, way] {
                control<QCheckBox>("checkAutorun")->setChecked(true);
                control<QLineEdit>("CopyDelayEdit1")->setText("999");
                control<QCheckBox>("checkCloseQuestion")->setChecked(true);
                if (way == 0)
                    control<QPushButton>("CancelButton")->click();
                else if (way == 1)
                    QTest::keyClick(FDialog.get(), Qt::Key_Escape);
                else
                    FDialog->close();
            });
            QCOMPARE(result, TOptionsResult::Cancelled);
            QVERIFY(settings == before);
            QVERIFY(!autorunState);
            QVERIFY(!QFile::exists(entryPath()));
        }
    }

    // A place where the entry cannot be written: the state stays, the caller is told.
    void autorunFailure() {
        QTemporaryDir dir;
        QFile blocker(dir.filePath("file"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        auto autorun = CreateAutorun(dir.filePath("file/autostart").toStdString());
        TSettings settings;
        bool autorunState = false;
        const auto result = runDialog(*FDialog, settings, autorunState, *autorun, [this] {
            control<QCheckBox>("checkAutorun")->setChecked(true);
            control<QCheckBox>("checkCloseQuestion")->setChecked(true);
            control<QPushButton>("OkButton")->click();
        });
        QCOMPARE(result, TOptionsResult::AutorunFailed);
        QVERIFY(!autorunState);
        QVERIFY(settings.CloseQuestion); // everything else is applied
    }

    void relabelled() {
        SetUILanguage(kUILanguageEnglish);
        FDialog->ApplyUILanguage();
        QCOMPARE(control<QGroupBox>("HotKeyGroup")->title(), "HotKey");
        QCOMPARE(control<QLabel>("Label6")->text().remove('&'), "Shortcut:");
        QCOMPARE(control<QPushButton>("CancelButton")->text().remove('&'), "Cancel");
        QCOMPARE(control<QPushButton>("OkButton")->text().remove('&'), "Ok");
        QCOMPARE(control<QLabel>("Label9")->toolTip(), "Milliseconds");
        // Qt's own prompt of the empty hotkey control follows as well.
        const auto prompt = [this] {
            return control<QWidget>("HotKeyEdit")->findChild<QLineEdit*>()->placeholderText();
        };
        QCOMPARE(prompt(), "Press shortcut");
        SetUILanguage(kUILanguageGerman);
        FDialog->ApplyUILanguage();
        QCOMPARE(control<QGroupBox>("HotKeyGroup")->title(), "Hotkey");
        QCOMPARE(control<QLabel>("Label10")->text(), "ms");
        QTRY_COMPARE(prompt(), "Geben Sie ein Tastenkürzel ein"); // on the LanguageChange event
    }

    // Without a mouse: in both languages every label and button has a letter of its own,
    // a label's letter moves to its box, and every control has a name for screen readers.
    void keyboardAndNames_data() {
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("sizeName");
        QTest::newRow("German") << kUILanguageGerman << "Schriftgröße der Lautschrift";
        QTest::newRow("English") << kUILanguageEnglish << "Size of the pronunciation";
    }
    void keyboardAndNames() {
        QFETCH(int, language);
        QFETCH(QString, sizeName);
        SetUILanguage(language);
        FDialog->ApplyUILanguage();
        QString letters;
        for (QWidget* widget : FDialog->findChildren<QWidget*>()) {
            if (widget->objectName() == "HotKeyNote")
                continue; // a note about the hotkey, not the label of a control
            QString text;
            if (auto* label = qobject_cast<QLabel*>(widget))
                text = label->text();
            else if (auto* button = qobject_cast<QAbstractButton*>(widget))
                text = button->text();
            const qsizetype at = text.indexOf('&');
            if (at < 0) {
                QVERIFY2(text.isEmpty() || text == "ms", qPrintable(text));
                continue;
            }
            QVERIFY2(!letters.contains(text[at + 1].toLower()), qPrintable(text));
            letters += text[at + 1].toLower();
            if (auto* label = qobject_cast<QLabel*>(widget))
                QVERIFY2(label->buddy(), qPrintable(text));
        }
        QCOMPARE(letters.size(), 13);
        QAccessible::setActive(true);
        for (QWidget* widget : FDialog->findChildren<QWidget*>()) {
            if (!qobject_cast<QLineEdit*>(widget) && !qobject_cast<QComboBox*>(widget) &&
                !qobject_cast<QAbstractButton*>(widget) && !qobject_cast<QKeySequenceEdit*>(widget))
                continue;
            QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(widget);
            QVERIFY2(!iface->text(QAccessible::Name).remove('&').trimmed().isEmpty(),
                     widget->metaObject()->className());
        }
        // A box is named by its label through a relation; its line edit by its own name.
        QCOMPARE(QAccessible::queryAccessibleInterface(control<QComboBox>("Size2Combo")->lineEdit())
                     ->text(QAccessible::Name),
                 sizeName);

        FDialog->show(); // and left open: a window shown again is not active here
        QVERIFY(QTest::qWaitForWindowActive(FDialog.get()));
        control<QPushButton>("OkButton")->setFocus();
        const QString label = control<QLabel>("Label4")->text();
        const QChar letter = label[label.indexOf('&') + 1];
        QTest::keyClick(FDialog.get(), Qt::Key(letter.toUpper().unicode()), Qt::AltModifier);
        QWidget* focus = QApplication::focusWidget();
        QVERIFY(focus == control<QComboBox>("Font2Combo") ||
                focus == control<QComboBox>("Font2Combo")->lineEdit());
        SetUILanguage(kUILanguageGerman);
        FDialog->ApplyUILanguage();
    }

    void pronunciationFonts() {
        QVERIFY(FontCoversIPA("DejaVu Sans"));
        QVERIFY(!FontCoversIPA("No Such Font 1234")); // not a substitute's glyphs
        const QStringList families = QFontDatabase::families();
        QString withoutIpa;
        for (const char* candidate : {"Liberation Sans", "Nimbus Sans", "URW Gothic"}) {
            if (families.contains(QLatin1String(candidate))) {
                withoutIpa = QLatin1String(candidate);
                break;
            }
        }
        if (!withoutIpa.isEmpty())
            QVERIFY(!FontCoversIPA(withoutIpa));

        const QStringList offered = PronunciationFontFamilies({"DejaVu Sans", withoutIpa});
        QCOMPARE(offered, QStringList({"DejaVu Sans", "Junicode"}));
        // With no IPA font at all every font is offered.
        if (!withoutIpa.isEmpty())
            QCOMPARE(PronunciationFontFamilies({withoutIpa}),
                     QStringList({withoutIpa, "Junicode"}));
    }
};

QTEST_MAIN(TestOptionsForm)
#include "test_optionsform.moc"
