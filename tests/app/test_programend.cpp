// SPDX-License-Identifier: GPL-2.0-or-later
// The end of the real program from outside: the signals with which a session ends it
// (logout, `systemctl --user stop`, a terminal's hang-up, Ctrl+C) close the main window
// the normal way, so that the settings are written and the process exits with 0; and a
// dictionary load that hangs in a read does not hold that end up.
#include "Import.h"
#include "IniFile.h"

#include <csignal>
#include <fcntl.h>
#include <optional>
#include <QtTest>
#include <sys/types.h>
#include <unistd.h>

using namespace quillet;

namespace {

const QString kProgram = QStringLiteral(QUILLET_BIN_DIR "/quillet-dictionary");

// Whether the process catches `signal`, from its SigCgt mask: the program's handlers are
// in place, and a signal sent now no longer ends it the default way.
bool catches(qint64 pid, int signal) {
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return false;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("SigCgt:"))
            return (line.mid(7).trimmed().toULongLong(nullptr, 16) >> (signal - 1)) & 1;
    }
    return false;
}

} // namespace

class TestProgramEnd : public QObject {
    Q_OBJECT

    std::optional<QTemporaryDir> FHome;

    QString optionsPath() const { return FHome->filePath("config/Quillet/Dictionary/options.ini"); }

    // The program on a configuration of its own, offscreen, with the end signals at their
    // defaults, as a session starts it (a test run in the background may ignore SIGINT).
    void start(QProcess& process, const QString& program) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("XDG_CONFIG_HOME", FHome->filePath("config"));
        env.insert("XDG_RUNTIME_DIR", FHome->filePath("runtime"));
        process.setProcessEnvironment(env);
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.setChildProcessModifier([] {
            for (const int signal : {SIGTERM, SIGHUP, SIGINT})
                std::signal(signal, SIG_DFL);
        });
        process.start(program, {});
    }

private slots:
    void init() {
        QVERIFY(FHome.emplace().isValid());
        QVERIFY(QDir(FHome->path()).mkpath("config") && QDir(FHome->path()).mkpath("runtime"));
        QFile::setPermissions(FHome->filePath("runtime"),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    void sessionEndClosesTheWindow_data() {
        QTest::addColumn<int>("signal");
        QTest::newRow("SIGTERM") << int(SIGTERM);
        QTest::newRow("SIGHUP") << int(SIGHUP);
        QTest::newRow("SIGINT") << int(SIGINT);
    }
    void sessionEndClosesTheWindow() {
        QFETCH(int, signal);
        QProcess program;
        start(program, kProgram);
        QVERIFY(program.waitForStarted(10000));
        QTRY_VERIFY_WITH_TIMEOUT(catches(program.processId(), signal), 20000);
        QCOMPARE(::kill(pid_t(program.processId()), signal), 0);
        QVERIFY(program.waitForFinished(20000));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 0);
        const TIniFile options(optionsPath());
        QCOMPARE(options.ReadString("Window", "Width") + ' ' +
                     options.ReadString("HotKey", "Copy_Delay_3"),
                 "750 150");
    }

    // The pronunciations lie where reading them hangs (here: a file this test holds a
    // lease on, which keeps every other open of it waiting; the kernel gives up on the
    // lease after /proc/sys/fs/lease-break-time, 45 s by default). The end must not wait
    // for the run reading them.
    void hangingLoadDoesNotHoldUpTheEnd() {
        // A program folder of its own: the program beside a dictionary "d".
        const QString folder = FHome->filePath("program");
        const QString program = QDir(folder).filePath("quillet-dictionary");
        QVERIFY(QDir().mkpath(folder) && QFile::copy(kProgram, program));
        const QString source = QDir(folder).filePath("d.txt");
        QFile text(source);
        QVERIFY(text.open(QIODevice::WriteOnly) && text.write("Haus :: house\n") > 0);
        text.close();
        TImportRequest request;
        request.Folder = folder;
        request.BaseName = "d";
        request.SourcePath = source;
        TImportSummary summary;
        QVERIFY(Import(request, summary).ok());
        QFile ipa(QDir(folder).filePath("d.ipa"));
        QVERIFY(ipa.open(QIODevice::ReadWrite)); // empty: its content is never reached
        QVERIFY(QDir().mkpath(QFileInfo(optionsPath()).path()));
        QFile options(optionsPath());
        QVERIFY(options.open(QIODevice::WriteOnly) && options.write("[Dictionary]\nName=d\n") > 0);
        options.close();

        std::signal(SIGIO, SIG_IGN); // the kernel's news that someone waits for the file
        if (::fcntl(ipa.handle(), F_SETLEASE, F_WRLCK) != 0)
            QSKIP("this file system grants no leases");
        QProcess run;
        start(run, program);
        QVERIFY(run.waitForStarted(10000));
        // The lease is being broken: the program's load run waits in its open.
        QTRY_VERIFY_WITH_TIMEOUT(::fcntl(ipa.handle(), F_GETLEASE) != F_WRLCK, 20000);
        QTRY_VERIFY_WITH_TIMEOUT(catches(run.processId(), SIGTERM), 20000);
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(::kill(pid_t(run.processId()), SIGTERM), 0);
        const bool ended = run.waitForFinished(15000);
        ipa.close(); // gives the lease up
        QVERIFY2(ended, "the program waited for the load run");
        QVERIFY2(clock.elapsed() < 10000, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(run.exitStatus(), QProcess::NormalExit);
        QCOMPARE(run.exitCode(), 0);
        QCOMPARE(TIniFile(optionsPath()).ReadString("Window", "Width"), "750");
    }
};

QTEST_GUILESS_MAIN(TestProgramEnd)
#include "test_programend.moc"
