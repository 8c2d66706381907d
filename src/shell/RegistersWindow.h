// The registers window of a simulation: W, STATUS, the PC, the stack depth, the counters and the program's
// named registers at the last stop, the values the last step changed in bold red.
#pragma once

#include "gpsim/RegisterRows.h"

#include <QWidget>

class QLabel;
class QTableWidget;

class TRegistersWindow : public QWidget {
    Q_OBJECT
  public:
    explicit TRegistersWindow(QWidget* parent = nullptr);

    QLabel* Note;  // what the session said on starting (a stand-in processor), or nothing
    QTableWidget* Table;

    void ShowRows(const std::vector<RegisterRow>& rows);
    void SetNote(const QString& text);
};
