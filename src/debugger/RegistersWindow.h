// SPDX-License-Identifier: GPL-3.0-or-later
// The registers window of a simulation: W, STATUS, the PC, the stack depth, the counters and the program's
// named registers at the last stop, the values the last step changed in bold red.
#pragma once

#include "gpsim/RegisterRows.h"

#include <QWidget>

class QLabel;
class QTableWidget;
class Registry;

// A window of its own above every other window of the program, like the Project window: stepping brings
// the editor window forward, never over it. Its place and size are kept in the settings.
class TRegistersWindow : public QWidget {
    Q_OBJECT
  public:
    explicit TRegistersWindow(Registry& registry, QWidget* parent = nullptr);
    ~TRegistersWindow() override;

    // True when the settings held a place for the window, which it now has.
    bool placed() const;

    QLabel* Note;  // what the session said on starting (a stand-in processor), or nothing
    QTableWidget* Table;
    class QPushButton* ZeroStopwatch;

    void ShowRows(const std::vector<RegisterRow>& rows);
    void SetNote(const QString& text);

  signals:
    // The user zeroed the stopwatch.
    void zeroStopwatch();

  private:
    class TKeptPlacement* placement_;
};
