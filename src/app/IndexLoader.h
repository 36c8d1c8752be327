// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "DBLoader.h"
#include "DictDB.h"
#include "Suggest.h"

#include <memory>
#include <QThread>

// `TDBLoader`: one load run of a dictionary on a thread of its own. It reads the current
// direction's index and reports (indexLoaded), then reads the pronunciations and, when
// asked to, builds the dictionary's suggester (suggesterBuilt); either way the suggester
// gets the current direction's Hunspell dictionary open before the run ends, so that the
// window never waits for it. The window does its part of the run on its own thread:
// before start() and in the slots connected to the signals, which arrive queued.
//
// The TDictDB must outlive the run and nobody else may touch it until indexLoaded or
// failed has been delivered; GetPronunciation alone is safe during the second half. The
// suggester reads the lists without moving their cursors, so lookups may run meanwhile;
// loading another index into the object (a direction switch) must wait for the end of a
// run that builds one.
namespace quillet {

class TDBLoader : public QThread {
    Q_OBJECT
public:
    // `suggester`: the dictionary's suggester when it is built already (the run then opens
    // its stems for the direction), else null.
    TDBLoader(TDictDB& db, bool buildSuggester, std::shared_ptr<const TSuggester> suggester,
              QObject* parent);
    bool BuildsSuggester() const { return FBuildSuggester; }

signals:
    void indexLoaded(const quillet::TLoadReport& report);
    void failed(const QString& message);
    // The suggester of both directions, with the current direction's stems open; not
    // emitted when it could not be built (the dictionary then offers no suggestions).
    void suggesterBuilt(std::shared_ptr<const quillet::TSuggester> suggester);

protected:
    void run() override;

private:
    TDictDB& FDb;
    bool FBuildSuggester;
    std::shared_ptr<const TSuggester> FSuggester;
};

} // namespace quillet
