// SPDX-License-Identifier: GPL-3.0-or-later
// Help > Keyboard Shortcuts: every menu command with its key, and the editor's own keys, in one table.
#pragma once

#include <QDialog>
#include <QString>

#include <vector>

class QMenuBar;
class QTableWidget;

struct KeyRow {
    QString where;  // the menu, or "Editor"
    QString command;
    QString keys;  // as the menus show them; empty for a command without a key
};

// The rows of the strip's menus as they stand (visible menus and items only), so the list can never
// disagree with the menus; then the editor's keys: its tab keys and every key of the editor control's own
// command set.
std::vector<KeyRow> KeyRows(const QMenuBar& menus);

class TKeysWindow : public QDialog {
    Q_OBJECT
  public:
    explicit TKeysWindow(QWidget* parent = nullptr);
    void ShowRows(const std::vector<KeyRow>& rows);

    QTableWidget* Table;
};
