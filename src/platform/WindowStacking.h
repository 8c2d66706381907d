// SPDX-License-Identifier: GPL-3.0-or-later
// Keeping one of our windows above the others of the program on an X11 desktop.
#pragma once

class QWidget;

// Marks a top-level window as transient for the whole program (WM_TRANSIENT_FOR the root window, the
// ICCCM convention for a group transient): window managers then keep it above every other window of the
// program, and below the windows of other programs. Nothing happens on other platforms. It holds for every
// later showing of the window. Dialogs are marked alike, so that one shown later is not hidden under it.
void KeepAboveProgramWindows(QWidget& window);

// Makes a fixed-size window wide enough for the window manager to show its whole caption (in a bold
// title font, beside the window's icon and its buttons), its contents kept in the middle.
void WidenForCaption(QWidget& window);
