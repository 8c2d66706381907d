// SPDX-License-Identifier: GPL-3.0-or-later
// The main window: menu map, toolbar, read-outs, creation, showing and the quit flow.
#include "shell/Main.h"

#include "assembler/BuildRun.h"
#include "editctl/DocumentManager.h"
#include "editor/AllReg.h"
#include "editor/MyEditUnit.h"
#include "platform/Prompter.h"
#include "shell/About.h"
#include "shell/Idefunction.h"
#include "shell/ProW.h"
#include "shell/Services.h"
#include "shell/KeysWindow.h"
#include "shell/ToolIcons.h"

#include <QAction>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMenuBar>
#include <QScreen>
#include <QToolBar>
#include <QToolButton>

#include <algorithm>
#include <exception>

namespace {

using Handler = TMainForm::Handler;

struct MenuSpec {
    QMenu* TMainForm::*menu;
    const char* caption;
    bool visible;
};

constexpr MenuSpec kMenus[] = {
    {&TMainForm::FileMenu, "&File", true},           {&TMainForm::EditMenu, "&Edit", true},
    {&TMainForm::SearchMenu, "&Search", true},       {&TMainForm::ProjectMenu, "&Project", true},
    {&TMainForm::SimulateMenu, "Si&mulate", true},   {&TMainForm::DebugMenu, "&Debug", false},
    {&TMainForm::ConfigureMenu, "&Configure", true}, {&TMainForm::HelpMenu, "&Help", true},
};

enum class Sep { No, After };

struct ItemSpec {
    QMenu* TMainForm::*menu;
    QAction* TMainForm::*action;
    const char* component;
    const char* caption;  // "-" is a separator line
    const char* shortcut;
    Handler handler;
    bool enabled;
    bool visible;
    Sep separator;
};

using M = TMainForm;
// Every menu item in menu order: caption, shortcut, handler, initial state, and a separator after it.
const ItemSpec kItems[] = {
    {&M::FileMenu, &M::FileNew, "FileNew", "&New...", "", &M::FileNewClick, true, true, Sep::No},
    {&M::FileMenu, &M::FileOpen, "FileOpen", "&Open...", "", &M::FileOpenClick, true, true, Sep::After},
    {&M::FileMenu, &M::FileSave, "FileSave", "&Save", "Ctrl+S", &M::FileSaveClick, true, true, Sep::No},
    {&M::FileMenu, &M::FileSaveAs, "FileSaveAs", "Save &As...", "", &M::FileSaveAsClick, true, true, Sep::No},
    {&M::FileMenu, &M::FileSaveAll, "FileSaveAll", "Sa&ve All", "", &M::FileSaveAllClick, true, true,
     Sep::After},
    {&M::FileMenu, &M::FileClose, "FileClose", "&Close", "", &M::FileCloseClick, true, true, Sep::No},
    {&M::FileMenu, &M::FileCloseAll, "FileCloseAll", "C&lose All", "", &M::FileCloseAllClick, true, true,
     Sep::After},
    {&M::FileMenu, &M::FilePrint, "FilePrint", "&Print...", "", &M::FilePrintClick, true, true, Sep::After},
    {&M::FileMenu, &M::FileExit, "FileExit", "E&xit", "", &M::FileExitClick, true, true, Sep::No},
    {&M::EditMenu, &M::EditUndo, "EditUndo", "&Undo", "Ctrl+Z", &M::EditUndoClick, true, true, Sep::No},
    {&M::EditMenu, &M::EditRedo, "EditRedo", "&Redo", "Ctrl+Shift+Z", &M::EditRedoClick, true, true,
     Sep::After},
    {&M::EditMenu, &M::EditCut, "EditCut", "Cu&t", "Ctrl+X", &M::EditCutClick, true, true, Sep::No},
    {&M::EditMenu, &M::EditCopy, "EditCopy", "&Copy", "Ctrl+C", &M::EditCopyClick, true, true, Sep::No},
    {&M::EditMenu, &M::EditPaste, "EditPaste", "&Paste", "Ctrl+V", &M::EditPasteClick, true, true, Sep::No},
    {&M::EditMenu, &M::EditDelete, "EditDelete", "&Delete", "Ctrl+Del", &M::EditDeleteClick, true, true,
     Sep::No},
    {&M::EditMenu, &M::EditSelectAll, "EditSelectAll", "Se&lect All", "Ctrl+A", &M::EditSelectAllClick, true,
     true, Sep::No},
    {&M::SearchMenu, &M::SearchFind, "SearchFind", "&Find...", "Ctrl+F", &M::SearchFindClick, true, true,
     Sep::No},
    {&M::SearchMenu, &M::SearchReplace, "SearchReplace", "&Replace...", "Ctrl+R", &M::SearchReplaceClick,
     true, true, Sep::No},
    {&M::SearchMenu, &M::SearchAgain1, "SearchAgain1", "&Search Again", "F3", &M::SearchAgain1Click, true,
     true, Sep::After},
    {&M::SearchMenu, &M::GotoLineNumber1, "GotoLineNumber1", "&Go to Line Number...", "Alt+G",
     &M::GotoLineNumber1Click, true, true, Sep::No},
    {&M::SearchMenu, &M::SearchNextError, "SearchNextError", "Go to Next Warning/&Error/Message", "F12",
     &M::SearchNextErrorClick, true, true, Sep::After},
    {&M::SearchMenu, &M::SearchGoToDefinition, "SearchGoToDefinition", "Go to &Definition", "Ctrl+B",
     &M::SearchGoToDefinitionClick, true, true, Sep::No},
    {&M::SearchMenu, &M::SearchBack, "SearchBack", "&Back", "Alt+Left", &M::SearchBackClick, false, true, Sep::No},
    {&M::SearchMenu, &M::SearchForward, "SearchForward", "For&ward", "Alt+Right", &M::SearchForwardClick, false,
     true, Sep::No},
    {&M::SearchMenu, &M::SearchFindReferences, "SearchFindReferences", "Find Re&ferences", "Shift+F12",
     &M::SearchFindReferencesClick, true, true, Sep::No},
    {&M::SearchMenu, &M::SearchSymbols, "SearchSymbols", "S&ymbols", "", &M::SearchSymbolsClick, true, true,
     Sep::No},
    {&M::ProjectMenu, &M::ProjectNew, "ProjectNew", "&New...", "", &M::ProjectNewClick, true, true, Sep::No},
    {&M::ProjectMenu, &M::ProjectOpen, "ProjectOpen", "&Open...", "Ctrl+F11", &M::ProjectOpenClick, true,
     true, Sep::No},
    {&M::ProjectMenu, &M::ProjectClose, "ProjectClose", "&Close", "", &M::ProjectCloseClick, false, true,
     Sep::After},
    {&M::ProjectMenu, &M::ProjectAdd, "ProjectAdd", "&Add to Project...", "Shift+F11", &M::ProjectAddClick,
     false, true, Sep::No},
    {&M::ProjectMenu, &M::ProjectRemove, "ProjectRemove", "&Remove from Project", "", &M::ProjectRemoveClick,
     false, true, Sep::After},
    {&M::ProjectMenu, &M::ProjectBuild, "ProjectBuild", "&Build", "Ctrl+F9", &M::ProjectBuildClick, false,
     true, Sep::No},
    {&M::ProjectMenu, &M::ProjectSimulate, "ProjectSimulate", "Si&mulate", "Shift+F9",
     &M::ProjectSimulateClick, false, true, Sep::After},
    {&M::ProjectMenu, &M::ProjectOptions, "ProjectOptions", "&Options...", "Ctrl+Shift+F11",
     &M::ProjectOptionsClick, false, true, Sep::No},
    {&M::ProjectMenu, &M::ProjectLastLine, "ProjectLastLine", "-", "", nullptr, true, false, Sep::No},
    {&M::ProjectMenu, &M::ProjectLast, "ProjectLast", "", "", &M::ProjectLastClick, true, false, Sep::No},
    {&M::SimulateMenu, &M::SimulateStepInto, "SimulateStepInto", "Step &Into", "F8",
     &M::SimulateStepIntoClick, false, true, Sep::No},
    {&M::SimulateMenu, &M::SimulateStepOver, "SimulateStepOver", "Step &Over", "Shift+F8",
     &M::SimulateStepOverClick, false, true, Sep::No},
    {&M::SimulateMenu, &M::SimulateRun, "SimulateRun", "&Run", "F9", &M::SimulateRunClick, false, true,
     Sep::No},
    {&M::SimulateMenu, &M::SimulateRunToCursor, "SimulateRunToCursor", "Run to &Cursor", "F4",
     &M::SimulateRunToCursorClick, false, true, Sep::No},
    {&M::SimulateMenu, &M::SimulateStepBack, "SimulateStepBack", "Step Bac&k", "Ctrl+F8", &M::SimulateStepBackClick,
     false, true, Sep::No},
    {&M::SimulateMenu, &M::SimulateStop, "SimulateStop", "&Stop", "F6", &M::SimulateStopClick, false, true,
     Sep::No},
    {&M::SimulateMenu, &M::SimulateReset, "SimulateReset", "R&eset", "Ctrl+F6", &M::SimulateResetClick, false,
     true, Sep::No},
    {&M::SimulateMenu, &M::SimulateEnd, "SimulateEnd", "&End Session", "Ctrl+F2", &M::SimulateEndClick, false,
     true, Sep::After},
    {&M::SimulateMenu, &M::SimulateToggleBreakpoint, "SimulateToggleBreakpoint", "Toggle &Breakpoint", "F5",
     &M::SimulateToggleBreakpointClick, true, true, Sep::After},
    {&M::SimulateMenu, &M::SimulateSfr, "SimulateSfr", "Special &Function Registers", "", &M::SimulateSfrClick,
     true, true, Sep::No},
    {&M::SimulateMenu, &M::SimulateFileRegisters, "SimulateFileRegisters", "File Re&gisters", "",
     &M::SimulateFileRegistersClick, true, true, Sep::No},
    {&M::SimulateMenu, &M::SimulateEeprom, "SimulateEeprom", "EEPROM &Data", "", &M::SimulateEepromClick, true,
     true, Sep::No},
    {&M::SimulateMenu, &M::SimulateWatches, "SimulateWatches", "&Watches", "", &M::SimulateWatchesClick, true,
     true, Sep::No},
    {&M::SimulateMenu, &M::SimulateProgramMemory, "SimulateProgramMemory", "Program &Memory", "",
     &M::SimulateProgramMemoryClick, true, true, Sep::No},
    {&M::SimulateMenu, &M::SimulatePins, "SimulatePins", "Pi&ns", "", &M::SimulatePinsClick, true, true, Sep::No},
    {&M::SimulateMenu, &M::SimulateBreakpoints, "SimulateBreakpoints", "&All Breakpoints", "",
     &M::SimulateBreakpointsClick, true, true, Sep::After},
    {&M::SimulateMenu, &M::SimulateRealTime, "SimulateRealTime", "Real &Time", "", &M::SimulateRealTimeClick, true,
     true, Sep::No},
    {&M::SimulateMenu, &M::SimulateOptions, "SimulateOptions", "O&ptions...", "", &M::SimulateOptionsClick, false,
     true, Sep::No},
    {&M::DebugMenu, &M::DebugStart, "DebugStart", "Start", "", &M::DebugStartClick, true, true, Sep::After},
    {&M::DebugMenu, &M::DebugTraceInto, "DebugTraceInto", "&Trace Into", "F7", &M::DebugTraceIntoClick, false,
     true, Sep::No},
    {&M::ConfigureMenu, &M::CfgEnviOptions, "CfgEnviOptions", "&Environment Options...", "",
     &M::CfgEnviOptionsClick, true, true, Sep::No},
    {&M::ConfigureMenu, &M::ConfigureEXE, "ConfigureEXE", "External EXE...", "", &M::ConfigureEXEClick, true,
     true, Sep::No},
    {&M::HelpMenu, &M::HelpKeys, "HelpKeys", "&Keyboard Shortcuts...", "", &M::HelpKeysClick, true, true,
     Sep::After},
    {&M::HelpMenu, &M::About1, "About1", "&About...", "", &M::About1Click, true, true, Sep::No},
};

enum class Divider { No, After };

struct ButtonSpec {
    QToolButton* TMainForm::*button;
    const char* component;
    const char* hint;
    ToolGlyph glyph;
    Handler handler;
    bool enabled;
    Divider divider;
};

// The toolbar, left to right; a divider line follows where marked.
const ButtonSpec kButtons[] = {
    {&M::SBFileNew, "SBFileNew", "New File", ToolGlyph::New, &M::FileNewClick, true, Divider::No},
    {&M::SBFileOpen, "SBFileOpen", "Open File", ToolGlyph::Open, &M::FileOpenClick, true, Divider::No},
    {&M::SBFileSave, "SBFileSave", "Save File", ToolGlyph::Save, &M::FileSaveClick, true, Divider::No},
    {&M::SBSaveAll, "SBSaveAll", "Save All", ToolGlyph::SaveAll, &M::FileSaveAllClick, true, Divider::After},
    {&M::SBUndo, "SBUndo", "Undo", ToolGlyph::Undo, &M::EditUndoClick, true, Divider::No},
    {&M::SBRedo, "SBRedo", "Redo", ToolGlyph::Redo, &M::EditRedoClick, true, Divider::After},
    {&M::SBCut, "SBCut", "Cut", ToolGlyph::Cut, &M::EditCutClick, true, Divider::No},
    {&M::SBCopy, "SBCopy", "Copy", ToolGlyph::Copy, &M::EditCopyClick, true, Divider::No},
    {&M::SBPaste, "SBPaste", "Paste", ToolGlyph::Paste, &M::EditPasteClick, true, Divider::After},
    {&M::SBFind, "SBFind", "Find", ToolGlyph::Find, &M::SearchFindClick, true, Divider::No},
    {&M::SBReplace, "SBReplace", "Replace", ToolGlyph::Replace, &M::SearchReplaceClick, true, Divider::After},
    {&M::SBProOpen, "SBProOpen", "Open Project", ToolGlyph::OpenProject, &M::ProjectOpenClick, true,
     Divider::No},
    {&M::SBProjectBuild, "SBProjectBuild", "Build Project", ToolGlyph::Build, &M::ProjectBuildClick, false,
     Divider::No},
};

// The commands that work on the editor: afterwards its window is active and its text has the keyboard
// focus, whether they came from the strip's menu, its toolbar or a shortcut.
const Handler kEditorCommands[] = {
    &M::FileNewClick,         &M::FileSaveAsClick,    &M::FileCloseClick,
    &M::FileOpenClick,        &M::EditUndoClick,      &M::EditRedoClick,     &M::EditCutClick,
    &M::EditCopyClick,        &M::EditPasteClick,     &M::EditDeleteClick,   &M::EditSelectAllClick,
    &M::SearchFindClick,      &M::SearchReplaceClick, &M::SearchAgain1Click, &M::GotoLineNumber1Click,
    &M::SearchNextErrorClick,
};

bool WorksOnTheEditor(Handler handler) {
    return std::find(std::begin(kEditorCommands), std::end(kEditorCommands), handler) !=
           std::end(kEditorCommands);
}

constexpr int kToolBarHeight = 30;
constexpr int kReadOutHeight = 22;

}  // namespace

TMainForm::TMainForm(TServices& services) : services_(services) {
    setObjectName("MainForm");
    setWindowTitle("Korvex");
    resize(544, 107);
    buildMenus();
    buildToolBar();
    buildReadOuts();
    MainCreate();
    InstallSymbols();
    InstallSimulation();
    ShowDebugMenuOnRequest();
}

void TMainForm::buildMenus() {
    for (const MenuSpec& row : kMenus) {
        QMenu* menu = menuBar()->addMenu(row.caption);
        menu->menuAction()->setVisible(row.visible);
        // a menu closed without a choice (Escape, a click beside it) gives the typing back to the text
        connect(menu, &QMenu::aboutToHide, this, [this] { RefocusEditorSoon(this); });
        this->*row.menu = menu;
    }
    for (const ItemSpec& row : kItems) {
        QMenu* menu = this->*row.menu;
        QAction* action =
            std::string_view(row.caption) == "-" ? menu->addSeparator() : menu->addAction(row.caption);
        action->setObjectName(row.component);
        action->setShortcut(QKeySequence(row.shortcut));
        // the shortcuts work from every window: the user types in the editor windows, not in this strip
        action->setShortcutContext(Qt::ApplicationShortcut);
        action->setEnabled(row.enabled);
        action->setVisible(row.visible);
        if (row.handler) {
            handlers_[action] = row.handler;
            connect(action, &QAction::triggered, this, [this, action] { RunHandler(handlers_.at(action)); });
        }
        this->*row.action = action;
        if (row.separator == Sep::After)
            menu->addSeparator();
    }
}

void TMainForm::buildToolBar() {
    ToolBar1 = addToolBar("ToolBar1");
    ToolBar1->setObjectName("ToolBar1");
    ToolBar1->setMovable(false);
    ToolBar1->setFloatable(false);
    ToolBar1->setFixedHeight(kToolBarHeight);
    ToolBar1->setIconSize(QSize(16, 16));
    ToolBar1->setContextMenuPolicy(Qt::PreventContextMenu);
    for (const ButtonSpec& row : kButtons) {
        auto* button = new QToolButton(ToolBar1);
        button->setObjectName(row.component);
        button->setToolTip(row.hint);
        button->setIcon(ToolIcon(row.glyph));
        button->setAutoRaise(true);
        button->setFixedSize(22, 22);
        // a button with the focus would take the user's typing: a space pressed it again
        button->setFocusPolicy(Qt::NoFocus);
        button->setEnabled(row.enabled);
        handlers_[button] = row.handler;
        connect(button, &QToolButton::clicked, this, [this, button] { RunHandler(handlers_.at(button)); });
        ToolBar1->addWidget(button);
        if (row.divider == Divider::After)
            ToolBar1->addSeparator();
        this->*row.button = button;
    }
}

void TMainForm::buildReadOuts() {
    auto* strip = new QWidget(this);
    strip->setObjectName("ReadOuts");
    strip->setFixedHeight(kReadOutHeight);
    QFont courier("Courier New");
    courier.setPixelSize(12);
    auto place = [&](const char* name, const QString& text, int x, const char* colour) {
        auto* label = new QLabel(text, strip);
        label->setObjectName(name);
        // the captions are 12 pixels high, the values 13
        courier.setPixelSize(std::string_view(colour) == "blue" ? 12 : 13);
        label->setFont(courier);
        label->setStyleSheet(QString("color: %1").arg(colour));
        label->move(x, 2);
        label->adjustSize();
        return label;
    };
    place("StaticText1", "PC=", 4, "blue");
    place("StaticText3", "Stack=", 66, "blue");
    place("StaticText2", "W=", 130, "blue");
    LabelPC = place("LabelPC", "0000", 30, "black");
    LabelStack = place("LabelStack", "0", 116, "black");
    LabelW = place("LabelW", "00", 150, "black");
    setCentralWidget(strip);
}

void TMainForm::MainCreate() {
    services_.settings.onFileSaveShortcut = [this](const std::string& shortcut) {
        FileSave->setShortcut(QKeySequence(QString::fromStdString(shortcut)));
    };
    services_.settings.LoadSettings();
    registerEditorCommands();
    ShowLastProject(QString::fromStdString(services_.settings.LastProject));
    fixHeight();
    QRect screen = QGuiApplication::primaryScreen()->geometry();
    resize(screen.width(), height());
    move(0, 0);
    if (services_.editors)
        services_.editors->setWorkArea([this](const QWidget& window) { return EditorWorkArea(window); });
}

QRect TMainForm::EditorWorkArea(const QWidget& window) const {
    QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    QRect area = screen->availableGeometry();
    // below the strip when the strip lies across the top of that screen
    QRect strip = frameGeometry();
    if (isVisible() && !isMinimized() && strip.intersects(area) && strip.bottom() < area.center().y())
        area.setTop(std::max(area.top(), strip.bottom() + 1));
    return area;
}

void TMainForm::fixHeight() {
    // the strip keeps its height; only the width may change, down to 300
    int client = menuBar()->sizeHint().height() + kToolBarHeight + kReadOutHeight;
    setFixedHeight(client);
    setMinimumWidth(300);
    setMaximumWidth(QWIDGETSIZE_MAX);
}

void TMainForm::ShowLastProject(const QString& path) {
    ProjectLastLine->setVisible(!path.isEmpty());
    ProjectLast->setVisible(!path.isEmpty());
    // the caption shows the path as it is ("&" would otherwise mark an access key); the path itself rides
    // along
    if (!path.isEmpty())
        ProjectLast->setText(QString(path).replace('&', "&&"));
    ProjectLast->setData(path);
}

void TMainForm::RunCommand(const std::function<void()>& command) {
    try {
        command();
    } catch (const std::exception& e) {
        services_.prompter.exception(QString::fromUtf8(e.what()));
    } catch (...) {
        services_.prompter.exception("An unknown error occurred.");
    }
}

TMainForm::Handler TMainForm::HandlerOf(const QObject* item) const {
    auto it = handlers_.find(item);
    return it == handlers_.end() ? nullptr : it->second;
}

void TMainForm::RunHandler(Handler handler) {
    RunCommand([this, handler] { (this->*handler)(); });
    if (closeAccepted_)
        return;
    if (WorksOnTheEditor(handler))
        RefocusEditor();
    else if (handler != &TMainForm::HelpKeysClick)  // a window of its own to read and scroll
        RefocusEditorSoon(this);  // after a dialog or a project command, the typing goes to the text again
}

void TMainForm::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!event->spontaneous())
        MainShow();
}

void TMainForm::MainShow() {
    if (ProWindow)
        ProWindow->show();
}

void TMainForm::closeEvent(QCloseEvent* event) {
    bool agreed = false;
    RunCommand([this, &agreed] { agreed = MainClose(); });
    if (!agreed) {
        event->ignore();
        return;
    }
    event->accept();
    closeAccepted_ = true;
    // the program ends now: an assembler still running is stopped, and no other window asks again
    TBuildRun::StopRunning();
    EndSimulationNow();
    if (services_.editors)
        services_.editors->setEnding();
    emit closed();
}

bool TMainForm::MainClose() {
    if (ActiveSource() && services_.documents.anyModified() && !QuerySaveAll())
        return false;
    return services_.prompter.confirm("Do you want to quit Korvex?");
}

void TMainForm::FileExitClick() {
    close();
}

void TMainForm::HelpKeysClick() {
    if (!KeysWindow)
        KeysWindow = new TKeysWindow(this);
    KeysWindow->ShowRows(KeyRows(*menuBar()));
    KeysWindow->show();
    KeysWindow->raise();
    KeysWindow->activateWindow();
}

void TMainForm::About1Click() {
    services_.prompter.showModal(*AboutBox);
}
