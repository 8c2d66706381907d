// SPDX-License-Identifier: GPL-3.0-or-later
// The wait cursor shown while a long operation runs.
#pragma once

// Makes the hourglass the current cursor; the cursor it replaced comes back with WaitCursorOff.
void WaitCursorOn();
void WaitCursorOff();

// Shows the wait cursor for the lifetime of the object.
class WaitCursor {
  public:
    WaitCursor() { WaitCursorOn(); }
    ~WaitCursor() { WaitCursorOff(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};
