// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "IniFile.h"
#include "Status.h"

#include <QRect>
#include <QString>
#include <QStringList>

// Every value the program keeps in options.ini, with its default. The main window loads it
// at start-up, applies it to its controls, copies the controls back before closing and
// then saves it; the settings dialog edits it in between. A plain value: UI thread only,
// like the window that owns it.
//
// Values a user may have edited by hand into something the program never writes fall back
// to their defaults: a Direction or interface Language other than 0 or 1, a hotkey code or
// modifier set outside 16 bits, a delay outside 0 to kMaxDelayMs (1000 ms: the three copy
// delays and Auto_Search_Delay), a window or font size of 0 or less (LeftPanel may be 0:
// the word list's panel snapped closed), and an empty dictionary or font name. Window
// positions may be negative (screens left of or above the primary one); where the window
// goes is FitWindowToScreen's business.
namespace quillet {

// The longest delay, in milliseconds, that start-up takes from options.ini and that the
// settings dialog lets the user enter, for each of the four delays. A longer one makes the
// search or the hotkey lookup seem dead.
inline constexpr int kMaxDelayMs = 1000;
// The smallest window start-up restores; a smaller one could hardly be found or grabbed.
inline constexpr int kMinWindowWidth = 200;
inline constexpr int kMinWindowHeight = 100;

// Keys that menu commands write at once rather than at close.
inline constexpr char kIniDictionary[] = "Dictionary";
inline constexpr char kIniCheckUpdate[] = "Check_Update";
inline constexpr char kIniGui[] = "GUI";
inline constexpr char kIniLanguage[] = "Language";

inline constexpr int kMaxHistory = 10;

struct TSettings {
    int Direction = 0; // searched language: 0 language 1, 1 language 2
    QString Name = QStringLiteral("de_en_dict");

    int Left = 10;
    int Top = 10; // stored as Window/Pos
    int Width = 750;
    int Height = 540;
    int LeftPanel = 150;

    QString GridFontName = QStringLiteral("Arial");
    int GridFontSize = 9;
    QString ListFontName = QStringLiteral("Tahoma");
    int ListFontSize = 9;

    quint16 HotKeyChar = 123; // virtual-key code; 123 is F12
    quint16 HotKeyMod = 1;    // 1 Alt, 2 Ctrl, 4 Shift
    int CopyDelay1 = 250;     // ms before the copy request
    int CopyDelay2 = 150;     // ms the copy keys are held
    int CopyDelay3 = 150;     // ms before the clipboard is read

    QString PronFontName = QStringLiteral("Junicode");
    int PronFontSize = 12;

    bool ReverseLanguage = false;
    bool CloseQuestion = false;
    bool AutoSearch = true;
    int AutoSearchDelay = 200; // ms
    QString LastWord;
    QStringList History; // most recent first, at most kMaxHistory

    bool FlatSkin = false;
    bool CheckUpdate = false;
    int UILanguage = 0; // GUI/Language: 0 German, 1 English

    // Replaces every value by the file's, or by its default when the key is missing or
    // its value unusable.
    void Load(const TIniFile& ini);
    // Writes the values the program owns at close, in a fixed order, and stops at the
    // first write that fails; the keys written before it stay. List fonts, Flat_Skin,
    // Check_Update and the interface language are left as they are in the file.
    TStatus SaveAtClose(TIniFile& ini) const;

    bool operator==(const TSettings&) const = default;
};

// options.ini in Quillet/Dictionary under the user's configuration folder (the roaming
// application-data folder on Windows), which is created when missing; when there is no
// such folder or it cannot be created, options.ini in `programFolder`.
QString SettingsFilePath(const QString& programFolder);

// Where the stored window goes on a screen whose free area (without task bars) is
// `available`: the size brought within kMinWindowWidth x kMinWindowHeight and the area's
// size (the minimum yields to a smaller area), then the window moved just as far as needed
// to lie wholly inside the area. Any int values, also ones whose sums overflow. With an
// empty area (no screen at all) the default place and size.
QRect FitWindowToScreen(int left, int top, int width, int height, const QRect& available);

// GUI/Language as the file holds it now (0 German, 1 English; anything else reads as 0).
// The first activation reads it there rather than taking the start-up value: a menu may
// have chosen another language since.
int ReadUILanguage(const TIniFile& ini);

} // namespace quillet
