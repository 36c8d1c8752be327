// SPDX-License-Identifier: GPL-2.0-or-later
#include "Clipboard.h"
#include "FakeDesktop.h"
#include "HotkeyLookup.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QSignalSpy>
#include <QtTest>

#include <optional>

using namespace quillet;

namespace {

QClipboard* board() {
    return QGuiApplication::clipboard();
}

// One lookup against the fake desktop, whose application in front copies `selection`
// (nothing when it has none).
struct TLookupRun {
    explicit TLookupRun(TClipboard& clipboard) : Lookup(Desktop, clipboard, 5, 7, 5) {
        Desktop.Focused = 42;
        Lookup.BringUp = [this](const QString& word) { Word = word; };
        Lookup.OnError = [this](const QString& message) { Error = message; };
    }
    void CopiesOnKeys(const QString& selection) {
        Desktop.OnCopyKeys = [selection] { board()->setText(selection); };
    }
    bool RunToEnd() {
        if (!Lookup.Run())
            return false;
        return QTest::qWaitFor([this] { return !Lookup.Running(); }, 5000);
    }

    TFakeDesktopWindows Desktop;
    THotkeyLookup Lookup;
    std::optional<QString> Word; // set when the window was brought up
    std::optional<QString> Error;
};

} // namespace

class TestHotkeyLookup : public QObject {
    Q_OBJECT

private slots:
    void init() { board()->clear(); }

    void copiedText_data() {
        QTest::addColumn<QString>("copied");
        QTest::addColumn<QString>("word");
        QTest::newRow("word") << "Haus"
                              << "Haus";
        QTest::newRow("trimmed") << "\t Haus\r\n"
                                 << "Haus";
        QTest::newRow("two words") << "ice cream"
                                   << "";
        QTest::newRow("tab inside") << "ice\tcream"
                                    << "";
        QTest::newRow("one character") << "a"
                                       << "";
        QTest::newRow("two characters") << "ab"
                                        << "ab";
        QTest::newRow("19 characters") << QString(19, u'x') << QString(19, u'x');
        QTest::newRow("20 characters") << QString(20, u'x') << "";
        QTest::newRow("unicode") << "Straße"
                                 << "Straße";
        // 19 letters outside the basic plane: 38 UTF-16 units, still 19 characters.
        const QString clef = QStringLiteral("\U0001D11E");
        QTest::newRow("19 wide characters") << clef.repeated(19) << clef.repeated(19);
    }

    // The selection replaces the search word when it is one, and the user's clipboard
    // text comes back (trimmed) whatever the selection was.
    void copiedText() {
        QFETCH(QString, copied);
        QFETCH(QString, word);
        TClipboard clipboard(board());
        board()->setText(QStringLiteral("  Hello world "));
        TLookupRun run(clipboard);
        run.CopiesOnKeys(copied);
        QVERIFY(run.RunToEnd());
        QVERIFY(!run.Error);
        QVERIFY(run.Word);
        QCOMPARE(run.Word.value_or(QStringLiteral("(not brought up)")), word);
        QCOMPARE(board()->text(), QStringLiteral("Hello world"));
        QCOMPARE(run.Lookup.ForeignWindow(), TWindowId(42));
        QCOMPARE(run.Desktop.CopyRequests, std::vector<TWindowId>{42});
        QCOMPARE(run.Desktop.CopyKeys, std::vector<int>{7});
    }

    void sameTextIsNotPutBack() {
        TClipboard clipboard(board());
        board()->setText(QStringLiteral("Haus"));
        TLookupRun run(clipboard);
        run.CopiesOnKeys(QStringLiteral("Haus"));
        QSignalSpy changes(board(), &QClipboard::dataChanged);
        QVERIFY(run.RunToEnd());
        QCOMPARE(run.Word.value_or(QStringLiteral("(not brought up)")), QStringLiteral("Haus"));
        QCOMPARE(changes.count(), 1); // the copy only
    }

    // An application that ignores the copy leaves the clipboard alone, whose text is then
    // the word; nothing is put back.
    void ignoredCopyTakesClipboardText() {
        TClipboard clipboard(board());
        board()->setText(QStringLiteral(" Baum "));
        TLookupRun run(clipboard);
        QSignalSpy changes(board(), &QClipboard::dataChanged);
        QVERIFY(run.RunToEnd());
        QCOMPARE(run.Word.value_or(QStringLiteral("(not brought up)")), QStringLiteral("Baum"));
        QCOMPARE(changes.count(), 0);
        QCOMPARE(board()->text(), QStringLiteral(" Baum "));
    }

    void noWindowNoCopy() {
        TClipboard clipboard(board());
        board()->setText(QStringLiteral("Hello"));
        TLookupRun run(clipboard);
        run.Desktop.Focused = 0;
        run.CopiesOnKeys(QStringLiteral("Haus"));
        QVERIFY(run.Lookup.Run());
        QVERIFY(run.Word); // at once, without waiting
        QCOMPARE(run.Word.value_or(QStringLiteral("(not brought up)")), QString());
        QCOMPARE(run.Lookup.ForeignWindow(), TWindowId(0));
        QVERIFY(run.Desktop.CopyRequests.empty());
        QVERIFY(run.Desktop.CopyKeys.empty());
        QCOMPARE(board()->text(), QStringLiteral("Hello"));
    }

    void foregroundWindowWhenNoFocus() {
        TClipboard clipboard(board());
        TLookupRun run(clipboard);
        run.Desktop.Focused = 0;
        run.Desktop.Foreground = 7;
        run.CopiesOnKeys(QStringLiteral("Haus"));
        QVERIFY(run.RunToEnd());
        QCOMPARE(run.Word.value_or(QStringLiteral("(not brought up)")), QStringLiteral("Haus"));
        QCOMPARE(run.Lookup.ForeignWindow(), TWindowId(7));
        QCOMPARE(run.Desktop.CopyRequests, std::vector<TWindowId>{7});
    }

    void secondPressDuringLookupIgnored() {
        TClipboard clipboard(board());
        TLookupRun run(clipboard);
        run.CopiesOnKeys(QStringLiteral("Haus"));
        QVERIFY(run.Lookup.Run());
        QVERIFY(!run.Lookup.Run());
        QTRY_VERIFY(!run.Lookup.Running());
        QCOMPARE(run.Desktop.CopyKeys.size(), std::size_t(1));
        QVERIFY(run.RunToEnd());
        QCOMPARE(run.Desktop.CopyKeys.size(), std::size_t(2));
    }

    void unreadableClipboardReported() {
        TClipboard clipboard(nullptr);
        TLookupRun run(clipboard);
        QVERIFY(run.RunToEnd());
        QVERIFY(!run.Word);
        QVERIFY(run.Error);
        QCOMPARE(*run.Error, QStringLiteral("Zwischenablage kann nicht geöffnet werden"));
        QVERIFY(run.Desktop.CopyKeys.empty());
    }
};

QTEST_MAIN(TestHotkeyLookup)

#include "test_hotkeylookup.moc"
