// SPDX-License-Identifier: GPL-3.0-or-later
// Simulating the project's program on gpsim: the Simulate commands, the execution point, the breakpoints
// and the registers window.
#include "shell/Main.h"

#include "assembler/ErrorLine.h"
#include "editor/AllReg.h"
#include "editctl/Document.h"
#include "editctl/DocumentManager.h"
#include "editctl/Memo.h"
#include "editor/MyEditUnit.h"
#include "editor/SymbolIndex.h"
#include "gpsim/RegisterRows.h"
#include "gpsim/SimSession.h"
#include "platform/ProfileFile.h"
#include "platform/RegularFile.h"
#include "platform/Prompter.h"
#include "shell/Idefunction.h"
#include "shell/ProW.h"
#include "shell/Project.h"
#include "shell/SourceMarks.h"
#include "debugger/RegistersWindow.h"
#include "debugger/ProgramMemoryWindow.h"
#include "debugger/SfrWindow.h"
#include "debugger/WatchWindow.h"
#include "shell/SimOptions.h"
#include "shell/Services.h"

#include <QAction>
#include <QCursor>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QTableView>

using namespace source_marks;

namespace {

const QString kNoFile = "No file loaded to the project/file cannot be found";
const QString kProgramChanged = "The program changed: built again, simulation restarted";
constexpr size_t kMaxErrorFileBytes = 8 * 1024 * 1024;

}  // namespace

void TMainForm::InstallSimulation() {
    simSession = new SimSession(this);
    RegistersWindow = new TRegistersWindow(services_.settings.registry(), this);
    SfrWindow = new TSfrWindow(services_.prompter, services_.settings.registry(), this);
    connect(SfrWindow, &TSfrWindow::writeRegister, this,
            [this](uint32_t address, int value) { simSession->writeRegister(address, value); });
    InstallChipWindows();
    InstallBreakpoints();
    SimulateRealTime->setCheckable(true);
    connect(simSession, &SimSession::stateChanged, this, [this](SimSession::State state) {
        SetSimulateMenus();
        if (state == SimSession::State::Running) {
            ClearExecutionPoint();  // the program is nowhere in particular until it stops
            SetEditorStatusText(5, simSession->realTime() ? "Running in real time... (Stop: F6)"
                                                          : "Running... (Stop: F6)");
        }
    });
    connect(simSession, &SimSession::stopped, this, [this](const SimStop& stop) {
        if (afterRestart_) {
            // the restarted program stands at its start: now the command the user gave
            std::function<void()> command = std::exchange(afterRestart_, {});
            command();
            if (simSession->state() != SimSession::State::Stopped)
                return;
        }
        ShowExecutionPoint(stop);
        ShowReadOuts(stop.pc, stop.W, stop.stackDepth);  // one set of figures on screen: the session's
        ShowStopInWindows();
        if (!RegistersWindow->isVisible() && !closeAccepted_)
            RegistersWindow->show();
    });
    // a run is looked at about ten times a second: the windows and the read-outs follow it
    connect(simSession, &SimSession::live, this, [this](const SimStop& now) {
        ShowReadOuts(now.pc, now.W, now.stackDepth);
        ShowStopInWindows();
    });
    connect(RegistersWindow, &TRegistersWindow::zeroStopwatch, this, [this] {
        if (simSession->state() != SimSession::State::Stopped)
            return;
        simSession->zeroStopwatch();
        ShowStopInWindows();
    });
    connect(simSession, &SimSession::note, this, [this](const QString& text) {
        RegistersWindow->SetNote(restartNote_.isEmpty() ? text : restartNote_ + "\n" + text);
        SetEditorStatusText(5, text);
    });
    connect(simSession, &SimSession::waiting, this, [this](bool waiting) {
        SetEditorStatusText(5, waiting ? "Waiting for gpsim… (End Session: Ctrl+F2)" : QString());
    });
    connect(simSession, &SimSession::failed, this, [this](const QString& text) {
        if (!closeAccepted_)
            services_.prompter.error(text);
    });
    connect(simSession, &SimSession::ended, this, [this] {
        ClearExecutionPoint();
        RegistersWindow->hide();
        RegistersWindow->SetNote({});
        SfrWindow->ShowRows({});  // no values outlive the session they were read in
        ClearChipWindows();
        afterRestart_ = {};
        restartNote_.clear();
        statusLead_.clear();
        SetEditorStatusText(5, QString());  // "Stopped at", "Running": the session they spoke of is over
        ShowProcessorState();               // the read-outs are the built-in simulator's again
        SetSimulateMenus();
    });
    if (services_.editors) {
        for (TEditor* window : services_.editors->windows())
            WireGutter(window);
        connect(services_.editors, &TEditorWindows::created, this, &TMainForm::WireGutter);
    }
    connect(&services_.documents, &DocumentManager::documentAdded, this, [this](TDocument* document) {
        ShowBreakpoints(document);
        // the drawn breakpoints move with the lines as the text is edited; once saved, they are where
        // the next build puts the instructions
        connect(document, &TDocument::modifiedChanged, this, [this, document](bool modified) {
            if (!modified)
                FollowBreakpoints(document);
            else if (services_.editors && services_.editors->first() &&
                     services_.editors->first()->statusText(5).startsWith("Build succeeded"))
                SetEditorStatusText(5, QString());  // the text built is no longer the one on screen
        });
    });
    SetSimulateMenus();
}

void TMainForm::WireGutter(TEditor* window) {
    // a click in the line numbers or the gutter toggles the line's breakpoint
    window->Memo->setMarginSensitivity(0, true);
    window->Memo->setMarginSensitivity(1, true);
    connect(window->Memo, &QsciScintilla::marginClicked, this,
            [this, window](int, int line, Qt::KeyboardModifiers) {
                RunCommand([this, window, line] { ToggleBreakpoint(window->Memo->document(), line); });
            });
    // a right-click there: the breakpoint's condition, switched off or on, the list of them all
    connect(window->Memo, &QsciScintilla::marginRightClicked, this,
            [this, window](int, int line, Qt::KeyboardModifiers) { BreakpointMenu(window, line, QCursor::pos()); });
    // a word in the text shows its help (its value first while the program is stopped); any name can be
    // watched
    window->HoverText = [this](const QString& word) { return HoverHelp(word); };
    window->AddWatch = [this](const QString& word) {
        if (picsym::IsKeyword(word.toStdString())) {
            SetEditorStatusText(5, QString("%1 is an instruction or a directive: a watch shows a register").arg(word));
            return;
        }
        WatchWindow->AddWatch(word);
        SimulateWatchesClick();
    };
    WireSymbols(window);
}

void TMainForm::SetSimulateMenus() {
    if (!simSession)
        return;
    SimulateOptions->setEnabled(ProjectClose->isEnabled() && ProjectFormat == 1);
    SimSession::State state = simSession->state();
    bool stopped = state == SimSession::State::Stopped;
    ProjectSimulate->setEnabled(ProjectClose->isEnabled() && !simSession->active());
    for (QAction* action : {SimulateStepInto, SimulateStepOver, SimulateRun, SimulateRunToCursor, SimulateReset})
        action->setEnabled(stopped);
    SimulateStepBack->setEnabled(stopped && simSession->stepsBack() > 0);
    SimulateStop->setEnabled(state == SimSession::State::Running);
    SimulateEnd->setEnabled(simSession->active() && state != SimSession::State::Ending);
}

QString TMainForm::ProgramCodPath() const {
    QStringList entries = ProWindow->Entries();
    if (entries.isEmpty())
        return {};
    QString errorFile = QString::fromStdString(ErrorFilePath(ProjectDir, entries.front().toStdString()));
    return QFileInfo(errorFile).path() + "/" + QFileInfo(errorFile).completeBaseName() + ".cod";
}

bool TMainForm::ProgramNeedsBuild(const QString& cod, const std::optional<CodFile>& program) const {
    QStringList sources;
    for (const QString& entry : ProWindow->Entries())
        sources << QString::fromStdString(ResolveProjectFile(ProjectDir, entry.toStdString()));
    if (CodOutOfDate(cod, program, sources))
        return true;
    if (lastBuildProject_ == ProjectPath && lastBuild_ != BuildOutcome::NotRun)
        return lastBuild_ == BuildOutcome::Failed;
    // not built in this run of Korvex: gpasm writes the .cod even when the build had errors, which the
    // error file beside it tells
    QString errorFile = QFileInfo(cod).path() + "/" + QFileInfo(cod).completeBaseName() + ".err";
    std::string why;
    std::optional<std::string> errors = ReadRegularFile(errorFile.toStdString(), kMaxErrorFileBytes, why);
    return errors && (errors->starts_with("Error[") || errors->find("\nError[") != std::string::npos);
}

void TMainForm::ProjectSimulateClick() {
    if (simSession->active() || ProjectFormat != 1)
        return;
    if (!QuerySaveAll())
        return;
    QString cod = ProgramCodPath();
    if (cod.isEmpty()) {
        services_.prompter.error(kNoFile);
        return;
    }
    // the program that runs is the one on screen: a changed source or a failed build is built first, and a
    // build with errors stops here as Build does
    std::string error;
    std::optional<CodFile> program = CodFile::Load(cod.toStdString(), error);
    if (ProgramNeedsBuild(cod, program)) {
        if (!BuildProject() || closeAccepted_)
            return;
        program = CodFile::Load(cod.toStdString(), error);
    }
    if (closeAccepted_)
        return;
    if (!program && QFileInfo::exists(cod)) {
        services_.prompter.error(QString("%1 cannot be simulated: %2").arg(cod, QString::fromStdString(error)));
        return;
    }
    RegistersWindow->SetNote({});
    restartNote_.clear();
    ApplySimulateOptions();
    if (!RegistersWindow->placed()) {  // the first time: at the right, below the strip
        QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        RegistersWindow->move(area.right() - RegistersWindow->frameGeometry().width(),
                              frameGeometry().bottom() + 1);
    }
    simSession->start(cod, std::move(program));
    SendBreakpoints();
}

void TMainForm::RunOnCurrentProgram(std::function<void()> command) {
    if (simSession->state() != SimSession::State::Stopped || !simSession->programChanged()) {
        command();
        return;
    }
    BuildOutcome outcome = RunBuild();
    if (outcome == BuildOutcome::NotRun || closeAccepted_ || !simSession->active())
        return;
    RestartSession(outcome, std::move(command));
}

void TMainForm::RestartSession(BuildOutcome outcome, std::function<void()> then) {
    if (closeAccepted_)
        return;
    // its messages are in the lists, as after any build
    if (outcome == BuildOutcome::Failed) {
        simSession->end();
        return;
    }
    QString cod = ProgramCodPath();
    std::string error;
    std::optional<CodFile> program = CodFile::Load(cod.toStdString(), error);
    if (!program) {
        simSession->end();
        services_.prompter.error(QString("%1 cannot be simulated: %2").arg(cod, QString::fromStdString(error)));
        return;
    }
    ClearExecutionPoint();
    ApplySimulateOptions();
    afterRestart_ = std::move(then);
    restartNote_ = kProgramChanged;
    statusLead_ = kProgramChanged + ". ";
    RegistersWindow->SetNote(restartNote_);
    SetEditorStatusText(5, restartNote_);
    simSession->restart(cod, std::move(program));
    SendBreakpoints();
}

void TMainForm::ShowStopInWindows() {
    const SimStop& stop = simSession->lastStop();
    const auto& before = simSession->previousStop();
    RegistersWindow->ShowRows(RegisterRows(stop, before ? &*before : nullptr, simSession->programRegisters()));
    if (SfrWindow->isVisible())
        SfrWindow->ShowRows(SfrRows(simSession->specialRegisters(), stop, before ? &*before : nullptr));
    ShowChipWindows();
}

void TMainForm::SimulateSfrClick() {
    if (!SfrWindow->placed() && !SfrWindow->isVisible()) {  // the first time: at the left, below the strip
        QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        SfrWindow->move(area.left(), frameGeometry().bottom() + 1);
    }
    SfrWindow->show();
    SfrWindow->raise();
    if (simSession->state() == SimSession::State::Stopped)
        ShowStopInWindows();
}

void TMainForm::ApplySimulateOptions() {
    TSimulateOptions options = ReadProjectSimulate(ProfileFile(ProjectPath));
    simSession->setClock(options.clockHz);
    simSession->setStandIn(options.standIn);
}

void TMainForm::SimulateOptionsClick() {
    if (!ProjectClose->isEnabled())
        return;
    TSimOptionsDlg dialog(this);
    dialog.Show(ReadProjectSimulate(ProfileFile(ProjectPath)));
    if (services_.prompter.showModal(dialog) != QDialog::Accepted)
        return;
    ProfileFile file(ProjectPath);
    if (!WriteProjectSimulate(file, dialog.Options())) {
        services_.prompter.error(QString::fromStdString(file.error()));
        return;
    }
    if (simSession->active())
        SetEditorStatusText(5, "The new options apply when the simulation starts again");
}

void TMainForm::SimulateStepIntoClick() {
    RunOnCurrentProgram([this] { simSession->stepInto(); });
}

void TMainForm::SimulateStepOverClick() {
    RunOnCurrentProgram([this] { simSession->stepOver(); });
}

void TMainForm::SimulateRunClick() {
    RunOnCurrentProgram([this] { simSession->run(); });
}

void TMainForm::SimulateRunToCursorClick() {
    TDocument* document = ActiveSource();
    if (!document || document->isUntitled())
        return;
    TMemo* memo = services_.editors && services_.editors->first() ? services_.editors->first()->Memo : nullptr;
    int line = (memo && memo->document() == document ? memo->caretLine() : document->caretLine()) + 1;
    SourceLine place{FullPath(document->fileName()), line};
    RunOnCurrentProgram([this, place] {
        // the address is the built program's, after any build the command needed
        std::optional<uint32_t> address =
            simSession->cod() ? SimSession::AddressOf(*simSession->cod(), QFileInfo(simSession->codPath()).absolutePath(), place)
                              : std::nullopt;
        if (!address) {
            SetEditorStatusText(5, QString("Line %1 holds no instruction: Run to Cursor needs one").arg(place.second));
            return;
        }
        simSession->runTo(*address);
    });
}

void TMainForm::SimulateStepBackClick() {
    if (!simSession->stepBack())
        SetEditorStatusText(5, "No earlier stop to go back to since the program started or was reset");
}

void TMainForm::SimulateRealTimeClick() {
    // a run under way keeps to the clock from its next look on
    simSession->setRealTime(SimulateRealTime->isChecked());
    SetEditorStatusText(5, SimulateRealTime->isChecked() ? "Real Time: a run keeps to the processor's clock"
                                                         : "Real Time off: a run goes as fast as gpsim can");
}

void TMainForm::SimulateStopClick() {
    simSession->stop();
}

void TMainForm::SimulateResetClick() {
    RunOnCurrentProgram([this] { simSession->reset(); });
}

void TMainForm::SimulateEndClick() {
    simSession->end();
}

void TMainForm::EndSimulationNow() {
    if (simSession && simSession->active())
        simSession->endNow();
}

void TMainForm::ShowExecutionPoint(const SimStop& stop) {
    ClearExecutionPoint();
    QString where = QString("PC=%1, cycle %2").arg(stop.pc, 4, 16, QChar('0')).arg(stop.cycles);
    if (stop.file.isEmpty()) {
        SetEditorStatusText(5, "Stopped at " + where + ": no source line holds this address");
        return;
    }
    QString error;
    TDocument* document = services_.documents.open(stop.file, &error);
    if (!document) {
        SetEditorStatusText(5, "Stopped at " + where + ": " + error);
        return;
    }
    int line = stop.line - 1;
    if (services_.editors && !closeAccepted_)
        services_.editors->ShowAndRaise(document);
    document->setLineStyle(line, kExecutionPointStyle);
    executionDocument_ = document;
    executionLine_ = line;
    if (TEditor* window = services_.editors ? services_.editors->first() : nullptr;
        window && window->Memo->document() == document) {
        window->Memo->setCursorPosition(line, 0);
        window->Memo->ensureLineVisible(line);
    }
    SetEditorStatusText(5, std::exchange(statusLead_, {}) + "Stopped at " + where);
}

void TMainForm::ClearExecutionPoint() {
    // the mark moves with its line as the text is edited: it is found where it now stands, wherever that is
    if (executionDocument_) {
        // a breakpoint's gutter mark moves with its line too: the line shows the breakpoint's colour again
        // when one that is on stands there
        for (int line; (line = executionDocument_->nextLineWithStyle(0, kExecutionPointStyle)) >= 0;) {
            TDocument::GutterMark mark = executionDocument_->gutterMark(line);
            bool on = mark == TDocument::GutterMark::Breakpoint || mark == TDocument::GutterMark::Conditional;
            executionDocument_->setLineStyle(line, on ? kBreakPointStyle : 0);
        }
    }
    executionDocument_ = nullptr;
    executionLine_ = -1;
}
