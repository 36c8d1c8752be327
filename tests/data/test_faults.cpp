// SPDX-License-Identifier: GPL-2.0-or-later
// The engine's files under real faults: a full file system, FIFOs and folders where files
// should be, damaged and oversized indexes, a set replaced or shrunk while it is open, a second
// import into a set that is being imported, and sources with nothing to index.

#include "DictDB.h"
#include "FileIO.h"
#include "Import.h"
#include "IniFile.h"
#include "SetInstall.h"
#include "TestFiles.h"

#include <map>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <sys/stat.h>
#include <unistd.h>

using namespace quillet;

namespace {

// Every file of a folder with its bytes, hidden ones included.
std::map<QString, QByteArray> snapshot(const QString& folder) {
    std::map<QString, QByteArray> files;
    const QDir dir(folder);
    for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden | QDir::System))
        files[name] = readAll(dir.filePath(name));
    return files;
}

TStatus importSource(const QString& folder, const QByteArray& source, TImportSummary& summary,
                     const QString& sourceFolder = {}) {
    const QString path = QDir(sourceFolder.isEmpty() ? folder : sourceFolder).filePath("src.txt");
    if (!writeAll(path, source))
        return TStatus::Error("cannot write the source");
    TImportRequest request;
    request.Folder = folder;
    request.BaseName = "d";
    request.SourcePath = path;
    return Import(request, summary);
}

QString firstRow(TDictDB& db, QStringView word) {
    QStringList words;
    db.FindWords(word, words);
    TTermPairArray rows;
    const TStatus status = db.GetEntries(rows);
    if (!status.ok() || rows.empty())
        return status.message();
    return rows[0].Left + "|" + rows[0].Right;
}

} // namespace

class TestFaults : public QObject {
    Q_OBJECT

private slots:
    void fullFileSystemKeepsEveryOldFile() {
        if (geteuid() != 0)
            QSKIP("mounting a small file system needs root");
        QTemporaryDir outside, mountPoint;
        const QString disk = mountPoint.path();
        if (QProcess::execute("mount", {"-t", "tmpfs", "-o", "size=256k", "tmpfs", disk}) != 0)
            QSKIP("a tmpfs cannot be mounted here");
        auto unmount = qScopeGuard([&] { QProcess::execute("umount", {"-l", disk}); });

        TImportSummary summary;
        QVERIFY(importSource(disk, "Haus :: house\nBaum :: tree\n", summary, outside.path()).ok());
        QVERIFY(writeAll(outside.filePath("ipa.src"), "Haus=haʊs\n"));
        TPronunciationSummary ipaSummary;
        QVERIFY(
            ImportPronunciations(outside.filePath("ipa.src"), disk + "/d.ipa", ipaSummary).ok());
        QVERIFY(writeAll(disk + "/options.ini", "[Window]\r\nLeft=10\r\n"));

        // Fill the disk to the last byte.
        QFile filler(disk + "/filler");
        QVERIFY(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        for (qint64 chunk = 65536; chunk > 0; chunk /= 2) {
            while (filler.write(QByteArray(chunk, 'x')) == chunk) {
            }
        }
        filler.close();
        const auto before = snapshot(disk);

        TIniFile ini(disk + "/options.ini");
        const TStatus write = ini.WriteString("Window", "Left", "20");
        QVERIFY2(!write.ok() && write.message().contains("No space left"),
                 qPrintable(write.message()));
        QByteArray source;
        for (int i = 0; i < 2000; ++i)
            source += "Wort" + QByteArray::number(i) + " :: word\n";
        const TStatus import = importSource(disk, source, summary, outside.path());
        QVERIFY2(!import.ok() && import.message().contains("No space left"),
                 qPrintable(import.message()));
        QVERIFY(writeAll(outside.filePath("ipa.src"), "Haus=haʊs\nBaum=baʊm\n"));
        QVERIFY(
            !ImportPronunciations(outside.filePath("ipa.src"), disk + "/d.ipa", ipaSummary).ok());
        QVERIFY(snapshot(disk) == before);
    }

    void nonRegularFilesAreRefusedWithoutWaiting() {
        QTemporaryDir dir;
        TImportSummary summary;
        QVERIFY(importSource(dir.path(), "Haus :: house\n", summary).ok());
        QVERIFY(writeAll(dir.filePath("e.tx1"), "x") && writeAll(dir.filePath("e.tx2"), "x"));
        auto fifo = [&](const QString& name) {
            QFile::remove(dir.filePath(name));
            return mkfifo(QFile::encodeName(dir.filePath(name)).constData(), 0644) == 0;
        };
        QVERIFY(fifo("e.tdb") && fifo("d.ipa") && fifo("stopwords_DE.txt") && fifo("options.ini"));
        TIniFile ini(dir.filePath("options.ini"));
        QCOMPARE(ini.ReadInteger("Window", "Left", 7), 7);
        QVERIFY(ini.WriteString("Window", "Left", "5").message().contains("not a regular file"));

        TDictDB db(0, dir.path());
        QCOMPARE(db.Dictionaries().size(), size_t(1)); // e.tdb is a FIFO
        TDictDB e(0, dir.path());
        QCOMPARE(e.Open("e").message(), QStringLiteral("File e.tdb is not a regular file"));
        QVERIFY(db.Open("d").ok() && db.LoadIndex().ok());
        QVERIFY(db.LoadPronunciations().message().contains("not a regular file"));

        QVERIFY(fifo("d.tx2"));
        db.ToggleDirection();
        QVERIFY(db.LoadIndex().message().contains("not a regular file"));
        QVERIFY(!WriteWholeFile(dir.filePath("d.tx2"), "x").ok());
        QByteArray bytes;
        QVERIFY(ReadWholeFile(dir.filePath("d.tx2"), bytes).message().contains("not a regular"));

        TImportRequest request;
        request.Folder = dir.path();
        request.BaseName = "f";
        request.SourcePath = dir.filePath("src.txt");
        request.StopwordFolders = {dir.path()};
        QVERIFY(Import(request, summary).ok());
        QVERIFY(!summary.StopwordsFound[0]);
    }

    void damagedAndOversizedFiles() {
        QTemporaryDir dir;
        TImportSummary summary;
        QVERIFY(importSource(dir.path(), "Haus :: house\n", summary).ok());
        // A reference into the header.
        QByteArray index = readAll(dir.filePath("d.tx1"));
        const QByteArray good = index;
        index.replace(index.size() - 5, 4, QByteArray("\x0A\0\0\0", 4));
        QVERIFY(writeAll(dir.filePath("d.tx1"), index));
        TDictDB db(0, dir.path());
        QVERIFY(db.Open("d").ok() && db.LoadIndex().ok());
        QVERIFY(firstRow(db, u"Haus").contains("inside the header"));
        // Zero bytes would read as headwords without references.
        QVERIFY(writeAll(dir.filePath("d.tx1"), QByteArray(65536, '\0')));
        TDictDB zeros(0, dir.path());
        QVERIFY(zeros.Open("d").ok());
        QVERIFY(zeros.LoadIndex().message().contains("damaged"));
        // Too large for 32-bit item positions: refused before anything is read.
        QFile big(dir.filePath("d.tx1"));
        QVERIFY(big.resize(qint64(5) << 30));
        TDictDB huge(0, dir.path());
        QVERIFY(huge.Open("d").ok());
        QVERIFY2(huge.LoadIndex().message().contains("too large"), "5 GiB index");
        QVERIFY(writeAll(dir.filePath("d.tx1"), good));
    }

    void openSetKeepsAnsweringWhenReplaced() {
        QTemporaryDir dir;
        TImportSummary summary;
        QVERIFY(importSource(dir.path(), "Haus :: house\n", summary).ok());
        TDictDB db(0, dir.path());
        QVERIFY(db.Open("d").ok() && db.LoadIndex().ok());
        QCOMPARE(firstRow(db, u"Haus"), QStringLiteral("Haus|house"));

        QVERIFY(
            importSource(dir.path(), "# longer now\nBaum :: tree\nHaus :: home\n", summary).ok());
        QCOMPARE(firstRow(db, u"Haus"), QStringLiteral("Haus|house")); // the set it loaded
        db.ToggleDirection();
        QVERIFY(db.LoadIndex().ok()); // the other index comes from the new set, and so do entries
        QCOMPARE(firstRow(db, u"home"), QStringLiteral("Haus|home"));
        db.ToggleDirection();
        QVERIFY(db.LoadIndex().ok());
        QCOMPARE(firstRow(db, u"Haus"), QStringLiteral("Haus|home"));
    }

    // Another program shrinks the open set's files in place (a `cp` or `truncate` over
    // them): the lookups read zeros and report damage instead of ending the process.
    void setShrunkInPlaceUnderTheReaderDoesNotCrash_data() {
        QTest::addColumn<bool>("inPlace");
        QTest::newRow("index walked, entries mapped") << false;
        QTest::newRow("index in place, entries read by call") << true;
    }

    void setShrunkInPlaceUnderTheReaderDoesNotCrash() {
        QFETCH(bool, inPlace);
        QTemporaryDir dir;
        QByteArray source; // enough lines for files of several pages
        for (char a = 'a'; a <= 'z'; ++a) {
            for (char b = 'a'; b <= 'z'; ++b)
                source += QByteArray("Wort") + a + b + " :: word" + a + b + "\n";
        }
        TImportSummary summary;
        QVERIFY(importSource(dir.path(), source, summary).ok());
        TDictDB db(0, dir.path());
        db.SetReadIndexInPlace(inPlace);
        QVERIFY(db.Open("d").ok() && db.LoadIndex().ok());
        QCOMPARE(firstRow(db, u"Wortzy"), QStringLiteral("Wortzy|wordzy"));
        QFile entries(dir.filePath("d.tdb")), index(dir.filePath("d.tx1"));
        // An index emptied under a reader through its record table is read again, and
        // reads as an empty one; here the entries' short read is what is looked at.
        QVERIFY(entries.resize(kHeaderSize) && (inPlace || index.resize(0)));
        QVERIFY(firstRow(db, u"Wortzz").contains("damaged"));
    }

    void secondImportIntoASetFailsAtOnce() {
        QTemporaryDir dir;
        TImportSummary summary;
        QVERIFY(importSource(dir.path(), "Haus :: house\n", summary).ok());
        const auto before = snapshot(dir.path());
        TSetLock lock;
        QVERIFY(lock.Acquire(dir.path(), "d").ok());
        const TStatus second = importSource(dir.path(), "Baum :: tree\n", summary);
        QCOMPARE(second.message(), QStringLiteral("Dictionary d is being imported"));
        QVERIFY(summary.Busy);
        auto after = snapshot(dir.path());
        after.erase("src.txt");
        auto expected = before;
        expected.erase("src.txt");
        QVERIFY(after == expected);
    }

    void sourceWithNothingToIndexInstallsNothing_data() {
        QTest::addColumn<QByteArray>("source");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("comments only") << QByteArray("# a\n# b\n");
        QTest::newRow("binary") << QByteArray("\x7f"
                                              "ELF\x02\x01\x01\0\0\0\xff\xfe",
                                              14);
    }
    void sourceWithNothingToIndexInstallsNothing() {
        QFETCH(QByteArray, source);
        QTemporaryDir dir;
        TImportSummary summary;
        QVERIFY(importSource(dir.path(), "Haus :: house\n", summary).ok());
        const QByteArray tdb = readAll(dir.filePath("d.tdb"));
        const TStatus status = importSource(dir.path(), source, summary);
        QVERIFY2(!status.ok() && status.message().contains("nothing was written"),
                 qPrintable(status.message()));
        QCOMPARE(readAll(dir.filePath("d.tdb")), tdb);
    }
};

QTEST_GUILESS_MAIN(TestFaults)
#include "test_faults.moc"
