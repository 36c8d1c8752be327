// SPDX-License-Identifier: GPL-2.0-or-later
// quillet-cli as scripts use it: build a dictionary in a folder, list it, look words up
// (as a table, as JSON, one query a line), read pronunciations, and fail loudly.

#include "../data/TestFiles.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

struct TRun {
    int Exit = -1;
    QString Out, Err;
};

// Wortaa, Wortab, ... (the import takes no digits into headwords).
QString word(int i) {
    return QStringLiteral("Wort") + QChar(u'a' + i / 26) + QChar(u'a' + i % 26);
}

// An empty object when the line is not one, so every comparison on it fails.
QJsonObject parseObject(const QString& line) {
    return QJsonDocument::fromJson(line.toUtf8()).object();
}

} // namespace

class TestCli : public QObject {
    Q_OBJECT

    QTemporaryDir FDir;
    TRun FImport;

    TRun run(const QStringList& args, const QByteArray& input = {}) {
        QProcess process;
        process.setWorkingDirectory(FDir.path());
        process.start(QStringLiteral(QUILLET_CLI), QStringList{"--folder", FDir.path()} + args);
        process.write(input);
        process.closeWriteChannel();
        if (!process.waitForFinished(30000))
            qFatal("quillet-cli did not finish");
        return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                QString::fromUtf8(process.readAllStandardOutput()),
                QString::fromUtf8(process.readAllStandardError())};
    }

private slots:
    // Three words and word(0)..word(299), so that language 1 has 303 headwords.
    void initTestCase() {
        QVERIFY(FDir.isValid());
        QByteArray source = "Haus :: house\nHausboot :: houseboat\nBoot :: boat\n";
        for (int i = 0; i < 300; ++i)
            source += (word(i) + " :: " + word(i).toLower() + "\n").toUtf8();
        QVERIFY(writeAll(FDir.filePath("source.txt"), source));
        FImport = run({"import", "--title", "Kleines Buch", "source.txt"});
    }

    void importBuildsAListedSet() {
        QCOMPARE(FImport.Exit, 0);
        QVERIFY2(FImport.Out.startsWith("303 lines, 303 entries, 303 indexed; headwords: 303 "
                                        "(language 1), 303 (language 2); "),
                 qPrintable(FImport.Out));
        const TRun list = run({"list"});
        QCOMPARE(list.Exit, 0);
        QCOMPARE(list.Out, "de_en_dict\tKleines Buch\t" + FDir.path() + "/\n");
    }

    void lookupAsTableAndJson() {
        const TRun table = run({"lookup", "Haus"});
        QCOMPARE(table.Exit, 0);
        QVERIFY2(QRegularExpression(R"(\n1 +Haus +house\n)").match(table.Out).hasMatch(),
                 qPrintable(table.Out));

        const TRun json = run({"lookup", "--json", "hausb"});
        QCOMPARE(json.Exit, 0);
        // The keys in their order, the suggestions last.
        QCOMPARE(json.Out,
                 QStringLiteral("{\"headword\":\"Hausboot\",\"position\":2,\"window\":[0,202],"
                                "\"rows\":[{\"rank\":1,\"left\":\"Hausboot\",\"right\":"
                                "\"houseboat\"}],\"suggestions\":[{\"word\":\"Haus\","
                                "\"kind\":\"typo\",\"direction\":0}]}\n"));
        const TRun plain = run({"lookup", "--no-suggestions", "--json", "hausb"});
        QCOMPARE(plain.Out,
                 json.Out.left(json.Out.indexOf(u'[', json.Out.indexOf(u"suggestions")) + 1) +
                     "]}\n");
        const TRun tableWithSuggestions = run({"lookup", "hausb"});
        QVERIFY2(tableWithSuggestions.Out.contains("\nSuggestions: Haus (typo)\n"),
                 qPrintable(tableWithSuggestions.Out));
        const QJsonObject object = parseObject(json.Out);
        QCOMPARE(object.keys(),
                 QStringList({"headword", "position", "rows", "suggestions", "window"}));
        QCOMPARE(object["headword"].toString(), QStringLiteral("Hausboot"));
        QCOMPARE(object["position"].toInt(), 2); // Boot, Haus, Hausboot
        QCOMPARE(object["window"].toArray(), QJsonArray({0, 202}));
        QCOMPARE(
            object["rows"].toArray(),
            QJsonArray({QJsonObject{{"rank", 1}, {"left", "Hausboot"}, {"right", "houseboat"}}}));

        const TRun reverse = run({"lookup", "--direction", "1", "--json", "HOUSE"});
        QCOMPARE(reverse.Exit, 0);
        QCOMPARE(parseObject(reverse.Out)["rows"].toArray().first()["left"].toString(),
                 QStringLiteral("Haus"));
    }

    // The import writes the record tables; import-tables makes the same for a set without
    // them, and a lookup answers alike either way.
    void recordTables() {
        const QString paths[2] = {FDir.filePath("de_en_dict.tr1"), FDir.filePath("de_en_dict.tr2")};
        const QByteArray tables[2] = {readAll(paths[0]), readAll(paths[1])};
        QVERIFY(!tables[0].isEmpty() && !tables[1].isEmpty());
        const TRun with = run({"lookup", "--json", "hausb"});
        QVERIFY(QFile::remove(paths[0]) && QFile::remove(paths[1]));
        QCOMPARE(run({"lookup", "--json", "hausb"}).Out, with.Out);
        QCOMPARE(run({"import-tables"}).Exit, 0);
        QCOMPARE(readAll(paths[0]), tables[0]);
        QCOMPARE(readAll(paths[1]), tables[1]);
    }

    // One answer a line, and the word-list window carries over from line to line.
    void lookupFromStdinKeepsState() {
        const QString input = word(100) + "\n" + word(120) + "\n\n" + word(299).toUpper() + "\r\n";
        const TRun session = run({"lookup", "--stdin", "--json"}, input.toUtf8());
        QCOMPARE(session.Exit, 0);
        const QStringList lines = session.Out.split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 4);
        const struct {
            QString headword;
            int position, start, end;
        } expected[] = {{word(100), 50, 53, 302}, // index 103
                        {word(120), 70, 53, 302}, // within the window: left as it was
                        {"Boot", 0, 0, 200},      // empty query: the first headword
                        {word(299), 50, 252, 302}};
        for (int i = 0; i < 4; ++i) {
            const QJsonObject object = parseObject(lines[i]);
            QCOMPARE(object["headword"].toString(), expected[i].headword);
            QCOMPARE(object["position"].toInt(), expected[i].position);
            QCOMPARE(object["window"].toArray(), QJsonArray({expected[i].start, expected[i].end}));
        }
    }

    // suggest prints word and kind a line, and fails when there is nothing to offer.
    void suggestions() {
        const TRun typo = run({"suggest", "Hasu"});
        QCOMPARE(typo.Exit, 0);
        QCOMPARE(typo.Out, QStringLiteral("Haus\ttypo\n"));
        const TRun other = run({"suggest", "boat"});
        QCOMPARE(other.Exit, 0);
        QCOMPARE(other.Out, QStringLiteral("boat\tother-language\n"));
        QCOMPARE(run({"suggest", "Haus"}).Exit, 1);
    }

    void pronunciations() {
        QVERIFY(writeAll(FDir.filePath("ipa.txt"), "Haus=haʊs\nBoot=boːt\n"));
        QCOMPARE(run({"import-ipa", "ipa.txt"}).Exit, 0);
        const TRun found = run({"pron", "haus"});
        QCOMPARE(found.Exit, 0);
        QCOMPARE(found.Out.trimmed(), QStringLiteral("haʊs"));
        const TRun missing = run({"pron", "Katze"});
        QCOMPARE(missing.Exit, 1);
        QVERIFY(missing.Out.isEmpty());
        QVERIFY(missing.Err.contains("Katze"));
    }

    // Status 1 for a command that failed, 2 for a command line that says nothing usable.
    void failures_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("message"); // %1: the folder, with a trailing separator
        QTest::addColumn<int>("exit");
        QTest::newRow("missing source")
            << QStringList{"import", "nosuch.txt"} << "File nosuch.txt not found" << 1;
        QTest::newRow("missing dictionary")
            << QStringList{"--name", "nix", "lookup", "Haus"} << "File %1nix.tdb not found" << 1;
        QTest::newRow("bad direction")
            << QStringList{"--direction", "2", "lookup", "Haus"} << "--direction" << 2;
        QTest::newRow("unknown option") << QStringList{"--nosuch", "list"} << "nosuch" << 2;
        QTest::newRow("no source") << QStringList{"import"} << "SOURCE" << 2;
    }
    void failures() {
        QFETCH(QStringList, args);
        QFETCH(QString, message);
        QFETCH(int, exit);
        const TRun result = run(args);
        QCOMPARE(result.Exit, exit);
        message.replace("%1", FDir.path() + '/');
        QVERIFY2(result.Err.contains(message), qPrintable(result.Err));
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "test_cli.moc"
