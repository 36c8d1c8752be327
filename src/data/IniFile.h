// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "Status.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <memory>

// An INI file with the behaviour of the Windows profile functions that the program
// relies on: sections and keys match without regard to case, a missing file, section or
// key gives the default, values stay in file order and everything the class does not
// understand (comments, blank lines, other sections) is kept as it is.
//
// The object holds only the file's name, never a copy of its content: the program stays
// resident for days, and the user may edit options.ini meanwhile (keys such as Flat_Skin
// or Update_Service exist only that way). So every read sees the file as it is on disk at
// the call, and every write merges its one value into the file as it is on disk at that
// moment: read, change or add one line, write back, through a temporary file that replaces
// the old one only when complete. The files are a few hundred bytes; reading them at each
// call costs less than it would take to tell whether they changed.
//
// Values are bytes: .ini files are Windows-1252, except user text in options.ini, which
// is UTF-8; callers convert (FromAnsi/ToAnsi, QString::fromUtf8/toUtf8).
//
// Thread safety: none; one owner thread.
namespace quillet {

class TIniFile {
public:
    // Names the file; nothing is read yet.
    explicit TIniFile(QString path);

    const QString& FileName() const { return FPath; }

    // Reads treat a missing or unreadable file as empty.
    // The value with surrounding blanks removed, and one pair of enclosing quotes.
    QByteArray ReadString(QByteArrayView section, QByteArrayView key,
                          QByteArrayView defaultValue = {}) const;
    // Decimal (optionally signed) or hexadecimal ("0x", "$") integer; anything else, or a
    // value out of range, gives the default.
    int ReadInteger(QByteArrayView section, QByteArrayView key, int defaultValue) const;
    bool ValueExists(QByteArrayView section, QByteArrayView key) const;

    QList<QByteArray> SectionNames() const;
    QList<QByteArray> KeyNames(QByteArrayView section) const;

    // Sets the value (adding the key, and the section, when missing) and writes the file;
    // a missing file is created. A file that exists but cannot be read is not replaced:
    // the error is returned and nothing written, so that the user's settings survive.
    // A section, key or value holding a CR or LF would break the file's structure (a
    // pasted "[x]" line would become a section): refused with an error, nothing written.
    TStatus WriteString(QByteArrayView section, QByteArrayView key, QByteArrayView value);
    TStatus WriteInteger(QByteArrayView section, QByteArrayView key, int value);

private:
    QString FPath;
};

struct TIniText;

// The reads of TIniFile, answered from one reading of the file made at construction: for
// a caller that reads several keys at one moment (a dictionary's metadata), which would
// otherwise read the file once a key. TIniFile's own reads are each such a reading.
//
// Thread safety: none; one owner thread.
class TIniSnapshot {
public:
    explicit TIniSnapshot(const QString& path);
    ~TIniSnapshot();
    TIniSnapshot(const TIniSnapshot&) = delete;
    TIniSnapshot& operator=(const TIniSnapshot&) = delete;

    QByteArray ReadString(QByteArrayView section, QByteArrayView key,
                          QByteArrayView defaultValue = {}) const;
    int ReadInteger(QByteArrayView section, QByteArrayView key, int defaultValue) const;
    bool ValueExists(QByteArrayView section, QByteArrayView key) const;
    QList<QByteArray> SectionNames() const;
    QList<QByteArray> KeyNames(QByteArrayView section) const;

private:
    std::unique_ptr<const TIniText> FText;
};

} // namespace quillet
