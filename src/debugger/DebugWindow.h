// SPDX-License-Identifier: GPL-3.0-or-later
// What every debugging window shares: a tool window of the main strip that stays above the editors, keeps
// its place in the settings, and asks the user for a byte to write.
#pragma once

#include <QWidget>

#include <string>

class Prompter;
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

  protected:
    // The new value of `what`, shown as `now`: a byte from 0 to 255, or -1 when the user gave none (a value
    // that is no byte is said in a message box).
    int askByte(const QString& what, const QString& now);

    Prompter& prompter_;

  private:
    TKeptPlacement* placement_;
};
