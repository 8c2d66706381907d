// SPDX-License-Identifier: GPL-3.0-or-later
// The error file read as message lines, within bounds; Qt Core only.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// The error file's lines: CR LF, LF or CR end a line and empty lines are entries too. The bytes are read
// as UTF-8 when they are valid UTF-8, else one byte per character, so no file name is lost.
QStringList SplitMessageLines(const QByteArray& bytes);
// Nothing when the file cannot be read.
QStringList ReadMessageLines(const QString& path);

// An error file is read up to these limits; what lies beyond is left out, with a note.
inline constexpr qsizetype kMaxErrorFileBytes = 16 * 1024 * 1024;
inline constexpr qsizetype kMaxMessageLines = 100000;
// A message is shown up to this many characters (the entry itself stays whole).
inline constexpr qsizetype kMaxShownMessage = 2000;
QString ShownMessage(const QString& text);

// The error file's lines within the limits; `cut` tells whether anything was left out.
QStringList ReadMessageLines(const QString& path, bool* cut);
