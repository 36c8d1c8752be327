// SPDX-License-Identifier: GPL-2.0-or-later
#include "MainWindow.h"

#include "AboutForm.h"
#include "AccessibleNames.h"
#include "DataFolders.h"
#include "DrawTools.h"
#include "FormCaption.h"
#include "FormStatusbar.h"
#include "IndexLoader.h"
#include "MainWindowPainting.h"
#include "OptionsForm.h"
#include "PaintBoxEx.h"
#include "PronFont.h"
#include "PronPanel.h"
#include "ResultGrid.h"
#include "ResultGridAccessible.h"
#include "RoundButton.h"
#include "SearchBox.h"
#include "SkinPalette.h"
#include "SuggestionStrip.h"
#include "Translations.h"
#include "WebSearch.h"

#include <algorithm>
#include <climits>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QScreen>
#include <QSplitter>
#include <QTabBar>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace quillet {
namespace {

constexpr int kStatusHeight = 28;

} // namespace

TMainForm::TMainForm(const QString& programFolder, const QString& settingsPath, bool startHidden)
    : FProgramFolder(programFolder), FIni(settingsPath) {
    setWindowTitle(QStringLiteral("Quillet Dictionary"));
    setObjectName(QStringLiteral("MainForm"));
    InstallDisplayAccessibility();
    CreateControls();
    CreateMenu();
    CreateTrayIcon();

    // Start-up work, in the program's fixed order.
    FSettings.Load(FIni);
    ApplySettings();
    ApplySkin();
    FAutorun = CreateAutorun();
    FAutorunState = FAutorun->AutorunEntryExists(kAutorunEntryName);
    FDict = std::make_unique<TDictDB>(FSettings.Direction, DataFolders(FProgramFolder));
    BuildDictionaryMenu(FDict->Dictionaries(), FSettings.Name);
    LoadDictionary(FSettings.Name);
    FLangTabControl->blockSignals(true);
    FLangTabControl->setCurrentIndex(FDict->Direction());
    FLangTabControl->blockSignals(false);
    // Hidden at once, as the autostart entry asks: the same road as every minimise.
    if (startHidden)
        HideToTray();
    CreateHotkey();
    if (FSettings.CheckUpdate)
        miSearchUpdateClick();
}

TMainForm::~TMainForm() {
    // The controls are destroyed after this window's members; nothing they still signal
    // may reach the window then.
    qApp->removeEventFilter(this);
    for (QObject* child : findChildren<QObject*>())
        QObject::disconnect(child, nullptr, this, nullptr);
    FSearchTimer.stop();
    // The dictionary object must outlive any run that still works on it, and the close
    // must not wait for ever for a run that hangs.
    (void)LetGoOfLoadRun(kLoadRunWaitMs);
}

void TMainForm::CreateControls() {
    setAutoFillBackground(true);
    setPalette(SkinPalette(palette()));

    FRootPanel = new QWidget(this);
    FSplitter = new TGripSplitter(FRootPanel);
    auto* rootLayout = new QVBoxLayout(FRootPanel);
    rootLayout->setContentsMargins(0, 0, 0, 0);
    rootLayout->addWidget(FSplitter);

    FLeftPanel = new QWidget(FSplitter);
    FLeftPanel->setMinimumWidth(TGripSplitter::kMinPanel);
    FLangTabControl = new TFlagTabBar(FLeftPanel);
    FLangTabControl->setObjectName(QStringLiteral("LangTabControl"));
    FLangTabControl->addTab(QStringLiteral("DEU"));
    FLangTabControl->addTab(QStringLiteral("ENG"));
    FLangTabControl->setFocusPolicy(Qt::NoFocus);
    FLangTabControl->SetFlags(0, QPixmap(QStringLiteral(":/flags/de.png")),
                              QPixmap(QStringLiteral(":/flags/de_grey.png")));
    FLangTabControl->SetFlags(1, QPixmap(QStringLiteral(":/flags/gb.png")),
                              QPixmap(QStringLiteral(":/flags/gb_grey.png")));
    connect(FLangTabControl, &QTabBar::currentChanged, this, &TMainForm::LangTabControlChange);

    FSearchText = new TSearchBox(FLeftPanel);
    FSearchText->setObjectName(QStringLiteral("SearchText"));
    FSearchText->setEditable(true);
    FSearchText->setInsertPolicy(QComboBox::NoInsert);
    FSearchText->setMaxVisibleItems(10);
    FSearchText->setMaxCount(10);
    FSearchText->setCompleter(nullptr);
    FSearchText->setDuplicatesEnabled(false);
    connect(FSearchText->lineEdit(), &QLineEdit::textChanged, this,
            [this] { SearchText_Change(); });
    connect(FSearchText, &TSearchBox::historyPicked, this, [this] { SearchTextSelect(); });

    FWordListBox = new QListWidget(FLeftPanel);
    FWordListBox->setObjectName(QStringLiteral("WordListBox"));
    FWordListBox->setUniformItemSizes(true);
    FWordListBox->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // The selected line is the current headword: every change the user makes to it (keys,
    // a press or a drag across lines) looks it up, as a click does. The program's own moves
    // of the line are no such change.
    connect(FWordListBox, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row < 0 || FMovingWordList)
            return;
        // A press changes the line before it reports itself: the flag tells it so.
        FWordListRowChanged = true;
        QTimer::singleShot(0, this, [this] { FWordListRowChanged = false; });
        WordListBoxClick();
    });
    connect(FWordListBox, &QListWidget::itemPressed, this,
            [this] { FWordListPressChanged = FWordListRowChanged; });
    // A click on the line that is current already changes nothing, and looks up all the same.
    connect(FWordListBox, &QListWidget::itemClicked, this, [this] {
        if (!FWordListPressChanged)
            WordListBoxClick();
    });

    auto* leftLayout = new QVBoxLayout(FLeftPanel);
    leftLayout->setContentsMargins(0, 14, 0, 0);
    leftLayout->setSpacing(5);
    leftLayout->addWidget(FLangTabControl, 0, Qt::AlignLeft);
    leftLayout->addWidget(FSearchText);
    leftLayout->addWidget(FWordListBox, 1);

    FRightPanel = new QWidget(FSplitter);
    FRightPanel->setMinimumWidth(TGripSplitter::kMinPanel);
    // The word list's side is a panel aligned left: it keeps its width, only the right
    // side follows the window's, and only the left one snaps closed.
    FSplitter->setStretchFactor(0, 0);
    FSplitter->setStretchFactor(1, 1);
    FSplitter->setCollapsible(0, true);
    FSplitter->setCollapsible(1, false);
    connect(FSplitter, &QSplitter::splitterMoved, this, [this] {
        FLeftPanelWidth = FSplitter->sizes().value(0);
        FormResize();
    });
    FInfoLabel = new QLabel(FRightPanel);
    FInfoLabel->setObjectName(QStringLiteral("InfoLabel"));
    FInfoLabel->setAutoFillBackground(true);
    // Its own colours, which the green of a load replaces for a while: a style sheet's
    // end leaves a label with the desktop's palette, not the window's.
    QPalette infoColors = FInfoLabel->palette();
    infoColors.setColor(QPalette::Window, PlatformColor(skin::ButtonFace));
    infoColors.setColor(QPalette::WindowText, PlatformColor(skin::Black));
    FInfoLabel->setPalette(infoColors);
    FBtnDictInfo = new TRoundButton(FRightPanel);
    FBtnDictInfo->setObjectName(QStringLiteral("btnDictInfo"));
    FBtnDictInfo->setCaption(QStringLiteral("Wörterbuch Info"));
    FBtnDictInfo->setFixedSize(127, 25);
    FBtnDictInfo->setColor(skin::AccentOrange);
    FBtnDictInfo->setOverColor(skin::DarkOrangeOutline);
    FBtnDictInfo->setBorderColor(skin::DarkOrangeOutline);
    FBtnDictInfo->setBorderWidth(1);
    FBtnDictInfo->setBorderRadius(12);
    FBtnDictInfo->setFont(PixelFont(QStringLiteral("Tahoma"), 11, true));
    FResultGrid = new TResultGrid(FRightPanel);
    FResultGrid->setObjectName(QStringLiteral("ResultGrid"));
    AddWebSearchItems(FResultGrid);
    FPronPanel = new TPronPanel(FRightPanel);
    FPronPanel->setObjectName(QStringLiteral("PronPanel"));
    FPronPanel->SetTranslator([](const QString& text) { return Translate(text); });
    FPronLabel = new QLabel(QStringLiteral("Aussprache"), FRightPanel);
    FPronLabel->setObjectName(QStringLiteral("PronLabel"));

    auto* top = new QHBoxLayout;
    top->setContentsMargins(0, 11, 11, 0);
    top->addWidget(FInfoLabel, 1);
    top->addWidget(FBtnDictInfo);
    auto* bottom = new QHBoxLayout;
    bottom->setContentsMargins(0, 0, 0, 0);
    bottom->addWidget(FPronPanel, 1);
    CreateSpeech();
    bottom->addWidget(FBtnSpeak);
    bottom->addWidget(FPronLabel);
    auto* rightLayout = new QVBoxLayout(FRightPanel);
    rightLayout->setContentsMargins(0, 0, 0, 0);
    rightLayout->setSpacing(5);
    rightLayout->addLayout(top);
    CreateSuggestionStrip();
    rightLayout->addWidget(FSuggestionStrip);
    rightLayout->addWidget(FResultGrid, 1);
    rightLayout->addLayout(bottom);
    FPronPanel->setFixedHeight(28);

    FResultGrid->installEventFilter(this);
    connect(FResultGrid, &TResultGrid::wordHovered, this, [this](const QString& word) {
        ShowPronunciation(word);
        SetSpeakWord(word, FResultGrid->HoverLanguage());
    });
    connect(FResultGrid, &TResultGrid::wordClicked, this, &TMainForm::LookUpChosenWord);
    connect(FResultGrid, &TResultGrid::swapRequested, this, [this] {
        FSettings.ReverseLanguage = !FSettings.ReverseLanguage;
        SetGridCaptions();
        FillResultGrid(-1);
    });

    CreateChrome();

    FSearchTimer.setInterval(500);
    connect(&FSearchTimer, &QTimer::timeout, this, &TMainForm::SearchTimerTimer);
    FTrimTimer.setSingleShot(true);
    FTrimTimer.setInterval(250);
    connect(&FTrimTimer, &QTimer::timeout, this, [this] {
        if (FDict && !IsLoading())
            FDict->TrimResidentMemory();
        if (FSuggester)
            FSuggester->DropResidentPages();
    });

    // The window sees keys before its controls (Escape, Ctrl+Tab).
    qApp->installEventFilter(this);
}

void TMainForm::CreateMenu() {
    FMainMenu = new QMenu(this);
    FMainMenu->setObjectName(QStringLiteral("MainMenu"));
    FFormCaption->setPopupMenu(FMainMenu); // the caption bar's help button opens it
    FMiImport = FMainMenu->addAction(QStringLiteral("Datenbank &Importieren"));
    FMiImport->setVisible(false); // reachable through the --import argument instead
    FDictionaryMenu = new QMenu(QStringLiteral("Wörterbuch"), FMainMenu);
    FMiSelectDictionary = FMainMenu->addMenu(FDictionaryMenu);
    FMiSelectDictionary->setVisible(false);
    FLanguageMenu = new QMenu(QStringLiteral("Sprache"), FMainMenu);
    FMiUserInterface = FMainMenu->addMenu(FLanguageMenu);
    const QString languageCaptions[2] = {QStringLiteral("Deutsch"), QStringLiteral("Englisch")};
    for (int index = 0; index < 2; ++index) {
        FMiSetLanguage[index] = FLanguageMenu->addAction(languageCaptions[index]);
        connect(FMiSetLanguage[index], &QAction::triggered, this, [this, index] {
            ApplyUILanguage(index);
            FSettings.UILanguage = index;
            (void)FIni.WriteInteger(kIniGui, kIniLanguage, index);
        });
    }
    FUpdateMenu = new QMenu(QStringLiteral("Update"), FMainMenu);
    FMiUpdate = FMainMenu->addMenu(FUpdateMenu);
    FMiSearchUpdate = FUpdateMenu->addAction(QStringLiteral("Neue Version suchen"));
    connect(FMiSearchUpdate, &QAction::triggered, this, &TMainForm::miSearchUpdateClick);
    FMiAutoCheckUpdate = FUpdateMenu->addAction(QStringLiteral("Bei Programmstart suchen"));
    FMiAutoCheckUpdate->setCheckable(true);
    connect(FMiAutoCheckUpdate, &QAction::triggered, this, [this](bool checked) {
        FSettings.CheckUpdate = checked;
        (void)FIni.WriteInteger("Dictionary", "Check_Update", checked ? 1 : 0);
    });
    FMiOptionsWin = FMainMenu->addAction(QStringLiteral("Einstellungen…"));
    connect(FMiOptionsWin, &QAction::triggered, this, &TMainForm::miOptionsWinClick);
    FMainMenu->addSeparator();
    FMiAbout = FMainMenu->addAction(QStringLiteral("Über Quillet Dictionary…"));
    connect(FMiAbout, &QAction::triggered, this, [this] { miAboutClick(); });
    FMainMenu->addSeparator();
    FMiClose = FMainMenu->addAction(QStringLiteral("Programm b&eenden"));
    connect(FMiClose, &QAction::triggered, this, [this] { close(); });
    connect(FMainMenu, &QMenu::aboutToShow, this, [this] {
        FMiAutoCheckUpdate->setChecked(FIni.ReadInteger("Dictionary", "Check_Update", 0) != 0);
    });
}

void TMainForm::ApplySettings() {
    // A hand-edited place or size could leave the window off every screen or larger than
    // any: it goes onto the screen under its stored centre, or the primary one.
    const qint64 centreX = qint64(FSettings.Left) + FSettings.Width / 2;
    const qint64 centreY = qint64(FSettings.Top) + FSettings.Height / 2;
    QScreen* screen =
        QGuiApplication::screenAt(QPoint(int(std::clamp<qint64>(centreX, INT_MIN, INT_MAX)),
                                         int(std::clamp<qint64>(centreY, INT_MIN, INT_MAX))));
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    const QRect placed =
        FitWindowToScreen(FSettings.Left, FSettings.Top, FSettings.Width, FSettings.Height,
                          screen ? screen->availableGeometry() : QRect());
    move(placed.topLeft());
    resize(placed.size());
    FLeftPanelWidth = FSettings.LeftPanel; // applied once the panels have their width
    FResultGrid->SetGridFont(QFont(FSettings.GridFontName, FSettings.GridFontSize));
    const QFont listFont(FSettings.ListFontName, FSettings.ListFontSize);
    FWordListBox->setFont(listFont);
    FSearchText->setFont(listFont);
    FPronPanel->SetPronFont(
        ResolvePronunciationFont(FSettings.PronFontName, FSettings.PronFontSize, FProgramFolder));
    FSearchText->blockSignals(true);
    for (const QString& entry : FSettings.History)
        FSearchText->addItem(entry);
    FSearchText->setEditText(FSettings.LastWord);
    FSearchText->blockSignals(false);
    FSearchTimer.setInterval(500);
}

void TMainForm::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    LayoutControls();
    FormResize();
}

void TMainForm::LayoutControls() {
    // Positions of the stored layout (client 718 x 490): the banner strip at y 34, the
    // panels from (12, 64) with a 32-pixel margin above the status line.
    const int w = width();
    const int h = height();
    FAdPaintBox->setGeometry(8, 34, qMax(0, w - 17), 25);
    FRootPanel->setGeometry(12, 64, qMax(0, w - 22), qMax(0, h - 64 - 32));
    FStatusbar->setGeometry(0, h - kStatusHeight, w, kStatusHeight);
    // LeftPanel keeps the width the user gave it, whatever the window's: only a window too
    // narrow for it shows it narrower, for as long as it is.
    if (FRootPanel->width() > 0) {
        FRootPanel->layout()->activate();
        const int total = FSplitter->width() - FSplitter->handleWidth();
        const QList<int> wanted{FLeftPanelWidth, qMax(0, total - FLeftPanelWidth)};
        if (FSplitter->sizes() != wanted)
            FSplitter->setSizes(wanted);
    }
}

void TMainForm::SetStatusText(const QString& text) {
    FStatusbar->setCaption(text);
}

QString TMainForm::WindowTitleFor(const QString& displayName) const {
    return QStringLiteral("Quillet-Dictionary \u2013 ") + displayName;
}

void TMainForm::SetGridCaptions() {
    if (!FDict)
        return;
    const QString current = Translate(FDict->CurrentLanguage().Name);
    const QString other = Translate(FDict->OtherLanguage().Name);
    if (FSettings.ReverseLanguage)
        FResultGrid->SetCaptions(current, other);
    else
        FResultGrid->SetCaptions(other, current);
}

void TMainForm::ApplyUILanguage(int index) {
    SetUILanguage(index);
    // The caption bar only: the window's own title (task bar) keeps the name the set gives
    // itself. Without an open set there is no name to add.
    if (FDict && !FDict->Title().isEmpty())
        FFormCaption->setCaption(WindowTitleFor(Translate(FDict->Title())));
    FPronLabel->setText(Translate(QStringLiteral("Aussprache")));
    FBtnDictInfo->setCaption(Translate(QStringLiteral("Wörterbuch Info")));
    FMiUserInterface->setText(Translate(QStringLiteral("Sprache")));
    FMiSetLanguage[0]->setText(Translate(QStringLiteral("Deutsch")));
    FMiSetLanguage[1]->setText(Translate(QStringLiteral("Englisch")));
    FMiUpdate->setText(Translate(QStringLiteral("Versionsüberprüfung")));
    FMiSearchUpdate->setText(Translate(QStringLiteral("Neue Version suchen")));
    FMiAutoCheckUpdate->setText(Translate(QStringLiteral("Bei Programmstart suchen")));
    FMiAbout->setText(Translate(QStringLiteral("Über Quillet-Dictionary...")));
    FMiClose->setText(Translate(QStringLiteral("Programm beenden")));
    FResultGrid->CopyWordAction()->setText(Translate(QStringLiteral("Wort kopieren")));
    FResultGrid->CopyEntryAction()->setText(Translate(QStringLiteral("Eintrag kopieren")));
    TranslateWebSearchItems(FResultGrid->ContextMenu());
    if (FDict && FDict->IsOpen() && FDict->IndexLoaded(FDict->Direction()) && !IsLoading()) {
        SetStatusText(Translate(FDict->CurrentLanguage().Name) + ", " +
                      FillPlaceholders(Translate(QStringLiteral("%d Stichwörter, %d Verweise")),
                                       {QString::number(FDict->HeadwordCount()),
                                        QString::number(FDict->ReferenceCount())}));
    }
    FMiSelectDictionary->setText(Translate(QStringLiteral("Wörterbuch")));
    FMiOptionsWin->setText(Translate(QStringLiteral("Einstellungen")) + "...");
    FLangTabControl->setTabText(0, Translate(QStringLiteral("DEU")));
    FLangTabControl->setTabText(1, Translate(QStringLiteral("ENG")));
    FMiSetLanguage[0]->setEnabled(index == 1);
    FMiSetLanguage[1]->setEnabled(index == 0);
    SetGridCaptions();
    FAboutForm->ApplyUILanguage([](const QString& text) { return Translate(text); });
    FAdPaintBox->update();
    FAdPaintBox->setAccessibleName(BannerText());
    TranslateSuggestionStrip();
    TranslateSpeech();
    NameControls(this);
}

} // namespace quillet
