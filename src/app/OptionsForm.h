// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QDialog>
#include <QKeySequenceEdit>
#include <QString>
#include <QStringList>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

// The settings dialog and the rules behind it. UI thread only: the main window creates
// the dialog once at start-up (which builds the font lists) and opens it from its menu
// item `miOptionsWin`.
namespace quillet {

class TAutorun;
struct TSettings;

// Name of the entry that starts the program with the user's session, and the arguments
// it starts the program with: hidden in the notification area.
inline constexpr char kAutorunEntryName[] = "Quillet-Dictionary";
inline constexpr char kAutorunArguments[] = "/min";

// True when the installed font `family` itself (not a substitute) has glyphs for the IPA
// characters that transcriptions use, and for most of the IPA Extensions block
// (U+0250..U+02AF). Fonts often hold the block inside a wider glyph range, so the glyphs
// are asked for one by one rather than by where a range starts.
bool FontCoversIPA(const QString& family);

// The fonts offered for the pronunciation text: the families that cover IPA, in the given
// order; all of them when none does; "Junicode" (which the program brings along) appended
// when missing.
QStringList PronunciationFontFamilies(const QStringList& families);

// The rule a delay box applies when it is left: an integer above 1000 (kMaxDelayMs, the
// bound start-up applies too) or below 0 becomes "1000", a text that is no integer (also an
// empty one) "200". OK applies the rule to every box, so the dialog stores no other value.
QString DelayTextOnLeave(const QString& text);

// The hotkey editor: holds one key combination; each combination typed replaces the one
// before, as the platform's hotkey controls do. Only combinations that IsHotkeyCombination
// allows are taken; another one leaves the value as it was and reports `refused`. Escape
// and Return are not recorded but keep their roles in the dialog (Cancel, OK), and Tab
// moves the focus on. Qt's prompt in the empty box follows the interface language.
class THotKeyEdit : public QKeySequenceEdit {
    Q_OBJECT
public:
    explicit THotKeyEdit(QWidget* parent = nullptr);

    // Sets the value from the settings; Cleared() is false again.
    void SetHotkey(const QKeySequence& sequence);
    // The user emptied the box (its clear button) since SetHotkey.
    bool Cleared() const { return FCleared && keySequence().isEmpty(); }

signals:
    void refused();

protected:
    bool event(QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    // The value taken last; QKeySequenceEdit empties itself when a recording starts, and a
    // recording that ends without a key taken goes back to it.
    QKeySequence FTaken;
    bool FCleared = false;
    bool FInKey = false;
};

// What Execute did.
enum class TOptionsResult {
    Cancelled,     // nothing changed
    Applied,       // every value applied
    AutorunFailed, // every value applied, but the autorun entry could not be changed
};

// `TOptionsWin`: the settings dialog ("Einstellungen"). It edits a TSettings and the
// autorun state; refreshing the main window, and releasing and registering the global
// hotkey around the dialog, are the caller's.
class TOptionsWin : public QDialog {
    Q_OBJECT
public:
    // Builds the controls and the font lists; slow with many fonts, so once per program.
    explicit TOptionsWin(QWidget* parent = nullptr);

    // Fills the controls from `settings` and `autorunState`, shows the dialog modally and,
    // when the user confirms with OK, applies it (Apply). The frame's close box and Escape
    // cancel like the Cancel button.
    TOptionsResult Execute(TSettings& settings, bool& autorunState, TAutorun& autorun,
                           const QString& programPath);

    // The two halves of Execute, for callers that show the dialog themselves.
    void Fill(const TSettings& settings, bool autorunState);
    // Writes the controls into `settings` in the program's order: hotkey, copy delays,
    // autorun (written through `autorun` only when the box differs from `autorunState`;
    // the state follows the box only when the write succeeded), search while typing and
    // its delay, reversed columns, close question, grid font, pronunciation font. The delay
    // boxes get their leave rule first, so they always hold what is applied. An editor the
    // user cleared stores 0 (no hotkey); one that was left empty because the stored code has
    // no key here keeps the code. An empty font name or a size that is no integer in
    // 1..200 keep the value they would replace.
    TOptionsResult Apply(TSettings& settings, bool& autorunState, TAutorun& autorun,
                         const QString& programPath);

    // Relabels the dialog in the current interface language.
    void ApplyUILanguage();

    void accept() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateControls();
    void BuildFontLists();
    void checkAutoSearchClick();
    void DelayEditExit(QLineEdit* edit);

    QGroupBox* FHotKeyGroup = nullptr;
    QGroupBox* FSearchGroup = nullptr;
    QGroupBox* FFontGroup = nullptr;
    QGroupBox* FMiscGroup = nullptr;
    QLabel* FLabel2 = nullptr;
    QLabel* FLabel3 = nullptr;
    QLabel* FLabel4 = nullptr;
    QLabel* FLabel5 = nullptr;
    QLabel* FLabel6 = nullptr;
    QLabel* FLabel7 = nullptr;
    QLabel* FLabel8 = nullptr;
    QLabel* FLabel9 = nullptr;
    QLabel* FLabel10 = nullptr;
    THotKeyEdit* FHotKeyEdit = nullptr;
    QLabel* FHotKeyNote = nullptr; // why a combination typed was not taken
    QLineEdit* FCopyDelayEdit[3] = {nullptr, nullptr, nullptr};
    QLineEdit* FAutoSearchDelayEdit = nullptr;
    QCheckBox* FCheckAutoSearch = nullptr;
    QComboBox* FFont1Combo = nullptr;
    QComboBox* FSize1Combo = nullptr;
    QComboBox* FFont2Combo = nullptr;
    QComboBox* FSize2Combo = nullptr;
    QCheckBox* FCheckAutorun = nullptr;
    QCheckBox* FCheckLanguageDirection = nullptr;
    QCheckBox* FCheckCloseQuestion = nullptr;
    QPushButton* FOkButton = nullptr;
    QPushButton* FCancelButton = nullptr;
};

} // namespace quillet
