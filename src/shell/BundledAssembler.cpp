// SPDX-License-Identifier: GPL-3.0-or-later
// The bundled gpasm front end: found relative to the program, so an installed tree can be moved.
#include "shell/BundledAssembler.h"

#include "editor/AllReg.h"

#include <QDir>
#include <QFileInfo>

QString BundledAssembler(const QString& programDir) {
    if (programDir.isEmpty())
        return {};
    for (const char* place : kBundledAssemblerPlaces) {
        QFileInfo candidate(QDir(programDir).absoluteFilePath(QString::fromLatin1(place)));
        if (candidate.isFile() && candidate.isExecutable())
            return QDir::cleanPath(candidate.absoluteFilePath());
    }
    return {};
}

bool AdoptBundledAssembler(SettingsStore& settings, const QString& programDir) {
    if (!settings.AssemblerPath.empty())
        return false;
    QString frontEnd = BundledAssembler(programDir);
    if (frontEnd.isEmpty())
        return false;
    settings.AssemblerPath = frontEnd.toStdString();
    settings.AssemblerFileName = FileNamePart(settings.AssemblerPath);
    // the path holds for this run even when it cannot be kept for the next
    settings.WriteSetting("External EXE\\Microchip", "MPASMWIN.EXE", settings.AssemblerPath);
    return true;
}
