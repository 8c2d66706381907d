// SPDX-License-Identifier: GPL-3.0-or-later
// The Project commands of the main window: New, Open, the last project, Close, Options, Add and Remove.
#include "shell/Main.h"

#include "assembler/DlgMPASM.h"
#include "editor/AllReg.h"
#include "platform/ProfileFile.h"
#include "platform/Prompter.h"
#include "shell/Format.h"
#include "shell/Idefunction.h"
#include "debugger/WatchWindow.h"
#include "editor/ProgramSymbols.h"
#include "shell/ProW.h"
#include "shell/Project.h"
#include "shell/Services.h"

#include <QAction>
#include <QFileInfo>
#include <QListWidget>
#include <QToolButton>

namespace {

const QString kProjectFilter = "Project file (*.pro)";
const QString kAssemblerFilter = "Assembler file (*.asm)";
const QString kIncludeFilter = "Include file (*.inc)";

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}
std::string S(const QString& text) {
    return text.toStdString();
}

bool IsProjectFile(const QString& path) {
    return UpperExtension(S(path)) == ".PRO";
}

// A project name typed without an extension gets ".pro", whatever the file dialog did.
QString WithProjectExtension(const QString& path) {
    return FileNameOf(S(path)).find('.') == std::string::npos ? path + ".pro" : path;
}

}  // namespace

void TMainForm::SetProjectMenus(ProjectState state) {
    bool open = state == ProjectState::Open;
    for (QAction* action : {ProjectNew, ProjectOpen})
        action->setEnabled(!open);
    SBProOpen->setEnabled(!open);
    for (QAction* action : {ProjectClose, ProjectAdd, ProjectRemove, ProjectBuild, ProjectOptions})
        action->setEnabled(open);
    SBProjectBuild->setEnabled(open);
    SetSimulateMenus();
}

void TMainForm::WriteLastProjectSetting(const QString& path) {
    if (!services_.settings.WriteSetting("Project", "Name", S(path)))
        services_.prompter.error("Settings cannot be saved: " + Q(services_.settings.saveError()));
}

void TMainForm::ActivateProject(const QString& path) {
    SetProjectPath(S(path));
    ProjectFilesBeyond.clear();
    SetProjectMenus(ProjectState::Open);
    setWindowTitle("Korvex - " + Q(ProjectFileName));
    ProWindow->setWindowTitle(path);
    services_.settings.LastProject = ProjectPath;
    WriteLastProjectSetting(path);
    ShowLastProject({});
}

void TMainForm::LoadProject(const QString& path) {
    ProfileFile file(S(path));
    if (!file.readable()) {
        services_.prompter.error(Q(file.error()));
        return;
    }
    ActivateProject(path);
    TProjectSettings settings = ReadProjectSettings(file);
    ProjectFormat = settings.format;
    if (ProjectFormat == 1)
        MPASMDlg->Options = settings.options;
    TProjectFiles files = ReadProjectFiles(file);
    ProjectFilesBeyond = std::move(files.beyond);
    ProWindow->ProList->clear();
    for (const std::string& entry : files.files)
        ProWindow->AppendEntry(Q(entry));
    ProWindow->ShowLoadedProject();
    LoadBreakpoints(file);
    LoadWatches(file);
    IndexProject();
    if (files.listedCount > kMaxProjectFiles)
        services_.prompter.information(
            QString("The project file lists %1 files; the first %2 are shown, and the others are kept")
                .arg(files.listedCount)
                .arg(kMaxProjectFiles));
}

bool TMainForm::ShowMpasmOptions() {
    MPASMDlg->FormShow();
    return services_.prompter.showModal(*MPASMDlg) == QDialog::Accepted;
}

bool TMainForm::SaveProjectFiles() {
    std::vector<std::string> files;
    for (const QString& entry : ProWindow->Entries())
        files.push_back(S(entry));
    // the entries not shown go back as they were
    files.insert(files.end(), ProjectFilesBeyond.begin(), ProjectFilesBeyond.end());
    IndexProject();  // the program's files changed: its symbols with them
    ProfileFile file(ProjectPath);
    if (WriteProjectFiles(file, files))
        return true;
    services_.prompter.error(Q(file.error()));
    return false;
}

void TMainForm::ProjectNewClick() {
    FileDialogRequest request{"New Project", {kProjectFilter}, kProjectFilter, {}, "pro"};
    request.askOverwrite = false;  // the command asks its own question
    QStringList chosen = services_.prompter.saveFile(request).files;
    if (chosen.isEmpty())
        return;
    QString path = WithProjectExtension(chosen.first());
    if (QFileInfo::exists(path) && !services_.prompter.confirm("OK to overwrite " + path + " ?"))
        return;
    FormatDlg->FormShow();
    if (services_.prompter.showModal(*FormatDlg) != QDialog::Accepted)
        return;
    ProjectFormat = FormatDlg->RGFormat->itemIndex() + 1;
    TMpasmOptions before = MPASMDlg->Options;
    if (ProjectFormat == 1 && !ShowMpasmOptions())
        return;
    // nothing is written until both dialogs agreed, so a cancelled New leaves an old file as it was
    ProfileFile file(S(path), ProfileFile::Start::Empty);
    if (!WriteNewProjectFile(file, ProjectFormat, MPASMDlg->Options)) {
        MPASMDlg->Options = before;
        services_.prompter.error(Q(file.error()));
        return;
    }
    ProWindow->ProList->clear();
    ActivateProject(path);
}

void TMainForm::ProjectOpenClick() {
    FileDialogRequest request{"Open project", {kProjectFilter}, kProjectFilter, {}, "pro"};
    request.mustExist = false;  // the command says itself when the file cannot be found
    QStringList chosen = services_.prompter.openFiles(request, false).files;
    if (chosen.isEmpty())
        return;
    QString path = chosen.first();
    if (!QFileInfo::exists(path)) {
        services_.prompter.error("Project file cannot be found");
        return;
    }
    if (!IsProjectFile(path)) {
        services_.prompter.error("Project file is wrong");
        return;
    }
    LoadProject(path);
}

void TMainForm::ProjectLastClick() {
    QString path = ProjectLast->data().toString();
    if (!QFileInfo::exists(path)) {
        services_.prompter.error("Project file cannot be found");
        WriteLastProjectSetting({});  // LastProject itself stays, as the menu no longer offers it
        ShowLastProject({});
        return;
    }
    if (!IsProjectFile(path)) {
        services_.prompter.error("Project file is invalid");
        return;
    }
    LoadProject(path);
}

void TMainForm::ProjectCloseClick() {
    SimulateEndClick();  // the session belongs to the project's program
    ForgetBreakpoints();
    WatchWindow->SetWatches({});
    WatchWindow->ShowRows({});
    programSymbols->Clear();
    ProjectFilesBeyond.clear();
    if (ActiveSource() && EditorWindows)
        EditorWindows->HideMessageList();
    ProWindow->Reset();
    SetProjectMenus(ProjectState::None);
    if (ProjectFormat == 1)
        MPASMDlg->ResetOptions();
    setWindowTitle("Korvex");
    ShowLastProject(Q(services_.settings.LastProject));
}

void TMainForm::ProjectOptionsClick() {
    if (ProjectFormat != 1)
        return;
    TMpasmOptions before = MPASMDlg->Options;
    if (!ShowMpasmOptions())
        return;
    ProfileFile file(ProjectPath);
    if (!WriteMpasmOptions(file, MPASMDlg->Options)) {
        MPASMDlg->Options = before;  // the options stay what the file holds
        services_.prompter.error(Q(file.error()));
    }
}

void TMainForm::ProjectAddClick() {
    if (ProWindow->ProList->count() >= kMaxProjectFiles) {
        services_.prompter.error(QString("A project holds at most %1 files").arg(kMaxProjectFiles));
        return;
    }
    FileDialogRequest request{"Add to Project", {kAssemblerFilter, kIncludeFilter}, {}, Q(ProjectDir), {}};
    request.mustExist = false;  // a file to be written later may be listed now
    if (ProjectFormat == 1)
        request.selectedFilter = kAssemblerFilter;
    QStringList chosen = services_.prompter.openFiles(request, false).files;
    if (chosen.isEmpty())
        return;
    std::string path = S(chosen.first());
    // a file in the project's folder is listed by its bare name
    std::string entry = FolderPart(path) == ProjectDir ? FileNameOf(path) : path;
    int previous = ProWindow->SelectedLine();
    ProWindow->AppendEntry(Q(entry));
    int added = ProWindow->ProList->count() - 1;
    ProWindow->SelectLine(added);
    if (!SaveProjectFiles()) {
        ProWindow->DeleteEntry(added);
        ProWindow->SelectLine(previous);
    }
}

void TMainForm::ProjectRemoveClick() {
    int line = ProWindow->SelectedLine();
    if (line < 0)
        return;
    QString removed = ProWindow->ProList->item(line)->text();
    ProWindow->DeleteEntry(line);
    if (!SaveProjectFiles()) {
        ProWindow->ProList->insertItem(line, removed);
        ProWindow->SelectLine(line);
        return;
    }
    ProWindow->SelectLine(0);
}
