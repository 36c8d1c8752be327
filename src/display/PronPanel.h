// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <functional>
#include <QFont>
#include <QFrame>
#include <QString>

// The pronunciation line under the result grid: a word and its IPA transcription in
// brackets, right-aligned, or a notice that the dictionary has no pronunciation for it.
//
// The frame's contents rectangle is the paint area (the "paint box"); everything drawn is
// clipped to it less a margin, so an IPA text too wide for the panel loses its left end.
// The caller chooses a pronunciation font that covers the IPA characters.
//
// The main window owns it; UI thread only.
namespace quillet {

class TPronPanel : public QFrame {
    Q_OBJECT

public:
    explicit TPronPanel(QWidget* parent = nullptr);

    // Shows `word` with `ipa`; an empty `ipa` shows the notice, both empty show nothing.
    // Repaints at once.
    void SetWord(const QString& word, const QString& ipa);
    QString Word() const { return FWord; }
    QString Ipa() const { return FIpa; }
    // What the panel shows, as one line: "word [ipa]", the notice, or nothing.
    QString ShownText() const;

    void SetPronFont(const QFont& font);
    QFont PronFont() const { return FPronFont; }

    // Translates the German notice text (which holds "%s" for the word).
    void SetTranslator(std::function<QString(const QString&)> translate);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString NoticeText() const;

    QString FWord;
    QString FIpa;
    QFont FPronFont;
    std::function<QString(const QString&)> FTranslate;
};

} // namespace quillet
