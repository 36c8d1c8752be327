// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "Headwords.h"
#include "Status.h"

#include <QStringList>

// Runs the transcriptions, spread over processes: libespeak-ng cannot run twice in one
// process, so each further core gets a worker process of this program.
//
// The parent deals the words out in turn (word i to worker i mod n, which balances long
// and short words), hands each worker a file of "code<TAB>word" lines and gets back a
// file with one transcription line per word, empty where espeak-ng gives none.
//
// Thread safety: both functions run on the main thread; RunTranscriptions blocks until
// every worker has finished.
namespace quillet {

// The transcription of every job, in job order. `program` is this program's path;
// `processes` below 2 transcribes in this process.
TStatus RunTranscriptions(const QString& program, const THeadwordSelection& selection,
                          int processes, QStringList& transcriptions);

// The worker's side: reads the job file, writes the transcription file.
TStatus RunWorker(const QString& jobPath, const QString& resultPath);

} // namespace quillet
