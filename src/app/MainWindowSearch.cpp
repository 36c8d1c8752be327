// SPDX-License-Identifier: GPL-2.0-or-later
// The search box, the search timer and the word list of the main window.
#include "MainWindow.h"

#include "IndexLoader.h"

#include "PronPanel.h"
#include "ResultGrid.h"
#include "SearchBox.h"
#include "TextTools.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QScopedValueRollback>

namespace quillet {
namespace {

// Keys whose release starts the search timer: those that change the text or may (the
// Windows key codes Backspace, Insert, Delete and everything from 50 up). Arrows, Home,
// End, modifiers, Enter, Escape and the blank do not; neither do the main-row digits 0
// and 1 (codes 48 and 49), a quirk users of the program know.
bool startsSearch(const QKeyEvent* event) {
    const int key = event->key();
    if (key == Qt::Key_Backspace || key == Qt::Key_Insert || key == Qt::Key_Delete)
        return true;
    if (key >= Qt::Key_F1 && key <= Qt::Key_F35)
        return true;
    if (event->modifiers() & Qt::KeypadModifier)
        return key != Qt::Key_Enter;
    const QString text = event->text();
    if (text.isEmpty() || text == u" " || !text[0].isPrint())
        return false;
    return key != Qt::Key_0 && key != Qt::Key_1;
}

} // namespace

void TMainForm::RestartSearchTimer(int interval) {
    FSearchTimer.stop();
    FSearchTimer.setInterval(interval);
    FSearchTimer.start();
}

void TMainForm::SearchText_KeyUp(QKeyEvent* event) {
    if (startsSearch(event) && FSettings.AutoSearch) {
        if (FSearchTimer.isActive()) {
            FSearchTimer.stop();
            FSearchTimer.setInterval(FSettings.AutoSearchDelay);
        }
        FSearchTimer.start();
    }
    FArmed = 0;
}

void TMainForm::MoveInWordList(int step) {
    const int row = FWordListBox->currentRow();
    const int next = row + step;
    if (row < 0 || next < 0 || next >= FWordListBox->count())
        return;
    FArmed = 0;
    RestartSearchTimer(100);
    FSearchText->setEditText(FWordListBox->item(next)->text());
    const QScopedValueRollback moving(FMovingWordList, true);
    FWordListBox->setCurrentRow(next);
}

void TMainForm::SearchText_KeyDown(QKeyEvent* event, bool& consumed) {
    switch (event->key()) {
    case Qt::Key_Down:
        MoveInWordList(+1);
        consumed = true;
        break;
    case Qt::Key_Up:
        MoveInWordList(-1);
        consumed = true;
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (!FSettings.AutoSearch) {
            RestartSearchTimer(100);
            consumed = true;
        }
        break;
    default:
        break;
    }
}

void TMainForm::SearchText_Change() {
    FEscapeCount = 0;
}

void TMainForm::SearchTextSelect() {
    if (FSearchTimer.isActive()) {
        FSearchTimer.stop();
        FSearchTimer.setInterval(50);
    }
    FSearchTimer.start();
    FArmed = 0;
}

void TMainForm::SearchTimerTimer() {
    // While an index loads its list must not be read; the load run restarts the timer.
    if (IsLoading() || !FDict)
        return;
    if (FArmed == 0) {
        FArmed = 1;
        return;
    }
    FArmed = 0;
    FSearchTimer.stop();
    FSearchTimer.setInterval(FSettings.AutoSearchDelay);

    const QString text = FSearchText->currentText();
    QString keyWord;
    FMultiWordSearch = Trim(text).contains(u' ');
    if (FMultiWordSearch) {
        const QStringList words = SplitText(text, u" ", true);
        keyWord = words.isEmpty() ? QString() : words.first();
    } else {
        keyWord = text;
    }
    keyWord = keyWord.toLower();

    FindAndShowWords(text);
    FillResultGrid(-1);
    FLookupText = text;
    FLookupShown = FWordListBox->currentItem() ? FWordListBox->currentItem()->text() : QString();
    ShowSuggestions();
    SetSpeakWord(FLookupShown, FDict->Direction());

    QLineEdit* edit = FSearchText->lineEdit();
    if (!FMultiWordSearch && FWordListBox->currentItem()) {
        // Select the part of the typed text that no headword continues, so typing replaces it.
        const QString headword = FWordListBox->currentItem()->text().toLower();
        if (keyWord == headword) {
            edit->deselect();
        } else {
            qsizetype i = 0;
            while (i < keyWord.size() && i < headword.size() && keyWord[i] == headword[i])
                ++i;
            if (keyWord.size() <= i)
                edit->deselect();
            else
                edit->setSelection(int(i), int(text.size() - i));
        }
    }
    if (FSelectAfterSearch || !FSettings.AutoSearch) {
        FSelectAfterSearch = false;
        edit->selectAll();
    }
    QString ipa;
    FDict->GetPronunciation(keyWord, ipa);
    FPronPanel->SetWord(keyWord, ipa);
    FResultGrid->SetHoverWord(keyWord);
    if (!edit->hasSelectedText())
        AddToHistory(text);
}

void TMainForm::LookUpChosenWord(const QString& word, bool otherLanguage) {
    if (IsLoading())
        return;
    FSearchText->setEditText(word);
    AddToHistory(FSearchText->currentText());
    if (otherLanguage) {
        SwitchDirection(true); // the load run that follows looks the word up
    } else if (FSearchTimer.isActive()) {
        RestartSearchTimer(100);
    } else {
        FSearchTimer.start();
    }
}

void TMainForm::FindAndShowWords(const QString& text) {
    QStringList items;
    for (int i = 0; i < FWordListBox->count(); ++i)
        items.append(FWordListBox->item(i)->text());
    const QStringList before = items;
    const int position = FDict->FindWords(text, items);
    const QScopedValueRollback moving(FMovingWordList, true); // the program's move
    if (items != before) { // the window moved: the list shows the new one
        FWordListBox->clear();
        FWordListBox->addItems(items);
    }
    if (position >= 0 && position < FWordListBox->count()) {
        FWordListBox->setCurrentRow(position);
        FWordListBox->scrollToItem(FWordListBox->item(position), QAbstractItemView::PositionAtTop);
    }
}

void TMainForm::AddToHistory(const QString& text) {
    // The history is written to options.ini one entry a line.
    const QString kept = LineBreaksToBlanks(text);
    if (Trim(kept).size() <= 2)
        return;
    int found = -1;
    for (int i = 0; i < FSearchText->count(); ++i) {
        if (FSearchText->itemText(i).compare(kept, Qt::CaseInsensitive) == 0) {
            found = i;
            break;
        }
    }
    if (found == 0)
        return;
    const QSignalBlocker blocker(FSearchText);
    // Reordering the items must not cost the user the selection in the box.
    const QString edited = FSearchText->currentText();
    const int start = FSearchText->lineEdit()->selectionStart();
    const int length = int(FSearchText->lineEdit()->selectedText().size());
    if (found > 0)
        FSearchText->removeItem(found);
    else if (FSearchText->count() >= 10)
        FSearchText->removeItem(9);
    FSearchText->insertItem(0, kept);
    FSearchText->setCurrentIndex(-1);
    FSearchText->setEditText(found > 0 ? kept : edited);
    if (start >= 0)
        FSearchText->lineEdit()->setSelection(start, length);
}

void TMainForm::FillResultGrid(int position) {
    if (!FDict || IsLoading())
        return;
    if (position >= 0)
        FDict->SelectWordAt(position);
    TTermPairArray rows;
    const TStatus status = FDict->GetEntries(rows);
    if (!status.ok()) {
        FResultGrid->Clear();
        QMessageBox::warning(this, windowTitle(), status.message());
        return;
    }
    QString searchText;
    if (FMultiWordSearch)
        searchText = Trim(FSearchText->currentText());
    else if (FWordListBox->currentItem())
        searchText = FWordListBox->currentItem()->text();
    FResultGrid->Fill(rows, FDict->Direction(), FSettings.ReverseLanguage, searchText);
    FTrimTimer.start();
}

void TMainForm::WordListBoxClick() {
    if (!FWordListBox->currentItem() || !FDict || IsLoading())
        return;
    const QString clicked = FWordListBox->currentItem()->text();
    if (FSearchTimer.isActive()) {
        // A lookup is pending: it will run on the clicked headword.
        FSearchText->setEditText(clicked);
        FSearchText->lineEdit()->selectAll();
        FocusSearchText();
        return;
    }
    const int lineHeight = qMax(1, FWordListBox->sizeHintForRow(0));
    const int visible = qRound(double(FWordListBox->viewport()->height()) / lineHeight);
    const QModelIndex topIndex = FWordListBox->indexAt(QPoint(0, 0));
    const int top = topIndex.isValid() ? topIndex.row() : 0;
    if (top >= 10 && top + visible <= 200) {
        FillResultGrid(FWordListBox->currentRow());
    } else {
        FindAndShowWords(clicked);
        FillResultGrid(-1);
    }
    const QString headword =
        FWordListBox->currentItem() ? FWordListBox->currentItem()->text() : clicked;
    // The headword is the user's own choice now, not a guess from the typed text.
    FLookupText.clear();
    ShowSuggestions();
    FSearchText->setEditText(headword);
    FSearchText->lineEdit()->selectAll();
    FSearchTimer.stop();
    FocusSearchText();
    AddToHistory(FSearchText->currentText());
    ShowPronunciation(headword);
    SetSpeakWord(headword, FDict->Direction());
}

void TMainForm::ShowPronunciation(const QString& word) {
    QString ipa;
    if (FDict)
        FDict->GetPronunciation(word, ipa);
    FPronPanel->SetWord(word, ipa);
    FResultGrid->SetHoverWord(word);
}

void TMainForm::FocusSearchText() {
    if (FSearchText->isEnabled())
        FSearchText->setFocus();
}

} // namespace quillet
