// SPDX-License-Identifier: GPL-2.0-or-later
// The start of the desktop program: its command line, and a lookup handed from a later
// start to the copy that runs.
#include "Arguments.h"
#include "InstanceChannel.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

using namespace quillet;

class TestStartup : public QObject {
    Q_OBJECT

private slots:
    void arguments_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("parsed"); // hidden, import, lookup (or -) and error
        QTest::newRow("none") << QStringList{} << "0 0 - ";
        QTest::newRow("/min first") << QStringList{"/min", "--import"} << "1 1 - ";
        QTest::newRow("/min late, /MIN") << QStringList{"/MIN", "/min"} << "0 0 - ";
        QTest::newRow("lookup") << QStringList{"--lookup", "Haus"} << "0 0 Haus ";
        QTest::newRow("lookup of a dash") << QStringList{"--lookup", "-ig"} << "0 0 -ig ";
        QTest::newRow("lookup=") << QStringList{"--lookup=Haus Boot"} << "0 0 Haus Boot ";
        QTest::newRow("lookup without word")
            << QStringList{"--lookup"} << "0 0  --lookup needs a WORD";
        QTest::newRow("unknown option") << QStringList{"--impor"} << "0 0 - unknown option --impor";
        QTest::newRow("Qt's options")
            << QStringList{"-platform", "xcb", "--reverse", "--import"} << "0 1 - ";
    }
    void arguments() {
        QFETCH(QStringList, args);
        QFETCH(QString, parsed);
        const TArguments a = ParseArguments(QStringList{"quillet-dictionary"} + args);
        QCOMPARE(QStringLiteral("%1 %2 %3 %4")
                     .arg(int(a.StartHidden))
                     .arg(int(a.Import))
                     .arg(a.HasLookup ? a.Lookup : QStringLiteral("-"), a.Error),
                 parsed);
    }

    // A word in UTF-8 arrives whole; with nobody listening, the sender learns so. A socket
    // left behind by a copy that crashed does not keep the next copy from listening.
    void lookupHandedToTheRunningCopy() {
        QTemporaryDir dir;
        const QString name = dir.filePath("channel");
        QVERIFY(!TInstanceChannel::Send("Haus", name, 500));
        QFile stale(name);
        QVERIFY(stale.open(QIODevice::WriteOnly));
        stale.close();

        TInstanceChannel channel(name);
        QVERIFY(channel.Listen());
        QSignalSpy requests(&channel, &TInstanceChannel::lookupRequested);
        // The sender waits for the listener's event loop, so it runs on a thread of its own.
        bool sent = false;
        std::unique_ptr<QThread> sender(
            QThread::create([&] { sent = TInstanceChannel::Send(QStringLiteral("Größe"), name); }));
        sender->start();
        QVERIFY(requests.wait(5000));
        sender->wait();
        QVERIFY(sent);
        QCOMPARE(requests.first().first().toString(), QStringLiteral("Größe"));
    }
};

QTEST_MAIN(TestStartup)
#include "test_startup.moc"
