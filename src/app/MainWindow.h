// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "Autorun.h"
#include "DesktopWindows.h"
#include "DictDB.h"
#include "GlobalHotkey.h"
#include "IndexLoader.h"
#include "IniFile.h"
#include "MainWindowPainting.h"
#include "SearchBox.h"
#include "Settings.h"

#include <functional>
#include <memory>
#include <optional>
#include <QIcon>
#include <QPixmap>
#include <QPointer>
#include <QTimer>
#include <QWidget>

class QLabel;
class QListWidget;
class QMenu;
class QAction;
class QSplitter;
class QSystemTrayIcon;
class QTabBar;
class QPainter;
class QToolButton;

namespace quillet {

class TAboutForm;
class THotkeyLookup;
class TOptionsWin;
class TUpdateCheck;
struct TUpdateResult;
class TFormCaption;
class TFormStatusbar;
class TPaintBoxEx;
class TPronPanel;
class TResultGrid;
class TRoundButton;
class TSpeaker;
class TSuggester;
class TSuggestionStrip;
struct TLoadReport;
struct TSuggestion;

// `TMainForm`: the main window. It owns the settings file, the current dictionary object
// and the lookup screen: the search box with its history and the word list on the left,
// the language tabs, the result grid and the pronunciation line on the right, the status
// line at the bottom, and the main menu.
//
// Lookups always take one road: whoever has a word puts it into the search box and
// starts SearchTimer; the lookup runs when the timer ticks twice with no typing between.
// Index loading runs on a TDBLoader thread; while it runs no lookup touches the lists, and
// a direction or dictionary switch asked for meanwhile is queued until it has finished.
// A dictionary's first run also builds its suggester, for the line of suggestions above
// the grid; switches wait for that too, lookups do not.
//
// UI thread only.
class TMainForm : public QWidget {
    Q_OBJECT
public:
    // `programFolder` starts the search path of the dictionaries (DataFolders.h);
    // `settingsPath` is the options.ini to use.
    TMainForm(const QString& programFolder, const QString& settingsPath, bool startHidden);
    ~TMainForm() override;

    // Operations other parts of the program (and the tests) use.
    void LoadDictionary(const QString& baseName);
    void SwitchDirection(bool flipTab);
    void FocusSearchText();
    void AddToHistory(const QString& text);
    void FillResultGrid(int position);
    void ApplyUILanguage(int index);
    bool IsLoading() const { return FLoader != nullptr; }

    TDictDB* Dictionary() const { return FDict.get(); }
    TSearchBox* SearchText() const { return FSearchText; }
    QListWidget* WordListBox() const { return FWordListBox; }
    TResultGrid* ResultGrid() const { return FResultGrid; }
    TPronPanel* PronPanel() const { return FPronPanel; }
    TSuggestionStrip* SuggestionStrip() const { return FSuggestionStrip; }
    QToolButton* BtnSpeak() const { return FBtnSpeak; }
    // The word the speak button and Ctrl+Space read: the current headword, or the word
    // hovered in the grid since; and its language (direction value).
    QString SpeakWord() const { return FSpeakWord; }
    int SpeakLanguage() const { return FSpeakLanguage; }
    QTabBar* LangTabControl() const { return FLangTabControl; }
    TFormStatusbar* Statusbar() const { return FStatusbar; }
    TFormCaption* FormCaption() const { return FFormCaption; }
    QMenu* MainMenu() const { return FMainMenu; }
    QTimer* SearchTimer() { return &FSearchTimer; }
    const TSettings& Settings() const { return FSettings; }
    int EscapeCount() const { return FEscapeCount; }
    bool SelectAfterSearch() const { return FSelectAfterSearch; }
    // The caption bar's close button: asks first when the close question is on.
    void FormCaptionCloseForm();
    // Minimise requests (caption button, second Escape, hotkey while active) end here:
    // the window hides into the notification area.
    void HideToTray();
    // After an import into a data folder: a new set becomes selectable, and the open
    // one is loaded again when it was replaced.
    void DictionaryImported(const QString& baseName);
    // Shows the window in its normal state, in front, active.
    void BringUp();
    // A lookup asked for from outside (`--lookup WORD`, a desktop shortcut): the word goes
    // into the search box and the window comes up, as for the hotkey.
    void LookUp(const QString& word) { HotkeyBringUp(word); }
    bool TrayIconShown() const { return FTrayIconShown; }
    // How long the end of the program waits for a load run that is still reading.
    static constexpr int kLoadRunWaitMs = 2000;
    // Waits up to `timeoutMs` for the last load run to end; true when none runs any more.
    // A run that goes on (a read that hangs: a dictionary on a share that stopped
    // answering) is left the dictionary object it reads, which goes when the run ends, and
    // the window lets go of both, so that it can be destroyed; false then. The rest of the
    // process must then be ended without running destructors under the run. REQUIRES: the
    // window is closed; the destructor calls it too.
    bool LetGoOfLoadRun(int timeoutMs);
    // The window from which the last hotkey lookup came; 0 when none.
    TWindowId ForeignWindow() const;

signals:
    // A load run has finished (index and pronunciations), successfully or not.
    void loadFinished();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    // Building the window (MainWindow.cpp).
    void CreateControls();
    void CreateMenu();
    void ApplySettings();
    void LayoutControls();
    void SetStatusText(const QString& text);
    void SetGridCaptions();
    QString WindowTitleFor(const QString& displayName) const;

    // Search input and word list (MainWindowSearch.cpp).
    void SearchText_KeyDown(QKeyEvent* event, bool& consumed);
    void SearchText_KeyUp(QKeyEvent* event);
    void SearchText_Change();
    void SearchTextSelect();
    void SearchTimerTimer();
    void WordListBoxClick();
    void RestartSearchTimer(int interval);
    void ShowPronunciation(const QString& word);
    void MoveInWordList(int step);
    // FindWords on the text; the word list shows the window and selects the headword at
    // its top.
    void FindAndShowWords(const QString& text);
    // A word chosen in the grid or the suggestion line: into the search box and looked
    // up, after a switch of the direction when it is a word of the other language.
    void LookUpChosenWord(const QString& word, bool otherLanguage);

    // Suggestions (MainWindowSuggest.cpp).
    void CreateSuggestionStrip();
    // What the user may have meant by the text of the last lookup, into the strip.
    void ShowSuggestions();
    void SuggestionChosen(const TSuggestion& suggestion);
    void SuggesterBuilt(std::shared_ptr<const TSuggester> suggester);
    void TranslateSuggestionStrip();

    // Hearing a word (MainWindowSpeech.cpp).
    void CreateSpeech();
    void TranslateSpeech();
    void SetSpeakWord(const QString& word, int language);
    // Reads `word` of the dictionary language `language` (direction value), in the
    // background; the status line says when there is no sound device.
    void SpeakWordOf(const QString& word, int language);

    // Dictionary selection, direction and the load run (MainWindowDictionary.cpp).
    // The dictionary menu from `dictionaries`, the item of `current` disabled.
    void BuildDictionaryMenu(const TDictionaryArray& dictionaries, const QString& current);
    void SelectDictionaryClick(int index);
    // A fresh dictionary object on `baseName` in the current direction, loaded as at
    // start-up; the old one goes once no load run uses it.
    void ReopenDictionary(const QString& baseName);
    // `buildSuggester`: the run also builds the dictionary's suggester (its first run).
    void StartLoader(bool buildSuggester = false);
    // Switches of the direction or the dictionary wait while an index loads and while
    // the suggester reads the lists.
    bool SwitchMustWait() const { return IsLoading() || FSuggestRun; }
    void LoaderIndexLoaded(const TLoadReport& report);
    // The status line and InfoLabel for a finished index load, in the interface language.
    void ShowLoadReport(const TLoadReport& report);
    void LoaderFailed(const QString& message);
    void LoaderFinished();
    void RunWhenIdle(std::function<void()> action);
    void LangTabControlChange(int index);

    // Command keys (MainWindowKeys.cpp): true when `key` was one and has been handled.
    bool CommandKey(QKeyEvent* key);
    void OpenMainMenuFromKeyboard();

    // The window's own chrome: frame, shape, banner, about window (MainWindowChrome.cpp).
    void CreateChrome();
    void ApplySkin();
    void FormResize();
    void AdPaintBoxPaint(QPainter& canvas);
    void AdPaintBoxMouseEnter();
    void AdPaintBoxMouseLeave();
    void AdPaintBoxClick();
    void miAboutClick();
    QString BannerText() const;

    // The global hotkey and its lookup (MainWindowHotkey.cpp).
    void CreateHotkey();
    void RegisterHotkey();
    // What the status line says about the hotkey: not available here, or none set; empty
    // when it works.
    QString HotkeyNote() const;
    void ShowHotkeyNote();
    void UnregisterHotkey();
    void HotkeyPressed();
    void HotkeyBringUp(const QString& word);

    // Settings dialog and update check (MainWindowDesktop.cpp).
    void miOptionsWinClick();
    void miSearchUpdateClick();
    void UpdateCheckFinished(const TUpdateResult& result);

    // The notification area (MainWindowTray.cpp).
    static QIcon ProgramIcon();
    void CreateTrayIcon();
    void ShowTrayIcon();

    // Start-up and closing (MainWindowLifecycle.cpp).
    void WriteSettingsAtClose();
    void FirstActivationWork();

    QString FProgramFolder;
    TIniFile FIni;
    TSettings FSettings;
    std::unique_ptr<TDictDB> FDict;
    QPointer<TDBLoader> FLoader;     // set while an index is being read: no lookups then
    QPointer<TDBLoader> FThread;     // the last run, which may still read pronunciations
    QPointer<TDBLoader> FSuggestRun; // the run that builds the suggester, until it ends
    std::shared_ptr<const TSuggester> FSuggester; // of the current dictionary, once built
    bool FSuggestionsWaitForStems = false; // the last lookup's wait for the load run's end
    std::vector<std::function<void()>> FPending;  // switches asked for during a load

    // Controls, named as the program's parts know them.
    TFormCaption* FFormCaption = nullptr;
    TPaintBoxEx* FAdPaintBox = nullptr;
    QPixmap FBannerHouse; // shown left of the banner text under the pointer
    TAboutForm* FAboutForm = nullptr;
    int FDownX = 0; // the last press on the window's own surface
    int FDownY = 0;
    QWidget* FRootPanel = nullptr;
    QSplitter* FSplitter = nullptr;
    QWidget* FLeftPanel = nullptr;
    QWidget* FRightPanel = nullptr;
    TFlagTabBar* FLangTabControl = nullptr;
    TSearchBox* FSearchText = nullptr;
    QListWidget* FWordListBox = nullptr;
    QLabel* FInfoLabel = nullptr;
    TRoundButton* FBtnDictInfo = nullptr;
    TSuggestionStrip* FSuggestionStrip = nullptr;
    TResultGrid* FResultGrid = nullptr;
    TPronPanel* FPronPanel = nullptr;
    QToolButton* FBtnSpeak = nullptr;
    QLabel* FPronLabel = nullptr;
    QAction* FMiSpeak = nullptr; // in the grid's menu
    TSpeaker* FSpeaker = nullptr;
    QString FSpeakWord;
    int FSpeakLanguage = 0;
    TFormStatusbar* FStatusbar = nullptr;
    QMenu* FMainMenu = nullptr;
    QSystemTrayIcon* FTrayIcon = nullptr;
    bool FTrayIconShown = false;
    std::unique_ptr<TGlobalHotkey> FHotkey;
    THotkeyLookup* FHotkeyLookup = nullptr;
    std::unique_ptr<TDesktopWindows> FDesktop;
    std::unique_ptr<TAutorun> FAutorun;
    bool FAutorunState = false; // the autostart entry exists, as read at start-up
    TOptionsWin* FOptionsWin = nullptr;
    TUpdateCheck* FUpdateCheck = nullptr;
    QMenu* FDictionaryMenu = nullptr;
    QMenu* FLanguageMenu = nullptr;
    QMenu* FUpdateMenu = nullptr;
    QAction* FMiImport = nullptr;
    QAction* FMiSelectDictionary = nullptr;
    QAction* FMiUserInterface = nullptr;
    QAction* FMiSetLanguage[2] = {nullptr, nullptr};
    QAction* FMiUpdate = nullptr;
    QAction* FMiSearchUpdate = nullptr;
    QAction* FMiAutoCheckUpdate = nullptr;
    QAction* FMiOptionsWin = nullptr;
    QAction* FMiAbout = nullptr;
    QAction* FMiClose = nullptr;
    std::vector<QAction*> FDictionaryItems;

    QTimer FSearchTimer;
    // Soon after a lookup, lets go of the file pages it and its suggestions read (index
    // records, pronunciations, the suggestion index: TDictDB::TrimResidentMemory,
    // TSuggester::DropResidentPages). The kernel maps the 64 KiB around every page read,
    // which would otherwise stay counted to the window until it ends.
    QTimer FTrimTimer;
    int FArmed = 0; // the search box's Tag: 1 once a tick has passed with no typing
    bool FMultiWordSearch = false;
    QString FLookupText;  // the search text of the last lookup by the timer
    QString FLookupShown; // the headword it showed
    bool FSelectAfterSearch = true;
    bool FMovingWordList = false;       // the program sets the word list's line
    bool FWordListRowChanged = false;   // the word list's line changed in this event
    bool FWordListPressChanged = false; // the last press on the list changed its line
    bool FFirstActivation = true;
    std::optional<TLoadReport> FReportBeforeActivation; // the report the activation redoes
    int FEscapeCount = 0;
    int FCurrentDictIndex = -1;
    bool FClosing = false;
    int FLeftPanelWidth = 0; // LeftPanel's width as stored or last dragged
    QString FInfoLabelStyle;
};

} // namespace quillet
