// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <condition_variable>
#include <mutex>
#include <optional>
#include <QString>
#include <QThread>

// Speaks single words for the main window without ever blocking it: Speak() hands the
// word to a thread of the speaker's own, which reads it with TSpeechSynth and plays it
// with TSoundOutput. A word asked for while another is still spoken cuts that one short;
// words asked for faster than they are spoken are dropped but for the last. The thread
// starts with the first word and ends with the speaker.
//
// Speak() and the destructor are for the owner's (UI) thread; the signals come from the
// speaker's thread, so receivers on the UI thread get them queued.
namespace quillet {

class TSpeaker : public QThread {
    Q_OBJECT
public:
    explicit TSpeaker(QObject* parent = nullptr);
    ~TSpeaker() override;

    // Reads `word` in the voice of the dictionary language `languageCode` ("de", "en").
    // Returns at once; an empty word does nothing.
    void Speak(const QString& word, const QString& languageCode);

signals:
    // No sound device took the word: nothing was heard.
    void noSoundDevice();
    // espeak-ng could not read the word (no data, no voice): its message.
    void failed(const QString& message);
    // The word has been played to its end or cut short.
    void spoken(const QString& word);

protected:
    void run() override;

private:
    struct TRequest {
        QString Word;
        QString Voice;
        quint64 Number = 0;
    };

    std::mutex FLock; // guards the members below
    std::condition_variable FWake;
    std::optional<TRequest> FPending;
    quint64 FLatest = 0; // the number of the word asked for last
    bool FStop = false;
};

} // namespace quillet
