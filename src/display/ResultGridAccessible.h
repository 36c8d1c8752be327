// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

// What assistive technology sees of the result grid and the pronunciation line.
//
// The grid is a table: one row per data row of the grid, two columns, the language sides
// in the order they stand (the marker column is left out, its bullets only repeat where an
// entry begins). Its first two children are the column headers, named by the captions;
// then come the cells row by row, each named by its part as the cell shows it, without
// markup characters. The focused row is the selected one; its cell of the searched
// language is the focused cell. Every fill resets the table's model and, with the focused
// row, announces its cell, so that a screen reader reads the new first entry; moving the
// row announces the new one.
//
// The pronunciation line is a label whose text and value are what it shows: the word with
// its IPA text in brackets, or the notice that there is none.
//
// UI thread only.
namespace quillet {

class TResultGrid;

// Registers the interfaces with Qt (and those of the skinned controls); calling it again
// does nothing.
void InstallDisplayAccessibility();

// Called by the grid: its rows were replaced, or its focused row moved or got the focus.
void NotifyResultGridRowsChanged(TResultGrid* grid);
void NotifyResultGridCurrentChanged(TResultGrid* grid);

} // namespace quillet
