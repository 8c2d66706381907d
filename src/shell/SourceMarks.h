// SPDX-License-Identifier: GPL-3.0-or-later
// What the simulation draws on the sources (breakpoints, the execution point) and how it names a source:
// by its full path, and in the project file relative to the project's folder.
#pragma once

#include "shell/Project.h"

#include <QDir>
#include <QFileInfo>
#include <QString>

#include <string>

namespace source_marks {

// The colour elements a line is drawn with (indexes of the editor's element table).
inline constexpr int kBreakPointStyle = 13;
inline constexpr int kExecutionPointStyle = 16;

inline QString FullPath(const QString& path) {
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

// A breakpoint's file as the project file keeps it: relative to the project folder when it lies there.
inline std::string StoredPath(const QString& fullPath) {
    QString folder = QString::fromStdString(ProjectDir);
    return (!folder.isEmpty() && fullPath.startsWith(folder) ? fullPath.mid(folder.size()) : fullPath).toStdString();
}

inline QString FullFromStored(const std::string& stored) {
    QString path = QString::fromStdString(stored);
    return FullPath(QDir::isAbsolutePath(path) ? path : QString::fromStdString(ProjectDir) + path);
}

}  // namespace source_marks
