// SPDX-License-Identifier: GPL-2.0-or-later
// The import dialog on generated sources in a scratch program folder: the progress
// reports, cancelling by button and by Escape, abandoning by closing, the language lists,
// the pronunciation import and the refusals.
#include "DictDB.h"
#include "ImportForm.h"
#include "SetInstall.h"
#include "Translations.h"

#include <QtTest>
#include <QtWidgets>

using namespace quillet;

namespace {

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// Three letters for `i` (digits are not indexed): 0 "aaa", 1 "aab", ...
QString tag(int i) {
    const QChar letters[3] = {QChar(u'a' + i / 676), QChar(u'a' + i / 26 % 26),
                              QChar(u'a' + i % 26)};
    return QString(letters, 3);
}

// `count` indexable lines "wortaaa :: wordaaa", "wortaab :: wordaab", ... after a comment.
QByteArray source(int count, const QString& left = "wort", const QString& right = "word") {
    QByteArray text = "# generated\n";
    for (int i = 0; i < count; ++i)
        text += (left + tag(i) + " :: " + right + tag(i) + '\n').toUtf8();
    return text;
}

// "wort" + tag(i) + " :: " + "word" + tag(i).
QString entry(int i) {
    return "wort" + tag(i) + " :: word" + tag(i);
}

// The entries a lookup of `word` finds, as "left :: right".
QStringList lookUp(const QString& folder, const QString& base, const QString& word) {
    TDictDB db(0, folder);
    if (!db.Open(base).ok() || !db.LoadIndex().ok())
        return {QStringLiteral("cannot open")};
    QStringList words;
    db.FindWords(word, words);
    TTermPairArray rows;
    if (!db.GetEntries(rows).ok())
        return {QStringLiteral("cannot read")};
    QStringList result;
    for (const TTermPair& row : rows)
        result.append(row.Left + " :: " + row.Right);
    return result;
}

} // namespace

class TestImportForm : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> FFolder; // the program folder
    QTemporaryDir FData;
    std::unique_ptr<TImportForm> FForm;

    QString path(const QString& name) const { return FFolder->filePath(name); }
    // Runs the dictionary import of `text` into `base`; true when it ended with `written`.
    bool runImport(const QByteArray& text, const QString& base, bool written = true) {
        if (!writeFile(path("source.txt"), text))
            return false;
        FForm->SourceEdit()->setText(path("source.txt"));
        FForm->DestinationEdit()->setText(base);
        QSignalSpy finished(FForm.get(), &TImportForm::importFinished);
        FForm->Button3()->click();
        return finished.wait(20000) && finished.first().first().toBool() == written;
    }
    bool noStagingLeft() const {
        return QDir(FFolder->path())
            .entryList({".*.new", ".*.install"}, QDir::AllEntries | QDir::Hidden)
            .isEmpty();
    }

private slots:
    void initTestCase() {
        // Only the program folder holds lists and languages, whatever this machine has.
        QVERIFY(FData.isValid());
        qputenv("XDG_DATA_HOME", FData.filePath("home").toUtf8());
        qputenv("XDG_DATA_DIRS", FData.filePath("dirs").toUtf8());
    }
    void init() {
        SetUILanguage(kUILanguageGerman);
        FFolder = std::make_unique<QTemporaryDir>();
        QVERIFY(QDir(FFolder->path()).mkdir("settings"));
        QVERIFY(QFile::copy(QUILLET_SOURCE_DIR "/data/settings/languages.ini",
                            path("settings/languages.ini")));
        for (const char* list : {"stopwords_DE.txt", "stopwords_EN.txt"})
            QVERIFY(QFile::copy(QUILLET_SOURCE_DIR "/data/" + QString::fromLatin1(list),
                                path(QString::fromLatin1(list))));
        FForm = std::make_unique<TImportForm>(FFolder->path());
    }
    void cleanup() {
        FForm.reset();
        SetUILanguage(kUILanguageGerman);
    }

    // Without a mouse: every label and button with a letter has one of its own, and a
    // label's letter leads to its box, which a screen reader then names by the label.
    void mnemonicsAndNames() {
        QString letters;
        for (QWidget* widget : FForm->findChildren<QWidget*>()) {
            QString text;
            if (auto* label = qobject_cast<QLabel*>(widget))
                text = label->text();
            else if (auto* button = qobject_cast<QAbstractButton*>(widget))
                text = button->text();
            const qsizetype at = text.indexOf('&');
            if (at < 0)
                continue;
            QVERIFY2(!letters.contains(text[at + 1].toLower()), qPrintable(text));
            letters += text[at + 1].toLower();
            if (auto* label = qobject_cast<QLabel*>(widget)) {
                QVERIFY2(label->buddy(), qPrintable(text));
                QCOMPARE(QAccessible::queryAccessibleInterface(label->buddy())
                             ->relations(QAccessible::Label)
                             .value(0)
                             .first->text(QAccessible::Name),
                         label->text().remove('&'));
            }
        }
        QCOMPARE(letters.size(), 8);
        for (const char* name : {"Button1", "Button2", "ProgressBar"})
            QVERIFY(!QAccessible::queryAccessibleInterface(
                         FForm->findChild<QWidget*>(QLatin1String(name)))
                         ->text(QAccessible::Name)
                         .isEmpty());
    }

    void languageListsFollowTheInterfaceLanguage() {
        QComboBox* first = FForm->LanguageCombo1();
        QComboBox* second = FForm->LanguageCombo2();
        QVERIFY(first->count() >= 10);
        QCOMPARE(second->count(), first->count());
        QCOMPARE(first->currentText(), QStringLiteral("Deutsch"));
        QCOMPARE(second->currentText(), QStringLiteral("Englisch"));
        QVERIFY(first->findText(QStringLiteral("Französisch")) >= 0); // Windows-1252 file
        // Shown after a switch to English: the English names.
        SetUILanguage(kUILanguageEnglish);
        FForm->SetOpenDictionaryFn([] { return QStringLiteral("open_dict"); });
        FForm->show();
        QCOMPARE(FForm->LanguageCombo1()->currentText(), QStringLiteral("German"));
        QCOMPARE(FForm->LanguageCombo2()->currentText(), QStringLiteral("English"));
        QCOMPARE(FForm->DestinationEdit()->text(), QStringLiteral("open_dict"));
        // No languages.ini: empty lists, nothing else.
        QVERIFY(QFile::remove(path("settings/languages.ini")));
        TImportForm bare(FFolder->path());
        QCOMPARE(bare.LanguageCombo1()->count(), 0);
    }

    void reportsEveryHundredIndexedLines() {
        QList<QPair<int, int>> reports;
        QStringList texts;
        bool cancelEnabled = false;
        connect(FForm.get(), &TImportForm::lineProgress, this, [&](int k, int n) {
            reports.append({k, n});
            texts.append(FForm->StatusPanelText());
            cancelEnabled = FForm->BtnCancel()->isEnabled();
        });
        QSignalSpy imported(FForm.get(), &TImportForm::imported);
        QVERIFY(runImport(source(250), "t"));
        // The comment line counts as a line but is not indexed.
        QCOMPARE(reports, (QList<QPair<int, int>>{{100, 251}, {200, 251}}));
        QCOMPARE(texts, (QStringList{"100 / 251", "200 / 251"}));
        QVERIFY(cancelEnabled);
        QVERIFY(!FForm->BtnCancel()->isEnabled());
        QCOMPARE(imported.size(), 1);
        QCOMPARE(imported.first().first().toString(), QStringLiteral("t"));
        QCOMPARE(lookUp(FFolder->path(), "t", "wort" + tag(249)), QStringList{entry(249)});
        QVERIFY(noStagingLeft());
    }

    void cancelKeepsAConsistentSet() {
        for (const bool byEscape : {false, true}) {
            FForm->show();
            QVERIFY(QTest::qWaitForWindowActive(FForm.get()));
            // Escape does nothing while no import runs.
            QTest::keyClick(FForm->SourceEdit(), Qt::Key_Escape);
            int reports = 0;
            auto connection = connect(FForm.get(), &TImportForm::lineProgress, this, [&, byEscape] {
                ++reports;
                if (byEscape)
                    QTest::keyClick(FForm->SourceEdit(), Qt::Key_Escape);
                else
                    FForm->BtnCancel()->click();
            });
            QVERIFY(runImport(source(250), "t"));
            disconnect(connection);
            QCOMPARE(reports, 1);
            // The first hundred lines, and references to nothing beyond them.
            TDictDB db(1, FFolder->path());
            QVERIFY(db.Open("t").ok());
            QVERIFY(db.LoadIndex().ok());
            QCOMPARE(db.HeadwordCount(), 100);
            QCOMPARE(lookUp(FFolder->path(), "t", "wort" + tag(99)), QStringList{entry(99)});
            QVERIFY(!lookUp(FFolder->path(), "t", "wort" + tag(100)).contains(entry(100)));
        }
    }

    void closingAbandonsAndKeepsTheOldSet() {
        QVERIFY(runImport(source(250), "t"));
        FForm->show();
        auto connection =
            connect(FForm.get(), &TImportForm::lineProgress, FForm.get(), &TImportForm::close);
        QSignalSpy imported(FForm.get(), &TImportForm::imported);
        QVERIFY(runImport(source(250, "haus", "house"), "t", false));
        disconnect(connection);
        QCOMPARE(imported.size(), 0);
        QCOMPARE(lookUp(FFolder->path(), "t", "wort" + tag(123)), QStringList{entry(123)});
        QVERIFY(noStagingLeft());
        // Destroying the dialog in the middle of an import waits for the worker.
        connect(FForm.get(), &TImportForm::lineProgress, this, [this] {
            QMetaObject::invokeMethod(
                this, [this] { FForm.reset(); }, Qt::QueuedConnection);
        });
        writeFile(path("source.txt"), source(250, "baum", "tree"));
        FForm->DestinationEdit()->setText("t");
        FForm->Button3()->click();
        QTRY_VERIFY(!FForm);
        QCOMPARE(lookUp(FFolder->path(), "t", "wort" + tag(123)), QStringList{entry(123)});
        QVERIFY(noStagingLeft());
        FForm = std::make_unique<TImportForm>(FFolder->path());
    }

    void refusesBadInputAndWritesNothing() {
        QSignalSpy finished(FForm.get(), &TImportForm::importFinished);
        for (const char* name : {"", "../t", "sub/t", "t.x"}) {
            FForm->DestinationEdit()->setText(name);
            FForm->Button3()->click();
            QVERIFY(!FForm->IsRunning());
            QVERIFY(FForm->Notice());
            QVERIFY(FForm->Notice()->text().contains("Dateiname"));
        }
        QCOMPARE(finished.size(), 0);
        FForm->SourceEdit()->setText(path("missing.txt"));
        FForm->DestinationEdit()->setText("t");
        FForm->Button3()->click();
        QVERIFY(finished.wait(10000));
        QCOMPARE(finished.first().first().toBool(), false);
        QVERIFY(FForm->Notice()->text().contains("not found"));
        QCOMPARE(QDir(FFolder->path()).entryList({"t.*"}, QDir::Files | QDir::Hidden),
                 QStringList());
        QVERIFY(noStagingLeft());
        // Another import (the command-line tool, say) holds the set.
        QVERIFY(writeFile(path("source.txt"), "Haus :: house\n"));
        FForm->SourceEdit()->setText(path("source.txt"));
        TSetLock other;
        QVERIFY(other.Acquire(FFolder->path(), "t").ok());
        finished.clear();
        FForm->Button3()->click();
        QVERIFY(finished.wait(10000));
        QCOMPARE(FForm->Notice()->text(), QStringLiteral("Wörterbuch t wird gerade importiert"));
        QVERIFY(!QFile::exists(path("t.tdb")));
    }

    void pronunciationImportWritesBaseIpa() {
        QVERIFY(runImport("Haus :: house\nBaum :: tree\n", "t"));
        QByteArray pairs;
        for (int i = 0; i < 150; ++i)
            pairs += "wort" + QByteArray::number(i) + "=v" + QByteArray::number(i) + "\n";
        pairs += "Haus=ha\xCA\x8As\n";
        QVERIFY(writeFile(path("pron.txt"), pairs));
        QSignalSpy finished(FForm.get(), &TImportForm::importFinished);
        QSignalSpy imported(FForm.get(), &TImportForm::imported);
        FForm->ImportPronunciationFile(path("pron.txt"));
        QVERIFY(!FForm->BtnCancel()->isEnabled()); // it cannot be stopped
        QVERIFY(finished.wait(10000));
        QCOMPARE(finished.first().first().toBool(), true);
        QCOMPARE(imported.first().first().toString(), QStringLiteral("t"));
        TDictDB db(0, FFolder->path());
        QVERIFY(db.Open("t").ok());
        QVERIFY(db.LoadPronunciations().ok());
        QString ipa;
        QVERIFY(db.GetPronunciation(u"haus", ipa));
        QCOMPARE(ipa, QStringLiteral("ha\u028As"));
        // A source without pairs leaves the file as it was.
        const QByteArray before = [&] {
            QFile file(path("t.ipa"));
            return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        }();
        QVERIFY(writeFile(path("empty.txt"), "no pairs here\n"));
        FForm->ImportPronunciationFile(path("empty.txt"));
        QVERIFY(finished.wait(10000));
        QCOMPARE(finished.last().first().toBool(), false);
        QFile after(path("t.ipa"));
        QVERIFY(after.open(QIODevice::ReadOnly));
        QCOMPARE(after.readAll(), before);
    }
};

QTEST_MAIN(TestImportForm)
#include "test_importform.moc"
