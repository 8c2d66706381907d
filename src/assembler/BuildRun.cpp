// SPDX-License-Identifier: GPL-3.0-or-later
// The assembler run: the program (or wine for a Windows program), its arguments, the wait in an event loop.
#include "assembler/BuildRun.h"

#include "platform/ChildProcess.h"
#include "platform/Prompter.h"

#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

bool TBuildRun::running_ = false;
QProcess* TBuildRun::process_ = nullptr;
bool TBuildRun::stopRequested_ = false;

namespace {

// A Windows program sees POSIX paths only through wine's drive Z:.
QString WinePath(const QString& argument) {
    if (!argument.startsWith('/') || !QFileInfo(argument).isFile())
        return argument;
    return "Z:" + QString(argument).replace('/', '\\');
}

// Clears the running flag and the process however the wait ends.
struct RunningFlag {
    RunningFlag(bool& flag, QProcess*& current, QProcess& process) : flag_(flag), current_(current) {
        flag_ = true;
        current_ = &process;
    }
    ~RunningFlag() {
        flag_ = false;
        current_ = nullptr;
    }
    bool& flag_;
    QProcess*& current_;
};

}  // namespace

QStringList AssemblerArguments(const QString& options, const QString& firstFile) {
    // split as a command line is: a quoted value with blanks in the additional options stays one switch
    QStringList arguments = QProcess::splitCommand(options);
    arguments << firstFile;
    return arguments;
}

bool IsWindowsProgram(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && file.read(2) == "MZ";
}

TBuildRun::TBuildRun(Prompter& prompter, QObject* parent) : QObject(parent), prompter_(prompter) {}

TBuildRun::Outcome TBuildRun::RunAndWait(const QString& program, const QStringList& arguments,
                                         const QString& workingDir) {
    if (running_) {
        prompter_.information(kBuildRunning);
        return Outcome::Refused;
    }
    output_.clear();
    exitCode_ = -1;
    stopRequested_ = false;
    QProcess process;
    RunningFlag flag(running_, process_, process);
    process.setWorkingDirectory(workingDir);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.setStandardInputFile(QProcess::nullDevice());
    // the assembler goes when Korvex goes, however it goes (a kill included)
    process.setChildProcessModifier(&EndWithParent);
    if (IsWindowsProgram(program)) {
        QString wine = QStandardPaths::findExecutable("wine");
        if (wine.isEmpty()) {
            prompter_.error(kFailToExecute);
            return Outcome::FailedToStart;
        }
        QStringList wineArguments{program};
        for (const QString& argument : arguments)
            wineArguments << WinePath(argument);
        process.setProgram(wine);
        process.setArguments(wineArguments);
    } else {
        process.setProgram(program);
        process.setArguments(arguments);
    }

    QEventLoop loop;
    bool failed = false;
    connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
    connect(&process, &QProcess::errorOccurred, &loop, [&failed, &loop](QProcess::ProcessError error) {
        // other errors (a crash, a broken pipe) end in finished, or do not end the run at all
        if (error != QProcess::FailedToStart)
            return;
        failed = true;
        loop.quit();
    });
    connect(&process, &QProcess::readyRead, &loop, [this, &process] { keepOutput(process.readAll()); });
    connect(&process, &QProcess::started, this, &TBuildRun::started);
    process.start();
    if (!failed && process.state() != QProcess::NotRunning)
        loop.exec();
    if (failed || process.error() == QProcess::FailedToStart) {
        prompter_.error(kFailToExecute);
        return Outcome::FailedToStart;
    }
    keepOutput(process.readAll());
    exitCode_ = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return stopRequested_ ? Outcome::Stopped : Outcome::Ended;
}

void TBuildRun::keepOutput(const QByteArray& more) {
    constexpr qsizetype kKept = 64 * 1024;
    output_ += more.right(kKept);
    if (output_.size() > kKept)
        output_.remove(0, output_.size() - kKept);
}

void TBuildRun::StopRunning(int graceMs) {
    if (!process_ || process_->state() == QProcess::NotRunning)
        return;
    stopRequested_ = true;
    process_->terminate();
    if (process_->waitForFinished(graceMs))
        return;
    process_->kill();
    process_->waitForFinished(graceMs);
}
