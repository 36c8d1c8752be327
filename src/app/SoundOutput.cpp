// SPDX-License-Identifier: GPL-2.0-or-later
#include "SoundOutput.h"

#include <algorithm>
#include <pcaudiolib/audio.h>

namespace quillet {

TStatus TSoundOutput::Play(const TSpeechBuffer& buffer, const std::function<bool()>& cancelled) {
    if (buffer.Samples.empty() || buffer.SampleRate <= 0)
        return TStatus::Ok();
    audio_object* device = create_audio_device_object(nullptr, "quillet-dictionary", "Aussprache");
    if (!device)
        return TStatus::Error(NoDeviceMessage());
    // The backends are chosen when the object is made, but only opening it reaches the
    // device: a machine without sound fails here.
    if (audio_object_open(device, AUDIO_OBJECT_FORMAT_S16LE, uint32_t(buffer.SampleRate), 1) != 0) {
        audio_object_destroy(device);
        return TStatus::Error(NoDeviceMessage());
    }
    // A tenth of a second a piece: a new word cuts the old one short that soon.
    const size_t piece = size_t(std::max(1, buffer.SampleRate / 10));
    bool stopped = false;
    for (size_t at = 0; at < buffer.Samples.size(); at += piece) {
        if (cancelled && cancelled()) {
            stopped = true;
            break;
        }
        const size_t count = std::min(piece, buffer.Samples.size() - at);
        if (audio_object_write(device, buffer.Samples.data() + at, count * sizeof(qint16)) != 0)
            break;
    }
    if (stopped)
        audio_object_flush(device);
    else
        audio_object_drain(device);
    audio_object_close(device);
    audio_object_destroy(device);
    return TStatus::Ok();
}

} // namespace quillet
