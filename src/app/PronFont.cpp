// SPDX-License-Identifier: GPL-2.0-or-later
#include "PronFont.h"

#include <QDir>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>

namespace quillet {
namespace {

// A family has IPA when it draws a few characters that only IPA-capable fonts carry.
bool hasIpa(const QString& family) {
    const QFontMetrics metrics{QFont(family)};
    for (const char16_t c : {u'ʊ', u'ə', u'ʃ', u'ŋ', u'ː'}) {
        if (!metrics.inFont(QChar(c)))
            return false;
    }
    return true;
}

QString registeredFamily(const QString& path) {
    const int id = QFontDatabase::addApplicationFont(path);
    const QStringList families =
        id >= 0 ? QFontDatabase::applicationFontFamilies(id) : QStringList();
    return families.isEmpty() ? QString() : families.first();
}

} // namespace

QFont ResolvePronunciationFont(const QString& family, int pointSize, const QString& programFolder) {
    QString chosen;
    const QStringList installed = QFontDatabase::families();
    if (installed.contains(family, Qt::CaseInsensitive)) {
        chosen = family;
    } else if (family.compare(u"Junicode", Qt::CaseInsensitive) == 0) {
        const QString beside = QDir(programFolder).filePath(QStringLiteral("Junicode-Regular.ttf"));
        chosen = QFile::exists(beside) ? registeredFamily(beside) : QString();
        if (chosen.isEmpty()) {
            for (const QString& candidate : installed) {
                if (candidate.startsWith(u"Junicode", Qt::CaseInsensitive)) {
                    chosen = candidate;
                    break;
                }
            }
        }
    }
    if (chosen.isEmpty() || !hasIpa(chosen)) {
        for (const char* fallback : {"DejaVu Sans", "Liberation Serif", "Liberation Sans"}) {
            if (installed.contains(QLatin1String(fallback)) && hasIpa(QLatin1String(fallback))) {
                chosen = QLatin1String(fallback);
                break;
            }
        }
    }
    QFont font(chosen.isEmpty() ? family : chosen);
    font.setPointSize(pointSize > 0 ? pointSize : 12);
    return font;
}

QString FillPlaceholders(QString format, const QStringList& values) {
    qsizetype from = 0;
    for (const QString& value : values) {
        const qsizetype d = format.indexOf(QStringLiteral("%d"), from);
        const qsizetype s = format.indexOf(QStringLiteral("%s"), from);
        const qsizetype at = d < 0 ? s : (s < 0 ? d : qMin(d, s));
        if (at < 0)
            break;
        format.replace(at, 2, value);
        from = at + value.size();
    }
    return format;
}

} // namespace quillet
