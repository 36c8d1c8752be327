// SPDX-License-Identifier: GPL-2.0-or-later
#include "IndexLoader.h"

namespace quillet {

TDBLoader::TDBLoader(TDictDB& db, bool buildSuggester,
                     std::shared_ptr<const TSuggester> suggester, QObject* parent)
    : QThread(parent), FDb(db), FBuildSuggester(buildSuggester), FSuggester(std::move(suggester)) {
    qRegisterMetaType<quillet::TLoadReport>("quillet::TLoadReport");
    qRegisterMetaType<std::shared_ptr<const quillet::TSuggester>>(
        "std::shared_ptr<const quillet::TSuggester>");
}

void TDBLoader::run() {
    TLoadReport report;
    bool reported = false;
    const TStatus status = RunLoad(FDb, report, [&](const TLoadReport& r) {
        reported = true;
        emit indexLoaded(r);
    });
    if (!status.ok() && !reported)
        emit failed(status.message());
    // A damaged pronunciation file after a good index only costs the pronunciations.
    if (!reported)
        return;
    // A direction switch: the new direction's Hunspell dictionary (a tenth of a second)
    // opens here, not at the window's first suggestion for it.
    if (FSuggester)
        FSuggester->OpenStems(FDb.Direction());
    if (!FBuildSuggester)
        return;
    // After the pronunciations: the first lookups need the index and the pronunciation
    // line, and the suggestions of the last lookup follow when the suggester is in.
    auto suggester = std::make_shared<TSuggester>();
    if (suggester->Build(FDb).ok()) {
        suggester->OpenStems(FDb.Direction());
        emit suggesterBuilt(suggester);
    }
}

} // namespace quillet
