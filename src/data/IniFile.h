// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "Status.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// An INI file with the behaviour of the Windows profile functions that the program
// relies on: sections and keys match without regard to case, a missing file, section or
// key gives the default, values stay in file order and everything the class does not
// understand (comments, blank lines, other sections) is kept as it is. Every write goes
// to the disk at once, through a temporary file that replaces the old one only when
// complete.
//
// Values are bytes: .ini files are Windows-1252, except user text in options.ini, which
// is UTF-8; callers convert (FromAnsi/ToAnsi, QString::fromUtf8/toUtf8).
//
// Thread safety: none; one owner thread.
namespace quillet {

class TIniFile {
public:
    // Reads the file if it exists; a missing or unreadable file reads as empty.
    explicit TIniFile(QString path);

    const QString& FileName() const { return FPath; }

    // The value with surrounding blanks removed, and one pair of enclosing quotes.
    QByteArray ReadString(QByteArrayView section, QByteArrayView key,
                          QByteArrayView defaultValue = {}) const;
    // Decimal (optionally signed) or hexadecimal ("0x", "$") integer; anything else, or a
    // value out of range, gives the default.
    int ReadInteger(QByteArrayView section, QByteArrayView key, int defaultValue) const;
    bool ValueExists(QByteArrayView section, QByteArrayView key) const;

    QList<QByteArray> SectionNames() const;
    QList<QByteArray> KeyNames(QByteArrayView section) const;

    // Sets the value (adding the key, and the section, when missing) and writes the file.
    // A section, key or value holding a CR or LF would break the file's structure (a
    // pasted "[x]" line would become a section): refused with an error, nothing written.
    TStatus WriteString(QByteArrayView section, QByteArrayView key, QByteArrayView value);
    TStatus WriteInteger(QByteArrayView section, QByteArrayView key, int value);

private:
    int FindSection(QByteArrayView section) const; // line of the header, or -1
    int SectionEnd(int headerLine) const;          // first line after the section
    int FindKey(int headerLine, QByteArrayView key) const;
    TStatus Flush() const;

    QString FPath;
    QList<QByteArray> FLines; // the file's lines as read; parsed on demand
    QByteArray FLineEnd = "\r\n";
};

} // namespace quillet
