// SPDX-License-Identifier: GPL-3.0-or-later
// What every debugging window shares: a tool window of the main strip that stays above the editors, keeps
// its place in the settings, asks the user for a byte to write, and offers breakpoints on a row's register.
#pragma once

#include "debugger/Breakpoints.h"

#include <QWidget>

#include <functional>
#include <string>

class Prompter;
class QMenu;
class Registry;
class TKeptPlacement;

class TDebugWindow : public QWidget {
    Q_OBJECT
  public:
    // `name` is the object name, `title` the caption, `key` where the place is kept ("Forms\\SFR"), `size`
    // the size it has until the user gives it another.
    TDebugWindow(Prompter& prompter, Registry& registry, const QString& name, const QString& title,
                 const std::string& key, QSize size, QWidget* parent);
    ~TDebugWindow() override;
    // True when the settings held a place for the window, which it now has.
    bool placed() const;

    // True for a register's name or an address a breakpoint can hold: one the project file keeps and reads
    // back as it was.
    static bool IsBreakableName(const QString& name);

  signals:
    // The user asked from a row's popup menu for a breakpoint on its register.
    void registerBreakWanted(const TRegisterBreakpoint& breakpoint);

  protected:
    // The new value of `what`, shown as `now`: a byte from 0 to 255, or -1 when the user gave none (a value
    // that is no byte is said in a message box).
    int askByte(const QString& what, const QString& now);
    // Appends Break on Write, Break on Read and Break When Equal... to a popup menu; `registerOfRow` names
    // the register of the row the menu is for (empty: the row has none, and the actions do nothing).
    void addBreakActions(QMenu* menu, std::function<QString()> registerOfRow);
    // A right-click on a row of `table` selects the row and pops up `menu` there; `beforeShow` may fit the
    // menu to the row first.
    void popUpOnRows(class QTableWidget* table, QMenu* menu, std::function<void()> beforeShow = {});

    Prompter& prompter_;

  private:
    struct ByteQuestion {
        const char* dialogName;
        QString title, label;
    };
    int askByte(const ByteQuestion& question, const QString& now);
    void wantBreak(TRegisterBreakpoint::Kind kind, const QString& name);

    TKeptPlacement* placement_;
};
