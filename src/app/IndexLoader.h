// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "DBLoader.h"
#include "DictDB.h"

#include <QThread>

// `TDBLoader`: one load run of a dictionary on a thread of its own. It reads the current
// direction's index and reports (indexLoaded), then reads the pronunciations. The window
// does its part of the run on its own thread: before start() and in the slots connected to
// the signals, which arrive queued.
//
// The TDictDB must outlive the run and nobody else may touch it until indexLoaded or
// failed has been delivered; GetPronunciation alone is safe during the second half.
namespace quillet {

class TDBLoader : public QThread {
    Q_OBJECT
public:
    TDBLoader(TDictDB& db, QObject* parent);

signals:
    void indexLoaded(const quillet::TLoadReport& report);
    void failed(const QString& message);

protected:
    void run() override;

private:
    TDictDB& FDb;
};

} // namespace quillet
