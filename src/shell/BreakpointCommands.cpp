// SPDX-License-Identifier: GPL-3.0-or-later
// The breakpoints: on source lines (at every hit or from the Nth on, on or off) and on registers; drawn in
// the editors' gutters, listed in the Breakpoints window, kept in the project and given to the session.
#include "shell/Main.h"

#include "debugger/BreakpointsWindow.h"
#include "debugger/MemoryWindow.h"
#include "debugger/ProgramMemoryWindow.h"
#include "debugger/SfrWindow.h"
#include "debugger/WatchWindow.h"
#include "editctl/Document.h"
#include "editctl/DocumentManager.h"
#include "editctl/Memo.h"
#include "editor/AllReg.h"
#include "editor/MyEditUnit.h"
#include "gpsim/ChipViews.h"
#include "gpsim/SimSession.h"
#include "platform/ProfileFile.h"
#include "platform/Prompter.h"
#include "shell/Idefunction.h"
#include "shell/Project.h"
#include "shell/Services.h"
#include "shell/SourceMarks.h"

#include <QFileInfo>
#include <QInputDialog>
#include <QMenu>
#include <QTableView>

using namespace source_marks;

namespace {

constexpr int kMaxFromHit = 1000000;

}  // namespace

void TMainForm::InstallBreakpoints() {
    BreakpointsWindow = new TBreakpointsWindow(services_.prompter, services_.settings.registry(), this);
    addMenuKeys(*BreakpointsWindow);
    connect(BreakpointsWindow, &TBreakpointsWindow::lineEnabled, this,
            [this](const SourceLine& line, bool enabled) { SetBreakpointEnabled(line, enabled); });
    connect(BreakpointsWindow, &TBreakpointsWindow::lineFromHit, this,
            [this](const SourceLine& line, int fromHit) { SetBreakpointFromHit(line, fromHit); });
    connect(BreakpointsWindow, &TBreakpointsWindow::lineRemoved, this,
            [this](const SourceLine& line) { RemoveBreakpoint(line); });
    connect(BreakpointsWindow, &TBreakpointsWindow::lineOpened, this, [this](const SourceLine& line) {
        QString error;
        TDocument* document = services_.documents.open(line.first, &error);
        if (!document) {
            services_.prompter.error(error);
            return;
        }
        if (services_.editors)
            services_.editors->ShowAndRaise(document);
        if (TEditor* window = services_.editors ? services_.editors->first() : nullptr;
            window && window->Memo->document() == document) {
            window->Memo->setCursorPosition(line.second - 1, 0);
            window->Memo->ensureLineVisible(line.second - 1);
        }
    });
    connect(BreakpointsWindow, &TBreakpointsWindow::registerEnabled, this, [this](int index, bool enabled) {
        if (index >= 0 && size_t(index) < registerBreakpoints.size())
            registerBreakpoints[size_t(index)].enabled = enabled;
        BreakpointsChanged();
    });
    connect(BreakpointsWindow, &TBreakpointsWindow::registerRemoved, this, [this](int index) {
        if (index >= 0 && size_t(index) < registerBreakpoints.size())
            registerBreakpoints.erase(registerBreakpoints.begin() + index);
        BreakpointsChanged();
    });
    connect(BreakpointsWindow, &TBreakpointsWindow::registerAdded, this,
            [this](const TRegisterBreakpoint& breakpoint) { AddRegisterBreakpoint(breakpoint); });
    // a register's row in the SFR, File Registers and Watches windows breaks on it
    for (TDebugWindow* window : std::initializer_list<TDebugWindow*>{SfrWindow, FileRegistersWindow, WatchWindow})
        connect(window, &TDebugWindow::registerBreakWanted, this,
                [this](const TRegisterBreakpoint& breakpoint) { AddRegisterBreakpoint(breakpoint); });
    // the hits counted so far show as the program stops
    connect(simSession, &SimSession::stopped, this, [this] {
        if (BreakpointsWindow->isVisible())
            ShowBreakpointList();
    });
}

void TMainForm::SimulateBreakpointsClick() {
    ShowDebugWindow(BreakpointsWindow, 8);
    ShowBreakpointList();
}

void TMainForm::ShowBreakpointList() {
    std::vector<TLineBreakpoint> lines;
    std::map<SourceLine, int> hits;
    for (const SourceLine& line : breakpoints) {
        TBreakpointOptions options = OptionsOf(line);
        lines.push_back({line, options.fromHit, options.enabled});
        if (simSession->active() && simSession->cod())
            if (auto address = SimSession::AddressOf(*simSession->cod(), QFileInfo(simSession->codPath()).absolutePath(), line))
                if (auto hit = simSession->hits().find(*address); hit != simSession->hits().end())
                    hits[line] = hit->second;
    }
    BreakpointsWindow->ShowBreakpoints(lines, registerBreakpoints, hits);
}

TBreakpointOptions TMainForm::OptionsOf(const SourceLine& line) const {
    auto options = breakpointOptions.find(line);
    return options == breakpointOptions.end() ? TBreakpointOptions() : options->second;
}

void TMainForm::SendBreakpoints() {
    std::set<SourceLine> on;
    for (const SourceLine& line : breakpoints)
        if (OptionsOf(line).enabled)
            on.insert(line);
    simSession->setBreakpoints(on);
    std::map<uint32_t, int> counts;
    if (simSession->cod())
        for (const SourceLine& line : on)
            if (int fromHit = OptionsOf(line).fromHit; fromHit > 1)
                if (auto address = SimSession::AddressOf(*simSession->cod(), QFileInfo(simSession->codPath()).absolutePath(), line))
                    counts[*address] = fromHit;
    simSession->setHitCounts(counts);
    // a register is found by its name in the running program, or its address
    std::set<SimSession::RegisterBreak> registers;
    ChipNames names = NamesOf(*simSession);
    for (const TRegisterBreakpoint& breakpoint : registerBreakpoints)
        if (breakpoint.enabled)
            if (auto address = WatchAddress(breakpoint.name, names))
                registers.insert({breakpoint.kind, *address, breakpoint.value});
    simSession->setRegisterBreakpoints(registers);
}

void TMainForm::BreakpointsChanged() {
    SendBreakpoints();
    SaveBreakpoints();
    ShowProgramBreakpoints();
    if (BreakpointsWindow && BreakpointsWindow->isVisible())
        ShowBreakpointList();
}

void TMainForm::AddRegisterBreakpoint(const TRegisterBreakpoint& breakpoint) {
    if (std::find(registerBreakpoints.begin(), registerBreakpoints.end(), breakpoint) == registerBreakpoints.end())
        registerBreakpoints.push_back(breakpoint);
    BreakpointsChanged();
    if (simSession->active() && !WatchAddress(breakpoint.name, NamesOf(*simSession)))
        SetEditorStatusText(5, QString("%1 is no register of the running program: the breakpoint is kept for when "
                                       "a program names it")
                                   .arg(breakpoint.name));
    else
        SetEditorStatusText(5, QString("The run stops when %1 is %2").arg(breakpoint.name, ConditionText(breakpoint)));
    if (!BreakpointsWindow->isVisible())
        SimulateBreakpointsClick();
}

int TMainForm::BreakpointStyle(const SourceLine& line) const {
    return breakpoints.count(line) && OptionsOf(line).enabled ? kBreakPointStyle : 0;
}

int TMainForm::LineOfBreakpoint(TDocument* document, const SourceLine& line) const {
    auto mark = breakpointMarks_.find(line);
    int now = mark == breakpointMarks_.end() ? -1 : document->lineOfGutterMark(mark->second);
    return now >= 0 ? now : line.second - 1;
}

std::optional<SourceLine> TMainForm::BreakpointOnLine(TDocument* document, int line) const {
    QString path = FullPath(document->fileName());
    for (const auto& [breakpoint, mark] : breakpointMarks_)
        if (breakpoint.first == path && document->lineOfGutterMark(mark) == line)
            return breakpoint;
    // one not drawn yet is where its line says
    if (SourceLine key{path, line + 1}; breakpoints.count(key) && !breakpointMarks_.count(key))
        return key;
    return std::nullopt;
}

void TMainForm::DrawBreakpoint(TDocument* document, const SourceLine& line) {
    int index = LineOfBreakpoint(document, line);
    bool executing = executionDocument_ == document && executionLine_ == index;
    if (!breakpoints.count(line)) {
        document->setGutterMark(index, TDocument::GutterMark::None);
        breakpointMarks_.erase(line);
        if (!executing && document->lineStyle(index) == kBreakPointStyle)
            document->setLineStyle(index, 0);
        return;
    }
    TBreakpointOptions options = OptionsOf(line);
    TDocument::GutterMark mark = !options.enabled      ? TDocument::GutterMark::Disabled
                                 : options.fromHit > 1 ? TDocument::GutterMark::Conditional
                                                       : TDocument::GutterMark::Breakpoint;
    breakpointMarks_[line] = document->setGutterMark(index, mark);
    if (!executing && (document->lineStyle(index) == 0 || document->lineStyle(index) == kBreakPointStyle))
        document->setLineStyle(index, BreakpointStyle(line));
}

void TMainForm::SimulateToggleBreakpointClick() {
    if (ProgramMemoryWindow->isActiveWindow()) {
        // in the Program Memory window, the address of its current row
        if (QModelIndex current = ProgramMemoryWindow->Table->currentIndex(); current.isValid())
            ToggleAddressBreakpoint(uint32_t(current.row()));
        return;
    }
    TDocument* document = ActiveSource();
    if (!document)
        return;
    TMemo* memo =
        services_.editors && services_.editors->first() ? services_.editors->first()->Memo : nullptr;
    ToggleBreakpoint(document,
                     memo && memo->document() == document ? memo->caretLine() : document->caretLine());
}

bool TMainForm::ToggleBreakpoint(TDocument* document, int line) {
    if (!document || line < 0 || line >= document->lineCount())
        return false;
    if (document->isUntitled()) {
        SetEditorStatusText(5, "Save the file first: a breakpoint belongs to a source of the program");
        return false;
    }
    // the breakpoint whose mark stands on the line, wherever edits since the last save moved it
    std::optional<SourceLine> existing = BreakpointOnLine(document, line);
    SourceLine key = existing.value_or(SourceLine{FullPath(document->fileName()), line + 1});
    if (existing) {
        breakpoints.erase(key);
        breakpointOptions.erase(key);
    } else {
        // a breakpoint moved away from this line number by edits not yet saved keeps its place: it is
        // numbered by where its mark now stands
        if (breakpoints.count(key))
            Renumber(document, key);
        // the built program says which lines hold an instruction; without one, or when the text has changed
        // since it was built, any line may have a breakpoint
        QString cod = simSession->active() ? simSession->codPath() : ProgramCodPath();
        std::string error;
        std::optional<CodFile> program =
            simSession->active() ? simSession->cod() : CodFile::Load(cod.toStdString(), error);
        bool built = program && !document->isModified() &&
                     !(simSession->active() ? simSession->programChanged() : CodOutOfDate(cod, program, {}));
        QString folder = QFileInfo(cod).absolutePath() + "/";
        if (built && program->SourceIndex(folder.toStdString(), key.first.toStdString()) >= 0 &&
            !SimSession::AddressOf(*program, folder, key)) {
            SetEditorStatusText(
                5, QString("Line %1 holds no instruction: a breakpoint needs one").arg(line + 1));
            return false;
        }
        breakpoints.insert(key);
    }
    DrawBreakpoint(document, key);
    SetEditorStatusText(5, QString());
    BreakpointsChanged();
    return true;
}

void TMainForm::Renumber(TDocument* document, const SourceLine& line) {
    SourceLine now{line.first, LineOfBreakpoint(document, line) + 1};
    if (now == line || breakpoints.count(now))
        return;
    breakpoints.erase(line);
    breakpoints.insert(now);
    if (auto options = breakpointOptions.extract(line))
        breakpointOptions[now] = options.mapped();
    if (auto mark = breakpointMarks_.extract(line))
        breakpointMarks_[now] = mark.mapped();
}

void TMainForm::SetBreakpointEnabled(const SourceLine& line, bool enabled) {
    if (!breakpoints.count(line))
        return;
    breakpointOptions[line].enabled = enabled;
    if (breakpointOptions[line] == TBreakpointOptions())
        breakpointOptions.erase(line);
    if (TDocument* document = services_.documents.find(line.first))
        DrawBreakpoint(document, line);
    BreakpointsChanged();
}

void TMainForm::SetBreakpointFromHit(const SourceLine& line, int fromHit) {
    if (!breakpoints.count(line))
        return;
    breakpointOptions[line].fromHit = std::clamp(fromHit, 0, kMaxFromHit) > 1 ? std::clamp(fromHit, 0, kMaxFromHit) : 0;
    if (breakpointOptions[line] == TBreakpointOptions())
        breakpointOptions.erase(line);
    if (TDocument* document = services_.documents.find(line.first))
        DrawBreakpoint(document, line);
    BreakpointsChanged();
}

void TMainForm::RemoveBreakpoint(const SourceLine& line) {
    if (!breakpoints.erase(line))
        return;
    breakpointOptions.erase(line);
    if (TDocument* document = services_.documents.find(line.first))
        DrawBreakpoint(document, line);
    BreakpointsChanged();
}

void TMainForm::BreakpointMenu(TEditor* window, int line, const QPoint& at) {
    // a right-click in the gutter: what the line's breakpoint does
    TDocument* document = window->Memo->document();
    if (!document || document->isUntitled())
        return;
    std::optional<SourceLine> existing = BreakpointOnLine(document, line);
    SourceLine key = existing.value_or(SourceLine{FullPath(document->fileName()), line + 1});
    QMenu menu(window);
    menu.setObjectName("BreakpointMenu");
    if (!existing) {
        connect(menu.addAction("&Add Breakpoint"), &QAction::triggered, this,
                [this, document, line] { ToggleBreakpoint(document, line); });
    } else {
        TBreakpointOptions options = OptionsOf(key);
        connect(menu.addAction(options.enabled ? "Switch &Off" : "Switch &On"), &QAction::triggered, this,
                [this, key, options] { SetBreakpointEnabled(key, !options.enabled); });
        connect(menu.addAction("Stop from &Hit..."), &QAction::triggered, this, [this, key, options, window] {
            QInputDialog dialog(window);
            dialog.setObjectName("FromHitDlg");
            dialog.setWindowTitle("Breakpoint");
            dialog.setLabelText(QString("Stop at line %1 from which hit on (1: at every hit)?").arg(key.second));
            dialog.setInputMode(QInputDialog::IntInput);
            dialog.setIntRange(1, kMaxFromHit);
            dialog.setIntValue(std::max(1, options.fromHit));
            if (services_.prompter.showModal(dialog) == QDialog::Accepted)
                SetBreakpointFromHit(key, dialog.intValue());
        });
        connect(menu.addAction("&Remove Breakpoint"), &QAction::triggered, this,
                [this, key] { RemoveBreakpoint(key); });
    }
    menu.addSeparator();
    connect(menu.addAction("&All Breakpoints"), &QAction::triggered, this, &TMainForm::SimulateBreakpointsClick);
    menu.exec(at);
}

void TMainForm::ShowBreakpoints(TDocument* document) {
    if (!document || document->isUntitled())
        return;
    QString path = FullPath(document->fileName());
    for (const SourceLine& line : breakpoints)
        if (line.first == path)
            DrawBreakpoint(document, line);
}

void TMainForm::FollowBreakpoints(TDocument* document) {
    if (document->isUntitled())
        return;
    // each breakpoint's mark moved with its line as the text was edited: the breakpoint goes where it stands
    QString path = FullPath(document->fileName());
    std::set<SourceLine> moved;
    std::map<SourceLine, TBreakpointOptions> options;
    std::map<SourceLine, int> marks;
    for (const SourceLine& breakpoint : breakpoints) {
        SourceLine now = breakpoint;
        auto mark = breakpointMarks_.find(breakpoint);
        if (breakpoint.first == path && mark != breakpointMarks_.end()) {
            int line = document->lineOfGutterMark(mark->second);
            if (line < 0)
                continue;  // its line was joined to another breakpoint's, whose mark took the place
            now.second = line + 1;
        }
        if (!moved.insert(now).second)
            continue;  // two lines became one: the first breakpoint stays
        if (auto option = breakpointOptions.find(breakpoint); option != breakpointOptions.end())
            options[now] = option->second;
        if (mark != breakpointMarks_.end())
            marks[now] = mark->second;
    }
    if (moved == breakpoints && options == breakpointOptions)
        return;
    breakpoints = std::move(moved);
    breakpointOptions = std::move(options);
    breakpointMarks_ = std::move(marks);
    ShowBreakpoints(document);  // two marks merged onto one line: one again
    BreakpointsChanged();
}

void TMainForm::SaveBreakpoints() {
    if (ProjectPath.empty() || !ProjectClose->isEnabled())
        return;
    TBreakpoints stored;
    TBreakpointSettings storedOptions;
    for (const SourceLine& line : breakpoints) {
        stored.insert({StoredPath(line.first), line.second});
        if (auto options = breakpointOptions.find(line); options != breakpointOptions.end())
            storedOptions[{StoredPath(line.first), line.second}] = options->second;
    }
    std::vector<std::string> registers;
    for (const TRegisterBreakpoint& breakpoint : registerBreakpoints)
        registers.push_back(RegisterBreakpointText(breakpoint).toStdString());
    ProfileFile file(ProjectPath);
    if (!WriteProjectBreakpoints(file, stored, storedOptions, registers))
        services_.prompter.error(QString::fromStdString(file.error()));
}

void TMainForm::LoadBreakpoints(const ProfileFile& file) {
    ForgetBreakpoints();
    for (const auto& [stored, line] : ReadProjectBreakpoints(file))
        breakpoints.insert({FullFromStored(stored), line});
    for (const auto& [stored, options] : ReadProjectBreakpointOptions(file))
        if (SourceLine line{FullFromStored(stored.first), stored.second}; breakpoints.count(line))
            breakpointOptions[line] = options;
    for (const std::string& entry : ReadProjectRegisterBreakpoints(file))
        if (auto breakpoint = RegisterBreakpointFromText(QString::fromStdString(entry)))
            registerBreakpoints.push_back(*breakpoint);
    for (TDocument* document : services_.documents.documents())
        ShowBreakpoints(document);
    if (BreakpointsWindow && BreakpointsWindow->isVisible())
        ShowBreakpointList();
}

void TMainForm::ForgetBreakpoints() {
    std::set<SourceLine> gone = std::move(breakpoints);
    breakpoints.clear();
    breakpointOptions.clear();
    registerBreakpoints.clear();
    for (TDocument* document : services_.documents.documents()) {
        QString path = document->isUntitled() ? QString() : FullPath(document->fileName());
        for (const SourceLine& line : gone)
            if (line.first == path)
                DrawBreakpoint(document, line);
    }
    breakpointMarks_.clear();
    if (BreakpointsWindow && BreakpointsWindow->isVisible())
        ShowBreakpointList();
}
