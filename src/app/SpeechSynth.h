// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "Status.h"

#include <QString>
#include <vector>

// Speech for the "hear the word" commands: a word read by libespeak-ng into a buffer of
// 16-bit mono samples, in the voice of its language. Playing the buffer is
// TSoundOutput's; keeping the two apart lets the synthesis be checked without a speaker.
//
// Thread safety: any thread. libespeak-ng keeps its state in process globals, so the
// syntheses of all objects take turns under one process-wide lock, and the library is
// initialised once and left to the end of the process: espeak-ng 1.51 cannot be
// initialised again after espeak_Terminate (it then finds no voices, and the next
// espeak_Terminate hangs). Not for a process that also runs quillet-espeak's TEspeak.
namespace quillet {

struct TSpeechBuffer {
    std::vector<qint16> Samples; // mono
    int SampleRate = 0;          // samples per second
    double Seconds() const { return SampleRate > 0 ? double(Samples.size()) / SampleRate : 0; }
};

class TSpeechSynth {
public:
    TSpeechSynth() = default;
    TSpeechSynth(const TSpeechSynth&) = delete;
    TSpeechSynth& operator=(const TSpeechSynth&) = delete;

    // The espeak-ng voice, as a language tag, for a dictionary language code: "de" for
    // German, "en-gb" (British English) for "en"; other codes as they are.
    static QString VoiceFor(const QString& languageCode);

    // Loads espeak-ng's data from its installed place (package espeak-ng-data), once per
    // process; later calls give the first one's result.
    TStatus Initialize();
    // Reads `word` with `voice` (as VoiceFor gives it) into `out`, replacing its samples.
    // REQUIRES: Initialize() succeeded.
    TStatus Synthesize(const QString& word, const QString& voice, TSpeechBuffer& out);
};

} // namespace quillet
