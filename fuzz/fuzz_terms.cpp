// SPDX-License-Identifier: GPL-2.0-or-later
// Fuzzes the term extraction: any UTF-8 text, cut at its first line end into two sides,
// through ExtractTerms and through one reused TTermExtractor, which must agree.
#include "FuzzSupport.h"

#include "TermExtract.h"
#include "TextTools.h"

using namespace quillet;

namespace {

TTermClasses* classes;
TStopwords* stopwords;

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // One table for the whole run: loading the stopwords at each input would cost more than
    // the extraction. Class numbers then differ from a fresh run, the extraction does not.
    classes = new TTermClasses;
    stopwords = new TStopwords;
    // Both languages' lists in one set, so that either language's stopwords take rank 0.
    QByteArray bytes;
    for (const char* list : {"/stopwords_DE.txt", "/stopwords_EN.txt"}) {
        QFile file(QStringLiteral(QUILLET_DATA_DIR) + list);
        if (!file.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "Cannot read %s\n", qPrintable(file.fileName()));
            std::abort();
        }
        bytes += file.readAll() + '\n';
    }
    stopwords->Load(fuzz::WriteInput(QStringLiteral("stopwords.txt"), bytes), *classes);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text = QString::fromUtf8(fuzz::Bytes(data, size));
    const qsizetype cut = text.indexOf(u'\n');
    const QString sides[2] = {Trim(cut < 0 ? QStringView(text) : QStringView(text).first(cut)),
                              cut < 0 ? QString() : Trim(QStringView(text).sliced(cut + 1))};

    TTermExtractor extractor(*stopwords, *classes);
    for (const QString& side : sides) {
        const TTermRecArray terms = ExtractTerms(side, *stopwords, *classes);
        const std::vector<TTermExtractor::THit>& hits = extractor.Extract(side);
        FUZZ_CHECK(hits.size() == terms.size());
        for (size_t i = 0; i < terms.size(); ++i) {
            const TTermRec& term = terms[i];
            FUZZ_CHECK(hits[i].Term == term.Term && hits[i].Rank == term.Rank &&
                       hits[i].Class == term.Class);
            FUZZ_CHECK(!term.Term.isEmpty() && term.Term.toUtf8().size() <= 255);
            FUZZ_CHECK(term.Rank <= 9);
            FUZZ_CHECK(term.Class == classes->ClassOf(term.Term));
            for (size_t j = 0; j < i; ++j)
                FUZZ_CHECK(terms[j].Class != term.Class);
        }
    }
    return 0;
}
