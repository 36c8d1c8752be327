// SPDX-License-Identifier: GPL-2.0-or-later
#include "LiteralImport.h"

#include "DictFormat.h"
#include "Import.h"
#include "LiteralList.h"
#include "TermExtract.h"
#include "TextTools.h"

#include <QDir>
#include <QFile>

namespace quillet::ref {
namespace {

// The source's lines, cut at CR LF, LF or CR; at most `maxLines` of them when >= 0.
QList<QByteArray> readLines(QByteArray bytes, int maxLines) {
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    QList<QByteArray> lines;
    QByteArray line;
    for (qsizetype i = 0; i < bytes.size() && lines.size() != maxLines; ++i) {
        const char c = bytes[i];
        if (c != '\r' && c != '\n') {
            line.append(c);
            continue;
        }
        if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
            ++i;
        lines.append(line);
        line.clear();
    }
    if (!line.isEmpty() && lines.size() != maxLines)
        lines.append(line);
    return lines;
}

} // namespace

TStatus LiteralImport(const QString& folder, const QString& base, const QString& sourcePath,
                      const QString& title, const QStringList& stopwordFolders, int maxLines) {
    QFile source(sourcePath);
    if (!source.open(QIODevice::ReadOnly))
        return TStatus::NotFound(sourcePath);
    const QList<QByteArray> lines = readLines(source.readAll(), maxLines);

    TTermClasses classes;
    TStopwords stopwords[2];
    const QString names[2] = {QStringLiteral("stopwords_DE.txt"),
                              QStringLiteral("stopwords_EN.txt")};
    for (int side = 0; side < 2; ++side) {
        for (const QString& stopwordFolder : stopwordFolders) {
            if (stopwords[side].Load(QDir(stopwordFolder).filePath(names[side]), classes))
                break;
        }
    }

    const QDir dir(folder);
    QFile tdb(dir.filePath(base + ".tdb"));
    TMetaData meta;
    meta.Name = title;
    if (!tdb.open(QIODevice::WriteOnly | QIODevice::Truncate) || !WriteHeader(tdb, meta))
        return TStatus::Error("Cannot write " + tdb.fileName());

    TLiteralList lists[2];
    for (const QByteArray& line : lines) {
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        QString text = QString::fromUtf8(line);
        for (qsizetype at = text.indexOf(u"..."); at >= 0; at = text.indexOf(u"..."))
            text.replace(at, 3, QChar(0x2026));
        const QByteArray utf8 = text.toUtf8();
        if (utf8.size() > kMaxEntryBytes)
            continue;
        const quint32 offset = quint32(WriteEntry(utf8, tdb));
        const QStringList sides = SplitText(text, kEntrySeparator, true);
        if (sides.size() != 2)
            continue;
        for (int side = 0; side < 2; ++side) {
            TLiteralList& list = lists[side];
            for (const TTermRec& term : ExtractTerms(sides[side], stopwords[side], classes)) {
                if (list.IndexOf(term.Term) >= 0)
                    list.CurrentData().push_back({offset, term.Rank});
                else
                    list.AddSortedWithData(term.Term, {{offset, term.Rank}});
            }
        }
    }
    tdb.close();
    if (tdb.error() != QFile::NoError)
        return TStatus::Error("Cannot write " + tdb.fileName());
    for (int side = 0; side < 2; ++side) {
        const QString ext = side == 0 ? QStringLiteral(".tx1") : QStringLiteral(".tx2");
        if (TStatus s = lists[side].SaveToFile(dir.filePath(base + ext)); !s.ok())
            return s;
    }
    return TStatus::Ok();
}

} // namespace quillet::ref
