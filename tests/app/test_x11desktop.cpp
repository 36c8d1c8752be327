// SPDX-License-Identifier: GPL-2.0-or-later
// The X11 desktop services against a real X server: a private Xvfb that the test starts
// itself (the X tests skip where there is no Xvfb), with this test's own X connection
// playing the other applications and the window manager. The autostart entry needs no
// server and always runs.
#include "Autorun.h"
#include "Clipboard.h"
#include "DesktopWindows.h"
#include "GlobalHotkey.h"
#include "HotkeyLookup.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <X11/keysym.h>
#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace quillet;

namespace {

// Starts Xvfb on a display it picks itself (-displayfd) and points DISPLAY at it. The
// server dies with this process, however the test ends.
pid_t startXvfb() {
    if (QStandardPaths::findExecutable(QStringLiteral("Xvfb")).isEmpty())
        return -1;
    int pipeFds[2];
    if (pipe(pipeFds) != 0)
        return -1;
    const pid_t child = fork();
    if (child == 0) {
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        close(pipeFds[0]);
        const std::string fd = std::to_string(pipeFds[1]);
        if (FILE* null = std::fopen("/dev/null", "w")) {
            dup2(fileno(null), STDOUT_FILENO);
            dup2(fileno(null), STDERR_FILENO);
        }
        execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-nolisten", "tcp", "-screen", "0",
               "800x600x24", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(pipeFds[1]);
    std::string display;
    pollfd waitFor{pipeFds[0], POLLIN, 0};
    char c = 0;
    while (child > 0 && poll(&waitFor, 1, 15000) > 0 && read(pipeFds[0], &c, 1) == 1 && c != '\n')
        display += c;
    close(pipeFds[0]);
    if (child <= 0)
        return -1;
    if (display.empty() || c != '\n') {
        kill(child, SIGTERM);
        waitpid(child, nullptr, 0);
        return -1;
    }
    setenv("DISPLAY", (":" + display).c_str(), 1);
    unsetenv("WAYLAND_DISPLAY");
    return child;
}

// Another X client: its own connection to the test's server.
class TOtherClient {
public:
    TOtherClient() : FConnection(xcb_connect(nullptr, nullptr)) {
        FRoot = xcb_setup_roots_iterator(xcb_get_setup(FConnection)).data->root;
        FSymbols = xcb_key_symbols_alloc(FConnection);
    }
    ~TOtherClient() {
        xcb_key_symbols_free(FSymbols);
        xcb_disconnect(FConnection);
    }

    xcb_connection_t* Connection() const { return FConnection; }
    xcb_window_t Root() const { return FRoot; }

    xcb_keycode_t Keycode(xcb_keysym_t keysym) {
        xcb_keycode_t* codes = xcb_key_symbols_get_keycode(FSymbols, keysym);
        const xcb_keycode_t code = codes != nullptr ? codes[0] : 0;
        std::free(codes);
        return code;
    }

    // True when the request was granted.
    bool Check(xcb_void_cookie_t cookie) {
        xcb_generic_error_t* error = xcb_request_check(FConnection, cookie);
        std::free(error);
        return error == nullptr;
    }

    bool GrabKey(xcb_keysym_t keysym, std::uint16_t mask) {
        return Check(xcb_grab_key_checked(FConnection, 0, FRoot, mask, Keycode(keysym),
                                          XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
    }

    xcb_atom_t Atom(const char* name) {
        auto* reply = xcb_intern_atom_reply(
            FConnection, xcb_intern_atom(FConnection, 0, std::strlen(name), name), nullptr);
        const xcb_atom_t atom = reply != nullptr ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
        std::free(reply);
        return atom;
    }

    xcb_window_t CreateWindow(std::uint32_t eventMask = 0) {
        const xcb_window_t window = xcb_generate_id(FConnection);
        const std::uint32_t values[] = {1, eventMask}; // override-redirect: no manager
        xcb_create_window(FConnection, XCB_COPY_FROM_PARENT, window, FRoot, 0, 0, 100, 100, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT,
                          XCB_CW_OVERRIDE_REDIRECT | XCB_CW_EVENT_MASK, values);
        xcb_flush(FConnection);
        return window;
    }

    // Waits for the next event of `type` (0: any), up to five seconds.
    xcb_generic_event_t* WaitFor(std::uint8_t type) {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 5000) {
            while (xcb_generic_event_t* event = xcb_poll_for_event(FConnection)) {
                if (type == 0 || (event->response_type & ~0x80) == type)
                    return event;
                std::free(event);
            }
            QTest::qWait(10);
        }
        return nullptr;
    }

    // Makes sure the server has handled everything sent so far.
    void Sync() {
        std::free(
            xcb_get_input_focus_reply(FConnection, xcb_get_input_focus(FConnection), nullptr));
    }

private:
    xcb_connection_t* FConnection;
    xcb_window_t FRoot;
    xcb_key_symbols_t* FSymbols;
};

bool xdotool(const QStringList& arguments) {
    QProcess process;
    process.start(QStringLiteral("xdotool"), arguments);
    return process.waitForFinished(10000) && process.exitStatus() == QProcess::NormalExit &&
           process.exitCode() == 0;
}

QString readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

} // namespace

class TestX11Desktop : public QObject {
    Q_OBJECT

public:
    explicit TestX11Desktop(bool haveX) : FHaveX(haveX) {}

private slots:
    void init() {
        if (!FHaveX && QByteArray(QTest::currentTestFunction()) != "autostartEntry")
            QSKIP("no Xvfb here");
    }

    void hotkeyGrabbedAndPressed() {
        if (QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty())
            QSKIP("no xdotool here");
        auto hotkey = CreateGlobalHotkey();
        QVERIFY(hotkey->Available());
        int presses = 0;
        hotkey->OnPressed = [&] { ++presses; };
        QVERIFY(hotkey->Register(0x7B, kModAlt)); // Alt+F12

        QVERIFY(xdotool({"key", "alt+F12"}));
        QTRY_COMPARE_WITH_TIMEOUT(presses, 1, 5000);
        // A lit NumLock must not block the combination.
        QVERIFY(xdotool({"key", "Num_Lock"}));
        QVERIFY(xdotool({"key", "alt+F12"}));
        QVERIFY(xdotool({"key", "Num_Lock"}));
        QTRY_COMPARE_WITH_TIMEOUT(presses, 2, 5000);
        // Other modifiers are another combination.
        QVERIFY(xdotool({"key", "ctrl+F12", "alt+F12"}));
        QTRY_COMPARE_WITH_TIMEOUT(presses, 3, 5000);
        QTest::qWait(100);
        QCOMPARE(presses, 3);

        hotkey->Unregister();
        QVERIFY(xdotool({"key", "alt+F12"}));
        QTest::qWait(200);
        QCOMPARE(presses, 3);
    }

    // On XWayland a grab would see only the keys typed into X11 windows.
    void noHotkeyInAWaylandSession() {
        qputenv("WAYLAND_DISPLAY", "wayland-0");
        auto hotkey = CreateGlobalHotkey();
        qunsetenv("WAYLAND_DISPLAY");
        QVERIFY(!hotkey->Available());
        QVERIFY(!hotkey->Register(0x7B, kModAlt));
        QVERIFY(CreateGlobalHotkey()->Available());
    }

    void combinationHeldByAnotherClient() {
        auto hotkey = CreateGlobalHotkey();
        TOtherClient other;
        QVERIFY(hotkey->Register(0x7B, kModAlt));
        QVERIFY(!other.GrabKey(XK_F12, XCB_MOD_MASK_1));

        QVERIFY(other.GrabKey(XK_F11, XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_SHIFT));
        QVERIFY(!hotkey->Register(0x7A, kModCtrl | kModShift));
        // The refused Register gave up Alt+F12 all the same.
        QVERIFY(other.GrabKey(XK_F12, XCB_MOD_MASK_1));
        xcb_ungrab_key(other.Connection(), other.Keycode(XK_F11), other.Root(),
                       XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_SHIFT);
        other.Sync();
        QVERIFY(hotkey->Register(0x7A, kModCtrl | kModShift));

        QVERIFY(!hotkey->Register(0xFF, kModAlt)); // no such key
        QVERIFY(!hotkey->Register(0x7B, 16));      // no such modifier
    }

    // The test's connection is the window manager here: it keeps _NET_ACTIVE_WINDOW and
    // receives the activation requests.
    void activeWindowAndActivation() {
        TOtherClient manager;
        const xcb_window_t first = manager.CreateWindow();
        const xcb_window_t second = manager.CreateWindow();
        const xcb_window_t gone = manager.CreateWindow();
        const std::uint32_t redirect[] = {XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT};
        QVERIFY(manager.Check(xcb_change_window_attributes_checked(
            manager.Connection(), manager.Root(), XCB_CW_EVENT_MASK, redirect)));
        const xcb_atom_t active = manager.Atom("_NET_ACTIVE_WINDOW");

        auto desktop = CreateDesktopWindows();
        QCOMPARE(desktop->ForegroundWindow(), TWindowId(0));
        xcb_change_property(manager.Connection(), XCB_PROP_MODE_REPLACE, manager.Root(), active,
                            XCB_ATOM_WINDOW, 32, 1, &first);
        manager.Sync();
        QCOMPARE(desktop->ForegroundWindow(), TWindowId(first));
        QCOMPARE(desktop->GetFocusedForeignWindow(), TWindowId(first));

        xcb_destroy_window(manager.Connection(), gone);
        manager.Sync();
        desktop->Activate(gone); // closed meanwhile: no request
        desktop->Activate(second);
        auto* event =
            reinterpret_cast<xcb_client_message_event_t*>(manager.WaitFor(XCB_CLIENT_MESSAGE));
        QVERIFY(event != nullptr);
        const xcb_client_message_event_t message = *event;
        std::free(event);
        QCOMPARE(message.window, second);
        QCOMPARE(message.type, active);
        QCOMPARE(message.format, std::uint8_t(32));
        QCOMPARE(message.data.data32[0], 2u);
    }

    void copyKeysGoToFocusedWindow() {
        TOtherClient application;
        const xcb_window_t window =
            application.CreateWindow(XCB_EVENT_MASK_KEY_PRESS | XCB_EVENT_MASK_KEY_RELEASE |
                                     XCB_EVENT_MASK_STRUCTURE_NOTIFY);
        xcb_map_window(application.Connection(), window);
        xcb_flush(application.Connection());
        std::free(application.WaitFor(XCB_MAP_NOTIFY));
        QVERIFY(application.Check(xcb_set_input_focus_checked(
            application.Connection(), XCB_INPUT_FOCUS_PARENT, window, XCB_CURRENT_TIME)));

        auto desktop = CreateDesktopWindows();
        desktop->PostCopyRequest(window); // nothing on X11
        desktop->SendCopyKeys(20);

        const xcb_keycode_t control = application.Keycode(XK_Control_L);
        const xcb_keycode_t insert = application.Keycode(XK_Insert);
        struct TKey {
            std::uint8_t Type;
            xcb_keycode_t Code;
        };
        const TKey expected[] = {{XCB_KEY_PRESS, control},
                                 {XCB_KEY_PRESS, insert},
                                 {XCB_KEY_RELEASE, insert},
                                 {XCB_KEY_RELEASE, control}};
        for (const TKey& key : expected) {
            auto* event = reinterpret_cast<xcb_key_press_event_t*>(application.WaitFor(0));
            QVERIFY(event != nullptr);
            const xcb_key_press_event_t got = *event;
            std::free(event);
            QCOMPARE(got.response_type & ~0x80, int(key.Type));
            QCOMPARE(got.detail, key.Code);
            QCOMPARE(got.event, window);
            if (key.Code == insert)
                QVERIFY(got.state & XCB_MOD_MASK_CONTROL);
        }
    }

    // A window that ignores the copy keys, as many X11 applications do: the lookup takes
    // the primary selection and leaves the clipboard alone.
    void lookupTakesPrimarySelection() {
        TOtherClient manager;
        const xcb_window_t window = manager.CreateWindow();
        const xcb_atom_t active = manager.Atom("_NET_ACTIVE_WINDOW");
        xcb_change_property(manager.Connection(), XCB_PROP_MODE_REPLACE, manager.Root(), active,
                            XCB_ATOM_WINDOW, 32, 1, &window);
        manager.Sync();
        QClipboard* board = QGuiApplication::clipboard();
        board->setText(QStringLiteral("Hello world"));
        board->setText(QStringLiteral(" Haus "), QClipboard::Selection);

        auto desktop = CreateDesktopWindows();
        TClipboard clipboard(board);
        THotkeyLookup lookup(*desktop, clipboard, 0, 10, 50);
        QString word = QStringLiteral("(not brought up)");
        lookup.BringUp = [&](const QString& found) { word = found; };
        QVERIFY(lookup.Run());
        QTRY_VERIFY_WITH_TIMEOUT(!lookup.Running(), 5000);
        QCOMPARE(word, QStringLiteral("Haus"));
        QCOMPARE(lookup.ForeignWindow(), TWindowId(window));
        QCOMPARE(board->text(), QStringLiteral("Hello world"));
    }

    void autostartEntry() {
        QTemporaryDir config;
        qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
        const QString folder = config.filePath(QStringLiteral("autostart"));
        const QString file = QDir(folder).filePath(QStringLiteral("quillet-dictionary.desktop"));
        auto autorun = CreateAutorun();
        const std::string name = "Quillet-Dictionary";

        QVERIFY(!autorun->AutorunEntryExists(name));
        QVERIFY(autorun->SetAutorunEntry(name, "/opt/Quillet Dictionary/quillet-dictionary", "/min",
                                         true));
        QVERIFY(autorun->AutorunEntryExists(name));
        QString text = readFile(file);
        QVERIFY(text.startsWith(QStringLiteral("[Desktop Entry]\n")));
        QVERIFY(text.contains(QStringLiteral("\nType=Application\n")));
        QVERIFY(text.contains(
            QStringLiteral("\nExec=\"/opt/Quillet Dictionary/quillet-dictionary\" /min\n")));
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden),
                 QStringList{QStringLiteral("quillet-dictionary.desktop")});

        QVERIFY(autorun->SetAutorunEntry(name, "/usr/bin/quillet-dictionary", "/min", true));
        QVERIFY(
            readFile(file).contains(QStringLiteral("\nExec=/usr/bin/quillet-dictionary /min\n")));
        // Quoted, with the characters special inside quotes escaped, then the string
        // escapes of the file on top; "%" doubled.
        QVERIFY(autorun->SetAutorunEntry(name, "/opt/a\"b$c\\d%e", "/min", true));
        QVERIFY2(readFile(file).contains(
                     QStringLiteral("Exec=\"/opt/a\\\\\"b\\\\$c\\\\\\\\d%%e\" /min")),
                 qPrintable(readFile(file)));

        QVERIFY(autorun->SetAutorunEntry(name, "/usr/bin/quillet-dictionary", "/min", false));
        QVERIFY(!QFile::exists(file));
        QVERIFY(!autorun->AutorunEntryExists(name));
        QVERIFY(autorun->SetAutorunEntry(name, "/usr/bin/quillet-dictionary", "/min", false));

        // Switched off in the session's settings.
        QFile hidden(file);
        QVERIFY(hidden.open(QIODevice::WriteOnly));
        hidden.write("[Desktop Entry]\nType=Application\nExec=x\nHidden=true\n");
        hidden.close();
        QVERIFY(!autorun->AutorunEntryExists(name));

        // No folder can be made where a file is in the way.
        const QString blocked = config.filePath(QStringLiteral("blocked"));
        QFile(blocked).open(QIODevice::WriteOnly);
        auto blockedAutorun = CreateAutorun(blocked.toStdString());
        QVERIFY(
            !blockedAutorun->SetAutorunEntry(name, "/usr/bin/quillet-dictionary", "/min", true));
        QVERIFY(!autorun->SetAutorunEntry("../x", "/usr/bin/quillet-dictionary", "/min", true));
        qunsetenv("XDG_CONFIG_HOME");
    }

private:
    bool FHaveX;
};

int main(int argc, char** argv) {
    const pid_t xvfb = startXvfb();
    qputenv("QT_QPA_PLATFORM", xvfb > 0 ? "xcb" : "offscreen");
    int result;
    {
        QApplication app(argc, argv);
        TestX11Desktop test(xvfb > 0);
        result = QTest::qExec(&test, argc, argv);
    }
    if (xvfb > 0) {
        kill(xvfb, SIGTERM);
        waitpid(xvfb, nullptr, 0);
    }
    return result;
}

#include "test_x11desktop.moc"
