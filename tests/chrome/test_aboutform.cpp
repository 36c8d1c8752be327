// SPDX-License-Identifier: GPL-2.0-or-later
// The about window (texts, links, keys, shape) and the artwork it and the main window use.
#include "AboutForm.h"
#include "DrawTools.h"
#include "FormCaption.h"

#include <QDesktopServices>
#include <QEnterEvent>
#include <QGroupBox>
#include <QLabel>
#include <QtTest>

using namespace quillet;

class TestAboutForm : public QObject {
    Q_OBJECT
    QList<QUrl> FOpened;

public slots:
    void openUrl(const QUrl& url) { FOpened.append(url); }

private slots:
    void artworkSizes_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QSize>("size");
        QTest::newRow("logo16") << ":/logo/logo16" << QSize(16, 16);
        QTest::newRow("logo63") << ":/logo/logo63" << QSize(63, 63);
        QTest::newRow("frame skin") << ":/skin/frame_skin" << QSize(23, 20);
        QTest::newRow("status skin") << ":/skin/status_skin" << QSize(50, 20);
        for (const char* flag : {"de", "gb", "de_grey", "gb_grey"})
            QTest::newRow(flag) << QStringLiteral(":/flags/") + QLatin1String(flag)
                                << QSize(16, 11);
        QTest::newRow("home") << ":/icons/home" << QSize(16, 16);
    }
    void artworkSizes() {
        QFETCH(QString, name);
        QFETCH(QSize, size);
        const QImage normal(name + QStringLiteral(".png"));
        const QImage doubled(name + QStringLiteral("@2x.png"));
        QCOMPARE(normal.size(), size);
        QCOMPARE(doubled.size(), size * 2);
    }

    // The skins are cut into slices by fixed pixel positions: their interior must be the
    // window colour exactly, or the slices show seams.
    void skinInteriors() {
        const QColor window = PlatformColor(0x0065E0FF);
        QCOMPARE(QImage(QStringLiteral(":/skin/frame_skin.png")).pixelColor(11, 10), window);
        const QImage status(QStringLiteral(":/skin/status_skin.png"));
        for (int x = 4; x < 8; ++x)
            QCOMPARE(status.pixelColor(x, 10), window);
    }

    void texts() {
        TAboutForm form;
        form.ShowProgramVersion(QStringLiteral("1.1.0"), QStringLiteral("246"));
        QCOMPARE(form.LabelAppName->text(), QStringLiteral("Quillet-Dictionary"));
        QCOMPARE(form.LabelAppVersion->text(), QStringLiteral("Version 1.1.0 (Build 246)"));

        TMetaData meta;
        meta.Name = QStringLiteral("Deutsch/Englisch Wörterbuch");
        meta.Version = QStringLiteral("1.2");
        meta.Date = QStringLiteral("2024-05-01");
        meta.Editor = QStringLiteral("<b>A & B</b>");
        meta.License = QStringLiteral("GPL-2+");
        meta.Url = QStringLiteral("https://quillet.example.org/de/");
        form.ShowMetaData(meta);
        QCOMPARE(form.LabelName->text(), meta.Name);
        QCOMPARE(form.LabelVersion->text(), QStringLiteral("1.2 (2024-05-01)"));
        QCOMPARE(form.LabelEditor->text(), meta.Editor);
        QCOMPARE(form.LabelEditor->textFormat(), Qt::PlainText);
        QCOMPARE(form.LabelLicense->text(), meta.License);
        QCOMPARE(form.LabelURL->text(), meta.Url);
        // The link reacts over its text only.
        QCOMPARE(form.LabelURL->width(), form.LabelURL->sizeHint().width());

        meta.Date.clear();
        form.ShowMetaData(meta);
        QCOMPARE(form.LabelVersion->text(), QStringLiteral("1.2 ()"));
        // Where the set lies; a long path keeps its ends.
        const QString folder = "/home/u/.local/share/" + QString(60, u'x') + "/quillet-dictionary";
        form.ShowFolder(folder + '/');
        QCOMPARE(form.LabelFolder->toolTip(), folder);
        QVERIFY(form.LabelFolder->text().endsWith("quillet-dictionary"));
        QVERIFY(form.LabelFolder->text().size() < folder.size());

        form.ApplyUILanguage([](const QString& german) { return u'[' + german + u']'; });
        QCOMPARE(form.FormCaption->Caption(), QStringLiteral("[... über Quillet-Dictionary]"));
        QCOMPARE(form.WordlistGroupBox->title(), QStringLiteral(" [Wortschatz Info] "));
        QCOMPARE(form.Label7->text(), QStringLiteral("[Webseite:]"));
        QCOMPARE(form.Label3->text(), QStringLiteral("Name:"));
    }

    void escapeCloses() {
        TAboutForm form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QTest::keyClick(&form, Qt::Key_A);
        QVERIFY(form.isVisible());
        QTest::keyPress(&form, Qt::Key_Escape);
        QVERIFY(form.isVisible());
        QTest::keyRelease(&form, Qt::Key_Escape);
        QVERIFY(!form.isVisible());
    }

    void linkColours() {
        TAboutForm form;
        const QColor blue = PlatformColor(0x00FF0000), green = PlatformColor(0x00008000);
        for (QLabel* link : {form.Label11, form.Label13, form.LabelURL}) {
            QCOMPARE(link->palette().color(QPalette::WindowText), blue);
            QVERIFY(link->font().underline());
            QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
            QApplication::sendEvent(link, &enter);
            QCOMPARE(link->palette().color(QPalette::WindowText), green);
            QEvent leave(QEvent::Leave);
            QApplication::sendEvent(link, &leave);
            QCOMPARE(link->palette().color(QPalette::WindowText), blue);
        }
        // Without a mouse: Tab reaches a link, which then looks hovered, and Enter opens it.
        QDesktopServices::setUrlHandler("https", this, "openUrl");
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        form.activateWindow();
        form.Label11->setFocus(Qt::TabFocusReason);
        QTRY_VERIFY(form.Label11->hasFocus());
        QCOMPARE(form.Label11->palette().color(QPalette::WindowText), green);
        QTest::keyClick(form.Label11, Qt::Key_Return);
        QDesktopServices::unsetUrlHandler("https");
        QCOMPARE(FOpened.size(), 1);
        form.Label13->setFocus(Qt::TabFocusReason);
        QCOMPARE(form.Label11->palette().color(QPalette::WindowText), blue);
    }

    void linkTargets_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("url");
        QTest::newRow("https") << "https://quillet.example.org/de/"
                               << "https://quillet.example.org/de/";
        QTest::newRow("host only") << " www.example.org "
                                   << "http://www.example.org";
        QTest::newRow("program") << "C:\\Windows\\system32\\calc.exe"
                                 << "";
        QTest::newRow("file url") << "file:///etc/passwd"
                                  << "";
        QTest::newRow("path") << "/usr/bin/xterm"
                              << "";
        QTest::newRow("script") << "javascript:alert(1)"
                                << "";
        QTest::newRow("no host") << "readme"
                                 << "";
        QTest::newRow("empty") << ""
                               << "";
    }
    void linkTargets() {
        QFETCH(QString, text);
        QFETCH(QString, url);
        QCOMPARE(TAboutForm::LinkTarget(text).toString(), url);
    }

    void shape() {
        TAboutForm form;
        QCOMPARE(form.size(), QSize(400, 384));
        QCOMPARE(form.FormCaption->height(), 27);
        QCOMPARE(form.FrameRadius(), 7);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QCOMPARE(form.FormCaption->geometry(), QRect(0, 0, 400, 27));
        QVERIFY(!form.mask().contains(QPoint(0, 0)));
        QVERIFY(form.mask().contains(QPoint(200, 200)));
        form.hide();
        // Flat look: the frame skin emptied after the window was made.
        form.FormCaption->setWindowBitmap(QImage());
        QCOMPARE(form.FrameRadius(), 8);
        form.show();
        const QImage flat = form.grab().toImage();
        QCOMPARE(flat.pixelColor(200, 0), QColor(Qt::black));
    }
};

QTEST_MAIN(TestAboutForm)
#include "test_aboutform.moc"
