// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "Status.h"

#include <QString>

// Transcribes single words into IPA with libespeak-ng, exactly as the espeak-ng command
// line prints them with "-q --ipa". That command prints the synthesizer's phoneme trace,
// which differs from espeak_TextToPhonemes in one point: a word without a primary stress
// of its own gets one from the clause ("ballern" is "bˈalɜn", not "balɜn"). So a word
// goes through the fast espeak_TextToPhonemes, and only when that shows no primary stress
// through the synthesizer, whose waveform is never made: it is stopped at its first buffer.
//
// Thread safety: libespeak-ng keeps its state in process globals. One TEspeak per
// process, used from one thread; several processes are how the work uses several cores.
namespace quillet {

class TEspeak {
public:
    TEspeak() = default;
    ~TEspeak();
    TEspeak(const TEspeak&) = delete;
    TEspeak& operator=(const TEspeak&) = delete;

    // Loads espeak-ng's data from its installed place.
    TStatus Initialize();
    // A voice by name or language code ("de", "en").
    TStatus SetVoice(const QString& name);
    // The IPA of the word, its clauses joined by blanks; empty when espeak gives none.
    // REQUIRES: Initialize() and SetVoice() succeeded.
    QString Transcribe(const QString& word);

private:
    bool FInitialized = false;
    void* FTraceSink = nullptr; // FILE* for the phoneme trace the library insists on
};

// The transcription without the language switches "(en)" ... "(de)" that espeak-ng puts
// around a word it reads by another language's rules (German "Software" is
// "(en)sˈɒftweə(de)"): they are not IPA, and the panel shows the text as it is.
QString StripLanguageSwitches(const QString& ipa);

} // namespace quillet
