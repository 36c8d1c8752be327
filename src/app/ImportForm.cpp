// SPDX-License-Identifier: GPL-2.0-or-later
#include "ImportForm.h"

#include "AccessibleNames.h"
#include "Ansi.h"
#include "DataFolders.h"
#include "DictFormat.h"
#include "DrawTools.h"
#include "Import.h"
#include "IniFile.h"
#include "Mnemonics.h"
#include "Translations.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFontMetrics>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>
#include <QStatusBar>
#include <QVBoxLayout>
#include <system_error>

namespace quillet {
namespace {

const QString kCaption = QStringLiteral("Wörterbuch Import");
// Debian's trans-de-en, the source the default dictionary is built from.
const QString kDefaultSource = QStringLiteral("/usr/share/trans/de-en");
constexpr int kProgressStep = 100;
// Panel widths in pixels; the first grows when the font needs more room for six-digit counts.
constexpr int kPanelWidths[2] = {100, 50};
constexpr int kMaxListedWarnings = 20;

QLabel* label(const QString& text, const QString& name, QWidget* parent) {
    auto* result = new QLabel(text, parent);
    result->setObjectName(name);
    return result;
}

QPushButton* button(const QString& text, const QString& name, QWidget* parent) {
    auto* result = new QPushButton(text, parent);
    result->setObjectName(name);
    result->setAutoDefault(false);
    return result;
}

QString BusyText(const QString& baseName) {
    return QStringLiteral("Wörterbuch %1 wird gerade importiert").arg(baseName);
}

} // namespace

TImportForm::TImportForm(const QString& programFolder, QWidget* parent)
    : QWidget(parent, Qt::Window), FProgramFolder(programFolder) {
    setObjectName(QStringLiteral("ImportForm"));
    setWindowTitle(kCaption);
    CreateControls();
    FillLanguageLists();
    AssignImportMnemonics(this);
    NameControls(this);
}

TImportForm::~TImportForm() {
    // Nothing the worker writes may be installed once the window is gone, and it must be
    // joined before the members it uses go.
    Abandon(true);
}

void TImportForm::SetOpenDictionaryFn(std::function<QString()> openBaseName) {
    FOpenBaseName = std::move(openBaseName);
}

QString TImportForm::StatusPanelText() const {
    return FStatusPanel0->text();
}

void TImportForm::CreateControls() {
    auto* grid = new QGridLayout;
    FSourceEdit = new QLineEdit(this);
    FSourceEdit->setObjectName(QStringLiteral("SourceEdit"));
    if (QFileInfo::exists(kDefaultSource))
        FSourceEdit->setText(kDefaultSource);
    FButton1 = button(QStringLiteral("..."), QStringLiteral("Button1"), this);
    grid->addWidget(label(QStringLiteral("Quelldatei:"), QStringLiteral("SourceLabel"), this), 0,
                    0);
    grid->addWidget(FSourceEdit, 1, 0);
    grid->addWidget(FButton1, 1, 1);

    FDestinationEdit = new QLineEdit(QStringLiteral("de_en_dict"), this);
    FDestinationEdit->setObjectName(QStringLiteral("DestinationEdit"));
    FButton2 = button(QStringLiteral("..."), QStringLiteral("Button2"), this);
    grid->addWidget(
        label(QStringLiteral("Dateiname (ohne Endung):"), QStringLiteral("DestinationLabel"), this),
        2, 0);
    grid->addWidget(FDestinationEdit, 3, 0);
    grid->addWidget(FButton2, 3, 1);

    FMetaNameEdit = new QLineEdit(QStringLiteral("Deutsch/Englisch Wörterbuch"), this);
    FMetaNameEdit->setObjectName(QStringLiteral("MetaNameEdit"));
    grid->addWidget(label(QStringLiteral("Wörterbuch-Name:"), QStringLiteral("TntLabel3"), this), 4,
                    0);
    grid->addWidget(FMetaNameEdit, 5, 0);

    auto* languages = new QHBoxLayout;
    const QString labelNames[2] = {QStringLiteral("TntLabel1"), QStringLiteral("TntLabel2")};
    for (int i = 0; i < 2; ++i) {
        FLanguageCombo[i] = new QComboBox(this);
        FLanguageCombo[i]->setObjectName(QStringLiteral("LanguageCombo%1").arg(i + 1));
        languages->addWidget(label(QStringLiteral("Sprache %1").arg(i + 1), labelNames[i], this));
        languages->addWidget(FLanguageCombo[i], 1);
    }
    grid->addLayout(languages, 6, 0, 1, 2);

    auto* buttons = new QHBoxLayout;
    FButton3 = button(QStringLiteral("Dict Import"), QStringLiteral("Button3"), this);
    FButton5 = button(QStringLiteral("IPA Import"), QStringLiteral("Button5"), this);
    FBtnCancel = button(QStringLiteral("Abbruch"), QStringLiteral("BtnCancel"), this);
    FBtnCancel->setEnabled(false);
    buttons->addWidget(FButton3);
    buttons->addWidget(FButton5);
    buttons->addStretch(1);
    buttons->addWidget(FBtnCancel);
    grid->addLayout(buttons, 7, 0, 1, 2);

    // A plain status bar split into two panels: the line progress, and the progress bar
    // laid over the second panel (both placed whenever the bar changes its size).
    FStatusBar = new QStatusBar(this);
    FStatusBar->setObjectName(QStringLiteral("StatusBar"));
    FStatusBar->setSizeGripEnabled(false);
    FStatusBar->setFixedHeight(QFontMetrics(font()).height() + 8);
    FStatusBar->installEventFilter(this);
    FStatusPanel0 = new QLabel(FStatusBar);
    FStatusPanel0->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    FProgressBar = new QProgressBar(this);
    FProgressBar->setObjectName(QStringLiteral("ProgressBar"));
    FProgressBar->setTextVisible(false);
    FProgressBar->setRange(0, kProgressStep);
    FProgressBar->setValue(0);

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    auto* body = new QWidget(this);
    body->setLayout(grid);
    outer->addWidget(body, 1);
    outer->addWidget(FStatusBar);
    resize(420, sizeHint().height());
    PlaceStatusPanels();

    connect(FButton1, &QPushButton::clicked, this, &TImportForm::Button1Click);
    connect(FButton2, &QPushButton::clicked, this, &TImportForm::Button2Click);
    connect(FButton3, &QPushButton::clicked, this, &TImportForm::Button3Click);
    connect(FButton5, &QPushButton::clicked, this, &TImportForm::Button5Click);
    connect(FBtnCancel, &QPushButton::clicked, this, &TImportForm::BtnCancelClick);
    // "Abbruch" answers Escape, and only while it can do something.
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, [this] {
        if (FBtnCancel->isEnabled())
            FBtnCancel->click();
    });
}

void TImportForm::FillLanguageLists() {
    // The names follow the interface language: key name_0 is German, name_1 English.
    const int language = UILanguageIndex();
    FLanguagesFilledFor = language;
    const QString file = QStringLiteral("settings/languages.ini");
    const QString folder = FindInFolders(DataFolders(FProgramFolder), file);
    const TIniFile ini(QDir(folder.isEmpty() ? FProgramFolder : folder).filePath(file));
    const QByteArray key = "name_" + QByteArray::number(language);
    for (QComboBox* combo : FLanguageCombo)
        combo->clear();
    for (const QByteArray& section : ini.SectionNames()) {
        if (section.size() != 2) // only language codes
            continue;
        const QString name = FromAnsi(ini.ReadString(section, key));
        for (QComboBox* combo : FLanguageCombo)
            combo->addItem(name, QString::fromLatin1(section));
    }
    FLanguageCombo[0]->setCurrentIndex(FLanguageCombo[0]->count() > 0 ? 0 : -1);
    FLanguageCombo[1]->setCurrentIndex(FLanguageCombo[1]->count() > 1 ? 1 : -1);
}

void TImportForm::PlaceStatusPanels() {
    const int needed =
        FStatusPanel0->fontMetrics().horizontalAdvance(QStringLiteral("000000 / 000000")) +
        2 * FStatusPanel0->frameWidth() + 6;
    const QList<int> widths = {qMax(kPanelWidths[0], needed), kPanelWidths[1]};
    PlaceProgressInStatusPanel(*FStatusPanel0, *FStatusBar, widths, 0);
    PlaceProgressInStatusPanel(*FProgressBar, *FStatusBar, widths, 1);
}

bool TImportForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == FStatusBar && event->type() == QEvent::Resize)
        PlaceStatusPanels();
    return QWidget::eventFilter(watched, event);
}

void TImportForm::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (event->spontaneous())
        return;
    PlaceStatusPanels();
    if (FLanguagesFilledFor != UILanguageIndex())
        FillLanguageLists();
    // Offered once per showing, not on every activation: a name the user typed must
    // survive a trip to a file dialog or another window.
    if (FOpenBaseName && !IsRunning()) {
        const QString open = FOpenBaseName();
        if (!open.isEmpty())
            FDestinationEdit->setText(open);
    }
}

void TImportForm::closeEvent(QCloseEvent* event) {
    if (IsRunning())
        Abandon(false); // the worker ends on its own; its end is handled as usual
    QWidget::closeEvent(event);
}

void TImportForm::Button1Click() {
    const QFileInfo current(FSourceEdit->text());
    QString folder = current.exists() ? current.absolutePath() : FLastSourceFolder;
    if (folder.isEmpty())
        folder = QFileInfo(kDefaultSource).absolutePath();
    const QString path = QFileDialog::getOpenFileName(this, QStringLiteral("Quelldatei öffnen"),
                                                      folder, QStringLiteral("Alle Dateien (*)"));
    if (path.isEmpty())
        return;
    FLastSourceFolder = QFileInfo(path).absolutePath();
    FSourceEdit->setText(QDir::toNativeSeparators(path));
}

void TImportForm::Button2Click() {
    QString folder;
    if (!ImportFolder(FProgramFolder, folder).ok())
        folder = FProgramFolder;
    QFileDialog dialog(this, QStringLiteral("Speichern unter"), folder,
                       QStringLiteral("Term Database (*.tdb)"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("tdb"));
    // Only the name is taken; the files always go to the import folder.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.selectFile(FDestinationEdit->text() + ".tdb");
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    FDestinationEdit->setText(BaseNameOf(QFileInfo(dialog.selectedFiles().first()).fileName()));
}

void TImportForm::Button5Click() {
    if (IsRunning())
        return;
    const QString path = QFileDialog::getOpenFileName(
        this, QStringLiteral("Aussprachen importieren"), FLastSourceFolder,
        QStringLiteral("Aussprachelisten (*.ipa *.txt);;Alle Dateien (*)"));
    if (path.isEmpty())
        return;
    FLastSourceFolder = QFileInfo(path).absolutePath();
    ImportPronunciationFile(path);
}

QString TImportForm::CheckedBaseName() {
    const QString name = FDestinationEdit->text().trimmed();
    if (name.isEmpty()) {
        ShowNotice(QStringLiteral("Bitte einen Dateinamen (ohne Endung) angeben."), true);
        return {};
    }
    // The files must land in the import folder under exactly this name, and the name must
    // be found again: the dictionary list takes a base name up to the first ".".
    static const QString forbidden = QStringLiteral("/\\:.<>\"|?*");
    const bool bad = std::any_of(name.begin(), name.end(),
                                 [](QChar c) { return c.unicode() < 32 || forbidden.contains(c); });
    if (bad) {
        ShowNotice(QStringLiteral("Der Dateiname \"%1\" ist ungültig: er darf weder einen Ordner "
                                  "noch einen Punkt oder eines der Zeichen < > \" | ? * "
                                  "enthalten.")
                       .arg(name),
                   true);
        return {};
    }
    return name;
}

bool TImportForm::CheckedImportFolder(QString& folder) {
    const TStatus status = ImportFolder(FProgramFolder, folder);
    if (!status.ok())
        ShowNotice(QStringLiteral("Der Import ist fehlgeschlagen; es wurde nichts "
                                  "geschrieben.\n\n") +
                       status.message(),
                   true);
    return status.ok();
}

void TImportForm::Button3Click() {
    if (IsRunning())
        return;
    const QString baseName = CheckedBaseName();
    QString folder;
    if (baseName.isEmpty() || !CheckedImportFolder(folder))
        return;
    TImportRequest request;
    request.Folder = folder;
    request.BaseName = baseName;
    request.SourcePath = FSourceEdit->text();
    request.Meta = TMetaData();
    request.Meta.Name = FMetaNameEdit->text();
    request.StopwordFolders = QStringList{folder} + DataFolders(FProgramFolder);
    request.Cancel = &FCancel;
    request.Abandon = &FAbandoned;
    StartJob(TJob::Dictionary, [this, request, baseName]() mutable {
        TImportSummary summary;
        QStringList warnings;
        request.Progress = [this](int lineIndex, int lineCount) {
            ReportFromWorker(lineIndex, lineCount);
        };
        request.Warning = [&warnings](int line, const QString& message) {
            warnings.append(QStringLiteral("Zeile %1: %2").arg(line).arg(message));
        };
        const TStatus status = Import(request, summary);
        QMetaObject::invokeMethod(
            this,
            [this, status, summary, warnings, baseName] {
                DictionaryImportDone(status, summary, warnings, baseName);
            },
            Qt::QueuedConnection);
    });
}

void TImportForm::ImportPronunciationFile(const QString& sourcePath) {
    if (IsRunning())
        return;
    const QString baseName = CheckedBaseName();
    QString folder;
    if (baseName.isEmpty() || !CheckedImportFolder(folder))
        return;
    const QString destination = QDir(folder).filePath(baseName + ".ipa");
    StartJob(TJob::Pronunciations, [this, sourcePath, destination, baseName] {
        TPronunciationSummary summary;
        // The file is written aside and replaces the old one only when complete.
        const TStatus status = quillet::ImportPronunciations(
            sourcePath, destination, summary,
            [this](int lineIndex, int lineCount) { ReportFromWorker(lineIndex, lineCount); });
        const bool busy = summary.Busy;
        QMetaObject::invokeMethod(
            this,
            [this, status, baseName, busy] { PronunciationImportDone(status, baseName, busy); },
            Qt::QueuedConnection);
    });
}

void TImportForm::BtnCancelClick() {
    {
        std::lock_guard lock(FMutex);
        FCancel = true;
    }
    FShown.notify_all();
}

void TImportForm::StartJob(TJob job, std::function<void()> work) {
    FJob = job;
    FAbandoned = false;
    FCancel = false;
    FReports = 0;
    FAcks = 0;
    FStatusPanel0->clear();
    FProgressBar->setRange(0, 0); // busy until the first report tells the line count
    FProgressBar->setValue(0);
    FButton3->setEnabled(false);
    FButton5->setEnabled(false);
    // The pronunciation import cannot be stopped; its cancel button would do nothing.
    FBtnCancel->setEnabled(job == TJob::Dictionary);
    FWorker = std::thread(std::move(work));
}

void TImportForm::ReportFromWorker(int lineIndex, int lineCount) {
    int ticket;
    {
        std::lock_guard lock(FMutex);
        ticket = ++FReports;
    }
    QMetaObject::invokeMethod(
        this, [this, lineIndex, lineCount, ticket] { ShowProgress(lineIndex, lineCount, ticket); },
        Qt::QueuedConnection);
    // Wait until the window has shown it (and handled what came before it, a click on
    // "Abbruch" for one), or until the import is being stopped.
    std::unique_lock lock(FMutex);
    FShown.wait(lock, [&] { return FAcks >= ticket || FCancel.load(); });
}

void TImportForm::ShowProgress(int lineIndex, int lineCount, int ticket) {
    if (FProgressBar->maximum() != lineCount - 1)
        FProgressBar->setRange(0, qMax(lineCount - 1, 0));
    FProgressBar->setValue(qMin(FProgressBar->value() + kProgressStep, FProgressBar->maximum()));
    if (FJob == TJob::Dictionary) {
        FStatusPanel0->setText(QStringLiteral("%1 / %2").arg(lineIndex).arg(lineCount));
        emit lineProgress(lineIndex, lineCount);
    }
    {
        std::lock_guard lock(FMutex);
        FAcks = qMax(FAcks, ticket);
    }
    FShown.notify_all();
}

void TImportForm::FinishJob() {
    if (FWorker.joinable())
        FWorker.join();
    if (FProgressBar->maximum() == 0) // no report came: end the busy look
        FProgressBar->setRange(0, 1);
    FButton3->setEnabled(true);
    FButton5->setEnabled(true);
    FBtnCancel->setEnabled(false);
}

void TImportForm::DictionaryImportDone(const TStatus& status, const TImportSummary& summary,
                                       const QStringList& warnings, const QString& baseName) {
    FinishJob();
    if (FAbandoned) {
        emit importFinished(false);
        return;
    }
    if (!status.ok()) {
        ShowNotice(summary.Busy ? BusyText(baseName)
                                : QStringLiteral("Der Import ist fehlgeschlagen; es wurde nichts "
                                                 "geschrieben.\n\n") +
                                      status.message(),
                   true);
        emit importFinished(false);
        return;
    }
    if (!summary.Cancelled)
        FProgressBar->setValue(FProgressBar->maximum());

    QStringList notes;
    const char* stopwordFiles[2] = {"stopwords_DE.txt", "stopwords_EN.txt"};
    for (int side = 0; side < 2; ++side) {
        if (!summary.StopwordsFound[side])
            notes.append(
                QStringLiteral("%1 wurde nicht gefunden; Sprache %2 hat keine Stoppwörter.")
                    .arg(QLatin1String(stopwordFiles[side]))
                    .arg(side + 1));
    }
    if (!warnings.isEmpty()) {
        notes.append(QStringLiteral("Einige Zeilen der Quelle wurden geändert oder ausgelassen:"));
        notes.append(warnings.mid(0, kMaxListedWarnings));
        if (warnings.size() > kMaxListedWarnings)
            notes.append(
                QStringLiteral("… und %1 weitere.").arg(warnings.size() - kMaxListedWarnings));
    }
    if (!notes.isEmpty())
        ShowNotice(notes.join(u'\n'), false);
    emit imported(baseName);
    emit importFinished(true);
}

void TImportForm::PronunciationImportDone(const TStatus& status, const QString& baseName,
                                          bool busy) {
    FinishJob();
    if (!status.ok()) {
        if (!FAbandoned)
            ShowNotice(busy ? BusyText(baseName)
                            : QStringLiteral("Der Aussprache-Import ist fehlgeschlagen; es wurde "
                                             "nichts geschrieben.\n\n") +
                                  status.message(),
                       true);
        emit importFinished(false);
        return;
    }
    // Even when the dialog was closed meanwhile: the file is complete and in place.
    FProgressBar->setValue(FProgressBar->maximum());
    emit imported(baseName);
    emit importFinished(true);
}

void TImportForm::Abandon(bool wait) {
    {
        std::lock_guard lock(FMutex);
        FAbandoned = true;
        FCancel = true;
    }
    FShown.notify_all();
    if (wait && FWorker.joinable())
        FWorker.join();
}

void TImportForm::ShowNotice(const QString& text, bool error) {
    if (FNotice)
        FNotice->close();
    FNotice = new QMessageBox(error ? QMessageBox::Warning : QMessageBox::Information, kCaption,
                              text, QMessageBox::Ok, this);
    FNotice->setAttribute(Qt::WA_DeleteOnClose);
    FNotice->open();
}

} // namespace quillet
