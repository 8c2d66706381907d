// SPDX-License-Identifier: GPL-3.0-or-later
// A debugging window's place and size kept in the settings: read when it is made, written when the program
// hides it or the user closes it; the window saves it itself when it goes away shown (saveIfShown).
#pragma once

#include <QObject>

#include <string>

class QWidget;
class Registry;

class TKeptPlacement : public QObject {
  public:
    // `key` under the program's settings key, "Forms\\Registers" say.
    TKeptPlacement(QWidget& window, Registry& registry, std::string key);
    // For the window's own destructor: its place when Korvex ends with it open.
    void saveIfShown();

    // True when the settings held a place for the window, which it now has.
    bool placed() const { return placed_; }

    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void restore();
    void save();

    QWidget& window_;
    Registry& registry_;
    std::string key_;
    bool placed_ = false;
};
