// SPDX-License-Identifier: GPL-2.0-or-later
// Dictionary selection, the language direction and the window's side of a load run.
#include "MainWindow.h"

#include "DataFolders.h"
#include "FormCaption.h"
#include "FormStatusbar.h"
#include "IndexLoader.h"
#include "PronFont.h"
#include "PronPanel.h"
#include "ResultGrid.h"
#include "Translations.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QHash>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QTabBar>

namespace quillet {

void TMainForm::BuildDictionaryMenu(const TDictionaryArray& dictionaries, const QString& current) {
    for (QAction* item : FDictionaryItems) {
        FDictionaryMenu->removeAction(item);
        item->deleteLater();
    }
    FDictionaryItems.clear();
    FCurrentDictIndex = -1;
    QHash<QString, int> titleCount;
    for (const TDictionaryFile& file : dictionaries)
        ++titleCount[file.Title];
    for (int index = 0; index < int(dictionaries.size()); ++index) {
        const TDictionaryFile& file = dictionaries[size_t(index)];
        // A user's import keeps the default title unless given one; two items of the same
        // text could not be told apart, so those carry their base name too.
        QAction* item = FDictionaryMenu->addAction(
            titleCount.value(file.Title) > 1
                ? QStringLiteral("%1 (%2)").arg(file.Title, file.BaseName)
                : file.Title);
        // The base name travels with the item, so that a later scan that finds the
        // dictionaries in another order cannot make an item open the wrong one.
        item->setData(file.BaseName);
        // Where the set lies: beside the program, the user's own or the system's.
        item->setToolTip(QDir::toNativeSeparators(QDir::cleanPath(file.Folder)));
        connect(item, &QAction::triggered, this, [this, index] { SelectDictionaryClick(index); });
        FDictionaryItems.push_back(item);
        if (file.BaseName == current) {
            item->setEnabled(false);
            FCurrentDictIndex = index;
        }
    }
    FDictionaryMenu->setToolTipsVisible(true);
    // Hidden while there is nothing to choose; a second set, such as the user's own
    // import, brings the menu up.
    FMiSelectDictionary->setVisible(dictionaries.size() > 1);
}

void TMainForm::SelectDictionaryClick(int index) {
    if (index == FCurrentDictIndex)
        return;
    if (SwitchMustWait()) {
        RunWhenIdle([this, index] { SelectDictionaryClick(index); });
        return;
    }
    if (FCurrentDictIndex >= 0)
        FDictionaryItems[size_t(FCurrentDictIndex)]->setEnabled(true);
    FCurrentDictIndex = index;
    FDictionaryItems[size_t(index)]->setEnabled(false);
    ReopenDictionary(FDictionaryItems[size_t(index)]->data().toString());
    FocusSearchText();
}

void TMainForm::ReopenDictionary(const QString& baseName) {
    const int direction = FDict->Direction();
    if (FThread)
        FThread->wait(); // it may still be reading the old dictionary's pronunciations
    FSuggester.reset();
    FSuggestRun = nullptr; // what it still reports belongs to the old dictionary
    FDict = std::make_unique<TDictDB>(direction, DataFolders(FProgramFolder));
    LoadDictionary(baseName);
}

bool TMainForm::LetGoOfLoadRun(int timeoutMs) {
    if (!FThread || FThread->wait(QDeadlineTimer(timeoutMs)))
        return true;
    TDBLoader* run = FThread;
    TDictDB* dictionary = FDict.release();
    FThread = nullptr;
    FLoader = nullptr;
    FSuggestRun = nullptr;
    // Nothing of the window may reach the run any more; the thread object is left to the
    // end of the process, since a QThread must not be destroyed while it runs.
    QObject::disconnect(run, nullptr, this, nullptr);
    run->setParent(nullptr);
    // On the run's own thread, as its last act: the dictionary is free then.
    connect(
        run, &QThread::finished, run, [dictionary] { delete dictionary; }, Qt::DirectConnection);
    return false;
}

void TMainForm::LoadDictionary(const QString& baseName) {
    SetStatusText(QStringLiteral("Quillet-Dictionary \u2013 *") +
                  Translate(QStringLiteral("lade Datenbank")) + "*");
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    // Lookups come as the user pauses: the index is read where it lies, without an item
    // array, and its pages come in as lookups touch them.
    FDict->SetReadIndexInPlace(true);
    const TStatus status = FDict->Open(baseName);
    if (!status.ok()) {
        SetStatusText(QStringLiteral("Quillet-Dictionary \u2013 *keine Datenbank geladen*"));
        FStatusbar->setToolTip(status.message());
        return;
    }
    FStatusbar->setToolTip(QString());
    // Both, so that a caption the language switch translated gets the name as the set
    // calls itself again, also when the window's title stays the same.
    setWindowTitle(WindowTitleFor(FDict->Title()));
    FFormCaption->setCaption(windowTitle());
    SetStatusText(QStringLiteral("Quillet-Dictionary " QUILLET_VERSION ", ") + FDict->Title());
    StartLoader(!FSuggester);
}

void TMainForm::SwitchDirection(bool flipTab) {
    if (!FDict)
        return;
    if (SwitchMustWait()) {
        RunWhenIdle([this, flipTab] { SwitchDirection(flipTab); });
        return;
    }
    FDict->ToggleDirection();
    FSelectAfterSearch = true;
    if (FDict->IsOpen())
        StartLoader();
    FocusSearchText();
    if (flipTab) {
        const QSignalBlocker blocker(FLangTabControl);
        FLangTabControl->setCurrentIndex(1 - FLangTabControl->currentIndex());
    }
}

void TMainForm::LangTabControlChange(int index) {
    if (FDict && index != FDict->Direction())
        SwitchDirection(false);
}

void TMainForm::RunWhenIdle(std::function<void()> action) {
    FPending.push_back(std::move(action));
}

void TMainForm::StartLoader(bool buildSuggester) {
    // The window's part before the index is read: tabs off, the loading note on green, the
    // grid reduced to its header with the new captions.
    FLangTabControl->setEnabled(false);
    FInfoLabelStyle = FInfoLabel->styleSheet();
    FInfoLabel->setText(" " + Translate(QStringLiteral("Lade Wörterbuch Index...")));
    FInfoLabel->setStyleSheet(QStringLiteral("background: rgb(0,128,0); color: white;"));
    FResultGrid->Clear();
    FResultGrid->SetHeaderHeight(25);
    SetGridCaptions();
    FLookupText.clear();
    ShowSuggestions();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);

    auto* loader =
        new TDBLoader(*FDict, buildSuggester, buildSuggester ? nullptr : FSuggester, this);
    FLoader = loader;
    FThread = loader;
    if (buildSuggester) {
        FSuggestRun = loader;
        connect(loader, &TDBLoader::suggesterBuilt, this, &TMainForm::SuggesterBuilt);
    }
    connect(loader, &TDBLoader::indexLoaded, this, &TMainForm::LoaderIndexLoaded);
    connect(loader, &TDBLoader::failed, this, &TMainForm::LoaderFailed);
    connect(loader, &QThread::finished, this, &TMainForm::LoaderFinished);
    loader->start();
}

void TMainForm::LoaderIndexLoaded(const TLoadReport& report) {
    ShowLoadReport(report);
    // Shown before the first activation, the report is in German; the activation composes
    // it again in the interface language.
    if (FFirstActivation)
        FReportBeforeActivation = report;
    FInfoLabel->setStyleSheet(FInfoLabelStyle);
    FLangTabControl->setEnabled(true);
    FocusSearchText();
    // The lists are complete: lookups may run again, starting with the text in the box.
    FLoader = nullptr;
    FSearchTimer.setInterval(10);
    FSearchTimer.start();
}

void TMainForm::ShowLoadReport(const TLoadReport& report) {
    const QString source = Translate(FDict->CurrentLanguage().Name);
    const QString target = Translate(FDict->OtherLanguage().Name);
    SetStatusText(
        source + ", " +
        FillPlaceholders(Translate(QStringLiteral("%d Stichwörter, %d Verweise")),
                         {QString::number(report.Headwords), QString::number(report.References)}) +
        ", " +
        FillPlaceholders(
            Translate(QStringLiteral("Ladezeit %d.%d Sekunden")),
            {QString::number(report.ElapsedMs / 1000),
             QStringLiteral("%1").arg(report.ElapsedMs % 1000, 3, 10, QLatin1Char('0'))}));
    FInfoLabel->setText(" " + Translate(QStringLiteral("Wörterbuch")) + " " + source +
                        QStringLiteral(" \u2192 ") + target);
}

void TMainForm::LoaderFailed(const QString& message) {
    FLoader = nullptr;
    FInfoLabel->setText(QString());
    FInfoLabel->setStyleSheet(FInfoLabelStyle);
    FLangTabControl->setEnabled(true);
    SetStatusText(QStringLiteral("Quillet-Dictionary \u2013 *keine Datenbank geladen*"));
    QMessageBox::warning(this, windowTitle(), message);
}

void TMainForm::LoaderFinished() {
    if (auto* loader = qobject_cast<TDBLoader*>(sender())) {
        if (loader == FSuggestRun)
            FSuggestRun = nullptr; // the switches held back may go now
        loader->deleteLater();
    }
    // The first lookup may have come before the pronunciations were in, and before the
    // direction's Hunspell dictionary was open.
    if (FDict && FPronPanel->Ipa().isEmpty() && !FPronPanel->Word().isEmpty())
        ShowPronunciation(FPronPanel->Word());
    if (FSuggestionsWaitForStems)
        ShowSuggestions();
    std::vector<std::function<void()>> pending;
    pending.swap(FPending);
    for (auto& action : pending)
        action();
    emit loadFinished();
}

} // namespace quillet
