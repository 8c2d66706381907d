// Simulating the project's program on gpsim: the Simulate commands, the execution point, the breakpoints
// and the registers window.
#include "shell/Main.h"

#include "assembler/ErrorLine.h"
#include "editctl/Document.h"
#include "editctl/DocumentManager.h"
#include "editctl/Memo.h"
#include "editor/MyEditUnit.h"
#include "gpsim/RegisterRows.h"
#include "gpsim/SimSession.h"
#include "platform/ProfileFile.h"
#include "platform/Prompter.h"
#include "shell/Idefunction.h"
#include "shell/ProW.h"
#include "shell/Project.h"
#include "shell/RegistersWindow.h"
#include "shell/Services.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>

namespace {

// The colour elements a line is drawn with (indexes of the editor's element table).
constexpr int kBreakPointStyle = 13;
constexpr int kExecutionPointStyle = 16;

const QString kNoFile = "No file loaded to the project/file cannot be found";

QString FullPath(const QString& path) {
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

// A breakpoint's file as the project file keeps it: relative to the project folder when it lies there.
std::string StoredPath(const QString& fullPath) {
    QString folder = QString::fromStdString(ProjectDir);
    return (!folder.isEmpty() && fullPath.startsWith(folder) ? fullPath.mid(folder.size()) : fullPath)
        .toStdString();
}

QString FullFromStored(const std::string& stored) {
    QString path = QString::fromStdString(stored);
    return FullPath(QDir::isAbsolutePath(path) ? path : QString::fromStdString(ProjectDir) + path);
}

}  // namespace

void TMainForm::InstallSimulation() {
    simSession = new SimSession(this);
    RegistersWindow = new TRegistersWindow(this);
    connect(simSession, &SimSession::stateChanged, this, [this](SimSession::State state) {
        SetSimulateMenus();
        if (state == SimSession::State::Running) {
            ClearExecutionPoint();  // the program is nowhere in particular until it stops
            SetEditorStatusText(5, "Running... (Stop: F6)");
        }
    });
    connect(simSession, &SimSession::stopped, this, [this](const SimStop& stop) {
        ShowExecutionPoint(stop);
        const auto& before = simSession->previousStop();
        RegistersWindow->ShowRows(
            RegisterRows(stop, before ? &*before : nullptr, simSession->programRegisters()));
        if (!RegistersWindow->isVisible() && !closeAccepted_)
            RegistersWindow->show();
    });
    connect(simSession, &SimSession::note, this, [this](const QString& text) {
        RegistersWindow->SetNote(text);
        SetEditorStatusText(5, text);
    });
    connect(simSession, &SimSession::failed, this, [this](const QString& text) {
        if (!closeAccepted_)
            services_.prompter.error(text);
    });
    connect(simSession, &SimSession::ended, this, [this] {
        ClearExecutionPoint();
        RegistersWindow->hide();
        RegistersWindow->SetNote({});
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
}

void TMainForm::SetSimulateMenus() {
    if (!simSession)
        return;
    SimSession::State state = simSession->state();
    bool stopped = state == SimSession::State::Stopped;
    ProjectSimulate->setEnabled(ProjectClose->isEnabled() && !simSession->active());
    for (QAction* action : {SimulateStepInto, SimulateStepOver, SimulateRun, SimulateReset})
        action->setEnabled(stopped);
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
    QStringList sources;
    for (const QString& entry : ProWindow->Entries())
        sources << QString::fromStdString(ResolveProjectFile(ProjectDir, entry.toStdString()));
    // the program that runs is the one on screen: a changed source is built first, and a build with
    // errors stops here as Build does
    if (CodOutOfDate(cod, sources) && !BuildProject())
        return;
    if (closeAccepted_)
        return;
    RegistersWindow->SetNote({});
    QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    RegistersWindow->move(area.right() - RegistersWindow->frameGeometry().width(),
                          frameGeometry().bottom() + 1);
    simSession->start(cod);
    simSession->setBreakpoints(breakpoints);
}

void TMainForm::SimulateStepIntoClick() {
    simSession->stepInto();
}

void TMainForm::SimulateStepOverClick() {
    simSession->stepOver();
}

void TMainForm::SimulateRunClick() {
    simSession->run();
}

void TMainForm::SimulateStopClick() {
    simSession->stop();
}

void TMainForm::SimulateResetClick() {
    simSession->reset();
}

void TMainForm::SimulateEndClick() {
    simSession->end();
}

void TMainForm::EndSimulationNow() {
    if (simSession && simSession->active())
        simSession->endNow();
}

void TMainForm::SimulateToggleBreakpointClick() {
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
    SourceLine key{FullPath(document->fileName()), line + 1};
    bool executing = executionDocument_ == document && executionLine_ == line;
    if (breakpoints.erase(key)) {
        if (!executing)
            document->setLineStyle(line, 0);
    } else {
        // the built program says which lines hold an instruction; without one, any line may have a breakpoint
        QString cod = simSession->active() ? simSession->codPath() : ProgramCodPath();
        std::string error;
        std::optional<CodFile> program =
            simSession->active() ? simSession->cod() : CodFile::Load(cod.toStdString(), error);
        QString folder = QFileInfo(cod).absolutePath() + "/";
        if (program && program->SourceIndex(folder.toStdString(), key.first.toStdString()) >= 0 &&
            !SimSession::AddressOf(*program, folder, key)) {
            SetEditorStatusText(
                5, QString("Line %1 holds no instruction: a breakpoint needs one").arg(line + 1));
            return false;
        }
        breakpoints.insert(key);
        if (!executing)
            document->setLineStyle(line, kBreakPointStyle);
    }
    SetEditorStatusText(5, QString());
    simSession->setBreakpoints(breakpoints);
    SaveBreakpoints();
    return true;
}

void TMainForm::ShowBreakpoints(TDocument* document) {
    if (!document || document->isUntitled())
        return;
    QString path = FullPath(document->fileName());
    for (const auto& [file, line] : breakpoints)
        if (file == path && document->lineStyle(line - 1) == 0)
            document->setLineStyle(line - 1, kBreakPointStyle);
}

void TMainForm::FollowBreakpoints(TDocument* document) {
    if (document->isUntitled())
        return;
    QString path = FullPath(document->fileName());
    std::set<SourceLine> moved;
    for (const auto& breakpoint : breakpoints) {
        // a line drawn with another mark (the execution point, an error line) keeps its number
        int style = breakpoint.first == path ? document->lineStyle(breakpoint.second - 1) : kBreakPointStyle;
        if (breakpoint.first != path || (style != 0 && style != kBreakPointStyle))
            moved.insert(breakpoint);
    }
    for (int line = 0; line < document->lineCount(); ++line)
        if (document->lineStyle(line) == kBreakPointStyle)
            moved.insert({path, line + 1});
    if (moved == breakpoints)
        return;
    breakpoints = std::move(moved);
    simSession->setBreakpoints(breakpoints);
    SaveBreakpoints();
}

void TMainForm::SaveBreakpoints() {
    if (ProjectPath.empty() || !ProjectClose->isEnabled())
        return;
    TBreakpoints stored;
    for (const auto& [file, line] : breakpoints)
        stored.insert({StoredPath(file), line});
    ProfileFile file(ProjectPath);
    if (!WriteProjectBreakpoints(file, stored))
        services_.prompter.error(QString::fromStdString(file.error()));
}

void TMainForm::LoadBreakpoints(const ProfileFile& file) {
    ForgetBreakpoints();
    for (const auto& [stored, line] : ReadProjectBreakpoints(file))
        breakpoints.insert({FullFromStored(stored), line});
    for (TDocument* document : services_.documents.documents())
        ShowBreakpoints(document);
}

void TMainForm::ForgetBreakpoints() {
    for (TDocument* document : services_.documents.documents()) {
        QString path = document->isUntitled() ? QString() : FullPath(document->fileName());
        for (const auto& [file, line] : breakpoints)
            if (file == path && document->lineStyle(line - 1) == kBreakPointStyle)
                document->setLineStyle(line - 1, 0);
    }
    breakpoints.clear();
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
    SetEditorStatusText(5, "Stopped at " + where);
}

void TMainForm::ClearExecutionPoint() {
    if (executionDocument_ && executionDocument_->lineStyle(executionLine_) == kExecutionPointStyle) {
        bool breakpoint =
            breakpoints.count({FullPath(executionDocument_->fileName()), executionLine_ + 1}) > 0;
        executionDocument_->setLineStyle(executionLine_, breakpoint ? kBreakPointStyle : 0);
    }
    executionDocument_ = nullptr;
    executionLine_ = -1;
}
