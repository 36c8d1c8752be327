// SPDX-License-Identifier: GPL-2.0-or-later
#include "SingleInstance.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <cstdio>
#include <cstring>

using namespace quillet;

namespace {

// The test runs itself as the other copy of the program: "--acquire once" exits with 0
// when it got the guard and 1 when not; "--acquire hold" keeps the guard until its input
// closes or it is killed.
int runOther(const char* mode) {
    QProcess other;
    other.start(QCoreApplication::applicationFilePath(), {"--acquire", mode});
    if (!other.waitForFinished(10000) || other.exitStatus() != QProcess::NormalExit)
        return -1;
    return other.exitCode();
}

} // namespace

class TestSingleInstance : public QObject {
    Q_OBJECT

private slots:
    // Keeps the test away from a copy of the program the user may be running.
    void initTestCase() { qputenv("XDG_RUNTIME_DIR", FRuntime.path().toLocal8Bit()); }

    void secondCopyRefusedUntilFirstEnds() {
        auto first = CreateSingleInstance();
        QVERIFY(first->Acquire());
        QVERIFY(first->Acquire());
        QCOMPARE(runOther("once"), 1);
        first.reset();
        QCOMPARE(runOther("once"), 0);
    }

    void killedCopyDoesNotBlock() {
        QProcess holder;
        holder.start(QCoreApplication::applicationFilePath(), {"--acquire", "hold"});
        QVERIFY(holder.waitForReadyRead(10000));
        QCOMPARE(holder.readLine().trimmed(), "held");
        auto next = CreateSingleInstance();
        QVERIFY(!next->Acquire());
        holder.kill();
        QVERIFY(holder.waitForFinished(10000));
        QVERIFY(next->Acquire());
    }

private:
    QTemporaryDir FRuntime;
};

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--acquire") == 0) {
        auto guard = CreateSingleInstance();
        if (!guard->Acquire())
            return 1;
        if (std::strcmp(argv[2], "hold") == 0) {
            std::puts("held");
            std::fflush(stdout);
            while (std::getchar() != EOF) {
            }
        }
        return 0;
    }
    QCoreApplication app(argc, argv);
    TestSingleInstance test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_singleinstance.moc"
