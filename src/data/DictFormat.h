// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "FileIO.h"
#include "platform/FileSystem.h"
#include "Status.h"

#include <QByteArray>
#include <QDate>
#include <QFile>
#include <QString>
#include <QStringList>
#include <vector>

// The dictionary file set of one base name, lying in the dictionary folder:
//   <base>.tdb  184-byte header, then the entries           (required)
//   <base>.tx1  headword index of language 1 (TWordList)     (required)
//   <base>.tx2  headword index of language 2                 (required)
//   <base>.ini  meta data, section "meta", Windows-1252      (optional)
//   <base>.ipa  pronunciations (THashList)                   (optional)
//   <base>.sug  the suggestions' index (SuggestIndex.h)      (optional)
//   <base>.tr1  record table of the .tx1 (WordList.h)        (optional)
//   <base>.tr2  record table of the .tx2                     (optional)
//
// .tdb header (little-endian; strings are a length byte plus Windows-1252 characters
// inside a field of fixed size; bytes past the stored length mean nothing):
//     0  51  title, up to 50 characters
//    51  11  encoding name, "UTF-8"
//    62  51  language 1 name        113  3  language 1 code (2 characters)
//   116  51  language 2 name        167  3  language 2 code
//   170   2  gap
//   172   4  format version, 66560 (0x00010400)
//   176   8  creation date, IEEE double, whole days since 30 December 1899
// Entries follow from offset 184 without gaps, each a 16-bit signed length n (0..32767)
// and n bytes of UTF-8 "language 1 side :: language 2 side". An entry is addressed by
// the offset of its length field. Bytes after the last entry belong to no entry.
//
// Pure functions and plain records; any thread.
namespace quillet {

inline constexpr int kHeaderSize = 184;
inline constexpr int kFormatVersion = 66560;
inline constexpr int kMaxEntryBytes = 32767;
inline constexpr int kMaxTitleChars = 50;
inline const QString kEntrySeparator = QStringLiteral(" :: ");

struct TLanguage {
    QString Name;      // display name as stored ("Deutsch"), translated before display
    QString Code;      // at most 2 characters ("de")
    QString IndexFile; // <base>.tx1 or <base>.tx2, without folder
    QString FlagFile;  // <base>_1.bmp or <base>_2.bmp, without folder
};

struct TMetaData {
    QString Name = QStringLiteral("Dictionary");
    QString Version, Date, Editor, License, Url;
    QStringList Languages;
};

struct TDictionaryFile {
    QString Title;
    QString BaseName;
    QString Folder; // where the set lies, with a trailing separator
};
using TDictionaryArray = std::vector<TDictionaryFile>;

struct THeaderInfo {
    QString Title;
    QString Encoding;
    QString LanguageName[2];
    QString LanguageCode[2];
    qint32 Version = 0;
    double Date = 0;
};

// The 184 header bytes the import writes: the title cut to 50 characters, "UTF-8",
// Deutsch/de and Englisch/en, version 66560, the given day; unused bytes are zero.
QByteArray BuildHeader(const QString& title, QDate date);
// REQUIRES: header.size() >= kHeaderSize. Length bytes larger than their field are
// taken as the field's size.
THeaderInfo ParseHeader(QByteArrayView header);
// Days since 30 December 1899.
double DayNumber(QDate date);

// Reads the "meta" section of an .ini file; a missing file or key leaves the default.
TMetaData ReadMetaData(const QString& iniPath);

// The base name of a file name: the part before its first ".".
QString BaseNameOf(const QString& fileName);

// Reads the entry at `offset` of an open .tdb and splits it at " :: " into the two
// language sides. A reference into the header, past the end of the file, an entry that
// runs past it, or a text without a second side is reported as a damaged file. The file
// stays open (mapped), so a set replaced under its name meanwhile is still read as it was
// opened; an entry is read from memory, without a system call.
class TEntryReader {
public:
    // Fails with "File <name> not found" when the file is missing (the name as given,
    // so callers choose whether it carries the folder), and refuses anything but a
    // regular file.
    TStatus Open(const QString& path, const QString& nameForMessages);
    TStatus Read(quint32 offset, QString& side1, QString& side2);
    // Entries read by a system call each instead of through the mapping: for an owner
    // whose lookups are few or far apart, to which a page fault per row costs more (the
    // system maps the 64 KiB around each page it brings in) and whose resident memory
    // should not keep the pages. The same bytes and answers either way.
    void SetReadByCall(bool byCall) { FReadByCall = byCall; }
    bool IsOpen() const { return FFile.IsOpen(); }
    void Close() { FFile.Close(); }
    // Lets the pages read so far leave the resident memory (see TMappedFile).
    void DropResidentPages() { FFile.DropResidentPages(); }
    // Brings the whole file into the resident memory now (see TMappedFile).
    void PopulateResidentPages() { FFile.PopulateResidentPages(); }
    qint64 Size() const { return FFile.Size(); }
    // The first bytes of the file (the header), at most `count`.
    QByteArray ReadStart(qint64 count);
    // Which file is open (to tell whether the name now names another one).
    TFileIdentity Identity() { return IdentityOf(FFile.File()); }

private:
    // The entry's bytes at `offset` (its length and text) read into FBuffer, or null when
    // the file now ends before them.
    const char* ReadEntryBytes(quint32 offset, qint64 available);

    TMappedFile FFile;
    QString FName;
    bool FReadByCall = false;
    QByteArray FBuffer;
};

} // namespace quillet
