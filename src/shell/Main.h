// SPDX-License-Identifier: GPL-3.0-or-later
// The main window: a strip across the top of the screen with the menu bar, toolbar and simulator read-outs.
#pragma once

#include <QLocale>
#include "editctl/FindDialogs.h"
#include "gpsim/ProcessorHeader.h"
#include "debugger/Breakpoints.h"
#include "shell/Project.h"

#include <QMainWindow>
#include <QPointer>
#include <QString>

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <utility>

class QAction;
class QLabel;
class QMenu;
class QToolBar;
class QToolButton;
class SimSession;
class TDocument;
class TMemo;
class TRegistersWindow;
struct SimStop;
namespace picsym {
struct Location;
}
struct TServices;

class TMainForm : public QMainWindow {
    Q_OBJECT
  public:
    using Handler = void (TMainForm::*)();
    explicit TMainForm(TServices& services);

    // The menu items, named as their components.
    QAction *FileNew, *FileOpen, *FileSave, *FileSaveAs, *FileSaveAll, *FileClose, *FileCloseAll, *FilePrint,
        *FileExit;
    QAction *EditUndo, *EditRedo, *EditCut, *EditCopy, *EditPaste, *EditDelete, *EditSelectAll;
    QAction *SearchFind, *SearchReplace, *SearchAgain1, *GotoLineNumber1, *SearchNextError, *SearchGoToDefinition,
        *SearchBack, *SearchForward, *SearchFindReferences, *SearchSymbols;
    QAction *ProjectNew, *ProjectOpen, *ProjectClose, *ProjectAdd, *ProjectRemove, *ProjectBuild,
        *ProjectSimulate, *ProjectOptions, *ProjectLastLine, *ProjectLast;
    QAction *SimulateStepInto, *SimulateStepOver, *SimulateRun, *SimulateRunToCursor, *SimulateStepBack, *SimulateStop, *SimulateReset, *SimulateEnd,
        *SimulateToggleBreakpoint, *SimulateSfr, *SimulateFileRegisters, *SimulateEeprom, *SimulateWatches,
        *SimulateProgramMemory, *SimulatePins, *SimulateBreakpoints, *SimulateRealTime, *SimulateOptions;
    QAction *DebugStart, *DebugTraceInto;
    QAction *CfgEnviOptions, *ConfigureEXE;
    QAction *HelpKeys, *About1;
    class TKeysWindow* KeysWindow = nullptr;  // Help > Keyboard Shortcuts, made when first asked for
    QMenu *FileMenu, *EditMenu, *SearchMenu, *ProjectMenu, *SimulateMenu, *DebugMenu, *ConfigureMenu,
        *HelpMenu;

    // The toolbar and its buttons.
    QToolBar* ToolBar1;
    QToolButton *SBFileNew, *SBFileOpen, *SBFileSave, *SBSaveAll, *SBUndo, *SBRedo, *SBCut, *SBCopy, *SBPaste,
        *SBFind, *SBReplace, *SBProOpen, *SBProjectBuild;

    // The simulator read-outs.
    QLabel *LabelPC, *LabelStack, *LabelW;

    // Runs a command; an exception it lets escape is shown in the standard exception box.
    void RunCommand(const std::function<void()>& command);
    // Runs a menu item's or button's handler; one that works on the editor gives the editor the focus back.
    void RunHandler(Handler handler);
    // The handler a menu item or toolbar button runs, or none.
    Handler HandlerOf(const QObject* item) const;
    // Shows or hides the last-project entry and its separator; the caption is the project's path.
    void ShowLastProject(const QString& path);
    TServices& services() { return services_; }
    // Where a maximised editor window goes: the available area of its screen below this strip.
    QRect EditorWorkArea(const QWidget& window) const;
    // The quit flow agreed: the program is ending and every window may go.
    bool ending() const { return closeAccepted_; }

    // ---- project commands (ProjectCommands.cpp) ----
    enum class ProjectState { None, Open };
    // Makes an accepted path the open project: its state, the menus, both captions, the last project.
    void ActivateProject(const QString& path);
    // The enabled and shown states of the project menu items and buttons.
    void SetProjectMenus(ProjectState state);
    // Reads an accepted project file and shows it; an unreadable file is reported and nothing opens.
    void LoadProject(const QString& path);
    // Shows the MPASM Options dialog with the current option set; true when it closed with OK.
    bool ShowMpasmOptions();
    // Writes the Files list into the project file; reports a failure.
    bool SaveProjectFiles();
    void WriteLastProjectSetting(const QString& path);
    // ---- end of project commands ----
    // ---- build commands (BuildCommands.cpp) ----
    // The message lists of the Project window and the editor windows, wired once the Project window exists;
    // start-up calls it, and the first build or F12 does if start-up did not.
    void InstallMessageLists();
    class TMessages* messages = nullptr;
    // A build that left no message: "Build succeeded: NAME.hex", or the assembler's last words when it
    // failed.
    void ReportQuietBuild(const class TBuildRun& run, const QString& errorFile);
    // Builds the project as Build does; true when the assembler ran and ended without an error.
    bool BuildProject();
    // How the last build went: not run (refused, or a question answered No), succeeded or failed.
    enum class BuildOutcome { NotRun, Succeeded, Failed };
    BuildOutcome RunBuild();
    // ---- end of build commands ----
    // ---- simulation of the user's program on gpsim (SimulateCommands.cpp) ----
    SimSession* simSession = nullptr;
    TRegistersWindow* RegistersWindow = nullptr;
    class TSfrWindow* SfrWindow = nullptr;
    class TMemoryWindow* FileRegistersWindow = nullptr;
    class TMemoryWindow* EepromWindow = nullptr;
    class TWatchWindow* WatchWindow = nullptr;
    class TProgramMemoryWindow* ProgramMemoryWindow = nullptr;
    class TPinsWindow* PinsWindow = nullptr;
    class TBreakpointsWindow* BreakpointsWindow = nullptr;
    // Breakpoints on program addresses no source line holds, set in the Program Memory window; for the
    // session's program only.
    std::set<uint32_t> addressBreakpoints;
    // Fills the open debugging windows from the last stop.
    void ShowStopInWindows();
    // The breakpoints: a source's full path and a line from 1. They outlive sessions and are kept in the
    // project file.
    std::set<std::pair<QString, int>> breakpoints;
    // What a line's breakpoint keeps beside it (a hit count, switched off); none for a plain one.
    std::map<std::pair<QString, int>, TBreakpointOptions> breakpointOptions;
    // Breakpoints on registers, by name or address; kept in the project with the others.
    std::vector<TRegisterBreakpoint> registerBreakpoints;
    // A line's breakpoint switched on or off, stopping from a hit on, or removed: drawn, saved, in the session.
    void SetBreakpointEnabled(const std::pair<QString, int>& line, bool enabled);
    void SetBreakpointFromHit(const std::pair<QString, int>& line, int fromHit);
    void RemoveBreakpoint(const std::pair<QString, int>& line);
    void AddRegisterBreakpoint(const TRegisterBreakpoint& breakpoint);
    TBreakpointOptions OptionsOf(const std::pair<QString, int>& line) const;
    // The gutter's popup menu on a line (from 0), at a point of the screen.
    void BreakpointMenu(class TEditor* window, int line, const QPoint& at);
    // Creates the session and wires the editor windows' gutters to the breakpoints.
    void InstallSimulation();
    // The enabled states of the simulation commands, from the session's state.
    void SetSimulateMenus();
    // The .cod the build writes for the project's first file; empty when the project names no file.
    QString ProgramCodPath() const;
    // Toggles the breakpoint on a line (from 0) of a document; a line without an instruction refuses with a
    // hint in the status bar. True when the line's breakpoint changed.
    bool ToggleBreakpoint(TDocument* document, int line);
    // Draws the breakpoints that lie in a document.
    void ShowBreakpoints(TDocument* document);
    void LoadBreakpoints(const class ProfileFile& file);
    void ForgetBreakpoints();
    // Ends a running session at once, within a short bound: Korvex is quitting.
    void EndSimulationNow();
    // True when the program must be built before it is simulated: never built, last built with errors, or a
    // source it names saved since.
    bool ProgramNeedsBuild(const QString& cod, const std::optional<class CodFile>& program) const;
    // The project's clock and stand-in part, for the next start of the session.
    void ApplySimulateOptions();
    // ---- the program's symbols (SymbolCommands.cpp) ----
    class TProgramSymbols* programSymbols = nullptr;
    class TSymbolsWindow* SymbolsWindow = nullptr;
    class TReferencesWindow* ReferencesWindow = nullptr;
    void InstallSymbols();
    // The index starts again from the project's files (none when no project is open).
    void IndexProject();
    // An editor window's Ctrl+click, Ctrl+Space, undefined-name marks and typing into the index.
    void WireSymbols(class TEditor* window);
    // What resting the mouse on a word shows: the live value while stopped, then the instruction's or
    // directive's help, or where the symbol is defined and its value.
    QString HoverHelp(const QString& word);
    // Underlines the names used as operands that the index knows nowhere, where it is certain.
    void ShowUndefinedNames(TDocument* document);
    void ShowOutline();
    QString WordAtCaret() const;
    void GoToDefinition(const QString& word);
    struct Place {
        QString file;
        int line = 0, column = 0;
    };
    enum class Remember { No, Yes };
    // Opens a place in the editor; with Remember::Yes, Back comes back to where the caret was.
    void GoToPlace(const picsym::Location& where, Remember remember);
    Place CurrentPlace() const;
    static QString FullPathOf(const TDocument* document);
    void ShowCompletion(class TEditor* window);
    // What Ctrl+Space offers for the word begun: "name  kind value", sorted without regard to case.
    QStringList CompletionItems(const QString& prefix);
    // The part's registers with their bits, from the processor header the program includes.
    const std::vector<SpecialRegister>& HeaderRegisters();
    std::vector<Place> backPlaces_, forwardPlaces_;
    // Back (from the back list to the forward one) and Forward (the other way).
    void WalkPlaces(std::vector<Place>& from, std::vector<Place>& to);
    std::vector<SpecialRegister> headerRegisters_;
    std::string headerRegistersFor_;  // the header they were read from; empty when to be read again
    // ---- the whole chip: file registers, EEPROM, watches, program memory (ChipCommands.cpp) ----
    void InstallChipWindows();
    // Fills the open whole-chip windows from the last stop (the session is stopped).
    void ShowChipWindows();
    // No values outlive the session they were read in.
    void ClearChipWindows();
    // Shows a debugging window, the first time at the left below the strip (each a little further down).
    void ShowDebugWindow(class TDebugWindow* window, int order);
    // Toggles the breakpoint of a program address: its source line's when one holds it, else the address's.
    void ToggleAddressBreakpoint(uint32_t address);
    // The Program Memory window's marks from the session's breakpoints.
    void ShowProgramBreakpoints();
    void LoadWatches(const class ProfileFile& file);
    void SaveWatches();
    // The tooltip of a word in the text while the program is stopped.
    QString StoppedValueTip(const QString& word) const;
    bool programMemoryStale_ = true;  // the window shows another program than the session's
    // ---- end of simulation ----
    // ---- debug commands (DebugCommands.cpp) ----
    // The simulator's step entry: one instruction.
    void StepEntry();
    // LabelPC, LabelStack and LabelW from the processor state.
    void ShowProcessorState();
    // The read-outs from any simulation: the built-in one's or a gpsim session's (stack "?" when unknown).
    void ShowReadOuts(uint32_t pc, int W, std::optional<int> stack);
    // "Cycle = " and the cycle count into panel 3 of the first editor window's status bar.
    void ShowCycleCount();
    // The cycle count with the thousands separator of `locale`, exact over the whole 32-bit range.
    static QString CycleText(uint32_t cycles, const QLocale& locale);
    // With KORVEX_DEBUG=1 in the environment the Debug menu shows and Trace Into is enabled.
    void ShowDebugMenuOnRequest();
    // ---- end of debug commands ----
    // ---- file commands (FileCommands.cpp) ----
    // The editor control showing the current document, or none.
    TMemo* currentMemo() const;
    TSearch lastSearch;
    void editCommand(const std::function<void(TMemo&)>& operation);
    // The find or replace dialog, preset from the selection or the word at the caret; false on Cancel.
    bool askSearch(TFindDialog::Mode mode);
    void reportNotFound();
    // Gives every editor window the commands "Edit.Find", "Edit.Replace", "Edit.SearchAgain" and
    // "Edit.GotoLine", each on ActiveSource.
    void registerEditorCommands();
    // The keys Alt+F, Alt+E ... of an editor window, each opening its menu of this strip.
    void addMenuKeys(QWidget& window);
    void OpenMenu(QMenu* menu);
    // ---- end of file commands ----

  public slots:
    void FileNewClick();
    void FileOpenClick();
    void FileSaveClick();
    void FileSaveAsClick();
    void FileSaveAllClick();
    void FileCloseClick();
    void FileCloseAllClick();
    void FilePrintClick();
    void FileExitClick();
    void EditUndoClick();
    void EditRedoClick();
    void EditCutClick();
    void EditCopyClick();
    void EditPasteClick();
    void EditDeleteClick();
    void EditSelectAllClick();
    void SearchFindClick();
    void SearchReplaceClick();
    void SearchAgain1Click();
    void GotoLineNumber1Click();
    void SearchNextErrorClick();
    void ProjectNewClick();
    void ProjectOpenClick();
    void ProjectCloseClick();
    void ProjectAddClick();
    void ProjectRemoveClick();
    void ProjectBuildClick();
    void ProjectSimulateClick();
    void SimulateStepIntoClick();
    void SimulateStepOverClick();
    void SimulateRunClick();
    void SimulateStopClick();
    void SimulateResetClick();
    void SimulateEndClick();
    void SimulateToggleBreakpointClick();
    void SimulateOptionsClick();
    void SimulateSfrClick();
    void SimulateRunToCursorClick();
    void SimulateStepBackClick();
    void SearchGoToDefinitionClick();
    void SearchBackClick();
    void SearchForwardClick();
    void SearchFindReferencesClick();
    void SearchSymbolsClick();
    void SimulateFileRegistersClick();
    void SimulateEepromClick();
    void SimulateWatchesClick();
    void SimulateProgramMemoryClick();
    void SimulatePinsClick();
    void SimulateBreakpointsClick();
    void SimulateRealTimeClick();
    void ProjectOptionsClick();
    void ProjectLastClick();
    void DebugStartClick();
    void DebugTraceIntoClick();
    void CfgEnviOptionsClick();
    void ConfigureEXEClick();
    void HelpKeysClick();
    void About1Click();

  signals:
    // The main window closed after the quit flow agreed: the program ends.
    void closed();

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void MainCreate();
    void MainShow();
    bool MainClose();
    void buildMenus();
    void buildToolBar();
    void buildReadOuts();
    void fixHeight();
    void SaveBreakpoints();
    void InstallBreakpoints();
    // The line style a breakpoint's line has: the breakpoint's colour when it is on, else none.
    int BreakpointStyle(const std::pair<QString, int>& line) const;
    // Draws a line's breakpoint (or its absence) in a document: its gutter symbol and its colour.
    void DrawBreakpoint(TDocument* document, const std::pair<QString, int>& line);
    // Gives the session the breakpoints that are on, with their hit counts and the registers'.
    void SendBreakpoints();
    // After any change to the breakpoints: the session, the project, the windows.
    void BreakpointsChanged();
    void ShowBreakpointList();
    std::map<std::pair<QString, int>, int> breakpointMarks_;  // the gutter marks' handles, to follow them
    // The line (from 0) a breakpoint's mark now stands on in its document, as the text was edited since the
    // breakpoint's line was last saved; its own line when it has no mark there.
    int LineOfBreakpoint(TDocument* document, const std::pair<QString, int>& line) const;
    // The breakpoint whose mark stands on a line (from 0) of a document; none when none does.
    std::optional<std::pair<QString, int>> BreakpointOnLine(TDocument* document, int line) const;
    // Gives a breakpoint the number of the line its mark now stands on.
    void Renumber(TDocument* document, const std::pair<QString, int>& line);
    // The breakpoints of a saved document where its drawn breakpoints now stand.
    void FollowBreakpoints(TDocument* document);
    void WireGutter(class TEditor* window);
    void ShowExecutionPoint(const SimStop& stop);
    void ClearExecutionPoint();
    // A Simulate command on the program as it now is: built again and restarted first when a source changed.
    void RunOnCurrentProgram(std::function<void()> command);
    // After a build during a session: the session restarts on the new program, then runs `then`; a failed
    // build ends it.
    void RestartSession(BuildOutcome outcome, std::function<void()> then);

    TServices& services_;
    std::map<const QObject*, Handler> handlers_;  // what each menu item and toolbar button runs
    bool closeAccepted_ = false;                  // the quit flow agreed: the program is ending
    QPointer<TDocument> executionDocument_;       // where the execution point is drawn
    int executionLine_ = -1;
    BuildOutcome lastBuild_ = BuildOutcome::NotRun;  // of the project lastBuildProject_ names
    std::string lastBuildProject_;
    std::function<void()> afterRestart_;  // the command that asked for the restart, run at its first stop
    QString restartNote_;                 // said in the Registers window for the rest of the session
    QString statusLead_;                  // said before the next stop's place in the status bar
};
