// SPDX-License-Identifier: GPL-2.0-or-later
// The hotkey lookup end to end, on a real X server with a real window manager and a
// notification-area host: this test is the "other application" (a line edit holding a
// selected word, and the owner of the clipboard), xdotool presses the hotkey, and the real
// program looks the word up, puts the clipboard back and hides again on the second press.
//
// The test starts Xvfb, openbox and trayer itself; without them it reports a skip.

#include <QtTest>
#include <QtWidgets>

#include <xcb/xcb.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstring>
#include <mutex>
#include <optional>
#include <thread>

namespace {

QString gDisplay;

// Runs a short X client to completion and returns its standard output.
QString RunTool(const QString& program, const QStringList& args, int timeoutMs = 10000) {
    QProcess process;
    process.start(program, args);
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
        return {};
    }
    return QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed();
}

// The X server, the window manager and the tray host, for the whole run.
class TDesktopSession {
public:
    ~TDesktopSession() {
        for (QProcess* process : {&FTray, &FWindowManager, &FServer}) {
            if (process->state() != QProcess::NotRunning) {
                process->terminate();
                if (!process->waitForFinished(3000)) {
                    process->kill();
                    process->waitForFinished();
                }
            }
        }
    }

    // Empty on success, otherwise why the desktop could not be had.
    QString Start() {
        for (const char* tool : {"Xvfb", "openbox", "trayer", "xdotool", "xwininfo"}) {
            if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty())
                return QStringLiteral("%1 is not installed").arg(QString::fromLatin1(tool));
        }
        // The server picks a free display number itself and writes it to its output once
        // it accepts connections: no race with other tests starting servers meanwhile.
        FServer.start(QStringLiteral("Xvfb"), {QStringLiteral("-displayfd"), QStringLiteral("1"),
                                               QStringLiteral("-nolisten"), QStringLiteral("tcp"),
                                               QStringLiteral("-screen"), QStringLiteral("0"),
                                               QStringLiteral("1280x800x24")});
        if (!FServer.waitForStarted(5000))
            return QStringLiteral("Xvfb does not start");
        QByteArray number;
        QDeadlineTimer deadline(20000);
        while (!number.endsWith('\n') && FServer.state() == QProcess::Running &&
               !deadline.hasExpired()) {
            FServer.waitForReadyRead(100);
            number += FServer.readAllStandardOutput();
        }
        if (number.trimmed().isEmpty())
            return QStringLiteral("Xvfb names no display");
        gDisplay = QStringLiteral(":") + QString::fromLatin1(number.trimmed());
        qputenv("DISPLAY", gDisplay.toLatin1());
        if (gDisplay.isEmpty())
            return QStringLiteral("no free X display number");
        FWindowManager.start(QStringLiteral("openbox"), {});
        FTray.start(QStringLiteral("trayer"),
                    {QStringLiteral("--edge"), QStringLiteral("top"), QStringLiteral("--align"),
                     QStringLiteral("right"), QStringLiteral("--widthtype"),
                     QStringLiteral("request"), QStringLiteral("--height"), QStringLiteral("24")});
        if (!FWindowManager.waitForStarted(5000) || !FTray.waitForStarted(5000))
            return QStringLiteral("openbox or trayer does not start");
        // The window manager announces itself on the root window once it manages.
        deadline.setRemainingTime(20000);
        while (!deadline.hasExpired()) {
            if (RunTool(QStringLiteral("xprop"),
                        {QStringLiteral("-root"), QStringLiteral("_NET_SUPPORTING_WM_CHECK")})
                    .contains(QStringLiteral("window id")))
                break;
            QThread::msleep(100);
        }
        return {};
    }

private:
    QProcess FServer;
    QProcess FWindowManager;
    QProcess FTray;
};

// Ids of the program's top-level windows that are mapped (visible), by title.
QStringList VisibleDictionaryWindows() {
    const QString out = RunTool(QStringLiteral("xdotool"),
                                {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                 QStringLiteral("--name"), QStringLiteral("^Quillet-Dictionary")});
    return out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

// The program's visible windows that are dialogs (a message box), not its main window.
QStringList VisibleDictionaryDialogs() {
    QStringList dialogs;
    for (const QString& window : VisibleDictionaryWindows()) {
        if (RunTool(QStringLiteral("xprop"),
                    {QStringLiteral("-id"), window, QStringLiteral("_NET_WM_WINDOW_TYPE")})
                .contains(QStringLiteral("_NET_WM_WINDOW_TYPE_DIALOG")))
            dialogs << window;
    }
    return dialogs;
}

// A 1x1 input-only window of the connection's own on the first screen: a selection owner
// that nobody sees.
xcb_window_t HiddenWindow(xcb_connection_t* connection) {
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    const xcb_window_t window = xcb_generate_id(connection);
    xcb_create_window(connection, XCB_COPY_FROM_PARENT, window, screen->root, 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
    return window;
}

xcb_atom_t InternAtom(xcb_connection_t* connection, const char* name) {
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, std::strlen(name), name), nullptr);
    const xcb_atom_t atom = reply ? reply->atom : XCB_NONE;
    std::free(reply);
    return atom;
}

// Takes the selection and waits for a round trip, so that the server has made the window
// its owner before the test goes on.
void OwnSelection(xcb_connection_t* connection, xcb_window_t window, xcb_atom_t selection) {
    xcb_set_selection_owner(connection, window, selection, XCB_CURRENT_TIME);
    std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
}

// An X client that takes the clipboard and then never answers a request for its content,
// as a hung program does.
class TSilentClipboardOwner {
public:
    TSilentClipboardOwner() {
        FConnection = xcb_connect(nullptr, nullptr);
        if (xcb_connection_has_error(FConnection))
            return;
        const xcb_atom_t clipboard = InternAtom(FConnection, "CLIPBOARD");
        if (clipboard != XCB_NONE)
            OwnSelection(FConnection, HiddenWindow(FConnection), clipboard);
    }
    ~TSilentClipboardOwner() { xcb_disconnect(FConnection); }

private:
    xcb_connection_t* FConnection;
};

// A clipboard manager as desktops run one (the freedesktop CLIPBOARD_MANAGER protocol): it
// owns CLIPBOARD_MANAGER and, asked for SAVE_TARGETS by a program about to exit, fetches
// that program's clipboard text before it answers. Its own connection and thread, so that
// it answers while the test's event loop waits.
class TClipboardManager {
public:
    TClipboardManager() {
        FConnection = xcb_connect(nullptr, nullptr);
        if (xcb_connection_has_error(FConnection))
            return;
        FWindow = HiddenWindow(FConnection);
        FManager = Atom("CLIPBOARD_MANAGER");
        FSaveTargets = Atom("SAVE_TARGETS");
        FClipboard = Atom("CLIPBOARD");
        FUtf8 = Atom("UTF8_STRING");
        FSaved = Atom("QUILLET_TEST_SAVED");
        OwnSelection(FConnection, FWindow, FManager);
        FThread = std::thread([this] { Serve(); });
    }
    ~TClipboardManager() {
        FStop = true;
        if (FThread.joinable())
            FThread.join();
        xcb_disconnect(FConnection);
    }
    // The text saved from the exiting program, once it has been handed over.
    std::optional<QString> SavedText() {
        std::lock_guard lock(FMutex);
        return FText;
    }

private:
    xcb_atom_t Atom(const char* name) { return InternAtom(FConnection, name); }

    void Serve() {
        xcb_selection_request_event_t request{};
        while (!FStop) {
            xcb_generic_event_t* event = xcb_poll_for_event(FConnection);
            if (event == nullptr) {
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
                continue;
            }
            const int type = event->response_type & 0x7f;
            if (type == XCB_SELECTION_REQUEST) {
                request = *reinterpret_cast<xcb_selection_request_event_t*>(event);
                if (request.selection == FManager && request.target == FSaveTargets)
                    xcb_convert_selection(FConnection, FWindow, FClipboard, FUtf8, FSaved,
                                          request.time);
                xcb_flush(FConnection);
            } else if (type == XCB_SELECTION_NOTIFY) {
                const auto* notify = reinterpret_cast<xcb_selection_notify_event_t*>(event);
                if (notify->property == FSaved) {
                    xcb_get_property_reply_t* reply = xcb_get_property_reply(
                        FConnection,
                        xcb_get_property(FConnection, 1, FWindow, FSaved, XCB_ATOM_ANY, 0, 1 << 16),
                        nullptr);
                    if (reply != nullptr) {
                        std::lock_guard lock(FMutex);
                        FText = QString::fromUtf8(
                            static_cast<const char*>(xcb_get_property_value(reply)),
                            xcb_get_property_value_length(reply));
                        std::free(reply);
                    }
                }
                // Saved (or refused): the exiting program may go.
                xcb_selection_notify_event_t answer{};
                answer.response_type = XCB_SELECTION_NOTIFY;
                answer.time = request.time;
                answer.requestor = request.requestor;
                answer.selection = request.selection;
                answer.target = request.target;
                answer.property = request.property;
                xcb_send_event(FConnection, 0, request.requestor, XCB_EVENT_MASK_NO_EVENT,
                               reinterpret_cast<const char*>(&answer));
                xcb_flush(FConnection);
            }
            std::free(event);
        }
    }

    xcb_connection_t* FConnection;
    xcb_window_t FWindow = XCB_NONE;
    xcb_atom_t FManager = XCB_NONE, FSaveTargets = XCB_NONE, FClipboard = XCB_NONE,
               FUtf8 = XCB_NONE, FSaved = XCB_NONE;
    std::atomic<bool> FStop = false;
    std::thread FThread;
    std::mutex FMutex;
    std::optional<QString> FText;
};

// Counts the copy keys (Ctrl+Insert) a widget receives.
class TCopyKeyCounter : public QObject {
public:
    int Count = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress) {
            const auto* key = static_cast<QKeyEvent*>(event);
            if (key->key() == Qt::Key_Insert && (key->modifiers() & Qt::ControlModifier))
                ++Count;
        }
        return QObject::eventFilter(watched, event);
    }
};

quint64 ActiveWindow() {
    return RunTool(QStringLiteral("xdotool"), {QStringLiteral("getactivewindow")}).toULongLong();
}

} // namespace

class TestHotkeyDesktop : public QObject {
    Q_OBJECT

    QTemporaryDir FHome;
    QProcess FProgram;
    QWidget* FEditor = nullptr;
    QLineEdit* FEdit = nullptr;

    QString OptionsPath() const {
        return FHome.filePath(QStringLiteral("config/Quillet/Dictionary/options.ini"));
    }

    void StartProgram() {
        FProgram.start(QStringLiteral(QUILLET_BIN_DIR "/quillet-dictionary"),
                       {QStringLiteral("/min")});
        QVERIFY(FProgram.waitForStarted(10000));
        QTRY_VERIFY_WITH_TIMEOUT(
            RunTool(QStringLiteral("xwininfo"), {QStringLiteral("-root"), QStringLiteral("-tree")})
                .contains(QStringLiteral("quillet-dictionary")),
            15000);
        QTest::qWait(500); // the program has reached its event loop, the hotkey is grabbed
    }

    // Ends the program the normal way and gives the word its settings kept.
    QString StopProgram() {
        ::kill(pid_t(FProgram.processId()), SIGTERM);
        if (!FProgram.waitForFinished(10000))
            return QStringLiteral("(still running)");
        QSettings options(OptionsPath(), QSettings::IniFormat);
        return options.value(QStringLiteral("Dictionary/Last_Word")).toString();
    }

    // Our window holds the selection, and has the focus, as the user's editor would.
    void FocusEditor() {
        FEditor->activateWindow();
        FEdit->setFocus();
        FEdit->selectAll();
        QTRY_COMPARE_WITH_TIMEOUT(ActiveWindow(), quint64(FEditor->winId()), 5000);
    }

private slots:
    void initTestCase() {
        const QString program = QStringLiteral(QUILLET_BIN_DIR "/quillet-dictionary");
        if (!QFile::exists(QStringLiteral(QUILLET_BIN_DIR "/de_en_dict.tx1")))
            QSKIP("the default dictionary is not prepared");
        QVERIFY(FHome.isValid());
        QDir(FHome.path()).mkpath(QStringLiteral("config"));
        QDir(FHome.path()).mkpath(QStringLiteral("runtime"));
        QFile::setPermissions(FHome.filePath(QStringLiteral("runtime")),
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                  QFileDevice::ExeOwner);

        // The program hides into the notification area only when there is one.
        QTRY_VERIFY_WITH_TIMEOUT(QSystemTrayIcon::isSystemTrayAvailable(), 20000);

        FEditor = new QWidget;
        FEditor->setWindowTitle(QStringLiteral("Editor"));
        FEdit = new QLineEdit(QStringLiteral("Haus"), FEditor);
        FEditor->setGeometry(100, 200, 300, 80);
        FEdit->setGeometry(10, 10, 200, 30);
        FEditor->show();
        QVERIFY(QTest::qWaitForWindowExposed(FEditor));
        FocusEditor();
        QGuiApplication::clipboard()->setText(QStringLiteral("  Hello world \n"));

        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DISPLAY"), gDisplay);
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), FHome.filePath(QStringLiteral("config")));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), FHome.filePath(QStringLiteral("runtime")));
        env.insert(QStringLiteral("XDG_DATA_HOME"), FHome.filePath(QStringLiteral("data")));
        // The program's X server is this Xvfb, even when the tests run in a Wayland session.
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        env.remove(QStringLiteral("XDG_SESSION_TYPE"));
        FProgram.setProcessEnvironment(env);
        FProgram.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        FProgram.start(program, {QStringLiteral("/min")});
        QVERIFY(FProgram.waitForStarted(10000));
    }

    void trayIconAndNoWindowAtAutostart() {
        // The icon is embedded into the tray host: a window of ours below trayer's.
        QTRY_VERIFY_WITH_TIMEOUT(
            RunTool(QStringLiteral("xwininfo"), {QStringLiteral("-root"), QStringLiteral("-tree")})
                .contains(QStringLiteral("quillet-dictionary")),
            15000);
        QTest::qWait(500); // the program has reached its event loop, the hotkey is grabbed
        QVERIFY(VisibleDictionaryWindows().isEmpty());
    }

    void hotkeyLooksUpTheSelectedWord() {
        FocusEditor();
        QVERIFY(
            RunTool(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("alt+F12")})
                .isEmpty());
        QTRY_VERIFY_WITH_TIMEOUT(!VisibleDictionaryWindows().isEmpty(), 10000);
        // The previous clipboard text is back, trimmed.
        QTRY_COMPARE_WITH_TIMEOUT(QGuiApplication::clipboard()->text(),
                                  QStringLiteral("Hello world"), 5000);
        const quint64 dictionary = VisibleDictionaryWindows().value(0).toULongLong();
        QTRY_COMPARE_WITH_TIMEOUT(ActiveWindow(), dictionary, 5000);
    }

    void hotkeyAgainHidesAndReturnsToTheEditor() {
        QVERIFY(
            RunTool(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("alt+F12")})
                .isEmpty());
        QTRY_VERIFY_WITH_TIMEOUT(VisibleDictionaryWindows().isEmpty(), 10000);
        QTRY_COMPARE_WITH_TIMEOUT(ActiveWindow(), quint64(FEditor->winId()), 5000);
    }

    void closingKeepsTheWordLookedUp() {
        // Up once more, then closed with the caption bar's own close button: the settings
        // written at close hold the word the hotkey brought.
        FocusEditor();
        RunTool(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("alt+F12")});
        QTRY_VERIFY_WITH_TIMEOUT(!VisibleDictionaryWindows().isEmpty(), 10000);
        QTest::qWait(1000); // the search has run
        const QString window = VisibleDictionaryWindows().value(0);
        const QString geometry =
            RunTool(QStringLiteral("xdotool"),
                    {QStringLiteral("getwindowgeometry"), QStringLiteral("--shell"), window});
        const int width =
            QRegularExpression(QStringLiteral("WIDTH=(\\d+)")).match(geometry).captured(1).toInt();
        QVERIFY2(width > 100, qPrintable(geometry));
        // The close button is the caption bar's last, 19 pixels from the right edge.
        RunTool(QStringLiteral("xdotool"),
                {QStringLiteral("mousemove"), QStringLiteral("--window"), window,
                 QString::number(width - 19), QStringLiteral("18"), QStringLiteral("click"),
                 QStringLiteral("1")});
        QVERIFY(FProgram.waitForFinished(10000));
        QCOMPARE(FProgram.exitStatus(), QProcess::NormalExit);
        QSettings options(OptionsPath(), QSettings::IniFormat);
        QCOMPARE(options.value(QStringLiteral("Dictionary/Last_Word")).toString(),
                 QStringLiteral("Haus"));
    }

    // The word selected in a terminal comes from the primary selection: no key reaches the
    // terminal (xterm would turn Ctrl+Insert into input, "ESC [2;5~"), and the clipboard is
    // not touched.
    void selectionFromTerminalWithoutKeys() {
        if (QStandardPaths::findExecutable(QStringLiteral("xterm")).isEmpty())
            QSKIP("xterm is not installed");
        StartProgram();
        const QString keys = FHome.filePath(QStringLiteral("terminal-input"));
        QProcess terminal;
        terminal.start(QStringLiteral("xterm"),
                       {QStringLiteral("-title"), QStringLiteral("Terminal"), QStringLiteral("-e"),
                        QStringLiteral("sh"), QStringLiteral("-c"),
                        QStringLiteral("stty raw -echo; exec cat > '%1'").arg(keys)});
        QVERIFY(terminal.waitForStarted(5000));
        QString window;
        QTRY_VERIFY_WITH_TIMEOUT(
            !(window = RunTool(QStringLiteral("xdotool"),
                               {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                QStringLiteral("--name"), QStringLiteral("^Terminal$")}))
                 .isEmpty(),
            10000);
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(keys), 5000); // the shell has set the terminal up
        RunTool(QStringLiteral("xdotool"),
                {QStringLiteral("windowactivate"), QStringLiteral("--sync"), window});
        QTRY_COMPARE_WITH_TIMEOUT(ActiveWindow(), window.toULongLong(), 5000);
        QGuiApplication::clipboard()->setText(QStringLiteral("Hello world"));
        QGuiApplication::clipboard()->setText(QStringLiteral("Baum"), QClipboard::Selection);

        RunTool(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("alt+F12")});
        QTRY_VERIFY_WITH_TIMEOUT(!VisibleDictionaryWindows().isEmpty(), 10000);
        QTest::qWait(1000); // keys would have arrived by now
        QFile input(keys);
        QVERIFY(input.open(QIODevice::ReadOnly));
        QCOMPARE(input.readAll(), QByteArray());
        QVERIFY(QGuiApplication::clipboard()->ownsClipboard());
        QCOMPARE(StopProgram(), QStringLiteral("Baum"));
        terminal.terminate();
        terminal.waitForFinished(3000);
    }

    // Without a selection the copy keys are the road; a hotkey held longer than the first
    // copy delay still gets the word, as the keys wait until it is up. The clipboard text
    // put back then belongs to the program, which hands it to the clipboard manager as it
    // exits, so it outlives the program.
    void copyKeysAfterHeldHotkey() {
        StartProgram();
        FEdit->setText(QStringLiteral("Tisch"));
        FocusEditor();
        QGuiApplication::clipboard()->clear(QClipboard::Selection);
        QGuiApplication::clipboard()->setText(QStringLiteral("Hello world"));
        TCopyKeyCounter copyKeys;
        FEdit->installEventFilter(&copyKeys);
        RunTool(QStringLiteral("xdotool"), {QStringLiteral("keydown"), QStringLiteral("alt+F12")});
        QTest::qWait(800);
        RunTool(QStringLiteral("xdotool"), {QStringLiteral("keyup"), QStringLiteral("alt+F12")});
        QTRY_VERIFY_WITH_TIMEOUT(!VisibleDictionaryWindows().isEmpty(), 10000);
        QTRY_COMPARE_WITH_TIMEOUT(QGuiApplication::clipboard()->text(),
                                  QStringLiteral("Hello world"), 5000);
        QTest::qWait(500);           // the search has run
        QCOMPARE(copyKeys.Count, 1); // the editor got them, not the grab
        QVERIFY(!QGuiApplication::clipboard()->ownsClipboard());
        TClipboardManager manager;
        QCOMPARE(StopProgram(), QStringLiteral("Tisch"));
        QCOMPARE(manager.SavedText(), std::optional(QStringLiteral("Hello world")));
    }

    // A clipboard owner that does not answer: the window keeps painting, the lookup gives
    // up within its bound with the clipboard's error, and the dictionary stays hidden.
    void silentClipboardOwnerGivesError() {
        StartProgram();
        FocusEditor();
        QGuiApplication::clipboard()->clear(QClipboard::Selection);
        TSilentClipboardOwner owner;
        QElapsedTimer timer;
        timer.start();
        RunTool(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("alt+F12")});
        QTRY_VERIFY_WITH_TIMEOUT(!VisibleDictionaryDialogs().isEmpty(), 5000);
        QVERIFY2(timer.elapsed() < 4000, qPrintable(QString::number(timer.elapsed())));
        QCOMPARE(VisibleDictionaryWindows(), VisibleDictionaryDialogs()); // the box alone
        const QString box = VisibleDictionaryDialogs().value(0);
        RunTool(QStringLiteral("xdotool"),
                {QStringLiteral("windowactivate"), QStringLiteral("--sync"), box,
                 QStringLiteral("key"), QStringLiteral("Return")});
        QTRY_VERIFY_WITH_TIMEOUT(VisibleDictionaryWindows().isEmpty(), 5000);
        StopProgram();
    }

    // The session ends (logout, `systemctl --user stop`) while the window is hidden in the
    // notification area, where it spends most of its life: the close writes the settings
    // and the process ends, instead of staying on without a window.
    void sessionEndWhileHiddenEndsTheProgram() {
        QVERIFY(QFile::remove(OptionsPath()));
        FProgram.start(QStringLiteral(QUILLET_BIN_DIR "/quillet-dictionary"),
                       {QStringLiteral("/min")});
        QVERIFY(FProgram.waitForStarted(10000));
        QTRY_VERIFY_WITH_TIMEOUT(
            RunTool(QStringLiteral("xwininfo"), {QStringLiteral("-root"), QStringLiteral("-tree")})
                .contains(QStringLiteral("quillet-dictionary")),
            15000);
        QTest::qWait(500); // the program has reached its event loop
        QVERIFY(VisibleDictionaryWindows().isEmpty());
        QCOMPARE(::kill(pid_t(FProgram.processId()), SIGTERM), 0);
        QVERIFY(FProgram.waitForFinished(10000));
        QCOMPARE(FProgram.exitStatus(), QProcess::NormalExit);
        QCOMPARE(FProgram.exitCode(), 0);
        QVERIFY(QFile::exists(OptionsPath()));
    }

    void cleanupTestCase() {
        if (FProgram.state() != QProcess::NotRunning) {
            FProgram.kill();
            FProgram.waitForFinished();
        }
        delete FEditor;
    }
};

int main(int argc, char* argv[]) {
    TDesktopSession session;
    const QString problem = session.Start();
    if (!problem.isEmpty()) {
        // Reported as a skip, in QtTest's words, so that ctest shows why.
        printf("SKIP   : TestHotkeyDesktop: %s\n", qPrintable(problem));
        return 0;
    }
    qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication app(argc, argv);
    TestHotkeyDesktop test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_hotkey_desktop.moc"
