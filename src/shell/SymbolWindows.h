// SPDX-License-Identifier: GPL-3.0-or-later
// The Symbols window (the current file's labels, macros and constants in order, following the caret) and
// the References window (every use of a name in the project); a click or Enter on a row opens its line.
#pragma once

#include "debugger/DebugWindow.h"
#include "editor/SymbolIndex.h"

class QLabel;
class QListWidget;

class TSymbolsWindow : public TDebugWindow {
    Q_OBJECT
  public:
    TSymbolsWindow(Prompter& prompter, Registry& registry, QWidget* parent = nullptr);
    QListWidget* List;
    // The outline of a file; none when the file is no source of the program.
    void ShowSymbols(const std::vector<picsym::Symbol>& symbols);
    // The row of the last symbol at or above a line (from 0) is selected.
    void FollowLine(int line);
    const std::vector<picsym::Symbol>& symbols() const { return symbols_; }

  signals:
    void jumpTo(const picsym::Location& where);

  private:
    std::vector<picsym::Symbol> symbols_;
};

class TReferencesWindow : public TDebugWindow {
    Q_OBJECT
  public:
    TReferencesWindow(Prompter& prompter, Registry& registry, QWidget* parent = nullptr);
    QLabel* Title;
    QListWidget* List;
    // `texts` holds each place's line of text.
    void ShowReferences(const QString& name, const std::vector<picsym::Location>& places, const QStringList& texts);
    const std::vector<picsym::Location>& places() const { return places_; }

  signals:
    void jumpTo(const picsym::Location& where);

  private:
    std::vector<picsym::Location> places_;
};
