// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "SpeechSynth.h"
#include "Status.h"

#include <functional>

// Plays a speech buffer on the default sound device through pcaudiolib, the small audio
// library that espeak-ng itself plays with (PulseAudio, else ALSA, else OSS), so the
// word comes out where the desktop's sound goes. Play blocks until the buffer has been
// played and is meant for a worker thread.
//
// Thread safety: one TSoundOutput per thread; each Play opens the device and closes it
// again, so nothing is held between words.
namespace quillet {

class TSoundOutput {
public:
    // The status message when no device takes the sound (none there, or no server).
    static QString NoDeviceMessage() { return QStringLiteral("no sound device"); }

    // Plays `buffer`; `cancelled` is asked between short pieces and ends the playback
    // early when it answers true. Fails with NoDeviceMessage() when there is no device.
    TStatus Play(const TSpeechBuffer& buffer, const std::function<bool()>& cancelled = {});
};

} // namespace quillet
