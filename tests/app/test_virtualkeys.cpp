// SPDX-License-Identifier: GPL-2.0-or-later
#include "x11/VirtualKeysX11.h"

#include <QtTest>
#include <X11/keysym.h>

using namespace quillet;

class TestVirtualKeys : public QObject {
    Q_OBJECT

private slots:
    void everyKnownCodeComesBack() {
        int known = 0;
        for (int code = 1; code < 0x100; ++code) {
            const std::uint32_t keysym = KeysymFromVirtualKey(static_cast<std::uint16_t>(code));
            if (keysym == 0)
                continue;
            ++known;
            QCOMPARE(int(VirtualKeyFromKeysym(keysym)), code);
        }
        // Letters, digits, F1-F24, the numpad and the rest of a standard keyboard.
        QVERIFY2(known >= 26 + 10 + 24 + 16 + 30, qPrintable(QString::number(known)));
    }

    void runsOfKeys() {
        QCOMPARE(KeysymFromVirtualKey(0x70), std::uint32_t(XK_F1));
        QCOMPARE(KeysymFromVirtualKey(0x7B), std::uint32_t(XK_F12));
        QCOMPARE(KeysymFromVirtualKey(0x87), std::uint32_t(XK_F24));
        QCOMPARE(KeysymFromVirtualKey('A'), std::uint32_t(XK_a));
        QCOMPARE(KeysymFromVirtualKey('Z'), std::uint32_t(XK_z));
        QCOMPARE(VirtualKeyFromKeysym(XK_Q), std::uint16_t('Q'));
        QCOMPARE(KeysymFromVirtualKey('0'), std::uint32_t(XK_0));
        QCOMPARE(KeysymFromVirtualKey('9'), std::uint32_t(XK_9));
        QCOMPARE(KeysymFromVirtualKey(0x60), std::uint32_t(XK_KP_0));
        QCOMPARE(KeysymFromVirtualKey(0x69), std::uint32_t(XK_KP_9));
    }

    void namedKeys() {
        QCOMPARE(KeysymFromVirtualKey(0x2D), std::uint32_t(XK_Insert));
        QCOMPARE(KeysymFromVirtualKey(0x11), std::uint32_t(XK_Control_L));
        QCOMPARE(KeysymFromVirtualKey(0x21), std::uint32_t(XK_Page_Up));
        QCOMPARE(KeysymFromVirtualKey(0x22), std::uint32_t(XK_Page_Down));
        QCOMPARE(KeysymFromVirtualKey(0x13), std::uint32_t(XK_Pause));
        QCOMPARE(KeysymFromVirtualKey(0xBD), std::uint32_t(XK_minus));
        QCOMPARE(VirtualKeyFromKeysym(XK_Control_R), std::uint16_t(0x11));
        QCOMPARE(VirtualKeyFromKeysym(XK_KP_Enter), std::uint16_t(0x0D));
    }

    void unknownRefused() {
        QCOMPARE(KeysymFromVirtualKey(0), 0u);
        QCOMPARE(KeysymFromVirtualKey(0x07), 0u); // unassigned
        QCOMPARE(KeysymFromVirtualKey(0x88), 0u); // past F24
        QCOMPARE(KeysymFromVirtualKey(0xFF), 0u);
        QCOMPARE(KeysymFromVirtualKey(0x1234), 0u);
        QCOMPARE(VirtualKeyFromKeysym(0), std::uint16_t(0));
        QCOMPARE(VirtualKeyFromKeysym(XK_F25), std::uint16_t(0));
        QCOMPARE(VirtualKeyFromKeysym(XK_adiaeresis), std::uint16_t(0));
    }
};

QTEST_APPLESS_MAIN(TestVirtualKeys)

#include "test_virtualkeys.moc"
