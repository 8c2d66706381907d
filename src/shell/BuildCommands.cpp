// SPDX-License-Identifier: GPL-3.0-or-later
// The build, the message navigation and the assembler setting, as main-window commands.
#include "shell/Main.h"

#include "assembler/BuildRun.h"
#include "assembler/DlgEXE.h"
#include "assembler/DlgMPASM.h"
#include "assembler/ErrorLine.h"
#include "assembler/Messages.h"
#include "gpsim/SimSession.h"
#include "editor/AllReg.h"
#include "editor/MyEditUnit.h"
#include "platform/Prompter.h"
#include "shell/Idefunction.h"
#include "shell/ProW.h"
#include "shell/Project.h"
#include "shell/Services.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QListView>
#include <QTabWidget>

#include <algorithm>

namespace {

const QString kNoFile = "No file loaded to the project/file cannot be found";
const QString kNoAssembler = "The MPASMWIN.EXE is not defined - Configure|External EXE";

}  // namespace

void TMainForm::InstallMessageLists() {
    if (messages || !ProWindow || !services_.editors)
        return;
    TMessageContext context;
    context.projectList = ProWindow->MessageList;
    context.model = ProWindow->Messages;
    context.showMessagesTab = [] {
        ProWindow->PCProWindow->setCurrentWidget(ProWindow->TSMessages);
        ProWindow->RestoreIfMinimized();
    };
    context.activeSource = [] { return ActiveSource(); };
    context.projectDir = [] { return ProjectDir; };
    context.projectFormat = [] { return ProjectFormat; };
    messages =
        new TMessages(std::move(context), *services_.editors, services_.documents, services_.prompter, this);
}

void TMainForm::ProjectBuildClick() {
    BuildOutcome outcome = RunBuild();
    // a session goes on with what was just built, as the user expects after a build
    if (simSession && simSession->active() && outcome != BuildOutcome::NotRun)
        RestartSession(outcome, {});
}

bool TMainForm::BuildProject() {
    return RunBuild() == BuildOutcome::Succeeded;
}

TMainForm::BuildOutcome TMainForm::RunBuild() {
    InstallMessageLists();
    if (TBuildRun::running()) {  // before the save questions: this build will not happen
        // an assembler that never ends can always be stopped: asked to end, then killed
        if (services_.prompter.confirm(kStopRunningBuild))
            TBuildRun::StopRunning();
        return BuildOutcome::NotRun;
    }
    if (!QuerySaveAll() || ProjectFormat != 1)
        return BuildOutcome::NotRun;
    EditorWindows->ClearErrorMarks();  // the last build's mark goes before this one's comes
    QStringList entries = ProWindow->Entries();
    // a first entry with a full path names a file outside the project folder; it builds there too
    QString firstFile =
        entries.isEmpty()
            ? QString()
            : QString::fromStdString(ResolveProjectFile(ProjectDir, entries.front().toStdString()));
    if (firstFile.isEmpty() || !QFileInfo(firstFile).isFile()) {
        services_.prompter.error(kNoFile);
        return BuildOutcome::NotRun;
    }
    if (QString::fromStdString(services_.settings.AssemblerFileName).toUpper() != "MPASMWIN.EXE") {
        services_.prompter.error(kNoAssembler);
        return BuildOutcome::NotRun;
    }
    if (ActiveSource()) {
        EditorWindows->HideMessageList();
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    // the project may close while the assembler runs: what the build reads afterwards is fixed now
    QString projectDir = QString::fromStdString(ProjectDir);
    std::string builtProject = ProjectPath;
    QString errorFile = QString::fromStdString(ErrorFilePath(ProjectDir, entries.front().toStdString()));
    // the entry as it stands: a bare name is found in the project folder, where the assembler runs, and the
    // messages name it as briefly
    QStringList arguments =
        AssemblerArguments(QString::fromStdString(MPASMDlg->CommandLineOptions()), entries.front());
    QDir::setCurrent(projectDir);
    TBuildRun run(services_.prompter);
    TBuildRun::Outcome outcome =
        run.RunAndWait(QString::fromStdString(services_.settings.AssemblerPath), arguments, projectDir);
    if (outcome == TBuildRun::Outcome::Refused)
        return BuildOutcome::NotRun;
    // the outputs of a stopped or failed build are not a program to run
    BuildOutcome result = outcome == TBuildRun::Outcome::FailedToStart ? BuildOutcome::NotRun
                          : outcome == TBuildRun::Outcome::Ended && run.exitCode() == 0 ? BuildOutcome::Succeeded
                                                                                        : BuildOutcome::Failed;
    if (result != BuildOutcome::NotRun) {
        lastBuildProject_ = builtProject;
        lastBuild_ = result;
    }
    if (outcome == TBuildRun::Outcome::Stopped) {
        SetEditorStatusText(5, "Build stopped");
        return BuildOutcome::Failed;
    }
    // messages of a project that was closed or replaced meanwhile, or of a program that is ending, would
    // land in the wrong place
    if (ProjectPath != builtProject || closeAccepted_)
        return BuildOutcome::NotRun;
    messages->ClearLists();
    if (QFileInfo(errorFile).isFile())
        messages->LoadMessages(errorFile);
    if (outcome == TBuildRun::Outcome::Ended && ProWindow->Messages->rowCount() == 0)
        ReportQuietBuild(run, errorFile);
    return result;
}

void TMainForm::ReportQuietBuild(const TBuildRun& run, const QString& errorFile) {
    // without a message the build says how it went where the user looks, never in the message lists
    if (run.exitCode() != 0) {
        QStringList said = QString::fromLocal8Bit(run.output()).split('\n', Qt::SkipEmptyParts);
        QString last = said.mid(std::max<qsizetype>(0, said.size() - 10)).join('\n');
        services_.prompter.error(
            QString("The assembler failed without messages (exit status %1)").arg(run.exitCode()) +
            (last.isEmpty() ? QString() : ":\n" + ShownMessage(last)));
        return;
    }
    QString hex = QFileInfo(errorFile).completeBaseName() + ".hex";
    QString text = "Build succeeded: " + hex;
    if (services_.editors && services_.editors->first())
        SetEditorStatusText(5, text);
    else
        services_.prompter.information(text);
}

void TMainForm::SearchNextErrorClick() {
    InstallMessageLists();
    if (messages)
        messages->NextMessage();
}

void TMainForm::ConfigureEXEClick() {
    EXEDlg->FormShow(services().settings, services().prompter);
    services().prompter.showModal(*EXEDlg);
}
