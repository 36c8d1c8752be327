// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QString>
#include <QUrl>

class QMenu;

// Looking a word of the result grid up on the web: Wikipedia, Google, Yahoo or Bing (the
// successor of the MSN search), in the English edition for a word of language 1 and the
// German edition for one of language 2. The browser is the desktop's default one.
//
// WebSearchUrl is a pure function (any thread); the rest is UI thread only.
namespace quillet {

class TResultGrid;

// The services in the order, and with the tags, of the grid's context menu.
enum class TWebService { Wikipedia = 1, Google = 2, Yahoo = 3, MSN = 4 };

// The address that searches `word` on `service`. `language` is the grid's PopupLanguage:
// 0 selects the English edition, 1 the German one. The word goes in exactly as given
// (not trimmed), percent-encoded as UTF-8, so umlauts arrive intact and characters such
// as "&", "+", "#" or "?" stay part of the word instead of ending it.
QUrl WebSearchUrl(TWebService service, int language, const QString& word);

// Opens the search in the browser. Nothing is reported when there is no browser: the
// desktop may still show its own notice.
void OpenWebSearch(TWebService service, int language, const QString& word);

// Appends a separator and the four search items ("miSearchWikipedia", "miSearchGoogle",
// "miSearchYahoo", "miSearchMSN", tags 1 to 4 as the actions' data) to the grid's context
// menu, captioned in the current interface language. Each item searches the word the
// last right click left in the grid (PopupWord, PopupLanguage).
void AddWebSearchItems(TResultGrid* grid);

// Sets the captions of the search items of `menu` in the current interface language.
void TranslateWebSearchItems(QMenu* menu);

} // namespace quillet
