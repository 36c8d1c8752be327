// SPDX-License-Identifier: GPL-2.0-or-later
#include "IniFile.h"

#include "Ansi.h"
#include "FileIO.h"
#include "TextTools.h"

#include <QFile>

namespace quillet {
namespace {

bool sameName(QByteArrayView a, QByteArrayView b) {
    return a.size() == b.size() && FromAnsi(a).compare(FromAnsi(b), Qt::CaseInsensitive) == 0;
}

// "[name]" -> name; anything else -> null.
QByteArray sectionName(QByteArrayView line) {
    const QByteArray t = TrimAnsi(line);
    if (t.size() < 2 || !t.startsWith('['))
        return {};
    const qsizetype close = t.indexOf(']');
    if (close < 0)
        return {};
    QByteArray name = TrimAnsi(QByteArrayView(t).sliced(1, close - 1));
    return name.isNull() ? QByteArray("") : name;
}

bool isComment(QByteArrayView line) {
    const QByteArray t = TrimAnsi(line);
    return t.startsWith(';') || t.startsWith('#');
}

// Splits "key=value"; false for lines without "=".
bool keyValue(QByteArrayView line, QByteArray& key, QByteArray& value) {
    const qsizetype eq = line.indexOf('=');
    if (eq < 0 || isComment(line))
        return false;
    key = TrimAnsi(line.first(eq));
    value = TrimAnsi(line.sliced(eq + 1));
    return true;
}

bool hasLineBreak(QByteArrayView text) {
    return text.contains('\r') || text.contains('\n');
}

} // namespace

// The file's lines as read at one moment, and the line end it uses.
struct TIniText {
    QList<QByteArray> Lines;
    QByteArray LineEnd = "\r\n";
    bool ByteOrderMark = false; // kept on writing, so that what follows reads the same

    void Parse(QByteArray bytes) {
        ByteOrderMark = bytes.startsWith("\xEF\xBB\xBF");
        if (ByteOrderMark)
            bytes.remove(0, 3);
        if (!bytes.contains("\r\n") && bytes.contains('\n'))
            LineEnd = "\n";
        bytes.replace("\r\n", "\n");
        bytes.replace('\r', '\n');
        Lines = bytes.split('\n');
        if (!Lines.isEmpty() && Lines.last().isEmpty())
            Lines.removeLast();
    }

    QByteArray Bytes() const {
        QByteArray bytes = ByteOrderMark ? QByteArray("\xEF\xBB\xBF") : QByteArray();
        for (const QByteArray& line : Lines) {
            bytes.append(line);
            bytes.append(LineEnd);
        }
        return bytes;
    }

    int FindSection(QByteArrayView section) const { // line of the header, or -1
        for (int i = 0; i < Lines.size(); ++i) {
            const QByteArray name = sectionName(Lines[i]);
            if (!name.isNull() && sameName(name, section))
                return i;
        }
        return -1;
    }

    int SectionEnd(int headerLine) const { // first line after the section
        int i = headerLine + 1;
        while (i < Lines.size() && sectionName(Lines[i]).isNull())
            ++i;
        return i;
    }

    int FindKey(QByteArrayView section, QByteArrayView key) const { // line, or -1
        const int header = FindSection(section);
        if (header < 0)
            return -1;
        const int end = SectionEnd(header);
        QByteArray k, v;
        for (int i = header + 1; i < end; ++i) {
            if (keyValue(Lines[i], k, v) && sameName(k, key))
                return i;
        }
        return -1;
    }
};

namespace {

// The file as it is now; a missing or unreadable one reads as empty.
TIniText readText(const QString& path) {
    TIniText text;
    QByteArray bytes;
    if (ReadWholeFile(path, bytes).ok())
        text.Parse(std::move(bytes));
    return text;
}

} // namespace

TIniFile::TIniFile(QString path) : FPath(std::move(path)) {}

TIniSnapshot::TIniSnapshot(const QString& path)
    : FText(std::make_unique<const TIniText>(readText(path))) {}

TIniSnapshot::~TIniSnapshot() = default;

QByteArray TIniSnapshot::ReadString(QByteArrayView section, QByteArrayView key,
                                    QByteArrayView defaultValue) const {
    const int line = FText->FindKey(section, key);
    if (line < 0)
        return defaultValue.toByteArray();
    QByteArray k, value;
    keyValue(FText->Lines[line], k, value);
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
        value = value.mid(1, value.size() - 2);
    return value;
}

int TIniSnapshot::ReadInteger(QByteArrayView section, QByteArrayView key, int defaultValue) const {
    const QByteArray text = ReadString(section, key);
    if (text.isEmpty())
        return defaultValue;
    bool ok = false;
    int value;
    if (text.startsWith('$'))
        value = text.mid(1).toInt(&ok, 16);
    else if (text.startsWith("0x") || text.startsWith("0X"))
        value = text.mid(2).toInt(&ok, 16);
    else
        value = text.toInt(&ok, 10);
    return ok ? value : defaultValue;
}

bool TIniSnapshot::ValueExists(QByteArrayView section, QByteArrayView key) const {
    return FText->FindKey(section, key) >= 0;
}

QList<QByteArray> TIniSnapshot::SectionNames() const {
    QList<QByteArray> names;
    for (const QByteArray& line : FText->Lines) {
        const QByteArray name = sectionName(line);
        if (!name.isNull())
            names.append(name);
    }
    return names;
}

QList<QByteArray> TIniSnapshot::KeyNames(QByteArrayView section) const {
    QList<QByteArray> names;
    const int header = FText->FindSection(section);
    if (header < 0)
        return names;
    const int end = FText->SectionEnd(header);
    QByteArray k, v;
    for (int i = header + 1; i < end; ++i) {
        if (keyValue(FText->Lines[i], k, v))
            names.append(k);
    }
    return names;
}

QByteArray TIniFile::ReadString(QByteArrayView section, QByteArrayView key,
                                QByteArrayView defaultValue) const {
    return TIniSnapshot(FPath).ReadString(section, key, defaultValue);
}

int TIniFile::ReadInteger(QByteArrayView section, QByteArrayView key, int defaultValue) const {
    return TIniSnapshot(FPath).ReadInteger(section, key, defaultValue);
}

bool TIniFile::ValueExists(QByteArrayView section, QByteArrayView key) const {
    return TIniSnapshot(FPath).ValueExists(section, key);
}

QList<QByteArray> TIniFile::SectionNames() const {
    return TIniSnapshot(FPath).SectionNames();
}

QList<QByteArray> TIniFile::KeyNames(QByteArrayView section) const {
    return TIniSnapshot(FPath).KeyNames(section);
}

TStatus TIniFile::WriteString(QByteArrayView section, QByteArrayView key, QByteArrayView value) {
    if (hasLineBreak(section) || hasLineBreak(key) || hasLineBreak(value))
        return TStatus::Error("Cannot write " + FPath + ": a line break in " +
                              LineBreaksToBlanks(FromAnsi(section) + '/' + FromAnsi(key)));
    // The file as it is now: the user may have edited it since the last call.
    TIniText text;
    if (QFile::exists(FPath)) {
        QByteArray bytes;
        if (TStatus s = ReadWholeFile(FPath, bytes); !s.ok())
            return s; // written over, it would lose everything else in it
        text.Parse(std::move(bytes));
    }
    const QByteArray before = text.Bytes();

    const QByteArray line = key.toByteArray() + '=' + value.toByteArray();
    if (const int header = text.FindSection(section); header < 0) {
        if (!text.Lines.isEmpty() && !TrimAnsi(text.Lines.last()).isEmpty())
            text.Lines.append(QByteArray());
        text.Lines.append('[' + section.toByteArray() + ']');
        text.Lines.append(line);
    } else if (const int existing = text.FindKey(section, key); existing >= 0) {
        text.Lines[existing] = line;
    } else {
        // After the section's last non-blank line, so blank separators stay between
        // sections.
        int at = text.SectionEnd(header);
        while (at > header + 1 && TrimAnsi(text.Lines[at - 1]).isEmpty())
            --at;
        text.Lines.insert(at, line);
    }
    const QByteArray after = text.Bytes();
    // The close writes some thirty keys, most of them unchanged: no new file for those.
    if (after == before && QFile::exists(FPath))
        return TStatus::Ok();
    return WriteWholeFile(FPath, after);
}

TStatus TIniFile::WriteInteger(QByteArrayView section, QByteArrayView key, int value) {
    return WriteString(section, key, QByteArray::number(value));
}

} // namespace quillet
