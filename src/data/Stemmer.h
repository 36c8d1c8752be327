// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <memory>
#include <mutex>
#include <QString>
#include <QStringList>
#include <string>

class Hunspell;

// The base forms of an inflected word ("Kindern" -> Kind, "houses" -> house), from the
// system's Hunspell dictionary of one language (Debian: hunspell-de-de, hunspell-en-us or
// hunspell-en-gb in /usr/share/hunspell). Without such a dictionary there is no stemmer
// and the caller goes on without base forms.
//
// Thread safety: Stems() may be called from any thread; the calls are serialised, since a
// Hunspell object is not safe to share.
namespace quillet {

inline constexpr const char* kHunspellFolder = "/usr/share/hunspell";

class TStemmer {
public:
    // The stemmer for a two-letter language code ("de", "EN"), from `folder`: the
    // country's own dictionary first (de_DE, en_US, then en_GB), else any <code>_*.aff
    // with its .dic. Null when there is none or it cannot be read.
    static std::unique_ptr<TStemmer> ForLanguage(QStringView code,
                                                 const QString& folder = kHunspellFolder);
    // The two steps of ForLanguage: finding the .aff file (quick; empty when there is
    // none) and opening it with its .dic (a tenth of a second for a large dictionary).
    static QString FindAffixFile(QStringView code, const QString& folder = kHunspellFolder);
    static std::unique_ptr<TStemmer> Open(const QString& affixFile);
    ~TStemmer();
    TStemmer(const TStemmer&) = delete;
    TStemmer& operator=(const TStemmer&) = delete;

    // The stems of Hunspell's analyses of the word, in its order, the word itself included
    // when Hunspell returns it; empty for unknown words. Analyses as a compound or with a
    // prefix give none: their stem is a part's ("Stammbettsucht" -> bett) or another
    // word's ("unglücklich" -> glücklich).
    QStringList Stems(QStringView word) const;
    // The .aff file the stemmer was made from.
    const QString& AffixFile() const { return FAffixFile; }

private:
    TStemmer(std::unique_ptr<Hunspell> hunspell, QString affixFile);
    std::string Encode(QStringView text) const;
    QString Decode(const std::string& bytes) const;

    std::unique_ptr<Hunspell> FHunspell;
    QString FAffixFile;
    QByteArray FEncoding; // the dictionary's SET; UTF-8 when it names none
    bool FUtf8 = true;
    mutable std::mutex FLock;
};

} // namespace quillet
