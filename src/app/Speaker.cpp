// SPDX-License-Identifier: GPL-2.0-or-later
#include "Speaker.h"

#include "SoundOutput.h"
#include "SpeechSynth.h"

namespace quillet {

TSpeaker::TSpeaker(QObject* parent) : QThread(parent) {}

TSpeaker::~TSpeaker() {
    {
        const std::lock_guard lock(FLock);
        FStop = true;
    }
    FWake.notify_all();
    wait(); // at most the tenth of a second a playing piece takes
}

void TSpeaker::Speak(const QString& word, const QString& languageCode) {
    if (word.trimmed().isEmpty())
        return;
    {
        const std::lock_guard lock(FLock);
        FPending = TRequest{word.trimmed(), TSpeechSynth::VoiceFor(languageCode), ++FLatest};
    }
    FWake.notify_all();
    if (!isRunning())
        start();
}

void TSpeaker::run() {
    // espeak-ng's globals belong to this thread alone, from the first word to the end.
    TSpeechSynth synth;
    TSoundOutput output;
    bool initialized = false;
    for (;;) {
        TRequest request;
        {
            std::unique_lock lock(FLock);
            FWake.wait(lock, [this] { return FStop || FPending; });
            if (FStop)
                return;
            request = std::move(*FPending);
            FPending.reset();
        }
        if (!initialized) {
            if (const TStatus s = synth.Initialize(); !s.ok()) {
                emit failed(s.message());
                continue;
            }
            initialized = true;
        }
        TSpeechBuffer buffer;
        if (const TStatus s = synth.Synthesize(request.Word, request.Voice, buffer); !s.ok()) {
            emit failed(s.message());
            continue;
        }
        const TStatus played = output.Play(buffer, [this, &request] {
            const std::lock_guard lock(FLock);
            return FStop || FLatest != request.Number;
        });
        if (!played.ok())
            emit noSoundDevice();
        else
            emit spoken(request.Word);
    }
}

} // namespace quillet
