// SPDX-License-Identifier: GPL-2.0-or-later
// TIniFile: profile-file reading and writing that keeps what it does not understand.
#include "IniFile.h"
#include "TestFiles.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace quillet;

static const QByteArray kSample =
    "; written by hand\r\n[Main]\r\n; window\r\nWidth = 800\r\n"
    "Name=\"Quillet\"\r\nSingle='x y'\r\nHalf=\"open\r\nNeg=-12\r\n"
    "Plus=+7\r\nHex=0x1F\r\nDollar=$ff\r\nBad=12abc\r\n"
    "Big=99999999999\r\nEmpty=\r\n\r\n[Other]\r\nzeta=1\r\nalpha=2\r\n";

class TestIni : public QObject {
    Q_OBJECT
    QTemporaryDir FDir;
    QString FPath;

private slots:
    void init() { QVERIFY(writeAll(FPath = FDir.filePath("options.ini"), kSample)); }

    void reading() {
        const TIniFile ini(FPath);
        QCOMPARE(ini.ReadString("main", "WIDTH"), "800");
        QCOMPARE(ini.ReadString("MAIN", "name"), "Quillet");
        QCOMPARE(ini.ReadString("Main", "Single"), "x y");
        QCOMPARE(ini.ReadString("Main", "Half"), "\"open");
        QCOMPARE(ini.ReadString("Main", "Empty", "def"), "");
        QCOMPARE(ini.ReadString("Nowhere", "Width", "def"), "def");
        QCOMPARE(ini.ReadString("Main", "Height", "def"), "def");
        QCOMPARE(ini.ReadString("Main", "zeta", "def"), "def"); // a key of another section
        QCOMPARE(ini.KeyNames("OTHER"), (QList<QByteArray>{"zeta", "alpha"}));
        const TIniFile missing(FDir.filePath("nothing.ini"));
        QCOMPARE(missing.ReadString("Main", "Width", "def"), "def");
        QCOMPARE(missing.ReadInteger("Main", "Width", 5), 5);
    }

    void readInteger_data() {
        QTest::addColumn<QByteArray>("key");
        QTest::addColumn<int>("expected");
        const std::pair<const char*, int> rows[] = {
            {"Width", 800}, {"Neg", -12}, {"Plus", 7},  {"Hex", 31},   {"Dollar", 255},
            {"Bad", -1},    {"Big", -1},  {"Name", -1}, {"Empty", -1}, {"Height", -1}};
        for (const auto& [key, expected] : rows)
            QTest::newRow(key) << QByteArray(key) << expected;
    }
    void readInteger() {
        QFETCH(QByteArray, key);
        QFETCH(int, expected);
        QCOMPARE(TIniFile(FPath).ReadInteger("Main", key, -1), expected);
    }

    void replacingKeepsEverythingElse() {
        QVERIFY(TIniFile(FPath).WriteInteger("MAIN", "width", 1024).ok());
        const QList<QByteArray> before = kSample.split('\n'), after = readAll(FPath).split('\n');
        QCOMPARE(after.size(), before.size());
        for (int i = 0; i < before.size(); ++i) {
            if (before[i].startsWith("Width"))
                QCOMPARE(after[i].toLower().replace(" ", ""), "width=1024\r");
            else
                QCOMPARE(after[i], before[i]);
        }
    }

    void newKeysAndSections_data() {
        QTest::addColumn<QByteArray>("eol");
        QTest::newRow("CR LF") << QByteArray("\r\n");
        QTest::newRow("LF stays LF") << QByteArray("\n");
    }
    void newKeysAndSections() {
        QFETCH(QByteArray, eol);
        const QByteArray sample = QByteArray(kSample).replace("\r\n", eol);
        QVERIFY(writeAll(FPath, sample));
        TIniFile ini(FPath);
        QVERIFY(ini.WriteString("Main", "Added", "yes").ok());
        QVERIFY(ini.WriteString("other", "new", "n").ok());
        const QByteArray expected = QByteArray(sample)
                                        .replace("Empty=" + eol, "Empty=" + eol + "Added=yes" + eol)
                                        .append("new=n" + eol);
        QCOMPARE(readAll(FPath), expected);
        QVERIFY(ini.WriteString("Fresh", "k", "v").ok());
        QByteArray tail = readAll(FPath).mid(expected.size());
        while (tail.startsWith(eol))
            tail.remove(0, eol.size());
        QCOMPARE(tail, "[Fresh]" + eol + "k=v" + eol);
        // Every write is on the disk at once.
        QCOMPARE(TIniFile(FPath).ReadString("fresh", "K"), "v");
        QVERIFY(TIniFile(FDir.filePath("new.ini")).WriteInteger("S", "k", 3).ok());
        QCOMPARE(TIniFile(FDir.filePath("new.ini")).ReadInteger("S", "k", 0), 3);
    }

    // The file may be edited while the object lives (the program runs for days): reads
    // see the edit, and a write changes its one line in the file as it is then.
    void editsOnDiskSurviveWrites() {
        TIniFile ini(FPath);
        QCOMPARE(ini.ReadString("Main", "Width"), "800");
        const QByteArray edited = kSample + "[Window]\r\nFlat_Skin=1\r\n";
        QVERIFY(writeAll(FPath, edited));
        QCOMPARE(ini.ReadInteger("Window", "Flat_Skin", 0), 1);
        QCOMPARE(ini.SectionNames().last(), "Window");
        QVERIFY(ini.WriteInteger("Main", "Width", 1024).ok());
        QCOMPARE(readAll(FPath), QByteArray(edited).replace("Width = 800", "Width=1024"));
    }

    // A line break would give the file a line of its own: a pasted "[x]" a section.
    void lineBreaksRefused() {
        TIniFile ini(FPath);
        for (const auto& [section, key, value] :
             {std::tuple("Main", "Width", "1\n[Evil]"), std::tuple("Main", "A\rB", "1"),
              std::tuple("Ma\r\nin", "Width", "1")}) {
            const TStatus status = ini.WriteString(section, key, value);
            QVERIFY2(!status.ok() && status.message().contains(FPath),
                     qPrintable(status.message()));
        }
        QCOMPARE(readAll(FPath), kSample);
    }

    void failedWriteKeepsOldFile() {
        // A read-only folder, and a name that leaves no room for a temporary name beside
        // it: the write fails with or without administrator rights.
        const QString folder = FDir.filePath("locked");
        const QString path = folder + '/' + QString(245, u'o') + ".ini";
        QVERIFY(QDir().mkpath(folder) && writeAll(path, kSample));
        QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
        const TStatus status = TIniFile(path).WriteString("Main", "Width", "1");
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QVERIFY(!status.ok() && !status.message().isEmpty());
        QCOMPARE(readAll(path), kSample);
    }
};

QTEST_GUILESS_MAIN(TestIni)
#include "test_ini.moc"
