// SPDX-License-Identifier: GPL-2.0-or-later
// The fast list and import against their literal, link-walking versions (tests/reference):
// random lists under random cursor operations, the real default dictionary's headwords
// under lookups, and an import of a slice of the real source, byte for byte.
#include "Collation.h"
#include "Import.h"
#include "LiteralImport.h"
#include "LiteralList.h"
#include "TestFiles.h"
#include "WordList.h"

#include <QDir>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

using namespace quillet;

namespace {

// Precomposed letters only: a combining mark right after a typed prefix is the one place
// where the fast Locate may part from the walk.
const QString kAlphabet = QStringLiteral("aAbBeEhHnNsSzZäÄöÖüÜßéÉ -'.");

QChar randomChar(QRandomGenerator& rng) {
    return kAlphabet[int(rng.bounded(int(kAlphabet.size())))];
}

QString randomWord(QRandomGenerator& rng, int maxLength = 6) {
    QString word;
    for (int i = 1 + int(rng.bounded(maxLength)); i > 0; --i)
        word += randomChar(rng);
    return word;
}

// Texts without a primary weight, and words that begin with such a character.
const QString kIgnorable[] = {QStringLiteral("\u0001"), QStringLiteral("\u00AD"),
                              QStringLiteral("\u200B"), QStringLiteral("\u0301")};

QString listWord(QRandomGenerator& rng) {
    return rng.bounded(16) ? randomWord(rng) : kIgnorable[rng.bounded(4)] + randomWord(rng);
}

QString flipCase(QRandomGenerator& rng, QString text) {
    for (QChar& c : text)
        c = !rng.bounded(2) ? c : c.isUpper() ? c.toLower() : c.toUpper();
    return text;
}

// A few edits: drop or replace a character, or trade umlauts and vowels.
QString misspell(QRandomGenerator& rng, QString text) {
    static const QString from = QStringLiteral("aouäöüß"), to = QStringLiteral("äöüaous");
    for (int edits = 1 + int(rng.bounded(3)); edits > 0 && !text.isEmpty(); --edits) {
        const int at = int(rng.bounded(int(text.size())));
        if (const int kind = int(rng.bounded(3)); kind == 0)
            text.remove(at, 1);
        else if (kind == 1)
            text[at] = randomChar(rng);
        else if (const int k = int(from.indexOf(text[at])); k >= 0)
            text[at] = to[k];
    }
    return text;
}

// A text to look for: an item, its prefix, a case or spelling variant, or a stranger.
QString query(QRandomGenerator& rng, const TLinkedList& list) {
    if (list.Count() == 0 || rng.bounded(6) == 0)
        return rng.bounded(8) ? randomWord(rng, 8) : QString();
    if (rng.bounded(20) == 0)
        return kIgnorable[rng.bounded(4)];
    const QString item = list.TextAt(int(rng.bounded(list.Count())));
    const QString prefix = item.left(int(rng.bounded(int(item.size()) + 1)));
    const QString choices[] = {item,
                               prefix,
                               prefix + ' ',
                               flipCase(rng, item),
                               flipCase(rng, prefix),
                               misspell(rng, item)};
    return choices[rng.bounded(6)];
}

template <class List> QString state(const List& list) {
    QString text;
    if (!list.GetCurrentText(text))
        text = QStringLiteral("<no cursor>");
    return QStringLiteral("%1 items, cursor %2 on '%3'")
        .arg(list.Count())
        .arg(list.CurrentIndex())
        .arg(text);
}

// Reads an index file record by record into the literal list.
bool loadLiteral(const QString& path, ref::TLiteralList& list) {
    const QByteArray bytes = readAll(path);
    qsizetype pos = 0;
    auto byte = [&](qsizetype at) { return uint(uchar(bytes[at])); };
    while (pos + 3 <= bytes.size()) {
        const uint length = byte(pos), count = byte(pos + 1) | byte(pos + 2) << 8;
        const QString text = QString::fromUtf8(bytes.mid(pos + 3, length));
        pos += 3 + length;
        TTermRefArray refs(count);
        for (TTermRef& ref : refs) {
            ref.Offset = byte(pos) | byte(pos + 1) << 8 | byte(pos + 2) << 16 | byte(pos + 3) << 24;
            ref.Rank = quint8(byte(pos + 4));
            pos += 5;
        }
        list.AppendWithData(text, refs);
    }
    return pos == bytes.size();
}

} // namespace

// Runs the same call on both lists and fails with the whole story when they disagree.
#define SAME(call)                                                                                 \
    if (const auto f = fast.call, s = slow.call; f != s)                                           \
        QFAIL(qPrintable(context + QStringLiteral(": %1 gives %2, literal %3")                     \
                                       .arg(QStringLiteral(#call))                                 \
                                       .arg(f)                                                     \
                                       .arg(s)));
#define SAME_STATE()                                                                               \
    if (state(fast) != state(slow))                                                                \
        QFAIL(qPrintable(context + ": " + state(fast) + ", literal " + state(slow)));

class TestDifferential : public QObject {
    Q_OBJECT

private slots:
    void randomLists_data() {
        QTest::addColumn<uint>("seed");
        QTest::addColumn<int>("size");
        const int sizes[] = {0, 1, 2, 5, 9, 40, 40, 300, 2000};
        for (uint seed = 1; seed <= std::size(sizes); ++seed)
            QTest::addRow("seed %u, %d items", seed, sizes[seed - 1]) << seed << sizes[seed - 1];
    }
    void randomLists() {
        QFETCH(uint, seed);
        QFETCH(int, size);
        QRandomGenerator rng(seed);
        TLinkedList fast;
        ref::TLiteralList slow;
        QString context;
        int step = 0;
        // Build: sorted inserts mixed with appends of words above the last item.
        for (; fast.Count() < size && step < 4 * size; ++step) {
            const QString word = listWord(rng);
            context = QStringLiteral("seed %1, step %2, adding '%3'").arg(seed).arg(step).arg(word);
            if (rng.bounded(2) &&
                (fast.Count() == 0 || CompareText(word, fast.TextAt(fast.Count() - 1)) > 0)) {
                fast.Append(word);
                slow.Append(word);
            } else {
                fast.AddSorted(word);
                slow.AddSorted(word);
            }
            SAME_STATE();
        }
        QCOMPARE(fast.Count(), size);

        const char* const kOps[] = {"GoTo",       "GetText",  "IndexOf",  "IndexOf",
                                    "Locate",     "Locate",   "Next",     "Prev",
                                    "First/Last", "InsertAt", "AddSorted"};
        for (const int end = step + 400 + size / 2; step < end; ++step) {
            const int n = fast.Count();
            const int index = int(rng.bounded(n + 5)) - 2;
            const QString text = query(rng, fast);
            const int op = int(rng.bounded(11));
            context = QStringLiteral("seed %1, step %2, %3 with %4 / '%5'")
                          .arg(seed)
                          .arg(step)
                          .arg(kOps[op])
                          .arg(index)
                          .arg(text);
            QString got;
            switch (op) {
            case 0:
                SAME(GoTo(index));
                break;
            case 1:
                SAME(GetText(index, got));
                break;
            case 2:
            case 3:
                SAME(IndexOf(text));
                break;
            case 4:
            case 5:
                fast.Locate(text);
                slow.Locate(text);
                break;
            case 6:
                SAME(Next());
                break;
            case 7:
                SAME(Prev());
                break;
            case 8:
                SAME(First());
                SAME(Last());
                break;
            case 9: { // an insert that keeps the order, beyond the end for a last item
                const int at = int(rng.bounded(n + 1));
                for (int tries = 0; tries < 20; ++tries) {
                    const QString word = tries % 2 || at == 0
                                             ? randomWord(rng)
                                             : fast.TextAt(at - 1) + randomWord(rng, 2);
                    if ((at > 0 && CompareText(fast.TextAt(at - 1), word) >= 0) ||
                        (at < n && CompareText(word, fast.TextAt(at)) >= 0))
                        continue;
                    const int position = at == n ? at + int(rng.bounded(3)) : at;
                    context += QStringLiteral(": InsertAt('%1', %2)").arg(word).arg(position);
                    fast.InsertAt(word, position);
                    slow.InsertAt(word, position);
                    break;
                }
                break;
            }
            default:
                fast.AddSorted(text);
                slow.AddSorted(text);
            }
            SAME_STATE();
        }
        for (int i = 0; i < fast.Count(); ++i) {
            QString got;
            QVERIFY(slow.GetText(i, got));
            QCOMPARE(fast.TextAt(i), got);
        }
    }

    void realHeadwords_data() {
        QTest::addColumn<QString>("extension");
        QTest::newRow("language 1") << QStringLiteral("tx1");
        QTest::newRow("language 2") << QStringLiteral("tx2");
    }
    void realHeadwords() {
        QFETCH(QString, extension);
        const QString dir = qEnvironmentVariable("QUILLET_DICT_DIR", QUILLET_BIN_DIR);
        const QString path = QDir(dir).filePath("de_en_dict." + extension);
        if (!QFile::exists(path))
            QSKIP(qPrintable(path + " not found: build the default dictionary "
                                    "(scripts/prepare-dictionary) or set QUILLET_DICT_DIR"));
        TWordList fast;
        ref::TLiteralList slow;
        QVERIFY(fast.LoadFromFile(path).ok());
        QVERIFY2(loadLiteral(path, slow), "the index file ends inside a record");
        QString context = QStringLiteral("after loading");
        SAME_STATE();
        QVERIFY(slow.First());
        for (int i = 0; i < fast.Count(); ++i, slow.Next()) {
            QString text;
            QVERIFY(slow.GetCurrentText(text));
            if (fast.TextAt(i) != text || fast.RefsAt(i) != slow.CurrentData())
                QFAIL(qPrintable(QStringLiteral("item %1 loads as '%2', literal '%3'")
                                     .arg(i)
                                     .arg(fast.TextAt(i), text)));
        }

        QRandomGenerator rng(20070101);
        for (int step = 0; step < 1000; ++step) {
            const QString text = query(rng, fast);
            context = QStringLiteral("query %1 '%2'").arg(step).arg(text);
            fast.Locate(text);
            slow.Locate(text);
            SAME_STATE();
            SAME(IndexOf(text));
            SAME_STATE();
            if (step % 50 == 0) { // now and then a long walk to a far headword
                const QString far = flipCase(rng, fast.TextAt(int(rng.bounded(fast.Count()))));
                context += " then IndexOf '" + far + '\'';
                SAME(IndexOf(far));
                SAME_STATE();
            }
        }
    }

    void importMatches() {
        const QByteArray trans = readAll(QStringLiteral("/usr/share/trans/de-en"));
        if (trans.isEmpty())
            QSKIP("/usr/share/trans/de-en not found (Debian package trans-de-en)");
        const QList<QByteArray> all = trans.split('\n');
        QByteArray source("\xEF\xBB\xBF");
        for (qsizetype i = 0; i < all.size(); i += i < 3000 ? 1 : all.size() / 300)
            source += all[i] + '\n';
        source += "Haus {n} :: house\r\n"
                  "Baum {m} :: tree\r"
                  "Punkte... :: dots... and ....\n"
                  "a :: b :: c\n"
                  "gehen; to go :: to go {went; gone}\n"
                  "HAUS :: HOUSE\nhaus :: house | Haus\n"
                  "Straße :: street\nStrasse :: STREET\n"
                  "  :: \n"
                  "nur eine Seite\n"
                  "\n\n#comment :: none\n"
                  "bad \xFF\xFE bytes :: schlecht\n"
                  "(sich) freuen :: to be glad; etw. tun\n";
        source += QByteArray(40000, 'x') + " :: long\n";
        source += "Ab" + QString(130, QChar(0xE4)).toUtf8() + " :: a headword of 262 bytes\n";
        source += "Zoo {m} :: zoo";
        QTemporaryDir dir;
        const QString sourcePath = dir.filePath("source.txt");
        QVERIFY(writeAll(sourcePath, source));
        QVERIFY(QDir(dir.path()).mkpath("engine") && QDir(dir.path()).mkpath("literal"));

        const QStringList stopwords = {QStringLiteral(QUILLET_SOURCE_DIR "/data")};
        const QString title = QStringLiteral("Differential Wörterbuch");
        TImportRequest request;
        request.Folder = dir.filePath("engine");
        request.BaseName = QStringLiteral("t");
        request.SourcePath = sourcePath;
        request.Meta.Name = title;
        request.StopwordFolders = stopwords;
        TImportSummary summary;
        const TStatus engine = Import(request, summary);
        QVERIFY2(engine.ok(), qPrintable(engine.message()));
        QVERIFY(summary.StopwordsFound[0] && summary.StopwordsFound[1]);
        QVERIFY(summary.IndexedLines > 3000);
        QElapsedTimer timer;
        timer.start();
        const TStatus literal =
            ref::LiteralImport(dir.filePath("literal"), "t", sourcePath, title, stopwords);
        QVERIFY2(literal.ok(), qPrintable(literal.message()));
        qInfo("literal import of %d lines: %lld ms", summary.Lines, timer.elapsed());

        for (const char* extension : {".tdb", ".tx1", ".tx2"}) {
            const QByteArray a = readAll(dir.filePath("engine/t") + extension),
                             b = readAll(dir.filePath("literal/t") + extension);
            qsizetype at = 0;
            while (at < a.size() && at < b.size() && a[at] == b[at])
                ++at;
            QVERIFY2(a == b, qPrintable(QStringLiteral("%1: sizes %2 / %3, first difference at "
                                                       "byte %4: %5 / %6")
                                            .arg(extension)
                                            .arg(a.size())
                                            .arg(b.size())
                                            .arg(at)
                                            .arg(QString::fromLatin1(a.mid(at, 24).toHex(' ')),
                                                 QString::fromLatin1(b.mid(at, 24).toHex(' ')))));
        }
    }
};

QTEST_GUILESS_MAIN(TestDifferential)
#include "test_differential.moc"
