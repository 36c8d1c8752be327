// SPDX-License-Identifier: GPL-2.0-or-later
#include "OptionsForm.h"

#include "AccessibleNames.h"
#include "Autorun.h"
#include "HotkeyCodes.h"
#include "Mnemonics.h"
#include "Settings.h"
#include "Translations.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRawFont>
#include <QVBoxLayout>

namespace quillet {
namespace {

constexpr int kClientWidth = 495;
constexpr int kClientHeight = 343;
constexpr int kDelayEditWidth = 29;
constexpr int kMaxFontSize = 200;
constexpr QStringView kJunicode = u"Junicode";

// The letters and marks of German and English transcriptions. A font without any one of
// them would show boxes in the pronunciation line, whatever else it holds.
constexpr QStringView kCommonIpa = u"ɐɑɒɔəɛɜɡɪʊʌʃʒʁŋθðːˈˌ";
constexpr char32_t kIpaBlockFirst = 0x0250;
constexpr char32_t kIpaBlockLast = 0x02AF;

// Keys that act on key-down alone: they move the cursor or delete without typing a
// character. The delay boxes ignore them; typed characters and Backspace still arrive.
bool isNavigationKey(int key) {
    switch (key) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Delete:
    case Qt::Key_Insert:
    case Qt::Key_Clear:
        return true;
    default:
        return false;
    }
}

// The dialog's font is Tahoma 8; where Tahoma is missing, a sans font of similar width,
// so the fixed layout keeps its proportions.
QFont dialogFont() {
    QString family = QApplication::font().family();
    for (const char* candidate : {"Tahoma", "Liberation Sans", "Arial", "DejaVu Sans"}) {
        if (QFontDatabase::hasFamily(QLatin1String(candidate))) {
            family = QLatin1String(candidate);
            break;
        }
    }
    QFont font(family);
    font.setPointSize(8);
    return font;
}

// "Family [Foundry]", as the font database names a family that several foundries make,
// is the family itself to the font.
QString familyWithoutFoundry(const QString& family) {
    const qsizetype bracket = family.indexOf(u" [");
    return bracket < 0 ? family : family.left(bracket);
}

void setComboText(QComboBox* combo, const QString& text) {
    combo->setCurrentIndex(combo->findText(text));
    combo->setEditText(text);
}

// The size in a size box, or `current` when the text is no usable size.
int sizeValue(const QComboBox* combo, int current) {
    bool ok = false;
    const int value = combo->currentText().trimmed().toInt(&ok);
    return ok && value >= 1 && value <= kMaxFontSize ? value : current;
}

// The name in a font box, or `current` when it is empty.
QString fontName(const QComboBox* combo, const QString& current) {
    const QString name = combo->currentText().trimmed();
    return name.isEmpty() ? current : name;
}

} // namespace

bool FontCoversIPA(const QString& family) {
    if (!QFontDatabase::hasFamily(family))
        return false;
    QFont font(family);
    font.setStyleStrategy(QFont::NoFontMerging);
    const QRawFont raw = QRawFont::fromFont(font);
    // A family that cannot be loaded comes back as some substitute; its glyphs say
    // nothing about the family asked for.
    if (!raw.isValid() ||
        raw.familyName().compare(familyWithoutFoundry(family), Qt::CaseInsensitive) != 0)
        return false;
    for (const QChar c : kCommonIpa) {
        if (!raw.supportsCharacter(c))
            return false;
    }
    int present = 0;
    for (char32_t c = kIpaBlockFirst; c <= kIpaBlockLast; ++c) {
        if (raw.supportsCharacter(uint(c)))
            ++present;
    }
    const int blockSize = int(kIpaBlockLast - kIpaBlockFirst + 1);
    return present * 4 >= blockSize * 3;
}

QStringList PronunciationFontFamilies(const QStringList& families) {
    QStringList covering;
    for (const QString& family : families) {
        if (FontCoversIPA(family))
            covering.append(family);
    }
    if (covering.isEmpty())
        covering = families;
    if (!covering.contains(kJunicode, Qt::CaseInsensitive))
        covering.append(kJunicode.toString());
    return covering;
}

QString DelayTextOnLeave(const QString& text) {
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    if (!ok)
        return QStringLiteral("200");
    if (value > kMaxDelayMs || value < 0)
        return QString::number(kMaxDelayMs);
    return QString::number(value);
}

THotKeyEdit::THotKeyEdit(QWidget* parent) : QKeySequenceEdit(parent) {
    connect(this, &QKeySequenceEdit::keySequenceChanged, this, [this](const QKeySequence& now) {
        if (!FInKey && now.isEmpty()) { // the clear button
            FTaken = now;
            FCleared = true;
        }
    });
}

void THotKeyEdit::SetHotkey(const QKeySequence& sequence) {
    FInKey = true;
    FTaken = sequence;
    setKeySequence(sequence);
    FCleared = false;
    FInKey = false;
}

bool THotKeyEdit::event(QEvent* event) {
    // QKeySequenceEdit records every key it gets, Tab included.
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) &&
            !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)))
            return QWidget::event(event);
    }
    return QKeySequenceEdit::event(event);
}

void THotKeyEdit::changeEvent(QEvent* event) {
    // QKeySequenceEdit sets its prompt once, when it is made, in the language of that time.
    if (event->type() == QEvent::LanguageChange) {
        if (auto* line = findChild<QLineEdit*>())
            line->setPlaceholderText(QKeySequenceEdit::tr("Press shortcut"));
    }
    QKeySequenceEdit::changeEvent(event);
}

void THotKeyEdit::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Escape:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // The dialog's, as in every other control: the box would otherwise record them.
        event->ignore();
        return;
    default:
        break;
    }
    FInKey = true;
    QKeySequenceEdit::keyPressEvent(event);
    const QKeySequence sequence = keySequence();
    if (!sequence.isEmpty()) {
        const QKeyCombination typed = sequence[sequence.count() - 1];
        // Setting the sequence ends the recording, so the next combination starts afresh.
        if (IsHotkeyCombination(typed)) {
            FTaken = QKeySequence(typed);
            FCleared = false;
            setKeySequence(FTaken);
        } else {
            setKeySequence(FTaken);
            emit refused();
        }
    }
    FInKey = false;
}

void THotKeyEdit::keyReleaseEvent(QKeyEvent* event) {
    FInKey = true;
    QKeySequenceEdit::keyReleaseEvent(event);
    // Modifiers pressed and let go without a key: the value stays what it was.
    if (keySequence() != FTaken)
        setKeySequence(FTaken);
    FInKey = false;
}

TOptionsWin::TOptionsWin(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("OptionsWin"));
    setWindowTitle(QStringLiteral("Einstellungen"));
    setFont(dialogFont());
    CreateControls();
    BuildFontLists();
    setFixedSize(kClientWidth, kClientHeight);
}

void TOptionsWin::CreateControls() {
    const auto makeLabel = [](const char* name, const QString& text, QWidget* parent) {
        auto* label = new QLabel(text, parent);
        label->setObjectName(QLatin1String(name));
        return label;
    };
    const auto makeCheck = [](const char* name, const QString& text, QWidget* parent) {
        auto* check = new QCheckBox(text, parent);
        check->setObjectName(QLatin1String(name));
        return check;
    };
    // Wide enough for "1000" (plus frame and margins) when the font is a substitute wider
    // than Tahoma.
    const int delayWidth =
        qMax(kDelayEditWidth, QFontMetrics(font()).horizontalAdvance(QStringLiteral("1000")) + 10);
    const auto makeDelayEdit = [this, delayWidth](const char* name, QWidget* parent) {
        auto* edit = new QLineEdit(parent);
        edit->setObjectName(QLatin1String(name));
        edit->setFixedWidth(delayWidth);
        edit->setText(QStringLiteral("250"));
        edit->installEventFilter(this);
        return edit;
    };
    const auto makeCombo = [](const char* name, QWidget* parent) {
        auto* combo = new QComboBox(parent);
        combo->setObjectName(QLatin1String(name));
        combo->setEditable(true);
        combo->setInsertPolicy(QComboBox::NoInsert);
        combo->setCompleter(nullptr);
        return combo;
    };

    FHotKeyGroup = new QGroupBox(QStringLiteral("HotKey"), this);
    FHotKeyGroup->setObjectName(QStringLiteral("HotKeyGroup"));
    FLabel6 = makeLabel("Label6", QStringLiteral("Tastaturkürzel:"), FHotKeyGroup);
    FHotKeyEdit = new THotKeyEdit(FHotKeyGroup);
    FHotKeyEdit->setObjectName(QStringLiteral("HotKeyEdit"));
    FHotKeyEdit->setClearButtonEnabled(true);
    FHotKeyNote = makeLabel("HotKeyNote", QString(), FHotKeyGroup);
    FHotKeyNote->setWordWrap(true);
    FHotKeyNote->hide();
    connect(FHotKeyEdit, &THotKeyEdit::refused, this, [this] {
        FHotKeyNote->setText(
            Translate(QStringLiteral("Nur mit Strg, Alt oder Windows-Taste, oder F1 bis F24")));
        FHotKeyNote->show();
    });
    connect(FHotKeyEdit, &QKeySequenceEdit::keySequenceChanged, FHotKeyNote, &QWidget::hide);
    FLabel7 = makeLabel("Label7", QStringLiteral("Verzögerung:"), FHotKeyGroup);
    FCopyDelayEdit[0] = makeDelayEdit("CopyDelayEdit1", FHotKeyGroup);
    FCopyDelayEdit[1] = makeDelayEdit("CopyDelayEdit2", FHotKeyGroup);
    FCopyDelayEdit[2] = makeDelayEdit("CopyDelayEdit3", FHotKeyGroup);
    FLabel10 = makeLabel("Label10", QStringLiteral("ms"), FHotKeyGroup);
    auto* hotKeyLayout = new QGridLayout(FHotKeyGroup);
    hotKeyLayout->addWidget(FLabel6, 0, 0);
    hotKeyLayout->addWidget(FHotKeyEdit, 0, 1, 1, 5);
    hotKeyLayout->addWidget(FLabel7, 1, 0);
    for (int i = 0; i < 3; ++i)
        hotKeyLayout->addWidget(FCopyDelayEdit[i], 1, 1 + i);
    hotKeyLayout->addWidget(FLabel10, 1, 4);
    hotKeyLayout->addWidget(FHotKeyNote, 2, 0, 1, 6);
    hotKeyLayout->setColumnStretch(5, 1);
    hotKeyLayout->setRowStretch(3, 1);

    FSearchGroup = new QGroupBox(QStringLiteral("Automatische Suche"), this);
    FSearchGroup->setObjectName(QStringLiteral("SearchGroup"));
    FCheckAutoSearch =
        makeCheck("checkAutoSearch", QStringLiteral("Suchen bei Eingabe"), FSearchGroup);
    connect(FCheckAutoSearch, &QCheckBox::clicked, this, [this] { checkAutoSearchClick(); });
    FLabel8 = makeLabel("Label8", QStringLiteral("Verzögerung:"), FSearchGroup);
    FAutoSearchDelayEdit = makeDelayEdit("AutoSearchDelayEdit", FSearchGroup);
    FAutoSearchDelayEdit->setText(QStringLiteral("200"));
    FLabel9 = makeLabel("Label9", QStringLiteral("ms"), FSearchGroup);
    auto* searchLayout = new QGridLayout(FSearchGroup);
    searchLayout->addWidget(FCheckAutoSearch, 0, 0, 1, 4);
    searchLayout->addWidget(FLabel8, 1, 0);
    searchLayout->addWidget(FAutoSearchDelayEdit, 1, 1);
    searchLayout->addWidget(FLabel9, 1, 2);
    searchLayout->setColumnStretch(3, 1);
    searchLayout->setRowStretch(2, 1);

    FFontGroup = new QGroupBox(QStringLiteral("Schriftart / Schriftgröße"), this);
    FFontGroup->setObjectName(QStringLiteral("FontGroup"));
    FLabel2 = makeLabel("Label2", QStringLiteral("Schriftart:"), FFontGroup);
    FFont1Combo = makeCombo("Font1Combo", FFontGroup);
    FLabel3 = makeLabel("Label3", QStringLiteral("Schriftgröße:"), FFontGroup);
    FSize1Combo = makeCombo("Size1Combo", FFontGroup);
    FLabel4 = makeLabel("Label4", QStringLiteral("Lautschrift:"), FFontGroup);
    FFont2Combo = makeCombo("Font2Combo", FFontGroup);
    FLabel5 = makeLabel("Label5", QStringLiteral("Schriftgröße:"), FFontGroup);
    FSize2Combo = makeCombo("Size2Combo", FFontGroup);
    auto* fontLayout = new QGridLayout(FFontGroup);
    fontLayout->addWidget(FLabel2, 0, 0);
    fontLayout->addWidget(FLabel3, 0, 1);
    fontLayout->addWidget(FFont1Combo, 1, 0);
    fontLayout->addWidget(FSize1Combo, 1, 1);
    fontLayout->addWidget(FLabel4, 2, 0);
    fontLayout->addWidget(FLabel5, 2, 1);
    fontLayout->addWidget(FFont2Combo, 3, 0);
    fontLayout->addWidget(FSize2Combo, 3, 1);
    fontLayout->setColumnStretch(0, 3);
    fontLayout->setColumnStretch(1, 1);
    fontLayout->setRowStretch(4, 1);

    FMiscGroup = new QGroupBox(QStringLiteral("Sonstiges"), this);
    FMiscGroup->setObjectName(QStringLiteral("MiscGroup"));
    FCheckAutorun = makeCheck("checkAutorun", QStringLiteral("Mit Windows starten"), FMiscGroup);
    FCheckLanguageDirection =
        makeCheck("checkLanguageDirection", QStringLiteral("Sprachrichtung umkehren"), FMiscGroup);
    FCheckCloseQuestion =
        makeCheck("checkCloseQuestion", QStringLiteral("Beim Beenden nachfragen"), FMiscGroup);
    auto* miscLayout = new QVBoxLayout(FMiscGroup);
    miscLayout->addWidget(FCheckAutorun);
    miscLayout->addWidget(FCheckLanguageDirection);
    miscLayout->addWidget(FCheckCloseQuestion);
    miscLayout->addStretch(1);

    FOkButton = new QPushButton(QStringLiteral("Ok"), this);
    FOkButton->setObjectName(QStringLiteral("OkButton"));
    FOkButton->setDefault(true);
    connect(FOkButton, &QPushButton::clicked, this, &TOptionsWin::accept);
    // Escape and the frame's close box reach reject() as well.
    FCancelButton = new QPushButton(QStringLiteral("Abbruch"), this);
    FCancelButton->setObjectName(QStringLiteral("CancelButton"));
    connect(FCancelButton, &QPushButton::clicked, this, &TOptionsWin::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(FOkButton);
    buttons->addWidget(FCancelButton);
    buttons->addStretch(1);
    auto* layout = new QGridLayout(this);
    layout->addWidget(FHotKeyGroup, 0, 0);
    layout->addWidget(FSearchGroup, 0, 1);
    layout->addWidget(FFontGroup, 1, 0);
    layout->addWidget(FMiscGroup, 1, 1);
    layout->addLayout(buttons, 2, 0, 1, 2);
    layout->setColumnStretch(0, 1);
    layout->setColumnStretch(1, 1);
    layout->setRowStretch(1, 1);

    ApplyUILanguage();
}

void TOptionsWin::BuildFontLists() {
    const QStringList families = QFontDatabase::families();
    FFont1Combo->addItems(families);
    FFont2Combo->addItems(PronunciationFontFamilies(families));
    const QStringList sizes = {"8", "9", "10", "11", "12", "14", "16", "18", "20"};
    FSize1Combo->addItems(sizes);
    FSize2Combo->addItems(sizes);
}

void TOptionsWin::ApplyUILanguage() {
    const auto T = [](const char16_t* german) { return Translate(QString::fromUtf16(german)); };
    FCancelButton->setText(T(u"Abbruch"));
    setWindowTitle(T(u"Einstellungen"));
    FHotKeyGroup->setTitle(T(u"Hotkey"));
    FLabel6->setText(T(u"Tastaturkürzel") + u':');
    FLabel7->setText(T(u"Verzögerung") + u':');
    FFontGroup->setTitle(T(u"Schriftart / Schriftgröße"));
    FLabel2->setText(T(u"Schriftart") + u':');
    FLabel3->setText(T(u"Schriftgröße") + u':');
    FLabel4->setText(T(u"Lautschrift") + u':');
    FLabel5->setText(T(u"Schriftgröße") + u':');
    FSearchGroup->setTitle(T(u"Automatische Suche"));
    FLabel8->setText(T(u"Verzögerung") + u':');
    FMiscGroup->setTitle(T(u"Sonstiges"));
    FCheckAutoSearch->setText(T(u"Suchen bei Eingabe"));
    FCheckAutorun->setText(T(u"Mit Windows starten"));
    FCheckLanguageDirection->setText(T(u"Sprachrichtung umkehren"));
    FCheckCloseQuestion->setText(T(u"Beim Beenden nachfragen"));
    // "ms" reads the same in both languages; its hint does not.
    FLabel9->setToolTip(T(u"Millisekunden"));
    FLabel10->setToolTip(T(u"Millisekunden"));
    AssignOptionsMnemonics(this);
    NameControls(this);
}

TOptionsResult TOptionsWin::Execute(TSettings& settings, bool& autorunState, TAutorun& autorun,
                                    const QString& programPath) {
    ApplyUILanguage();
    Fill(settings, autorunState);
    // The client area centred on the owner's. Qt's own placement centres a frame it can
    // only guess before the window manager has framed the dialog.
    if (QWidget* owner = parentWidget()) {
        QRect area(QPoint(0, 0), size());
        area.moveCenter(owner->window()->geometry().center());
        setGeometry(area);
    }
    if (exec() != QDialog::Accepted)
        return TOptionsResult::Cancelled;
    return Apply(settings, autorunState, autorun, programPath);
}

void TOptionsWin::Fill(const TSettings& settings, bool autorunState) {
    setComboText(FFont1Combo, settings.GridFontName);
    setComboText(FSize1Combo, QString::number(settings.GridFontSize));
    setComboText(FFont2Combo, settings.PronFontName);
    setComboText(FSize2Combo, QString::number(settings.PronFontSize));
    const QKeyCombination hotkey = ToKeyCombination(settings.HotKeyChar, settings.HotKeyMod);
    // A code from a hand-edited file without a key here shows empty: OK keeps it unless
    // replaced or cleared.
    FHotKeyEdit->SetHotkey(hotkey.key() == Qt::Key_unknown || settings.HotKeyChar == 0
                               ? QKeySequence()
                               : QKeySequence(hotkey));
    FHotKeyNote->hide();
    FCopyDelayEdit[0]->setText(QString::number(settings.CopyDelay1));
    FCopyDelayEdit[1]->setText(QString::number(settings.CopyDelay2));
    FCopyDelayEdit[2]->setText(QString::number(settings.CopyDelay3));
    FCheckAutoSearch->setChecked(settings.AutoSearch);
    FAutoSearchDelayEdit->setText(QString::number(settings.AutoSearchDelay));
    FAutoSearchDelayEdit->setEnabled(settings.AutoSearch);
    FCheckAutorun->setChecked(autorunState);
    FCheckLanguageDirection->setChecked(settings.ReverseLanguage);
    FCheckCloseQuestion->setChecked(settings.CloseQuestion);
}

TOptionsResult TOptionsWin::Apply(TSettings& settings, bool& autorunState, TAutorun& autorun,
                                  const QString& programPath) {
    const QKeySequence sequence = FHotKeyEdit->keySequence();
    quint16 virtualKey = 0;
    quint16 modifiers = 0;
    if (!sequence.isEmpty() && FromKeyCombination(sequence[0], virtualKey, modifiers)) {
        settings.HotKeyChar = virtualKey;
        settings.HotKeyMod = modifiers;
    } else if (FHotKeyEdit->Cleared()) {
        settings.HotKeyChar = 0; // cleared: no hotkey
        settings.HotKeyMod = 0;
    }

    const auto delay = [this](QLineEdit* edit) {
        DelayEditExit(edit);
        return edit->text().toInt();
    };
    settings.CopyDelay1 = delay(FCopyDelayEdit[0]);
    settings.CopyDelay2 = delay(FCopyDelayEdit[1]);
    settings.CopyDelay3 = delay(FCopyDelayEdit[2]);

    TOptionsResult result = TOptionsResult::Applied;
    const bool autorunWanted = FCheckAutorun->isChecked();
    if (autorunWanted != autorunState) {
        // A failed write leaves the state as it is, so the next opening shows the truth.
        if (autorun.SetAutorunEntry(kAutorunEntryName, programPath.toStdString(), kAutorunArguments,
                                    autorunWanted))
            autorunState = autorunWanted;
        else
            result = TOptionsResult::AutorunFailed;
    }

    settings.AutoSearch = FCheckAutoSearch->isChecked();
    settings.AutoSearchDelay = delay(FAutoSearchDelayEdit);
    settings.ReverseLanguage = FCheckLanguageDirection->isChecked();
    settings.CloseQuestion = FCheckCloseQuestion->isChecked();
    settings.GridFontName = fontName(FFont1Combo, settings.GridFontName);
    settings.GridFontSize = sizeValue(FSize1Combo, settings.GridFontSize);
    settings.PronFontName = fontName(FFont2Combo, settings.PronFontName);
    settings.PronFontSize = sizeValue(FSize2Combo, settings.PronFontSize);
    return result;
}

void TOptionsWin::accept() {
    // Enter confirms while the focus may still be in a delay box that was never left.
    for (QLineEdit* edit :
         {FCopyDelayEdit[0], FCopyDelayEdit[1], FCopyDelayEdit[2], FAutoSearchDelayEdit})
        DelayEditExit(edit);
    QDialog::accept();
}

void TOptionsWin::checkAutoSearchClick() {
    FAutoSearchDelayEdit->setEnabled(FCheckAutoSearch->isChecked());
}

void TOptionsWin::DelayEditExit(QLineEdit* edit) {
    const QString text = DelayTextOnLeave(edit->text());
    if (text != edit->text())
        edit->setText(text);
}

bool TOptionsWin::eventFilter(QObject* watched, QEvent* event) {
    auto* edit = qobject_cast<QLineEdit*>(watched);
    if (edit == nullptr)
        return QDialog::eventFilter(watched, event);
    if (event->type() == QEvent::KeyPress && isNavigationKey(static_cast<QKeyEvent*>(event)->key()))
        return true;
    if (event->type() == QEvent::FocusOut) {
        // A context menu or another window taking the focus is no leaving of the box:
        // the user may be about to paste into it.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason)
            DelayEditExit(edit);
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace quillet
