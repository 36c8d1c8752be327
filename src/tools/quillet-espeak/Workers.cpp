// SPDX-License-Identifier: GPL-2.0-or-later
#include "Workers.h"

#include "Espeak.h"
#include "FileIO.h"

#include <algorithm>
#include <memory>
#include <QProcess>
#include <QTemporaryDir>
#include <utility>
#include <vector>

namespace quillet {

namespace {

using TVoicedWords = std::vector<std::pair<QString, QString>>; // voice, word

TStatus transcribe(const TVoicedWords& words, QStringList& transcriptions) {
    TEspeak espeak;
    if (TStatus s = espeak.Initialize(); !s.ok())
        return s;
    QString voice;
    transcriptions.clear();
    transcriptions.reserve(qsizetype(words.size()));
    for (const auto& [code, word] : words) {
        // The jobs come grouped by language, so the voice changes once or twice.
        if (code != voice) {
            if (TStatus s = espeak.SetVoice(code); !s.ok())
                return s;
            voice = code;
        }
        transcriptions.append(StripLanguageSwitches(espeak.Transcribe(word)));
    }
    return TStatus::Ok();
}

// The lines of a file this program wrote, each ended by LF.
QList<QByteArray> fileLines(const QByteArray& bytes) {
    QList<QByteArray> lines = bytes.split('\n');
    if (!lines.isEmpty() && lines.back().isEmpty())
        lines.removeLast();
    return lines;
}

TStatus workerFailed(int w, int n, const QString& how) {
    return TStatus::Error(QStringLiteral("Worker %1 of %2 failed: %3").arg(w + 1).arg(n).arg(how));
}

} // namespace

TStatus RunTranscriptions(const QString& program, const THeadwordSelection& selection,
                          int processes, QStringList& transcriptions) {
    const std::vector<TPronunciationJob>& jobs = selection.Jobs;
    const int n = int(std::max<size_t>(1, std::min(size_t(std::max(processes, 1)), jobs.size())));
    if (n == 1) {
        TVoicedWords words;
        words.reserve(jobs.size());
        for (const TPronunciationJob& job : jobs)
            words.emplace_back(selection.Codes[job.Language], job.Word);
        return transcribe(words, transcriptions);
    }

    QTemporaryDir dir;
    if (!dir.isValid())
        return TStatus::Error("Cannot create a temporary folder: " + dir.errorString());
    std::vector<std::unique_ptr<QProcess>> workers;
    for (int w = 0; w < n; ++w) {
        QByteArray lines;
        for (size_t i = size_t(w); i < jobs.size(); i += size_t(n))
            lines +=
                selection.Codes[jobs[i].Language].toUtf8() + '\t' + jobs[i].Word.toUtf8() + '\n';
        const QString jobPath = dir.filePath(QStringLiteral("jobs-%1.txt").arg(w));
        if (TStatus s = WriteWholeFile(jobPath, lines); !s.ok())
            return s;
        auto process = std::make_unique<QProcess>();
        process->setProcessChannelMode(QProcess::ForwardedChannels);
        process->start(program, {QStringLiteral("--worker"), jobPath,
                                 dir.filePath(QStringLiteral("result-%1.txt").arg(w))});
        workers.push_back(std::move(process));
    }

    // Every worker is waited for before any failure is reported, so none outlives the
    // temporary folder.
    TStatus status;
    for (int w = 0; w < n; ++w) {
        QProcess& process = *workers[size_t(w)];
        const bool started = process.waitForStarted(-1);
        if (started)
            process.waitForFinished(-1);
        if (!status.ok())
            continue;
        if (!started)
            status = workerFailed(w, n, process.errorString());
        else if (process.exitStatus() != QProcess::NormalExit)
            status = workerFailed(w, n, QStringLiteral("crashed"));
        else if (process.exitCode() != 0)
            status = workerFailed(w, n, "exit status " + QString::number(process.exitCode()));
    }
    if (!status.ok())
        return status;

    transcriptions = QStringList(qsizetype(jobs.size()));
    for (int w = 0; w < n; ++w) {
        QByteArray bytes;
        const QString resultPath = dir.filePath(QStringLiteral("result-%1.txt").arg(w));
        if (TStatus s = ReadWholeFile(resultPath, bytes); !s.ok())
            return s;
        const QList<QByteArray> lines = fileLines(bytes);
        const size_t expected = (jobs.size() - size_t(w) + size_t(n) - 1) / size_t(n);
        if (size_t(lines.size()) != expected)
            return TStatus::Error(
                QStringLiteral("Worker %1 of %2 gave %3 transcriptions for %4 words")
                    .arg(w + 1)
                    .arg(n)
                    .arg(lines.size())
                    .arg(expected));
        for (qsizetype j = 0; j < lines.size(); ++j)
            transcriptions[qsizetype(w) + j * n] = QString::fromUtf8(lines[j]);
    }
    return TStatus::Ok();
}

TStatus RunWorker(const QString& jobPath, const QString& resultPath) {
    QByteArray bytes;
    if (TStatus s = ReadWholeFile(jobPath, bytes); !s.ok())
        return s;
    TVoicedWords words;
    for (const QByteArray& line : fileLines(bytes)) {
        const qsizetype tab = line.indexOf('\t');
        if (tab <= 0)
            return TStatus::Error("Malformed line in " + jobPath + ": " + QString::fromUtf8(line));
        words.emplace_back(QString::fromUtf8(line.left(tab)), QString::fromUtf8(line.mid(tab + 1)));
    }
    QStringList transcriptions;
    if (TStatus s = transcribe(words, transcriptions); !s.ok())
        return s;
    QByteArray out;
    for (const QString& ipa : transcriptions)
        out += ipa.toUtf8() + '\n';
    return WriteWholeFile(resultPath, out);
}

} // namespace quillet
