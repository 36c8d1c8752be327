// SPDX-License-Identifier: GPL-2.0-or-later
// The floor of a one-word lookup process (bench/peers.sh): a program that loads what
// quillet-cli loads before it reads a byte of a dictionary (Qt Core, and through it ICU
// and Qt's own dependencies), makes its application object and ends.
#include <QCoreApplication>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    return 0;
}
