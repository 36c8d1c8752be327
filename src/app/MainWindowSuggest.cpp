// SPDX-License-Identifier: GPL-2.0-or-later
// The suggestion line of the main window: what the user may have meant by the text of the
// last lookup, computed when the search timer's lookup runs (never per key), from the
// suggester that the dictionary's first load run builds.
#include "MainWindow.h"

#include "IndexLoader.h"
#include "Suggest.h"
#include "SuggestionStrip.h"
#include "TextTools.h"
#include "Translations.h"

namespace quillet {

void TMainForm::CreateSuggestionStrip() {
    FSuggestionStrip = new TSuggestionStrip(FRightPanel);
    FSuggestionStrip->setObjectName(QStringLiteral("SuggestionStrip"));
    connect(FSuggestionStrip, &TSuggestionStrip::chosen, this, &TMainForm::SuggestionChosen);
    TranslateSuggestionStrip();
}

void TMainForm::TranslateSuggestionStrip() {
    QString languages[2] = {QStringLiteral("Deutsch"), QStringLiteral("Englisch")};
    if (FDict && FDict->IsOpen())
        for (int d = 0; d < 2; ++d)
            if (!FDict->Language(d).Name.isEmpty())
                languages[d] = FDict->Language(d).Name;
    FSuggestionStrip->SetTexts(Translate(QStringLiteral("Meinten Sie")), Translate(languages[0]),
                               Translate(languages[1]));
}

void TMainForm::ShowSuggestions() {
    // One word only: the suggester has nothing for several, and a text that the last
    // lookup did not take (a click in the word list, a new load) has none either.
    const QString text = Trim(FLookupText);
    FSuggestionsWaitForStems = false;
    if (!FSuggester || !FDict || text.isEmpty() || text.contains(u' ')) {
        FSuggestionStrip->Clear();
        return;
    }
    // The direction's Hunspell dictionary still opening (a direction switch's load run):
    // the suggestions come when the run ends, rather than the window waiting for it.
    if (!FSuggester->StemsReady(FDict->Direction())) {
        FSuggestionStrip->Clear();
        FSuggestionsWaitForStems = true;
        return;
    }
    FSuggestionStrip->SetSuggestions(FSuggester->Suggest(text, FDict->Direction(), FLookupShown));
    FTrimTimer.start();
}

void TMainForm::SuggestionChosen(const TSuggestion& suggestion) {
    if (!FDict || IsLoading())
        return;
    LookUpChosenWord(suggestion.Word, suggestion.Direction != FDict->Direction());
    FocusSearchText();
}

void TMainForm::SuggesterBuilt(std::shared_ptr<const TSuggester> suggester) {
    // A run of a dictionary that has been replaced meanwhile is not the current one's.
    if (sender() != FSuggestRun)
        return;
    FSuggester = std::move(suggester);
    TranslateSuggestionStrip();
    // The first lookup may have run before the suggester was in.
    ShowSuggestions();
}

} // namespace quillet
