// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <QMessageBox>
#include <QPointer>
#include <QStringList>
#include <QWidget>
#include <thread>

class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QStatusBar;

namespace quillet {

struct TImportSummary;
class TStatus;

// `TImportForm`: the import dialog ("Wörterbuch Import"). It builds a dictionary file set
// <base>.tdb/.tx1/.tx2 in the import folder (the program folder when the user may write
// there, else the user's data folder: ImportFolder in DataFolders.h) from a UTF-8 source
// text ("Dict Import"), and a pronunciation file <base>.ipa from "key=value" lines ("IPA
// Import"). Its texts are German whatever the interface language; only the language names
// follow it.
//
// An import runs on a worker thread so that the dialog stays painted and the main window
// usable. Every hundred indexed lines the worker hands the line count to this window and
// waits until the window has shown it, then looks at the cancel flag: "Abbruch" (or Escape)
// therefore stops the import at the next report, as the window sees it, and the lines read
// so far are written as a consistent set. Closing the dialog, or destroying it, while an
// import runs abandons it instead: the worker stops and nothing is installed.
//
// The files are built in a staging folder inside the import folder and moved over the
// old ones only at the end; readers of the old set that hold a file open keep reading it.
// The owner learns of new files through `imported` and reloads what it has open.
//
// UI thread only; the worker touches nothing but the hand-over state below.
class TImportForm : public QWidget {
    Q_OBJECT
public:
    // `programFolder` is the program's folder, the start of the search path for
    // "settings/languages.ini" and the stopword lists (DataFolders.h).
    explicit TImportForm(const QString& programFolder, QWidget* parent = nullptr);
    ~TImportForm() override;

    // The base name of the dictionary the main window has open; offered as the destination
    // each time the dialog is shown.
    void SetOpenDictionaryFn(std::function<QString()> openBaseName);

    // Button handlers; the file dialogs only fill the edits, so tests set those directly.
    void Button1Click();
    void Button2Click();
    void Button3Click();
    void Button5Click();
    void BtnCancelClick();
    // The pronunciation import of `sourcePath` into <DestinationEdit>.ipa (Button5Click
    // after its file dialog).
    void ImportPronunciationFile(const QString& sourcePath);

    bool IsRunning() const { return FWorker.joinable(); }
    QLineEdit* SourceEdit() const { return FSourceEdit; }
    QLineEdit* DestinationEdit() const { return FDestinationEdit; }
    QLineEdit* MetaNameEdit() const { return FMetaNameEdit; }
    QComboBox* LanguageCombo1() const { return FLanguageCombo[0]; }
    QComboBox* LanguageCombo2() const { return FLanguageCombo[1]; }
    QPushButton* Button3() const { return FButton3; }
    QPushButton* Button5() const { return FButton5; }
    QPushButton* BtnCancel() const { return FBtnCancel; }
    QProgressBar* ProgressBar() const { return FProgressBar; }
    // Status bar panel 0: the line progress.
    QString StatusPanelText() const;
    // The last error or warning notice, while it is open.
    QMessageBox* Notice() const { return FNotice; }

signals:
    // Panel 0 shows line `lineIndex` of `lineCount`; the import goes on when this returns.
    void lineProgress(int lineIndex, int lineCount);
    // New files for `baseName` lie in the import folder (a file set or its .ipa).
    void imported(const QString& baseName);
    // An import has ended; `written` when its files were put in place.
    void importFinished(bool written);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    enum class TJob { Dictionary, Pronunciations };

    void CreateControls();
    void FillLanguageLists();
    void PlaceStatusPanels();
    // The destination field as a base name; empty (with the reason shown) when it is not one.
    QString CheckedBaseName();
    // The import folder; false (with the reason shown) when it cannot be made.
    bool CheckedImportFolder(QString& folder);
    void StartJob(TJob job, std::function<void()> work);
    // Worker side of a progress report: hand it over and wait until it was shown.
    void ReportFromWorker(int lineIndex, int lineCount);
    void ShowProgress(int lineIndex, int lineCount, int ticket);
    void DictionaryImportDone(const TStatus& status, const TImportSummary& summary,
                              const QStringList& warnings, const QString& baseName);
    void PronunciationImportDone(const TStatus& status, const QString& baseName, bool busy);
    void FinishJob();
    // Stops a running import without installing anything and waits for the worker.
    void Abandon(bool wait);
    void ShowNotice(const QString& text, bool error);

    QString FProgramFolder;
    std::function<QString()> FOpenBaseName;
    int FLanguagesFilledFor = -1; // interface language the lists were filled for
    TJob FJob = TJob::Dictionary;
    std::atomic<bool> FAbandoned{false}; // the dialog went away: the import installs nothing

    // Hand-over between the worker and this window.
    std::thread FWorker;
    std::atomic<bool> FCancel{false};
    std::mutex FMutex;
    std::condition_variable FShown;
    int FReports = 0; // reports the worker has handed over
    int FAcks = 0;    // reports this window has shown

    QLineEdit* FSourceEdit = nullptr;
    QLineEdit* FDestinationEdit = nullptr;
    QLineEdit* FMetaNameEdit = nullptr;
    QComboBox* FLanguageCombo[2] = {nullptr, nullptr};
    QPushButton* FButton1 = nullptr;
    QPushButton* FButton2 = nullptr;
    QPushButton* FButton3 = nullptr;
    QPushButton* FButton5 = nullptr;
    QPushButton* FBtnCancel = nullptr;
    QStatusBar* FStatusBar = nullptr;
    QLabel* FStatusPanel0 = nullptr;
    QProgressBar* FProgressBar = nullptr;
    QPointer<QMessageBox> FNotice;
    QString FLastSourceFolder;
};

} // namespace quillet
