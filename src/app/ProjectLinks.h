// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QStringView>

// The program's own web presence: what the banner advertises and where the about window
// and the menus send the user. The German text of each pair is also the key of its
// English translation (Translations.h), so German captions are built from these constants
// and passed through Translate. The addresses use the reserved example domain until the
// project has a site of its own. Constants; any thread.
namespace quillet {

inline constexpr QStringView kSiteHost = u"quillet.example.org";

inline constexpr QStringView kSiteNameDe = u"Quillet Wörterbuch";
inline constexpr QStringView kSiteNameEn = u"Quillet Dictionary";

inline constexpr QStringView kSloganDe = u"Wort gefehlt? Sagen Sie es uns!";
inline constexpr QStringView kSloganEn = u"Missing a word? Tell us!";

inline constexpr QStringView kProductPageDe = u"https://quillet.example.org/de/";
inline constexpr QStringView kProductPageEn = u"https://quillet.example.org/en/";

inline constexpr QStringView kForumDe = u"https://quillet.example.org/de/forum";
inline constexpr QStringView kForumEn = u"https://quillet.example.org/en/forum";

inline constexpr QStringView kIssueTracker = u"https://quillet.example.org/issues";

} // namespace quillet
