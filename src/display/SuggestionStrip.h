// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "Suggest.h"

#include <QString>
#include <QWidget>
#include <vector>

class QAbstractButton;
class QHBoxLayout;

// The line above the result grid that offers what the user may have meant by the text
// of the last lookup: "Meinten Sie: Straße · Straßen", and for words of the other
// language "Englisch: went". Each word is a button (a screen reader reads it as one,
// named by the word); a click on it, Space on it, or Choose() emits chosen. The strip
// is hidden while it has nothing to offer.
//
// The words of the other language come first, under their language's name, then the
// rest under the question, each group in the order of the suggester (best first). The
// numbers of Choose() count in that shown order, so that Alt+1 is always the first word
// the user sees.
//
// The main window owns it; UI thread only.
namespace quillet {

class TSuggestionStrip : public QWidget {
    Q_OBJECT

public:
    explicit TSuggestionStrip(QWidget* parent = nullptr);

    // The captions, already in the interface language: the question ("Meinten Sie") and
    // the names of the dictionary's language 1 and language 2; the colons are the strip's.
    void SetTexts(const QString& question, const QString& language1, const QString& language2);

    // Shows `suggestions` (at most TSuggester::kMaxSuggestions are taken); none hides the
    // strip.
    void SetSuggestions(const TSuggestionArray& suggestions);
    void Clear() { SetSuggestions({}); }
    // The suggestions in the order shown.
    const TSuggestionArray& Suggestions() const { return FShown; }
    // The line as shown, "Englisch: went  Meinten Sie: wenn · Wendt"; empty when hidden.
    QString ShownText() const;
    // The button of shown suggestion `index`; null outside.
    QAbstractButton* WordButton(int index) const;

    // Emits chosen for the shown suggestion `index` (0-based); false, and nothing emitted,
    // when there is no such suggestion.
    bool Choose(int index);

signals:
    void chosen(const quillet::TSuggestion& suggestion);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void Rebuild();
    QString Caption(const TSuggestion& suggestion) const;

    QString FQuestion = QStringLiteral("Meinten Sie");
    QString FLanguages[2] = {QStringLiteral("Deutsch"), QStringLiteral("Englisch")};
    TSuggestionArray FShown;
    QHBoxLayout* FLayout = nullptr;
    std::vector<QAbstractButton*> FButtons; // one per shown suggestion
};

} // namespace quillet
