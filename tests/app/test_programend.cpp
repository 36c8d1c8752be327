// SPDX-License-Identifier: GPL-2.0-or-later
// The end of the real program from outside: the signals with which a session ends it
// (logout, `systemctl --user stop`, a terminal's hang-up, Ctrl+C) close the main window
// the normal way, so that the settings are written and the process exits with 0.
#include "IniFile.h"

#include <csignal>
#include <optional>
#include <QtTest>
#include <sys/types.h>

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
};

QTEST_GUILESS_MAIN(TestProgramEnd)
#include "test_programend.moc"
