// SPDX-License-Identifier: GPL-2.0-or-later
// TIniFile: profile-file reading and writing that keeps what it does not understand.
#include "IniFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace quillet;

namespace {

const QByteArray kSample = "; written by hand\r\n"
                           "[Main]\r\n"
                           "; window\r\n"
                           "Width = 800\r\n"
                           "Name=\"Quillet\"\r\n"
                           "Single='x y'\r\n"
                           "Half=\"open\r\n"
                           "Neg=-12\r\n"
                           "Plus=+7\r\n"
                           "Hex=0x1F\r\n"
                           "Dollar=$ff\r\n"
                           "Bad=12abc\r\n"
                           "Big=99999999999\r\n"
                           "Empty=\r\n"
                           "\r\n"
                           "[Other]\r\n"
                           "zeta=1\r\n"
                           "alpha=2\r\n";

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeAll(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

} // namespace

class TestIni : public QObject {
    Q_OBJECT

private slots:
    void init();
    void readsWithoutRegardToCase();
    void defaults();
    void readInteger_data();
    void readInteger();
    void replacingKeepsEverythingElse();
    void newKeyGoesIntoItsSection();
    void newSectionIsAppended();
    void writeReachesDiskAtOnce();
    void lfFileStaysLf();
    void failedWriteKeepsOldFile();

private:
    QTemporaryDir FDir;
    QString FPath;
};

void TestIni::init() {
    QVERIFY(FDir.isValid());
    FPath = FDir.filePath("options.ini");
    writeAll(FPath, kSample);
}

void TestIni::readsWithoutRegardToCase() {
    const TIniFile ini(FPath);
    QCOMPARE(ini.ReadString("main", "WIDTH"), "800");
    QCOMPARE(ini.ReadString("MAIN", "name"), "Quillet");
    QCOMPARE(ini.ReadString("Main", "Single"), "x y");
    QCOMPARE(ini.ReadString("Main", "Half"), "\"open");
    QVERIFY(ini.ValueExists("other", "ALPHA"));
    QCOMPARE(ini.SectionNames(), (QList<QByteArray>{"Main", "Other"}));
    QCOMPARE(ini.KeyNames("OTHER"), (QList<QByteArray>{"zeta", "alpha"}));
}

void TestIni::defaults() {
    const TIniFile missing(FDir.filePath("nothing.ini"));
    QCOMPARE(missing.ReadString("Main", "Width", "def"), "def");
    QCOMPARE(missing.ReadInteger("Main", "Width", 5), 5);
    QVERIFY(missing.SectionNames().isEmpty());
    const TIniFile ini(FPath);
    QCOMPARE(ini.ReadString("Nowhere", "Width", "def"), "def");
    QCOMPARE(ini.ReadString("Main", "Height", "def"), "def");
    QVERIFY(!ini.ValueExists("Main", "Height"));
    // A key of another section is not found in this one.
    QCOMPARE(ini.ReadString("Main", "zeta", "def"), "def");
    QCOMPARE(ini.ReadString("Main", "Empty", "def"), "");
}

void TestIni::readInteger_data() {
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<int>("expected");
    QTest::newRow("decimal with blanks") << QByteArray("Width") << 800;
    QTest::newRow("negative") << QByteArray("Neg") << -12;
    QTest::newRow("plus sign") << QByteArray("Plus") << 7;
    QTest::newRow("0x hex") << QByteArray("Hex") << 31;
    QTest::newRow("$ hex") << QByteArray("Dollar") << 255;
    QTest::newRow("trailing garbage") << QByteArray("Bad") << -1;
    QTest::newRow("out of range") << QByteArray("Big") << -1;
    QTest::newRow("text") << QByteArray("Name") << -1;
    QTest::newRow("empty") << QByteArray("Empty") << -1;
    QTest::newRow("missing") << QByteArray("Height") << -1;
}

void TestIni::readInteger() {
    QFETCH(QByteArray, key);
    QFETCH(int, expected);
    QCOMPARE(TIniFile(FPath).ReadInteger("Main", key, -1), expected);
}

void TestIni::replacingKeepsEverythingElse() {
    TIniFile ini(FPath);
    QVERIFY(ini.WriteInteger("MAIN", "width", 1024).ok());
    const QList<QByteArray> before = kSample.split('\n');
    const QList<QByteArray> after = readAll(FPath).split('\n');
    QCOMPARE(after.size(), before.size());
    for (int i = 0; i < before.size(); ++i) {
        if (before[i].startsWith("Width"))
            QCOMPARE(after[i].toLower().replace(" ", ""), "width=1024\r");
        else
            QCOMPARE(after[i], before[i]);
    }
    QCOMPARE(TIniFile(FPath).ReadInteger("Main", "Width", 0), 1024);
}

void TestIni::newKeyGoesIntoItsSection() {
    TIniFile ini(FPath);
    QVERIFY(ini.WriteString("Main", "Added", "yes").ok());
    QVERIFY(ini.WriteString("other", "new", "n").ok());
    QByteArray expected = kSample;
    expected.replace("Empty=\r\n", "Empty=\r\nAdded=yes\r\n");
    expected.append("new=n\r\n");
    QCOMPARE(readAll(FPath), expected);
}

void TestIni::newSectionIsAppended() {
    TIniFile ini(FPath);
    QVERIFY(ini.WriteString("Fresh", "k", "v").ok());
    const QByteArray bytes = readAll(FPath);
    QVERIFY(bytes.startsWith(kSample));
    QByteArray tail = bytes.mid(kSample.size());
    while (tail.startsWith("\r\n"))
        tail.remove(0, 2);
    QCOMPARE(tail, "[Fresh]\r\nk=v\r\n");
    QCOMPARE(TIniFile(FPath).ReadString("fresh", "K"), "v");
}

void TestIni::writeReachesDiskAtOnce() {
    TIniFile writer(FPath);
    QVERIFY(writer.WriteString("Other", "zeta", "9").ok());
    QCOMPARE(TIniFile(FPath).ReadInteger("Other", "zeta", 0), 9);
    // A file that did not exist is created by the first write.
    const QString path = FDir.filePath("new.ini");
    TIniFile fresh(path);
    QVERIFY(fresh.WriteString("S", "k", "v").ok());
    QCOMPARE(TIniFile(path).ReadString("S", "k"), "v");
}

void TestIni::lfFileStaysLf() {
    QByteArray lf = kSample;
    lf.replace("\r\n", "\n");
    writeAll(FPath, lf);
    TIniFile ini(FPath);
    QVERIFY(ini.WriteString("Main", "Added", "1").ok());
    QVERIFY(ini.WriteString("Fresh", "k", "v").ok());
    const QByteArray bytes = readAll(FPath);
    QVERIFY(!bytes.contains('\r'));
    QVERIFY(bytes.startsWith(lf.left(lf.indexOf("Empty="))));
    QVERIFY(bytes.contains("Empty=\nAdded=1\n"));
}

void TestIni::failedWriteKeepsOldFile() {
    // The folder is read-only and the name so long that no temporary name fits beside
    // it, so the write fails whether or not the test runs with administrator rights.
    const QString folder = FDir.filePath("locked");
    QVERIFY(QDir().mkpath(folder));
    const QString path = folder + '/' + QString(245, u'o') + ".ini";
    writeAll(path, kSample);
    QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
    TIniFile ini(path);
    const TStatus status = ini.WriteString("Main", "Width", "1");
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QVERIFY(!status.ok());
    QVERIFY(!status.message().isEmpty());
    QCOMPARE(readAll(path), kSample);
}

QTEST_GUILESS_MAIN(TestIni)
#include "test_ini.moc"
