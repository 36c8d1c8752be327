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

TIniFile::TIniFile(QString path) : FPath(std::move(path)) {
    QFile file(FPath);
    if (!file.open(QIODevice::ReadOnly))
        return;
    QByteArray bytes = file.readAll();
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    if (!bytes.contains("\r\n") && bytes.contains('\n'))
        FLineEnd = "\n";
    bytes.replace("\r\n", "\n");
    bytes.replace('\r', '\n');
    FLines = bytes.split('\n');
    if (!FLines.isEmpty() && FLines.last().isEmpty())
        FLines.removeLast();
}

int TIniFile::FindSection(QByteArrayView section) const {
    for (int i = 0; i < FLines.size(); ++i) {
        const QByteArray name = sectionName(FLines[i]);
        if (!name.isNull() && sameName(name, section))
            return i;
    }
    return -1;
}

int TIniFile::SectionEnd(int headerLine) const {
    int i = headerLine + 1;
    while (i < FLines.size() && sectionName(FLines[i]).isNull())
        ++i;
    return i;
}

int TIniFile::FindKey(int headerLine, QByteArrayView key) const {
    const int end = SectionEnd(headerLine);
    QByteArray k, v;
    for (int i = headerLine + 1; i < end; ++i) {
        if (keyValue(FLines[i], k, v) && sameName(k, key))
            return i;
    }
    return -1;
}

QByteArray TIniFile::ReadString(QByteArrayView section, QByteArrayView key,
                                QByteArrayView defaultValue) const {
    const int header = FindSection(section);
    const int line = header < 0 ? -1 : FindKey(header, key);
    if (line < 0)
        return defaultValue.toByteArray();
    QByteArray k, value;
    keyValue(FLines[line], k, value);
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
        value = value.mid(1, value.size() - 2);
    return value;
}

int TIniFile::ReadInteger(QByteArrayView section, QByteArrayView key, int defaultValue) const {
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

bool TIniFile::ValueExists(QByteArrayView section, QByteArrayView key) const {
    const int header = FindSection(section);
    return header >= 0 && FindKey(header, key) >= 0;
}

QList<QByteArray> TIniFile::SectionNames() const {
    QList<QByteArray> names;
    for (const QByteArray& line : FLines) {
        const QByteArray name = sectionName(line);
        if (!name.isNull())
            names.append(name);
    }
    return names;
}

QList<QByteArray> TIniFile::KeyNames(QByteArrayView section) const {
    QList<QByteArray> names;
    const int header = FindSection(section);
    if (header < 0)
        return names;
    const int end = SectionEnd(header);
    QByteArray k, v;
    for (int i = header + 1; i < end; ++i) {
        if (keyValue(FLines[i], k, v))
            names.append(k);
    }
    return names;
}

TStatus TIniFile::WriteString(QByteArrayView section, QByteArrayView key, QByteArrayView value) {
    if (hasLineBreak(section) || hasLineBreak(key) || hasLineBreak(value))
        return TStatus::Error("Cannot write " + FPath + ": a line break in " +
                              LineBreaksToBlanks(FromAnsi(section) + '/' + FromAnsi(key)));
    const QByteArray line = key.toByteArray() + '=' + value.toByteArray();
    const int header = FindSection(section);
    if (header < 0) {
        if (!FLines.isEmpty() && !TrimAnsi(FLines.last()).isEmpty())
            FLines.append(QByteArray());
        FLines.append('[' + section.toByteArray() + ']');
        FLines.append(line);
        return Flush();
    }
    if (const int existing = FindKey(header, key); existing >= 0) {
        FLines[existing] = line;
        return Flush();
    }
    // After the section's last non-blank line, so blank separators stay between sections.
    int at = SectionEnd(header);
    while (at > header + 1 && TrimAnsi(FLines[at - 1]).isEmpty())
        --at;
    FLines.insert(at, line);
    return Flush();
}

TStatus TIniFile::WriteInteger(QByteArrayView section, QByteArrayView key, int value) {
    return WriteString(section, key, QByteArray::number(value));
}

TStatus TIniFile::Flush() const {
    QByteArray bytes;
    for (const QByteArray& line : FLines) {
        bytes.append(line);
        bytes.append(FLineEnd);
    }
    return WriteWholeFile(FPath, bytes);
}

} // namespace quillet
