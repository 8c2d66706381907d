// SPDX-License-Identifier: GPL-3.0-or-later
// Toolbar pictures: the desktop's icon theme where it has one, else a picture drawn here.
#pragma once

#include <QIcon>

enum class ToolGlyph {
    New,
    Open,
    Save,
    SaveAll,
    Undo,
    Redo,
    Cut,
    Copy,
    Paste,
    Find,
    Replace,
    OpenProject,
    Build
};

QIcon ToolIcon(ToolGlyph glyph);
// The picture drawn when the theme has none (also what tests look at).
QIcon FallbackToolIcon(ToolGlyph glyph);
