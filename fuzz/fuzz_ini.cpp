// SPDX-License-Identifier: GPL-2.0-or-later
// Fuzzes the INI file reader and writer: any bytes as an .ini file, read whole, one value
// written, and the file read again: the value must read back and every other key as before.
#include "FuzzSupport.h"

#include "Ansi.h"
#include "IniFile.h"
#include "TextTools.h"

#include <fuzzer/FuzzedDataProvider.h>
#include <map>

using namespace quillet;

namespace {

// Section and key names match without regard to case, as the Windows profile functions do.
bool sameName(QByteArrayView a, QByteArrayView b) {
    return a.size() == b.size() && FromAnsi(a).compare(FromAnsi(b), Qt::CaseInsensitive) == 0;
}

bool hasLineEnd(QByteArrayView text) {
    return text.contains('\r') || text.contains('\n');
}

// Names and values that a file line holds as they are: no blanks around them to be trimmed,
// a section name without "]", a key that reads neither as a comment nor as a section
// header, a value without enclosing quotes to be taken off.
bool plainSection(QByteArrayView name) {
    return TrimAnsi(name) == name && !name.contains(']') && !hasLineEnd(name);
}
bool plainKey(QByteArrayView key) {
    return TrimAnsi(key) == key && !key.contains('=') && !hasLineEnd(key) && !key.startsWith(';') &&
           !key.startsWith('#') && !key.startsWith('[');
}
bool plainValue(QByteArrayView value) {
    const bool quoted = value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
                        value.back() == value.front();
    return TrimAnsi(value) == value && !quoted;
}

using TValues = std::map<std::pair<QByteArray, QByteArray>, QByteArray>;

TValues readAll(const TIniFile& ini) {
    TValues values;
    for (const QByteArray& section : ini.SectionNames()) {
        for (const QByteArray& key : ini.KeyNames(section))
            values[{section, key}] = ini.ReadString(section, key);
    }
    return values;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::Folder();
    return 0;
}

// The input: section, key and value to write, each ended by a backslash and one more byte
// ("\\" stands for one backslash), then the file.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    const QByteArray section = QByteArray::fromStdString(input.ConsumeRandomLengthString(40));
    const QByteArray key = QByteArray::fromStdString(input.ConsumeRandomLengthString(40));
    const QByteArray value = QByteArray::fromStdString(input.ConsumeRandomLengthString(80));
    const QString path =
        fuzz::WriteInput(QStringLiteral("options.ini"),
                         QByteArray::fromStdString(input.ConsumeRemainingBytesAsString()));

    TIniFile ini(path);
    const TValues before = readAll(ini);
    for (const auto& [name, text] : before)
        FUZZ_CHECK(ini.ValueExists(name.first, name.second));
    const TStatus written = ini.WriteString(section, key, value);
    if (!plainSection(section) || !plainKey(key) || !plainValue(value))
        return 0;
    // A value with a line end cannot be one line of the file: refusing it is right, and
    // anything else must read back as written.
    if (hasLineEnd(value) && !written.ok())
        return 0;
    FUZZ_CHECK(written.ok());

    const TIniFile again(path);
    FUZZ_CHECK(again.ReadString(section, key) == value);
    FUZZ_CHECK(ini.ReadString(section, key) == value);
    for (const auto& [name, text] : before) {
        const bool target = sameName(name.first, section) && sameName(name.second, key);
        FUZZ_CHECK(again.ReadString(name.first, name.second) == (target ? value : text));
    }
    return 0;
}
