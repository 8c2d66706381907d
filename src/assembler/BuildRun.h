// SPDX-License-Identifier: GPL-3.0-or-later
// The assembler run of a build: its own process, started without a shell, waited for with the windows live.
#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>

class Prompter;

inline const QString kFailToExecute = "Fail to execute external program";
inline const QString kBuildRunning = "The assembler is still running; wait until it has ended";
inline const QString kStopRunningBuild = "The assembler is still running. Stop it?";

// The assembler's arguments: the option text split at blanks, one switch each, then the first file as one
// argument, blanks and all.
QStringList AssemblerArguments(const QString& options, const QString& firstFile);

// A Windows program ("MZ" at its start), which runs through wine.
bool IsWindowsProgram(const QString& path);

class TBuildRun : public QObject {
    Q_OBJECT
  public:
    enum class Outcome { Ended, FailedToStart, Refused, Stopped };

    explicit TBuildRun(Prompter& prompter, QObject* parent = nullptr);

    // Runs the program in workingDir and returns as soon as it has ended; the event loop runs meanwhile.
    // A Windows program runs through wine when wine is installed. When the program cannot start, the user
    // is told "Fail to execute external program". While any run waits, another is refused with a note.
    Outcome RunAndWait(const QString& program, const QStringList& arguments, const QString& workingDir);

    // A run is waiting, here or in another runner.
    static bool running() { return running_; }
    // Stops the program of the waiting run, if any: asked to end, then killed when it has not ended within
    // graceMs. Its wait ends as it goes. Used when Korvex itself ends.
    static void StopRunning(int graceMs = 1500);
    // The end of what the program wrote on its console during the last run (its last 64 KB: an assembler
    // that prints without end must not fill the memory).
    const QByteArray& output() const { return output_; }
    // The program's exit status, or -1 when it crashed or was stopped.
    int exitCode() const { return exitCode_; }

  signals:
    // The program has started; the wait begins.
    void started();

  private:
    void keepOutput(const QByteArray& more);

    Prompter& prompter_;
    QByteArray output_;
    int exitCode_ = -1;
    static bool running_;
    static class QProcess* process_;  // the program of the waiting run
    static bool stopRequested_;
};
