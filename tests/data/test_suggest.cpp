// SPDX-License-Identifier: GPL-2.0-or-later
// The four kinds of suggestion on the real default dictionary: what a user typed, and
// what must come first.
#include "DictDB.h"
#include "Suggest.h"

#include <QFile>
#include <QTest>

using namespace quillet;

Q_DECLARE_METATYPE(quillet::TSuggestionKind)

class TestSuggest : public QObject {
    Q_OBJECT

    std::unique_ptr<TDictDB> FDb;
    TSuggester FSuggester;

private slots:
    void initTestCase() {
        const QString dir = qEnvironmentVariable("QUILLET_DICT_DIR", QUILLET_BIN_DIR);
        if (!QFile::exists(dir + "/de_en_dict.tdb"))
            QSKIP(qPrintable(dir + "/de_en_dict.tdb not found: build the default dictionary "
                                   "with scripts/prepare-dictionary"));
        FDb = std::make_unique<TDictDB>(0, dir);
        QVERIFY(FDb->Open("de_en_dict").ok());
        QVERIFY(FDb->LoadIndex().ok());
        const TStatus status = FSuggester.Build(*FDb);
        QVERIFY2(status.ok(), qPrintable(status.message()));
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
};

QTEST_GUILESS_MAIN(TestSuggest)
#include "test_suggest.moc"
