// SPDX-License-Identifier: GPL-2.0-or-later
#include "Stemmer.h"

#include <algorithm>
#include <hunspell/hunspell.hxx>
#include <QDir>
#include <QFileInfo>
#include <string_view>
#include <unicode/ucnv.h>

namespace quillet {

namespace {

QString findAffixFile(QStringView code, const QString& folder) {
    const QString lang = code.left(2).toString().toLower();
    if (lang.size() != 2)
        return {};
    QStringList names;
    if (lang == u"de")
        names << "de_DE";
    else if (lang == u"en")
        names << "en_US"
              << "en_GB";
    const QDir dir(folder);
    for (const QString& entry : dir.entryList({lang + "_*.aff"}, QDir::Files, QDir::Name))
        names << entry.chopped(4);
    for (const QString& name : names) {
        const QString aff = dir.filePath(name + ".aff");
        if (QFileInfo(aff).isFile() && QFileInfo(dir.filePath(name + ".dic")).isFile())
            return aff;
    }
    return {};
}

} // namespace

std::unique_ptr<TStemmer> TStemmer::ForLanguage(QStringView code, const QString& folder) {
    return Open(findAffixFile(code, folder));
}

QString TStemmer::FindAffixFile(QStringView code, const QString& folder) {
    return findAffixFile(code, folder);
}

std::unique_ptr<TStemmer> TStemmer::Open(const QString& aff) {
    if (aff.isEmpty())
        return nullptr;
    const QString dic = aff.chopped(4) + ".dic";
    auto hunspell = std::make_unique<Hunspell>(QFile::encodeName(aff).constData(),
                                               QFile::encodeName(dic).constData());
    std::unique_ptr<TStemmer> stemmer(new TStemmer(std::move(hunspell), aff));
    return stemmer;
}

TStemmer::TStemmer(std::unique_ptr<Hunspell> hunspell, QString affixFile)
    : FHunspell(std::move(hunspell)), FAffixFile(std::move(affixFile)) {
    FEncoding = QByteArray::fromStdString(FHunspell->get_dict_encoding()).trimmed();
    const QByteArray upper = FEncoding.toUpper();
    FUtf8 = upper.isEmpty() || upper == "UTF-8" || upper == "UTF8";
}

TStemmer::~TStemmer() = default;

// Dictionaries in an 8-bit code page (ISO8859-1, -15, KOI8-R ...) get ICU's converter.
std::string TStemmer::Encode(QStringView text) const {
    if (FUtf8)
        return text.toUtf8().toStdString();
    UErrorCode error = U_ZERO_ERROR;
    std::string out(size_t(text.size()) * 4 + 4, '\0');
    const int32_t n =
        ucnv_convert(FEncoding.constData(), "UTF-16LE", out.data(), int32_t(out.size()),
                     reinterpret_cast<const char*>(text.utf16()), int32_t(text.size() * 2), &error);
    out.resize(U_SUCCESS(error) ? size_t(n) : 0);
    return out;
}

QString TStemmer::Decode(const std::string& bytes) const {
    if (FUtf8)
        return QString::fromStdString(bytes);
    UErrorCode error = U_ZERO_ERROR;
    QString out(qsizetype(bytes.size()) + 1, Qt::Uninitialized);
    const int32_t n =
        ucnv_convert("UTF-16LE", FEncoding.constData(), reinterpret_cast<char*>(out.data()),
                     int32_t(out.size() * 2), bytes.data(), int32_t(bytes.size()), &error);
    return U_SUCCESS(error) ? out.left(n / 2) : QString();
}

QStringList TStemmer::Stems(QStringView word) const {
    const std::string encoded = Encode(word);
    if (encoded.empty())
        return {};
    std::vector<std::string> analyses;
    {
        const std::lock_guard guard(FLock);
        analyses = FHunspell->analyze(encoded);
    }
    QStringList result;
    for (const std::string& analysis : analyses) {
        // " st:kind fl:R". A compound's parts come as pa: fields ("pa:bett st:bett pa:sucht"
        // for Stammbettsucht) and a prefix as a bare morph ("un st:glücklich"): their st: is
        // the stem of a part or of another word, not the base form of this one.
        std::string stem;
        bool whole = true;
        for (size_t at = 0; at < analysis.size();) {
            const size_t end = std::min(analysis.find(' ', at), analysis.size());
            const std::string_view field(analysis.data() + at, end - at);
            if (field.starts_with("st:"))
                stem = field.substr(3);
            else if (!field.empty() && (field.starts_with("pa:") || field.find(':') == field.npos))
                whole = false;
            at = end + 1;
        }
        if (QString s = Decode(stem); whole && !s.isEmpty() && !result.contains(s))
            result << s;
    }
    return result;
}

} // namespace quillet
