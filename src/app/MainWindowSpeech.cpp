// SPDX-License-Identifier: GPL-2.0-or-later
// Hearing a word: the speak button beside the pronunciation line and Ctrl+Space read the
// current headword, or the word hovered in the grid since; the grid's menu reads the word
// clicked with the right button. The speaker does the work on a thread of its own.
#include "MainWindow.h"

#include "IndexLoader.h"
#include "ResultGrid.h"
#include "Speaker.h"
#include "Translations.h"

#include <QAction>
#include <QMenu>
#include <QStyle>
#include <QToolButton>

namespace quillet {

void TMainForm::CreateSpeech() {
    FSpeaker = new TSpeaker(this);
    connect(FSpeaker, &TSpeaker::noSoundDevice, this, [this] {
        SetStatusText(Translate(QStringLiteral("Kein Audiogerät für die Aussprache gefunden")));
    });
    connect(FSpeaker, &TSpeaker::failed, this, [this](const QString& message) {
        SetStatusText(Translate(QStringLiteral("Sprachausgabe nicht möglich")) + ": " + message);
    });

    FBtnSpeak = new QToolButton(FRightPanel);
    FBtnSpeak->setObjectName(QStringLiteral("btnSpeak"));
    FBtnSpeak->setIcon(style()->standardIcon(QStyle::SP_MediaVolume));
    FBtnSpeak->setAutoRaise(true);
    FBtnSpeak->setFixedSize(28, 28);
    connect(FBtnSpeak, &QToolButton::clicked, this,
            [this] { SpeakWordOf(FSpeakWord, FSpeakLanguage); });

    // After the two copy items, before the web searches.
    QMenu* menu = FResultGrid->ContextMenu();
    FMiSpeak = new QAction(QStringLiteral("Wort vorsprechen"), menu);
    FMiSpeak->setObjectName(QStringLiteral("miSpeak"));
    const QList<QAction*> items = menu->actions();
    const qsizetype after = items.indexOf(FResultGrid->CopyEntryAction());
    menu->insertAction(items.value(after + 1), FMiSpeak);
    connect(FMiSpeak, &QAction::triggered, this, [this] {
        // The menu's language is the neighbouring column's; the word is of the other one.
        SpeakWordOf(FResultGrid->PopupWord(), 1 - FResultGrid->PopupLanguage());
    });
    TranslateSpeech();
}

void TMainForm::TranslateSpeech() {
    FBtnSpeak->setToolTip(
        Translate(QStringLiteral("Vorsprechen")) +
        QStringLiteral(" (%1)").arg(
            QKeySequence(Qt::CTRL | Qt::Key_Space).toString(QKeySequence::NativeText)));
    FMiSpeak->setText(Translate(QStringLiteral("Wort vorsprechen")));
}

void TMainForm::SetSpeakWord(const QString& word, int language) {
    FSpeakWord = word;
    FSpeakLanguage = language;
}

void TMainForm::SpeakWordOf(const QString& word, int language) {
    if (!FDict || !FDict->IsOpen() || word.trimmed().isEmpty())
        return;
    FSpeaker->Speak(word, FDict->Language(language == 1 ? 1 : 0).Code);
}

} // namespace quillet
