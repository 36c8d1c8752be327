// SPDX-License-Identifier: GPL-2.0-or-later
#include "SpeechSynth.h"

#include <espeak-ng/speak_lib.h>
#include <mutex>

namespace quillet {
namespace {

// The library's state, as this process has set it; guarded by its lock.
struct TEspeakState {
    std::mutex Lock;
    bool Tried = false;
    int SampleRate = 0; // 0: initialisation failed
    QString Voice;      // the voice set last
};

TEspeakState& espeakState() {
    static TEspeakState state;
    return state;
}

// Each synthesis hands its buffer to the callback through the user data of its events.
int collectSamples(short* samples, int count, espeak_EVENT* events) {
    auto* out = events ? static_cast<TSpeechBuffer*>(events->user_data) : nullptr;
    if (out && samples && count > 0)
        out->Samples.insert(out->Samples.end(), samples, samples + count);
    return 0; // go on
}

// The voice file that speaks the language `tag`, chosen by language and not by file
// name: British English is the language "en-gb" of the file "gmw/en". Empty when no
// voice lists the language itself (espeak-ng would fall back to another language).
QByteArray voiceFile(const QString& tag) {
    const QByteArray language = tag.toUtf8();
    espeak_VOICE wanted{};
    wanted.languages = language.constData();
    const espeak_VOICE** voices = espeak_ListVoices(&wanted);
    for (; voices && *voices; ++voices) {
        // A voice's languages: a priority byte, the language and a NUL each, then a NUL.
        for (const char* entry = (*voices)->languages; entry && *entry;) {
            const char* name = entry + 1;
            if (qstricmp(name, language.constData()) == 0)
                return QByteArray((*voices)->identifier);
            entry = name + qstrlen(name) + 1;
        }
    }
    return {};
}

} // namespace

QString TSpeechSynth::VoiceFor(const QString& languageCode) {
    const QString code = languageCode.trimmed().toLower();
    if (code == u"en")
        return QStringLiteral("en-gb");
    return code.isEmpty() ? QStringLiteral("de") : code;
}

TStatus TSpeechSynth::Initialize() {
    TEspeakState& state = espeakState();
    const std::lock_guard lock(state.Lock);
    if (!state.Tried) {
        state.Tried = true;
        // Synchronous: espeak_Synth returns once the whole word is in the buffer, and the
        // library opens no sound device of its own.
        state.SampleRate =
            espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 0, nullptr, espeakINITIALIZE_DONT_EXIT);
        if (state.SampleRate > 0)
            espeak_SetSynthCallback(collectSamples);
        else
            state.SampleRate = 0;
    }
    if (state.SampleRate == 0)
        return TStatus::Error(QStringLiteral("espeak-ng could not be initialised (is its data, "
                                             "package espeak-ng-data, installed?)"));
    return TStatus::Ok();
}

TStatus TSpeechSynth::Synthesize(const QString& word, const QString& voice, TSpeechBuffer& out) {
    TEspeakState& state = espeakState();
    const std::lock_guard lock(state.Lock);
    out.Samples.clear();
    out.SampleRate = state.SampleRate;
    if (voice != state.Voice) {
        const QByteArray file = voiceFile(voice);
        if (file.isEmpty() || espeak_SetVoiceByName(file.constData()) != EE_OK)
            return TStatus::Error("espeak-ng has no voice for " + voice);
        state.Voice = voice;
    }
    const QByteArray text = word.toUtf8();
    if (espeak_Synth(text.constData(), size_t(text.size()) + 1, 0, POS_CHARACTER, 0,
                     espeakCHARS_UTF8, nullptr, &out) != EE_OK)
        return TStatus::Error("espeak-ng could not read " + word);
    return TStatus::Ok();
}

} // namespace quillet
