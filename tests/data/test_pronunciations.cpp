// SPDX-License-Identifier: GPL-2.0-or-later
// Pronunciations read by espeak-ng: the default dictionary says what espeak-ng says, and
// quillet-espeak picks the words and the voice for each as documented.

#include "DictDB.h"
#include "Import.h"
#include "TestFiles.h"

#include <QMap>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

using namespace quillet;

namespace {

// What the espeak-ng command line prints for the word, one line per clause.
QString espeakIpa(const QString& voice, const QString& word) {
    QProcess process;
    process.start(QStringLiteral("espeak-ng"), {"-q", "--ipa", "-v", voice, "--", word});
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return QStringLiteral("(espeak-ng failed)");
    return QString::fromUtf8(process.readAllStandardOutput()).simplified();
}

bool haveEspeak() {
    return !QStandardPaths::findExecutable(QStringLiteral("espeak-ng")).isEmpty();
}

struct TRun {
    int Exit = -1;
    QString Err;
    QMap<QString, QString> Pairs; // the written key=value lines
    int Lines = 0;
};

} // namespace

class TestPronunciations : public QObject {
    Q_OBJECT

    QTemporaryDir FDir;
    const QString FTool = QStringLiteral(QUILLET_BIN_DIR "/quillet-espeak");

    TRun runTool(const QStringList& args) {
        const QString output = FDir.filePath(QStringLiteral("ipa-source.txt"));
        QFile::remove(output);
        QProcess process;
        process.start(FTool, QStringList{"--folder", FDir.path(), "--name", "small"} + args +
                                 QStringList{output});
        if (!process.waitForFinished(60000))
            qFatal("quillet-espeak did not finish");
        TRun run;
        run.Exit = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        run.Err = QString::fromUtf8(process.readAllStandardError());
        for (const QByteArray& line : readAll(output).split('\n')) {
            if (line.isEmpty())
                continue;
            const qsizetype eq = line.indexOf('=');
            run.Pairs.insert(QString::fromUtf8(line.left(eq)), QString::fromUtf8(line.mid(eq + 1)));
            ++run.Lines;
        }
        return run;
    }

private slots:
    void defaultDictionary_data() {
        QTest::addColumn<QString>("word");
        QTest::addColumn<QString>("voice");
        QTest::newRow("Haus") << "Haus"
                              << "de";
        QTest::newRow("house") << "house"
                               << "en";
    }
    void defaultDictionary() {
        QFETCH(QString, word);
        QFETCH(QString, voice);
        const QString dir = qEnvironmentVariable("QUILLET_DICT_DIR", QUILLET_BIN_DIR);
        if (!QFile::exists(dir + "/de_en_dict.ipa"))
            QSKIP(qPrintable(dir + "/de_en_dict.ipa not found: build the default dictionary "
                                   "(scripts/prepare-dictionary) or set QUILLET_DICT_DIR"));
        if (!haveEspeak())
            QSKIP("espeak-ng not found (Debian package espeak-ng)");
        TDictDB db(0, dir);
        QVERIFY(db.Open(QStringLiteral("de_en_dict")).ok());
        QVERIFY(db.LoadPronunciations().ok());
        QString ipa;
        QVERIFY(db.GetPronunciation(word, ipa));
        QCOMPARE(ipa, espeakIpa(voice, word));
    }

    // A small dictionary: words of one language, words of both, a loanword espeak-ng
    // reads by English rules, a hyphenated word, a word without a stress of its own and
    // an abbreviation that is no word.
    void generatedSource() {
        if (!QFile::exists(FTool))
            QSKIP("quillet-espeak not built (libespeak-ng-dev missing)");
        if (!haveEspeak())
            QSKIP("espeak-ng not found (Debian package espeak-ng)");
        QVERIFY(FDir.isValid());
        QVERIFY(writeAll(FDir.filePath("source.txt"), "Haus {n} :: house\n"
                                                      "rot :: red | rot\n"
                                                      "Abschiedsparty :: farewell\n"
                                                      "Baden-Württemberg :: state\n"
                                                      "ballern :: bang\n"
                                                      "U.S.A :: U.S.A\n"));
        TImportRequest request;
        request.Folder = FDir.path();
        request.BaseName = QStringLiteral("small");
        request.SourcePath = FDir.filePath("source.txt");
        TImportSummary summary;
        QVERIFY(Import(request, summary).ok());

        // Two processes, so the words are dealt out and put back together.
        const TRun run = runTool({"--jobs", "2"});
        QCOMPARE(run.Exit, 0);
        const QStringList keys{"Abschiedsparty",
                               "Baden-Württemberg",
                               "Haus",
                               "ballern",
                               "bang",
                               "farewell",
                               "house",
                               "red",
                               "rot",
                               "state"};
        QCOMPARE(run.Pairs.keys(), keys);
        QCOMPARE(run.Lines, keys.size()); // "rot" once, although both languages have it
        QCOMPARE(run.Pairs["Haus"], espeakIpa("de", "Haus"));
        QCOMPARE(run.Pairs["Baden-Württemberg"], espeakIpa("de", "Baden-Württemberg"));
        // No stress of its own: the command line's reading gives it one.
        QCOMPARE(run.Pairs["ballern"], espeakIpa("de", "ballern"));
        QCOMPARE(run.Pairs["house"], espeakIpa("en", "house"));
        QCOMPARE(run.Pairs["rot"], espeakIpa("en", "rot"));
        // espeak-ng marks the switch to English rules: "(en)...(de)".
        QVERIFY(espeakIpa("de", "Abschiedsparty").startsWith("(en)"));
        QVERIFY(!run.Pairs["Abschiedsparty"].contains(u'('));
        QVERIFY(run.Pairs["Abschiedsparty"].size() >= 2);

        // One process gives the same file; the preference decides the shared word.
        const TRun german = runTool({"--jobs", "1", "--prefer", "de"});
        QCOMPARE(german.Exit, 0);
        QCOMPARE(german.Pairs.keys(), keys);
        QCOMPARE(german.Pairs["rot"], espeakIpa("de", "rot"));
        QCOMPARE(german.Pairs["house"], run.Pairs["house"]);

        const TRun french = runTool({"--prefer", "fr"});
        QVERIFY(french.Exit != 0);
        QVERIFY2(french.Err.contains("no language fr"), qPrintable(french.Err));
        QVERIFY(!QFile::exists(FDir.filePath("ipa-source.txt")));
    }
};

QTEST_GUILESS_MAIN(TestPronunciations)
#include "test_pronunciations.moc"
