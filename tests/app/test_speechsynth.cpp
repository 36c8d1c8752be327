// SPDX-License-Identifier: GPL-2.0-or-later
// Hearing a word: espeak-ng reads it into a buffer in the voice of its language; the
// sound is checked in the buffer, never through a speaker.
#include "SpeechSynth.h"

#include <algorithm>
#include <QTest>

using namespace quillet;

class TestSpeechSynth : public QObject {
    Q_OBJECT

private slots:
    void wordsBecomeSamples_data() {
        QTest::addColumn<QString>("word");
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("voice");
        QTest::newRow("German") << "Haus"
                                << "de"
                                << "de";
        QTest::newRow("British English") << "house"
                                         << "en"
                                         << "en-gb";
        QTest::newRow("long German word") << "Straßenbahnhaltestelle"
                                          << "de"
                                          << "de";
    }
    // Sound, not silence, of about the length of a spoken word; a long word takes longer.
    void wordsBecomeSamples() {
        QFETCH(QString, word);
        QFETCH(QString, language);
        QFETCH(QString, voice);
        QCOMPARE(TSpeechSynth::VoiceFor(language), voice);
        TSpeechSynth synth;
        QVERIFY(synth.Initialize().ok());
        TSpeechBuffer buffer;
        const TStatus status = synth.Synthesize(word, voice, buffer);
        QVERIFY2(status.ok(), qPrintable(status.message()));
        QVERIFY(buffer.SampleRate >= 8000);
        const double perLetter = buffer.Seconds() / double(word.size());
        QVERIFY2(buffer.Seconds() > 0.2 && buffer.Seconds() < 5 && perLetter > 0.03 &&
                     perLetter < 0.4,
                 qPrintable(QString::number(buffer.Seconds())));
        const auto loudest =
            std::max_element(buffer.Samples.begin(), buffer.Samples.end(), [](qint16 a, qint16 b) {
                return std::abs(int(a)) < std::abs(int(b));
            });
        QVERIFY(std::abs(int(*loudest)) > 2000);

        // The same word again takes as long: nothing is left over from the last one.
        TSpeechBuffer again;
        QVERIFY(synth.Synthesize(word, voice, again).ok());
        QVERIFY(std::abs(again.Seconds() - buffer.Seconds()) < 0.1 * buffer.Seconds());
        QVERIFY(!synth.Synthesize(word, "no-such-voice", again).ok());
    }
};

QTEST_GUILESS_MAIN(TestSpeechSynth)
#include "test_speechsynth.moc"
