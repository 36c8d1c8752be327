// SPDX-License-Identifier: GPL-2.0-or-later
// Where the dictionaries are looked for and where an import goes: the search path from the
// XDG variables, sets of earlier folders hiding later ones, and the import folder of a
// portable copy and of an installation. The variables point at temporary folders.
#include "DataFolders.h"
#include "DictDB.h"
#include "Import.h"
#include "TestFiles.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

using namespace quillet;

class TestDataFolders : public QObject {
    Q_OBJECT

    QTemporaryDir FRoot;

    QString path(const QString& relative) const { return FRoot.filePath(relative); }

    // A one-entry set <folder>/<base> with the given title.
    static void makeSet(const QString& folder, const QString& base, const QString& title) {
        QVERIFY(QDir().mkpath(folder));
        const QString source = QDir(folder).filePath(base + ".txt");
        QVERIFY(writeAll(source, "Haus :: house\n"));
        TImportRequest request;
        request.Folder = folder;
        request.BaseName = base;
        request.SourcePath = source;
        request.Meta.Name = title;
        TImportSummary summary;
        QVERIFY(Import(request, summary).ok());
    }

private slots:
    void initTestCase() {
        QVERIFY(FRoot.isValid());
        qputenv("HOME", path("home").toUtf8());
    }

    void searchPath() {
        const QString program = path("portable");
        qputenv("XDG_DATA_HOME", path("data-home").toUtf8());
        // Relative entries are invalid and left out.
        qputenv("XDG_DATA_DIRS", (path("a") + ":relative:" + path("b") + "/").toUtf8());
        QCOMPARE(DataFolders(program),
                 QStringList({program, path("data-home/quillet-dictionary"),
                              path("a/quillet-dictionary"), path("b/quillet-dictionary"),
                              FRoot.path() + "/share/quillet-dictionary"}));

        qunsetenv("XDG_DATA_HOME");
        qunsetenv("XDG_DATA_DIRS");
        QCOMPARE(
            DataFolders("/usr/bin"),
            QStringList({"/usr/bin", path("home/.local/share/quillet-dictionary"),
                         "/usr/local/share/quillet-dictionary", "/usr/share/quillet-dictionary"}));
    }

    void earlierFolderHidesLaterSet() {
        const QString user = path("hiding/user"), system = path("hiding/system");
        makeSet(user, "d", "Eigenes");
        makeSet(system, "d", "System");
        makeSet(system, "e", "Zweites");
        TDictDB db(0, QStringList{path("hiding/empty"), user, system});
        QCOMPARE(db.Dictionaries().size(), size_t(2));
        QCOMPARE(db.Dictionaries()[0].Title, QStringLiteral("Eigenes"));
        QCOMPARE(db.Dictionaries()[0].Folder, user + '/');
        QCOMPARE(db.Dictionaries()[1].BaseName, QStringLiteral("e"));
        QCOMPARE(db.Dictionaries()[1].Folder, system + '/');
        QVERIFY(db.Open("e").ok());
        QCOMPARE(db.AppDir(), system + '/');
        QVERIFY(db.Open("d").ok());
        QCOMPARE(db.AppDir(), user + '/');
        QCOMPARE(db.Title(), QStringLiteral("Eigenes"));
        // A set that is nowhere is reported in the first folder.
        QCOMPARE(db.Open("x").message(), "File " + path("hiding/empty") + "/x.tdb not found");
    }

    void importFolder() {
        qputenv("XDG_DATA_HOME", path("import/data-home").toUtf8());
        const QString portable = path("import/portable");
        QVERIFY(QDir().mkpath(portable));
        QString folder;
        QVERIFY(ImportFolder(portable, folder).ok());
        QCOMPARE(folder, portable);

        // The bin/ folder of an installation, even where the user may write (root in /usr).
        const QString bin = path("import/prefix/bin");
        QVERIFY(QDir().mkpath(bin));
        QVERIFY(QDir().mkpath(path("import/prefix/share/quillet-dictionary")));
        QVERIFY(ImportFolder(bin, folder).ok());
        QCOMPARE(folder, path("import/data-home/quillet-dictionary"));
        QVERIFY(QFileInfo(folder).isDir());
    }
};

QTEST_GUILESS_MAIN(TestDataFolders)
#include "test_datafolders.moc"
