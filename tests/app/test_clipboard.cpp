// SPDX-License-Identifier: GPL-2.0-or-later
#include "Clipboard.h"

#include <QGuiApplication>
#include <QMimeData>
#include <QtTest>

using namespace quillet;

class TestClipboard : public QObject {
    Q_OBJECT

private slots:
    void init() { QGuiApplication::clipboard()->clear(); }

    void accessesNest() {
        TClipboard clipboard(QGuiApplication::clipboard());
        clipboard.EndAccess(); // none open: nothing
        QCOMPARE(clipboard.OpenCount(), 0);
        QVERIFY(clipboard.BeginAccess().ok());
        QVERIFY(clipboard.BeginAccess().ok());
        QCOMPARE(clipboard.OpenCount(), 2);
        QVERIFY(clipboard.PutText(QStringLiteral("x")).ok());
        QCOMPARE(clipboard.OpenCount(), 2);
        clipboard.EndAccess();
        QCOMPARE(clipboard.OpenCount(), 1);
        QVERIFY(clipboard.Emptied());
        clipboard.EndAccess();
        QCOMPARE(clipboard.OpenCount(), 0);
        // A new outermost access starts with the flag clear.
        QVERIFY(clipboard.BeginAccess().ok());
        QVERIFY(!clipboard.Emptied());
        clipboard.EndAccess();
    }

    void unicodeTextRoundTrip() {
        TClipboard clipboard(QGuiApplication::clipboard());
        const QString text = QStringLiteral("Straße ü \U0001D11E");
        QVERIFY(clipboard.PutText(text).ok());
        QCOMPARE(QGuiApplication::clipboard()->text(), text);
        QString read;
        QVERIFY(clipboard.GetText(read).ok());
        QCOMPARE(read, text);
        QVERIFY(clipboard.ContainsText());

        QVERIFY(clipboard.Empty().ok());
        QVERIFY(!clipboard.ContainsText());
        QVERIFY(clipboard.GetText(read).ok());
        QVERIFY(read.isEmpty());
    }

    // Within one access the first put replaces the old content and later puts add to it;
    // the next access replaces everything again.
    void putsOfOneAccessAddUp() {
        TClipboard clipboard(QGuiApplication::clipboard());
        QVERIFY(clipboard.PutText(QStringLiteral("old")).ok());
        QVERIFY(clipboard.BeginAccess().ok());
        QVERIFY(clipboard.PutData(QStringLiteral("text/html"), "<b>Haus</b>").ok());
        QVERIFY(clipboard.PutText(QStringLiteral("Haus")).ok());
        clipboard.EndAccess();
        const QMimeData* data = QGuiApplication::clipboard()->mimeData();
        QCOMPARE(data->data(QStringLiteral("text/html")), QByteArray("<b>Haus</b>"));
        QCOMPARE(data->text(), QStringLiteral("Haus"));

        QVERIFY(clipboard.PutText(QStringLiteral("Baum")).ok());
        data = QGuiApplication::clipboard()->mimeData();
        QVERIFY(!data->hasFormat(QStringLiteral("text/html")));
        QCOMPARE(data->text(), QStringLiteral("Baum"));
    }

    void changesCounted() {
        TClipboard clipboard(QGuiApplication::clipboard());
        const auto before = clipboard.ChangeCount();
        QGuiApplication::clipboard()->setText(QStringLiteral("from elsewhere"));
        QVERIFY(clipboard.ChangeCount() != before);
    }

    void noClipboardIsAnError() {
        TClipboard clipboard(nullptr);
        const TStatus status = clipboard.BeginAccess();
        QVERIFY(!status.ok());
        QCOMPARE(status.message(), QStringLiteral("Zwischenablage kann nicht geöffnet werden"));
        QCOMPARE(clipboard.OpenCount(), 0);
        QString text;
        QVERIFY(!clipboard.GetText(text).ok());
        QVERIFY(!clipboard.PutText(QStringLiteral("x")).ok());
        QVERIFY(!clipboard.Empty().ok());
        QVERIFY(!clipboard.ContainsText());
    }
};

QTEST_MAIN(TestClipboard)

#include "test_clipboard.moc"
