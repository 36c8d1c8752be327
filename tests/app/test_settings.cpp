// SPDX-License-Identifier: GPL-2.0-or-later
#include "Settings.h"

#include <climits>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

using namespace quillet;

class TestSettings : public QObject {
    Q_OBJECT

    QTemporaryDir FDir;

    TSettings loadFrom(const QByteArray& content) {
        const QString path = FDir.filePath("options.ini");
        QFile file(path);
        file.open(QIODevice::WriteOnly | QIODevice::Truncate);
        file.write(content);
        file.close();
        TSettings s;
        s.Load(TIniFile(path));
        return s;
    }

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void defaultsWithoutFile() {
        TSettings s;
        s.History = {"stale"};
        s.Load(TIniFile(FDir.filePath("missing.ini")));
        QCOMPARE(s, TSettings());
        QCOMPARE(std::tuple(s.Left, s.Top, s.Width, s.Height, s.LeftPanel, s.AutoSearchDelay),
                 std::tuple(10, 10, 750, 540, 150, 200));
        QCOMPARE(std::tuple(s.HotKeyChar + 0, s.HotKeyMod + 0, s.CopyDelay1, s.CopyDelay2),
                 std::tuple(123, 1, 250, 150));
    }

    void valuesRead() {
        const TSettings s =
            loadFrom("[dictionary]\nname=w\xF6rter\nLast_Word=Gr\xC3\xB6\xC3\x9F"
                     "e\nClose_Question=7\nCheck_Update=1\n[Window]\nLeft=-20\n"
                     "Flat_Skin=1\n[HotKey]\nChar=65535\nMod=6\n[GUI]\nLanguage=1\n");
        QCOMPARE(s.Name, QString::fromUtf8("wörter"));
        QCOMPARE(s.LastWord, QString::fromUtf8("Größe"));
        QCOMPARE(std::tuple(s.CloseQuestion, s.CheckUpdate, s.FlatSkin, s.Left, s.UILanguage),
                 std::tuple(true, true, true, -20, 1));
        QCOMPARE(std::tuple(s.HotKeyChar + 0, s.HotKeyMod + 0), std::tuple(65535, 6));
    }

    // Values the program never writes: every one of them falls back to its default.
    void handEditedValues_data() {
        QTest::addColumn<QByteArray>("content");
        for (const char* content :
             {"[Dictionary]\nDirection=2", "[Dictionary]\nDirection=eins",
              "[Dictionary]\nName=", "[Font]\nGrid_Name=\"  \"", "[Window]\nWidth=0",
              "[Font]\nPron_Size=-3", "[HotKey]\nChar=65536", "[HotKey]\nChar=-1",
              "[HotKey]\nMod=70000", "[HotKey]\nCopy_Delay_2=-5", "[HotKey]\nCopy_Delay_1=1001",
              "[HotKey]\nCopy_Delay_3=2147483647", "[Dictionary]\nAuto_Search_Delay=-1",
              "[Dictionary]\nAuto_Search_Delay=2147483647", "[Dictionary]\nAuto_Search=no",
              "[GUI]\nLanguage=2", "[GUI]\nLanguage=-1"})
            QTest::addRow("%s", QByteArray(content).replace('\n', ' ').constData())
                << QByteArray(content);
    }
    void handEditedValues() {
        QFETCH(QByteArray, content);
        QCOMPARE(loadFrom(content), TSettings());
    }

    void fitWindowToScreen_data() {
        QTest::addColumn<QList<int>>("stored"); // left, top, width, height
        QTest::addColumn<QRect>("area");
        QTest::addColumn<QRect>("expected");
        const QRect second(1920, -200, 1280, 1024); // a screen right of and above the primary
        QTest::newRow("fits") << QList<int>{2000, 0, 750, 540} << second
                              << QRect(2000, 0, 750, 540);
        QTest::newRow("extremes") << QList<int>{INT_MIN, INT_MAX, INT_MAX, INT_MAX} << second
                                  << second;
        QTest::newRow("tiny, past the far corner")
            << QList<int>{INT_MAX, INT_MAX, 1, 1} << second << QRect(3000, 724, 200, 100);
        QTest::newRow("area below the minimum")
            << QList<int>{0, 0, 750, 540} << QRect(0, 0, 150, 80) << QRect(0, 0, 150, 80);
        QTest::newRow("no screen")
            << QList<int>{INT_MIN, 0, 5, 5} << QRect() << QRect(10, 10, 750, 540);
    }
    void fitWindowToScreen() {
        QFETCH(QList<int>, stored);
        QFETCH(QRect, area);
        QFETCH(QRect, expected);
        QCOMPARE(FitWindowToScreen(stored[0], stored[1], stored[2], stored[3], area), expected);
    }

    void history_data() {
        QTest::addColumn<QByteArray>("lines");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("short, repeated") << QByteArray("0=a\n1=abc\n2=abc") << QStringList{"abc"};
        QTest::newRow("key order") << QByteArray("0=Haus\n1=Baum") << QStringList{"Haus", "Baum"};
        QTest::newRow("case") << QByteArray("0=Haus\n1=HAUS\n2=H\xC3\xA4us")
                              << QStringList{"Haus", "Häus"};
        QTest::newRow("gap, 0-9") << QByteArray("0=Haus\n5=Baum\n10=Ende")
                                  << QStringList{"Haus", "Baum"};
    }
    void history() {
        QFETCH(QByteArray, lines);
        QFETCH(QStringList, expected);
        QCOMPARE(loadFrom("[History]\n" + lines + "\n").History, expected);
    }

    void saveAtClose() {
        TSettings s = loadFrom("[Extra]\nKeep=yes\n[GUI]\nLanguage=1\n");
        s.Name = QString::fromUtf8("wörter");
        s.LastWord = QString::fromUtf8("Größe");
        s.History = {"Haus", "Baum"};
        s.Direction = 1;
        s.Left = -5;
        s.HotKeyChar = 65;
        s.CloseQuestion = true;
        TIniFile out(FDir.filePath("options.ini"));
        QVERIFY(s.SaveAtClose(out).ok());

        QFile file(out.FileName());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QStringList layout; // sections and keys in file order
        for (const QByteArray& line : file.readAll().split('\n'))
            layout << line.split('=').first().trimmed();
        QCOMPARE(
            layout.join(' ').simplified(),
            "[Extra] Keep [GUI] Language [Dictionary] Name Direction Reverse_Language "
            "Close_Question Auto_Search Auto_Search_Delay Last_Word [Window] Left Pos Width "
            "Height LeftPanel [Font] Grid_Name Grid_Size Pron_Name Pron_Size [HotKey] Char Mod "
            "Copy_Delay_1 Copy_Delay_2 Copy_Delay_3 [History] 0 1");
        const TIniFile ini(out.FileName());
        QCOMPARE(ini.ReadString("Dictionary", "Name"), "w\xF6rter");
        QCOMPARE(ini.ReadString("Dictionary", "Last_Word"), "Gr\xC3\xB6\xC3\x9F"
                                                            "e");
        TSettings reread;
        reread.Load(ini);
        QCOMPARE(reread, s);

        TIniFile blocked(FDir.filePath("options.ini/options.ini")); // parent is a file
        QVERIFY(!s.SaveAtClose(blocked).ok());
    }

    void filePath() {
        loadFrom(""); // the file that will stand where a folder is needed
        const QByteArray home = qgetenv("HOME");
        qputenv("HOME", FDir.path().toLocal8Bit());
        const QString config =
            QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
        const QString path = SettingsFilePath("/program");
        qputenv("HOME", FDir.filePath("options.ini").toLocal8Bit()); // a file, not a folder
        const QString fallback = SettingsFilePath("/program");
        qputenv("HOME", home);
        if (!config.startsWith(FDir.path()))
            QSKIP("the configuration folder does not follow HOME here");
        QCOMPARE(path, config + "/Quillet/Dictionary/options.ini");
        QVERIFY(QFileInfo(path).dir().exists());
        QCOMPARE(fallback, "/program/options.ini");
    }
};

QTEST_GUILESS_MAIN(TestSettings)
#include "test_settings.moc"
