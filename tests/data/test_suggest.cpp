// SPDX-License-Identifier: GPL-2.0-or-later
// The four kinds of suggestion on the real default dictionary: what a user typed, and
// what must come first; and the set's suggestion index file, whole or not.
#include "DictDB.h"
#include "Import.h"
#include "Suggest.h"
#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

using namespace quillet;

Q_DECLARE_METATYPE(quillet::TSuggestionKind)

class TestSuggest : public QObject {
    Q_OBJECT

    std::unique_ptr<TDictDB> FDb;
    TSuggester FSuggester;

    // A set of a few entries in a temporary folder, imported as a user would.
    static TStatus importSmall(const QString& folder, const QString& base, const QByteArray& text) {
        if (!writeAll(folder + "/" + base + ".src", text))
            return TStatus::Error("cannot write the source");
        TImportRequest request;
        request.Folder = folder;
        request.BaseName = base;
        request.SourcePath = folder + "/" + base + ".src";
        TImportSummary summary;
        return Import(request, summary);
    }

private slots:
    void initTestCase() {
        const QString dir = qEnvironmentVariable("QUILLET_DICT_DIR", QUILLET_BIN_DIR);
        if (!QFile::exists(dir + "/de_en_dict.tdb"))
            return;
        FDb = std::make_unique<TDictDB>(0, dir);
        QVERIFY(FDb->Open("de_en_dict").ok());
        QVERIFY(FDb->LoadIndex().ok());
        const TStatus status = FSuggester.Build(*FDb);
        QVERIFY2(status.ok(), qPrintable(status.message()));
    }

    void indexFile_data() {
        QTest::addColumn<QString>("damage");
        QTest::addColumn<QString>("note");
        QTest::newRow("whole") << ""
                               << "";
        QTest::newRow("missing") << "remove"
                                 << "not found";
        QTest::newRow("empty") << "empty"
                               << "damaged";
        QTest::newRow("a byte changed") << "flip"
                                        << "checksum";
        QTest::newRow("cut short") << "cut"
                                   << "damaged";
        QTest::newRow("of another set") << "other"
                                        << "other files";
    }

    // Read when whole and the set's own; else refused with the reason, and made anew from
    // the set's files, answering the same.
    void indexFile() {
        QFETCH(QString, damage);
        QFETCH(QString, note);
        QTemporaryDir dir;
        const QString folder = dir.path();
        const QByteArray source = "Haus {n} | Häuser {pl} :: house | houses\n"
                                  "Straße {f} :: street\nBaum {m} :: tree\n";
        QVERIFY(importSmall(folder, "s", source).ok());
        const QString path = folder + "/s.sug";
        QByteArray bytes = readAll(path);
        QVERIFY(bytes.size() > 256);
        if (damage == u"remove")
            QVERIFY(QFile::remove(path));
        if (damage == u"empty")
            QVERIFY(writeAll(path, {}));
        if (damage == u"flip") {
            bytes[bytes.size() / 2] = char(bytes[bytes.size() / 2] ^ 0x20);
            QVERIFY(writeAll(path, bytes));
        }
        if (damage == u"cut")
            QVERIFY(writeAll(path, bytes.left(bytes.size() - 8)));
        if (damage == u"other") {
            QDir(folder).mkdir("o");
            QVERIFY(importSmall(folder + "/o", "s", source + "Tür {f} :: door\n").ok());
            QVERIFY(QFile::remove(path));
            QVERIFY(QFile::copy(folder + "/o/s.sug", path));
        }
        TDictDB db(0, folder);
        QVERIFY(db.Open("s").ok());
        TSuggester suggester;
        const TStatus status = suggester.Build(db, {QString(), true});
        QVERIFY2(status.ok(), qPrintable(status.message()));
        QCOMPARE(suggester.Stats().FromFile, note.isEmpty());
        QVERIFY2(suggester.Stats().IndexNote.contains(note),
                 qPrintable(suggester.Stats().IndexNote));
        const TSuggestionArray spelling = suggester.Suggest(u"Strasse", 0);
        QVERIFY(!spelling.empty());
        QCOMPARE(spelling.front().Word, QStringLiteral("Straße"));
        const TSuggestionArray form = suggester.Suggest(u"häuser", 0);
        QVERIFY(!form.empty());
        QCOMPARE(form.front().Word, QStringLiteral("Haus"));
        QCOMPARE(form.front().Kind, TSuggestionKind::Form);
    }

    // Another program overwrites the index in place while it is read from its mapping: the
    // answers may be nonsense, but every read stays inside the arrays.
    void indexRewrittenInPlaceUnderTheReader() {
        QTemporaryDir dir;
        QVERIFY(importSmall(dir.path(), "s", "Haus {n} :: house\nStraße {f} :: street\n").ok());
        TDictDB db(0, dir.path());
        QVERIFY(db.Open("s").ok());
        TSuggester suggester;
        QVERIFY(suggester.Build(db, {QString(), true}).ok());
        QVERIFY(suggester.Stats().FromFile);
        QFile file(dir.filePath("s.sug"));
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.seek(256));
        QByteArray noise(int(file.size() - 256), Qt::Uninitialized);
        QRandomGenerator random(7);
        for (char& byte : noise)
            byte = char(random.bounded(256));
        QCOMPARE(file.write(noise), qint64(noise.size()));
        file.close();
        for (const char16_t* text : {u"Strasse", u"Hause", u"Haus", u"street", u"hose"}) {
            suggester.Suggest(QStringView(text), 0);
            suggester.Suggest(QStringView(text), 1);
        }
    }

    void firstSuggestion_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("direction");
        QTest::addColumn<QString>("word");
        QTest::addColumn<TSuggestionKind>("kind");
        QTest::addColumn<int>("wordDirection");
        const auto spelling = TSuggestionKind::Spelling, form = TSuggestionKind::Form,
                   typo = TSuggestionKind::Typo, other = TSuggestionKind::OtherLanguage;
        QTest::newRow("Strasse") << "Strasse" << 0 << "Straße" << spelling << 0;
        QTest::newRow("Muell") << "Muell" << 0 << "Müll" << spelling << 0;
        QTest::newRow("Fussball, only inside phrases")
            << "Fussball" << 0 << "Fußball" << spelling << 0;
        QTest::newRow("Kindern") << "Kindern" << 0 << "Kind" << form << 0;
        QTest::newRow("gegangen") << "gegangen" << 0 << "gehen" << form << 0;
        QTest::newRow("Häusern, itself a headword") << "Häusern" << 0 << "Haus" << form << 0;
        QTest::newRow("mice") << "mice" << 1 << "mouse" << form << 1;
        QTest::newRow("ran") << "ran" << 1 << "run" << form << 1;
        QTest::newRow("recieve") << "recieve" << 1 << "receive" << typo << 1;
        QTest::newRow("accomodation") << "accomodation" << 1 << "accommodation" << typo << 1;
        QTest::newRow("Addresse") << "Addresse" << 0 << "Adresse" << typo << 0;
        QTest::newRow("went") << "went" << 0 << "went" << other << 1;
        QTest::newRow("house") << "house" << 0 << "house" << other << 1;
    }

    // First, and never the shown headword or a word twice.
    void firstSuggestion() {
        if (!FDb)
            QSKIP("de_en_dict.tdb not found: build the default dictionary with "
                  "scripts/prepare-dictionary");
        QFETCH(QString, text);
        QFETCH(int, direction);
        QFETCH(QString, word);
        QFETCH(TSuggestionKind, kind);
        QFETCH(int, wordDirection);
        if (kind == TSuggestionKind::Form && text != u"gegangen" && text != u"mice" &&
            text != u"ran" && !FSuggester.Stats().Stems[direction])
            QSKIP("no Hunspell dictionary for the language (hunspell-de-de, hunspell-en-us)");
        const TSuggestionArray s = FSuggester.Suggest(text, direction);
        QVERIFY2(!s.empty(), qPrintable(text));
        QCOMPARE(s.front().Word, word);
        QCOMPARE(s.front().Kind, kind);
        QCOMPARE(s.front().Direction, wordDirection);
        QVERIFY(int(s.size()) <= TSuggester::kMaxSuggestions);
        for (size_t i = 0; i < s.size(); ++i)
            for (size_t j = i + 1; j < s.size(); ++j)
                QVERIFY(s[i].Word.compare(s[j].Word, Qt::CaseInsensitive) != 0);
    }

    // A Hunspell dictionary holds 7 to 9 MB: the other direction's stays closed until a
    // suggestion for that direction needs it.
    void otherDirectionsStemsOpenWhenNeeded() {
        QTemporaryDir dir;
        QVERIFY(importSmall(dir.path(), "s", "Haus {n} | Häuser {pl} :: house | houses\n").ok());
        TDictDB db(0, dir.path());
        QVERIFY(db.Open("s").ok() && db.LoadIndex().ok());
        TSuggester suggester;
        QVERIFY(suggester.Build(db).ok());
        if (!suggester.Stats().Stems[0] || !suggester.Stats().Stems[1])
            QSKIP("no Hunspell dictionary for German and English (hunspell-de-de, hunspell-en-us)");
        (void)suggester.Suggest(u"Häusern", 0);
        QVERIFY(suggester.StemsReady(0));
        QVERIFY(!suggester.StemsReady(1));
        (void)suggester.Suggest(u"houses", 1);
        QVERIFY(suggester.StemsReady(1));
    }
};

QTEST_GUILESS_MAIN(TestSuggest)
#include "test_suggest.moc"
