// SPDX-License-Identifier: GPL-2.0-or-later
#include "Espeak.h"

#include <cstdio>
#include <espeak-ng/speak_lib.h>
#include <QProcess>
#include <QRegularExpression>

namespace quillet {

namespace {

// The library reports phonemes through a plain function pointer; the transcription in
// progress collects them here (one process, one thread: see the header).
QByteArray* gCollected = nullptr;

int collectClause(const char* phonemes) {
    if (gCollected && phonemes && *phonemes) {
        if (!gCollected->isEmpty())
            gCollected->append(' ');
        gCollected->append(phonemes);
    }
    return 0;
}

// The phonemes of a clause are reported before its sound is made; answering 1 to the
// first sound buffer ends the synthesis there.
int stopAtFirstBuffer(short*, int, espeak_EVENT*) {
    return 1;
}

} // namespace

TEspeak::~TEspeak() {
    if (FInitialized)
        espeak_Terminate();
    if (FTraceSink)
        std::fclose(static_cast<FILE*>(FTraceSink));
}

TStatus TEspeak::Initialize() {
    if (FInitialized)
        return TStatus::Ok();
    if (espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 0, nullptr, espeakINITIALIZE_DONT_EXIT) <= 0)
        return TStatus::Error(
            "espeak-ng could not be initialised (is its data, package espeak-ng-data, "
            "installed?)");
    FInitialized = true;
    // The IPA mode of the trace decides the form of the reported phonemes; the trace text
    // itself is not wanted.
    FTraceSink = std::fopen(QProcess::nullDevice().toLocal8Bit().constData(), "w");
    if (!FTraceSink)
        return TStatus::Error("Cannot open " + QProcess::nullDevice());
    espeak_SetPhonemeTrace(espeakPHONEMES_IPA, static_cast<FILE*>(FTraceSink));
    espeak_SetPhonemeCallback(collectClause);
    espeak_SetSynthCallback(stopAtFirstBuffer);
    return TStatus::Ok();
}

TStatus TEspeak::SetVoice(const QString& name) {
    if (espeak_SetVoiceByName(name.toUtf8().constData()) != EE_OK)
        return TStatus::Error("espeak-ng has no voice " + name);
    return TStatus::Ok();
}

QString TEspeak::Transcribe(const QString& word) {
    const QByteArray text = word.toUtf8();
    // espeak_TextToPhonemes is three times faster than a synthesis and gives the same
    // text wherever the word has a primary stress: the synthesizer only adds one where
    // the clause has none (as checked on every headword of the default dictionary).
    QByteArray collected;
    const void* rest = text.constData();
    while (rest) {
        const char* clause = espeak_TextToPhonemes(&rest, espeakCHARS_AUTO, espeakPHONEMES_IPA);
        if (clause && *clause)
            collected.append(collected.isEmpty() ? "" : " ").append(clause);
    }
    if (collected.contains("\xCB\x88")) // U+02C8, the primary stress mark
        return QString::fromUtf8(collected).trimmed();

    collected.clear();
    gCollected = &collected;
    // The flags of the espeak-ng command line, so that both read a word alike.
    espeak_Synth(text.constData(), size_t(text.size()) + 1, 0, POS_CHARACTER, 0,
                 espeakCHARS_AUTO | espeakPHONEMES | espeakENDPAUSE, nullptr, nullptr);
    gCollected = nullptr;
    return QString::fromUtf8(collected).trimmed();
}

QString StripLanguageSwitches(const QString& ipa) {
    static const QRegularExpression languageSwitch(
        QStringLiteral(R"(\([a-z]{2,3}(-[a-z0-9]+)*\))"));
    if (!ipa.contains(u'('))
        return ipa;
    return QString(ipa).remove(languageSwitch).simplified();
}

} // namespace quillet
