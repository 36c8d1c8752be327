// SPDX-License-Identifier: GPL-2.0-or-later
#include "DictFormat.h"

#include "Ansi.h"
#include "FileIO.h"
#include "IniFile.h"
#include "TextTools.h"

#include <cstring>
#include <QUtf8StringView>

namespace quillet {
namespace {

constexpr int kTitleField = 0, kTitleSize = 51;
constexpr int kEncodingField = 51, kEncodingSize = 11;
constexpr int kLanguageBlock = 62, kLanguageBlockSize = 54;
constexpr int kLanguageNameSize = 51, kLanguageCodeSize = 3;
constexpr int kVersionField = 172, kDateField = 176;

void putString(QByteArray& header, int field, int fieldSize, QStringView text) {
    const QByteArray bytes = ToAnsi(text).left(fieldSize - 1);
    header[field] = char(bytes.size());
    std::memcpy(header.data() + field + 1, bytes.constData(), size_t(bytes.size()));
}

QString getString(QByteArrayView header, int field, int fieldSize) {
    const int len = qMin<int>(uchar(header[field]), fieldSize - 1);
    return FromAnsi(header.sliced(field + 1, len));
}

// The first " :: " in `bytes` at or after `from`, or -1. QByteArrayView::indexOf hashes
// its way through every byte, which was a third of reading a long entry; a ':' is rare in
// entries, so memchr finds the candidates.
qsizetype findSeparator(QByteArrayView bytes, qsizetype from) {
    const char* data = bytes.data();
    const qsizetype size = bytes.size();
    // The ':' after the blank of a separator beginning at s lies at s + 1, at most size - 3.
    for (qsizetype i = from + 1; i <= size - 3; ++i) {
        const void* hit = std::memchr(data + i, ':', size_t(size - 2 - i));
        if (!hit)
            return -1;
        i = static_cast<const char*>(hit) - data;
        if (data[i - 1] == ' ' && data[i + 1] == ':' && data[i + 2] == ' ')
            return i - 1;
    }
    return -1;
}

} // namespace

double DayNumber(QDate date) {
    return double(date.toJulianDay() - QDate(1899, 12, 30).toJulianDay());
}

QByteArray BuildHeader(const QString& title, QDate date) {
    QByteArray header(kHeaderSize, '\0');
    putString(header, kTitleField, kTitleSize, QStringView(title).left(kMaxTitleChars));
    putString(header, kEncodingField, kEncodingSize, u"UTF-8");
    const char16_t* names[2] = {u"Deutsch", u"Englisch"};
    const char16_t* codes[2] = {u"de", u"en"};
    for (int i = 0; i < 2; ++i) {
        const int block = kLanguageBlock + kLanguageBlockSize * i;
        putString(header, block, kLanguageNameSize, names[i]);
        putString(header, block + kLanguageNameSize, kLanguageCodeSize, codes[i]);
    }
    const qint32 version = kFormatVersion;
    const double day = DayNumber(date);
    for (int i = 0; i < 4; ++i)
        header[kVersionField + i] = char((quint32(version) >> (8 * i)) & 0xFF);
    quint64 bits;
    std::memcpy(&bits, &day, sizeof bits);
    for (int i = 0; i < 8; ++i)
        header[kDateField + i] = char((bits >> (8 * i)) & 0xFF);
    return header;
}

THeaderInfo ParseHeader(QByteArrayView header) {
    THeaderInfo info;
    info.Title = getString(header, kTitleField, kTitleSize);
    info.Encoding = getString(header, kEncodingField, kEncodingSize);
    for (int i = 0; i < 2; ++i) {
        const int block = kLanguageBlock + kLanguageBlockSize * i;
        info.LanguageName[i] = getString(header, block, kLanguageNameSize);
        info.LanguageCode[i] = getString(header, block + kLanguageNameSize, kLanguageCodeSize);
    }
    info.Version = qint32(ReadU32(header.data() + kVersionField));
    quint64 bits = quint64(ReadU32(header.data() + kDateField)) |
                   quint64(ReadU32(header.data() + kDateField + 4)) << 32;
    std::memcpy(&info.Date, &bits, sizeof bits);
    return info;
}

TMetaData ReadMetaData(const QString& iniPath) {
    TMetaData meta;
    const TIniSnapshot ini(iniPath); // one reading for all its keys
    auto read = [&](const char* key, const QString& fallback) {
        return ini.ValueExists("meta", key) ? FromAnsi(ini.ReadString("meta", key)) : fallback;
    };
    meta.Name = read("name", meta.Name);
    meta.Version = read("version", {});
    meta.Date = read("date", {});
    meta.Editor = read("editor", {});
    meta.License = read("license", {});
    meta.Url = read("url", {});
    for (const QByteArray& language : SplitAnsi(ini.ReadString("meta", "languages"), ",", true))
        meta.Languages.append(FromAnsi(language));
    return meta;
}

QString BaseNameOf(const QString& fileName) {
    const qsizetype dot = fileName.indexOf(u'.');
    return dot < 0 ? fileName : fileName.left(dot);
}

TStatus TEntryReader::Open(const QString& path, const QString& nameForMessages) {
    FName = nameForMessages;
    return FFile.Open(path, nameForMessages);
}

QByteArray TEntryReader::ReadStart(qint64 count) {
    return QByteArray(FFile.Data(), qsizetype(qMin(count, FFile.Size())));
}

const char* TEntryReader::ReadEntryBytes(quint32 offset, qint64 available) {
    // One read for the length and the text of nearly every entry; a second for a longer.
    constexpr qint64 kFirstRead = 512;
    FBuffer.resize(qsizetype(qMin(available, kFirstRead)));
    const qint64 got = ReadFileAt(FFile.File(), offset, FBuffer.data(), FBuffer.size());
    if (got < 2)
        return nullptr;
    const qint64 whole = 2 + qint16(ReadU16(FBuffer.constData()));
    if (whole > got && whole <= available) {
        FBuffer.resize(qsizetype(whole));
        if (ReadFileAt(FFile.File(), offset, FBuffer.data(), whole) != whole)
            return nullptr;
    }
    return FBuffer.constData();
}

TStatus TEntryReader::Read(quint32 offset, QString& side1, QString& side2) {
    auto damaged = [&](const char* why) {
        return TStatus::Error(QStringLiteral("File %1 is damaged: the entry at offset %2 %3")
                                  .arg(FName)
                                  .arg(offset)
                                  .arg(QLatin1StringView(why)));
    };
    if (offset < quint32(kHeaderSize))
        return damaged("lies inside the header");
    const qint64 available = FFile.Size() - qint64(offset);
    if (available < 2)
        return damaged("lies past the end of the file");
    const char* entry = FReadByCall ? ReadEntryBytes(offset, available) : FFile.Data() + offset;
    if (!entry)
        return damaged("runs past the end of the file");
    const qint16 length = qint16(ReadU16(entry));
    if (length < 0)
        return damaged("has a negative length");
    if (length > available - 2)
        return damaged("runs past the end of the file");
    const QByteArrayView bytes(entry + 2, length);
    // The text splits at " :: "; a third side, if any, is ignored. The separator is ASCII,
    // so in well-formed UTF-8 it lies at the same place in the bytes as in the text, and
    // each side is decoded on its own. Not a right side that begins with a byte order
    // mark: decoding it on its own would drop the mark, which the whole text keeps.
    const QByteArrayView separatorBytes(" :: ");
    const qsizetype byteSeparator = findSeparator(bytes, 0);
    if (byteSeparator >= 0 && QUtf8StringView(bytes).isValidUtf8() &&
        !bytes.sliced(byteSeparator + separatorBytes.size()).startsWith("\xEF\xBB\xBF")) {
        const QByteArrayView right = bytes.sliced(byteSeparator + separatorBytes.size());
        const qsizetype rightEnd = findSeparator(right, 0);
        if (rightEnd < 0 && right.isEmpty())
            return damaged("has no \" :: \" between its two sides");
        AssignUtf8(side1, bytes.first(byteSeparator));
        AssignUtf8(side2, rightEnd < 0 ? right : right.first(rightEnd));
        return TStatus::Ok();
    }
    const QString text = QString::fromUtf8(bytes);
    const qsizetype separator = text.indexOf(kEntrySeparator);
    const qsizetype rightStart = separator + kEntrySeparator.size();
    const qsizetype rightEnd = separator < 0 ? -1 : text.indexOf(kEntrySeparator, rightStart);
    if (separator < 0 || (rightEnd < 0 && rightStart == text.size()))
        return damaged("has no \" :: \" between its two sides");
    side1 = text.left(separator);
    side2 = text.mid(rightStart, rightEnd < 0 ? -1 : rightEnd - rightStart);
    return TStatus::Ok();
}

} // namespace quillet
