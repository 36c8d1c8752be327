// SPDX-License-Identifier: GPL-2.0-or-later
// quillet-cli import killed at every step of forcing its files to the disk, renaming them
// into place and cleaning up: afterwards the set opens and every lookup answers exactly as
// before the import or exactly as after it. The kill comes from strace, at the n-th call.

#include "../data/TestFiles.h"

#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

namespace {

struct TRun {
    bool Finished = false; // exited normally with 0
    QString Out;
};

TRun run(const QString& program, const QStringList& args, const QByteArray& input = {}) {
    QProcess process;
    process.start(program, args);
    process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished(60000))
        qFatal("%s did not finish", qPrintable(program));
    return {process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0,
            QString::fromUtf8(process.readAllStandardOutput())};
}

QByteArray source(const char* translation, int count) {
    QByteArray text;
    for (int i = 0; i < count; ++i)
        text += "Wort" + QByteArray(1, char('a' + i / 26)) + char('a' + i % 26) +
                " :: " + translation + QByteArray::number(i) + "\n";
    return text;
}

} // namespace

class TestImportKill : public QObject {
    Q_OBJECT

    QTemporaryDir FDir;
    QString FStrace;
    QString FBefore, FAfter; // the answers of the set before and after the import

    QString folder(const QString& name) const { return FDir.filePath(name); }

    // The installed sets (without their folder) and the answers to a fixed mix of queries.
    QString answers(const QString& dir) const {
        const QString cli = QStringLiteral(QUILLET_CLI);
        return run(cli, {"--folder", dir, "list"}).Out.remove(dir) +
               run(cli, {"--folder", dir, "lookup", "--json", "--stdin"},
                   "Worta\nWortbz\nWortk\nx\nWortaa Wortab\n")
                   .Out;
    }

    void prepare(const QString& dir) const {
        QDir().mkpath(dir);
        for (const char* ext : {"tdb", "tx1", "tx2"})
            QFile::copy(folder("before") + "/de_en_dict." + ext,
                        dir + "/de_en_dict." + QString(ext));
    }

private slots:
    void initTestCase() {
        FStrace = QStandardPaths::findExecutable("strace");
        if (FStrace.isEmpty())
            QSKIP("strace is not installed");
        const QString cli = QStringLiteral(QUILLET_CLI);
        QVERIFY(writeAll(folder("a.txt"), source("one", 200)));
        QVERIFY(writeAll(folder("b.txt"), "# another edition\n" + source("two", 260)));
        QDir().mkpath(folder("before"));
        QVERIFY(run(cli, {"--folder", folder("before"), "import", folder("a.txt")}).Finished);
        FBefore = answers(folder("before"));
        prepare(folder("after"));
        QVERIFY(run(cli, {"--folder", folder("after"), "import", folder("b.txt")}).Finished);
        FAfter = answers(folder("after"));
        QVERIFY(FBefore != FAfter && FAfter.contains("two"));
    }

    void killedAtEveryStep_data() {
        QTest::addColumn<QString>("calls");
        QTest::newRow("fsync") << "fsync,fdatasync";
        QTest::newRow("rename") << "rename,renameat,renameat2";
        QTest::newRow("unlink") << "unlink,unlinkat";
    }
    void killedAtEveryStep() {
        QFETCH(QString, calls);
        int killed = 0, rolledForward = 0;
        for (int n = 1; n < 40; ++n) {
            const QString dir =
                folder(QStringLiteral("kill-%1-%2").arg(QTest::currentDataTag()).arg(n));
            prepare(dir);
            const TRun import = run(
                FStrace, {"-f", "-qq", "-o", "/dev/null", "-e",
                          QStringLiteral("inject=%1:signal=KILL:when=%2").arg(calls).arg(n),
                          QStringLiteral(QUILLET_CLI), "--folder", dir, "import", folder("b.txt")});
            const QString now = answers(dir);
            QVERIFY2(
                now == FBefore || now == FAfter,
                qPrintable(QStringLiteral("killed at %1 #%2:\n%3").arg(calls).arg(n).arg(now)));
            QVERIFY2(!QFileInfo::exists(dir + "/.de_en_dict.install"), "the record is left over");
            if (import.Finished)
                break;
            ++killed;
            rolledForward += now == FAfter;
        }
        qInfo("%s: killed %d times, %d finished by the next reader", qPrintable(calls), killed,
              rolledForward);
        QVERIFY(killed > 0);
        if (QByteArray(QTest::currentDataTag()) == "rename")
            QVERIFY(rolledForward > 0); // killed between the renames, finished by the reader
    }
};

QTEST_GUILESS_MAIN(TestImportKill)
#include "test_import_kill.moc"
