// SPDX-License-Identifier: GPL-3.0-or-later
// The wait cursor: Qt's override-cursor stack remembers the cursor it replaced.
#include "platform/Cursor.h"

#include <QCursor>
#include <QGuiApplication>

void WaitCursorOn() {
    QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
}

void WaitCursorOff() {
    // an unmatched Off must not pop a cursor someone else set
    if (QGuiApplication::overrideCursor())
        QGuiApplication::restoreOverrideCursor();
}
