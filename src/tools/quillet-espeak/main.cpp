// SPDX-License-Identifier: GPL-2.0-or-later
// quillet-espeak: writes the pronunciation source of a dictionary (key=value lines, the
// input of "quillet-cli import-ipa") with espeak-ng's transcriptions of its headwords.
// Used by scripts/prepare-dictionary for the default dictionary.

#include "FileIO.h"
#include "HashList.h"
#include "Headwords.h"
#include "Workers.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTextStream>
#include <QThread>

using namespace quillet;

namespace {

QTextStream& err() {
    static QTextStream stream(stderr);
    return stream;
}

int fail(const QString& message) {
    err() << "quillet-espeak: " << message << Qt::endl;
    return 1;
}

struct TCounts {
    int Written[2] = {0, 0};
    int Untranscribed = 0; // espeak-ng gave nothing usable
    int TooLong = 0;       // the record would not fit the file's 255 bytes
};

// The key=value lines of every job that got a transcription. A record that the
// pronunciation file would have to cut is left out rather than shown cut.
QByteArray sourceLines(const THeadwordSelection& selection, const QStringList& transcriptions,
                       TCounts& counts) {
    QByteArray out;
    for (size_t i = 0; i < selection.Jobs.size(); ++i) {
        const TPronunciationJob& job = selection.Jobs[i];
        const QByteArray value = transcriptions[qsizetype(i)].toUtf8();
        if (value.size() < 2) {
            ++counts.Untranscribed;
            continue;
        }
        const QByteArray record = job.Word.toUtf8() + '=' + value;
        if (record.size() > kMaxPronunciationRecordBytes) {
            ++counts.TooLong;
            continue;
        }
        out += record + '\n';
        ++counts.Written[job.Language];
    }
    return out;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("quillet-espeak");

    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Writes the pronunciation source (key=value lines) of a dictionary's single-word\n"
        "headwords with espeak-ng, each read by its language's voice; a word that is a\n"
        "headword of both languages is read by the --prefer language. Build the .ipa file\n"
        "from it with: quillet-cli import-ipa OUTPUT");
    parser.addHelpOption();
    const QCommandLineOption folder("folder", "Dictionary folder (default: the program's folder).",
                                    "DIR");
    const QCommandLineOption name("name", "Dictionary base name (default: de_en_dict).", "BASE",
                                  "de_en_dict");
    const QCommandLineOption prefer(
        "prefer", "Language code whose reading wins for shared words (default: en).", "CODE", "en");
    const QCommandLineOption jobs("jobs", "Processes to use (default: one per core).", "N",
                                  QString::number(QThread::idealThreadCount()));
    QCommandLineOption worker("worker", "Internal: transcribe JOBS into RESULTS.");
    worker.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOptions({folder, name, prefer, jobs, worker});
    parser.addPositionalArgument("OUTPUT", "The key=value file to write.");
    parser.process(app);
    const QStringList args = parser.positionalArguments();

    if (parser.isSet(worker)) {
        if (args.size() != 2)
            return fail("--worker needs JOBS and RESULTS");
        const TStatus status = RunWorker(args[0], args[1]);
        return status.ok() ? 0 : fail(status.message());
    }

    if (args.size() != 1)
        return fail("needs exactly one OUTPUT file (see --help)");
    bool numeric = false;
    const int processes = parser.value(jobs).toInt(&numeric);
    if (!numeric || processes < 1)
        return fail("--jobs must be a positive number");
    if (parser.isSet(folder) && !QDir(parser.value(folder)).exists())
        return fail("Folder " + parser.value(folder) + " not found");

    QElapsedTimer timer;
    timer.start();
    THeadwordSelection selection;
    if (TStatus s = SelectHeadwords(parser.value(folder), parser.value(name), parser.value(prefer),
                                    selection);
        !s.ok())
        return fail(s.message());
    QStringList transcriptions;
    if (TStatus s = RunTranscriptions(QCoreApplication::applicationFilePath(), selection, processes,
                                      transcriptions);
        !s.ok())
        return fail(s.message());
    TCounts counts;
    const QByteArray source = sourceLines(selection, transcriptions, counts);
    if (TStatus s = WriteWholeFile(args[0], source); !s.ok())
        return fail(s.message());

    QTextStream out(stdout);
    out << counts.Written[0] + counts.Written[1] << " pronunciations (" << selection.Codes[0] << ' '
        << counts.Written[0] << ", " << selection.Codes[1] << ' ' << counts.Written[1] << ") of "
        << selection.Headwords[0] << " + " << selection.Headwords[1]
        << " headwords; left out: " << selection.NotSingleWords[0] + selection.NotSingleWords[1]
        << " not single words, " << selection.Shared << " shared (read as " << parser.value(prefer)
        << "), " << counts.Untranscribed << " without transcription, " << counts.TooLong
        << " too long; " << QString::number(timer.elapsed() / 1000.0, 'f', 2) << " s" << Qt::endl;
    return 0;
}
