// SPDX-License-Identifier: GPL-3.0-or-later
// The table every debugging window shows a stop in: a fixed-pitch font, no editing in place, and a row the
// last stop changed drawn bold red.
#pragma once

#include <QStringList>

class QTableWidget;
class QWidget;

QTableWidget* MakeStopTable(QWidget* parent, const QStringList& headers);
// Sets a cell, standing out when the last stop changed it; an unchanged cell is not touched.
void SetStopCell(QTableWidget& table, int row, int column, const QString& text, bool changed);
// Sets a row's cells from `texts` (one per column), standing out when the last stop changed it.
void SetStopRow(QTableWidget& table, int row, const QStringList& texts, bool changed);
// Fits the columns to their texts, measuring only those whose longest text grew since the last fit.
void FitColumns(QTableWidget& table);
