// SPDX-License-Identifier: GPL-3.0-or-later
// The main window as a user meets it: its menus, toolbar and shape, the last project, quitting.
#include "shell/Main.h"

#include "QtPrinters.h"
#include "ScriptedPrompter.h"
#include "TempDir.h"
#include "shell/About.h"
#include "shell/KeysWindow.h"
#include "shell/Idefunction.h"
#include "shell/ProW.h"
#include "shell/Startup.h"

#include <gtest/gtest.h>
#include <QAction>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTableWidget>
#include <QToolBar>
#include <QToolButton>

#include <stdexcept>

namespace {

class MainWindow : public ::testing::Test {
  protected:
    void start() { korvex = std::make_unique<TKorvex>(dir.path(), prompter); }
    void TearDown() override { korvex.reset(); }

    // An open file with unsaved changes.
    TDocument* modifiedDocument(const QString& name) {
        QString path = QString::fromStdString((dir / name.toStdString()).string());
        TDocument* document = Documents->add(std::make_unique<TDocument>(path, false));
        document->setBytes(("text of " + name).toUtf8());
        return document;
    }
    static QByteArray onDisk(TDocument* document) {
        QFile file(document->fileName());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
    }

    TempDir dir;
    ScriptedPrompter prompter;
    std::unique_ptr<TKorvex> korvex;
};

// Each menu as the user reads it: captions with their shortcuts, "-" for a separator line; hidden items
// and separators in brackets, disabled items marked with "~".
QString Describe(QMenu* menu) {
    QStringList items;
    for (QAction* a : menu->actions()) {
        QString text = a->isSeparator() ? "-" : a->text();
        if (!a->shortcut().isEmpty())
            text += " [" + a->shortcut().toString() + "]";
        if (a->isVisible() && !a->isEnabled())
            text = "~" + text;  // Qt disables what it hides
        if (!a->isVisible())
            text = "(" + text + ")";
        items << text;
    }
    return (menu->menuAction()->isVisible() ? "" : "hidden ") + menu->title() + ": " + items.join(" | ");
}

TEST_F(MainWindow, MenuBarHoldsEveryItemWithItsShortcutSeparatorsAndInitialState) {
    start();
    QStringList menus;
    for (QAction* a : MainForm->menuBar()->actions())
        menus << Describe(a->menu());
    QStringList expected = {
        "&File: &New... | &Open... | - | &Save [Ctrl+S] | Save &As... | Sa&ve All | - | &Close | C&lose All "
        "| - | "
        "&Print... | - | E&xit",
        "&Edit: &Undo [Ctrl+Z] | &Redo [Ctrl+Shift+Z] | - | Cu&t [Ctrl+X] | &Copy [Ctrl+C] | &Paste [Ctrl+V] "
        "| "
        "&Delete [Ctrl+Del] | Se&lect All [Ctrl+A]",
        "&Search: &Find... [Ctrl+F] | &Replace... [Ctrl+R] | &Search Again [F3] | - | "
        "&Go to Line Number... [Alt+G] | Go to Next Warning/&Error/Message [F12] | - | Go to &Definition [Ctrl+B] | "
        "~&Back [Alt+Left] | ~For&ward [Alt+Right] | Find Re&ferences [Shift+F12] | S&ymbols",
        "&Project: &New... | &Open... [Ctrl+F11] | ~&Close | - | ~&Add to Project... [Shift+F11] | "
        "~&Remove from Project | - | ~&Build [Ctrl+F9] | ~Si&mulate [Shift+F9] | - | "
        "~&Options... [Ctrl+Shift+F11] | (-) | ()",
        "Si&mulate: ~Step &Into [F8] | ~Step &Over [Shift+F8] | ~&Run [F9] | ~Run to &Cursor [F4] | "
        "~Step Bac&k [Ctrl+F8] | ~&Stop [F6] | ~R&eset [Ctrl+F6] "
        "| "
        "~&End Session [Ctrl+F2] | - | Toggle &Breakpoint [F5] | - | Special &Function Registers | File Re&gisters | EEPROM &Data | &Watches | Program &Memory | Pi&ns | &All Breakpoints | - | Real &Time | ~O&ptions...",
        "hidden &Debug: Start | - | ~&Trace Into [F7]",
        "&Configure: &Environment Options... | External EXE...",
        "&Help: &Keyboard Shortcuts... | - | &About...",
    };
    EXPECT_EQ(menus, expected);
}

TEST_F(MainWindow, EveryMenuItemRunsItsNamedHandler) {
    start();
    using H = TMainForm::Handler;
    using M = TMainForm;
    const std::pair<const char*, H> items[] = {
        {"FileNew", &M::FileNewClick},
        {"FileOpen", &M::FileOpenClick},
        {"FileSave", &M::FileSaveClick},
        {"FileSaveAs", &M::FileSaveAsClick},
        {"FileSaveAll", &M::FileSaveAllClick},
        {"FileClose", &M::FileCloseClick},
        {"FileCloseAll", &M::FileCloseAllClick},
        {"FilePrint", &M::FilePrintClick},
        {"FileExit", &M::FileExitClick},
        {"EditUndo", &M::EditUndoClick},
        {"EditRedo", &M::EditRedoClick},
        {"EditCut", &M::EditCutClick},
        {"EditCopy", &M::EditCopyClick},
        {"EditPaste", &M::EditPasteClick},
        {"EditDelete", &M::EditDeleteClick},
        {"EditSelectAll", &M::EditSelectAllClick},
        {"SearchFind", &M::SearchFindClick},
        {"SearchReplace", &M::SearchReplaceClick},
        {"SearchAgain1", &M::SearchAgain1Click},
        {"GotoLineNumber1", &M::GotoLineNumber1Click},
        {"SearchNextError", &M::SearchNextErrorClick},
        {"SearchGoToDefinition", &M::SearchGoToDefinitionClick},
        {"SearchBack", &M::SearchBackClick},
        {"SearchForward", &M::SearchForwardClick},
        {"SearchFindReferences", &M::SearchFindReferencesClick},
        {"SearchSymbols", &M::SearchSymbolsClick},
        {"ProjectNew", &M::ProjectNewClick},
        {"ProjectOpen", &M::ProjectOpenClick},
        {"ProjectClose", &M::ProjectCloseClick},
        {"ProjectAdd", &M::ProjectAddClick},
        {"ProjectRemove", &M::ProjectRemoveClick},
        {"ProjectBuild", &M::ProjectBuildClick},
        {"ProjectSimulate", &M::ProjectSimulateClick},
        {"ProjectOptions", &M::ProjectOptionsClick},
        {"ProjectLastLine", nullptr},
        {"ProjectLast", &M::ProjectLastClick},
        {"SimulateStepInto", &M::SimulateStepIntoClick},
        {"SimulateStepOver", &M::SimulateStepOverClick},
        {"SimulateRun", &M::SimulateRunClick},
        {"SimulateStop", &M::SimulateStopClick},
        {"SimulateReset", &M::SimulateResetClick},
        {"SimulateEnd", &M::SimulateEndClick},
        {"SimulateToggleBreakpoint", &M::SimulateToggleBreakpointClick},
        {"SimulateSfr", &M::SimulateSfrClick},
        {"SimulateRunToCursor", &M::SimulateRunToCursorClick},
        {"SimulateStepBack", &M::SimulateStepBackClick},
        {"SimulateFileRegisters", &M::SimulateFileRegistersClick},
        {"SimulateEeprom", &M::SimulateEepromClick},
        {"SimulateWatches", &M::SimulateWatchesClick},
        {"SimulateProgramMemory", &M::SimulateProgramMemoryClick},
        {"SimulatePins", &M::SimulatePinsClick},
        {"SimulateBreakpoints", &M::SimulateBreakpointsClick},
        {"SimulateRealTime", &M::SimulateRealTimeClick},
        {"SimulateOptions", &M::SimulateOptionsClick},
        {"DebugStart", &M::DebugStartClick},
        {"DebugTraceInto", &M::DebugTraceIntoClick},
        {"CfgEnviOptions", &M::CfgEnviOptionsClick},
        {"ConfigureEXE", &M::ConfigureEXEClick},
        {"HelpKeys", &M::HelpKeysClick},
        {"About1", &M::About1Click},
    };
    for (auto [name, handler] : items) {
        auto* action = MainForm->findChild<QAction*>(name);
        ASSERT_TRUE(action) << name;
        EXPECT_TRUE(MainForm->HandlerOf(action) == handler) << name;
    }
    // Help > About shows the About box modally
    prompter.willShowModal("AboutBox", [](QDialog& box) {
        EXPECT_EQ(box.windowTitle(), "About");
        EXPECT_EQ(static_cast<TAboutBox&>(box).ProductName->text(), "Korvex");
        return int(QDialog::Accepted);
    });
    MainForm->About1->trigger();
}

TEST_F(MainWindow, KeyboardShortcutsListEveryMenuCommandWithItsKeyAndTheEditorsKeys) {
    start();
    MainForm->HelpKeys->trigger();
    ASSERT_TRUE(MainForm->KeysWindow && MainForm->KeysWindow->isVisible());
    QTableWidget* table = MainForm->KeysWindow->Table;
    QStringList rows;
    for (int row = 0; row < table->rowCount(); ++row)
        rows << table->item(row, 0)->text() + " | " + table->item(row, 1)->text() + " | " +
                    table->item(row, 2)->text();
    // read from the menus themselves: every item that has a key is there with it
    for (QAction* top : MainForm->menuBar()->actions())
        if (top->isVisible())
            for (QAction* item : top->menu()->actions())
                if (!item->shortcut().isEmpty() && item->isVisible())
                    EXPECT_TRUE(rows.contains(top->menu()->title().remove('&') + " | " +
                                              item->text().remove('&').remove("...") + " | " +
                                              item->shortcut().toString(QKeySequence::NativeText)))
                        << item->text().toStdString();
    EXPECT_TRUE(rows.contains("Simulate | Step Into | F8"));
    EXPECT_FALSE(rows.join('\n').contains("Trace Into"));  // the hidden Debug menu stays hidden
    EXPECT_TRUE(rows.contains("Editor | Next tab | Ctrl+Tab"));
    EXPECT_TRUE(rows.contains("Editor | Previous tab | Ctrl+PgUp"));
    EXPECT_GT(rows.filter(QRegularExpression("^Editor \\| .* \\| Ctrl\\+Z$")).size(), 0);  // the control's undo
}

// The menu item each toolbar button stands for.
QString ButtonItem(const QString& button) {
    static const QMap<QString, QString> items = {
        {"SBFileNew", "FileNew"},
        {"SBFileOpen", "FileOpen"},
        {"SBFileSave", "FileSave"},
        {"SBSaveAll", "FileSaveAll"},
        {"SBUndo", "EditUndo"},
        {"SBRedo", "EditRedo"},
        {"SBCut", "EditCut"},
        {"SBCopy", "EditCopy"},
        {"SBPaste", "EditPaste"},
        {"SBFind", "SearchFind"},
        {"SBReplace", "SearchReplace"},
        {"SBProOpen", "ProjectOpen"},
        {"SBProjectBuild", "ProjectBuild"},
    };
    return items.value(button);
}

TEST_F(MainWindow, ToolbarButtonsInOrderWithHintsPicturesAndDividers) {
    start();
    QStringList seen;
    for (QAction* a : MainForm->ToolBar1->actions()) {
        if (a->isSeparator()) {
            seen << "|";
            continue;
        }
        auto* button = qobject_cast<QToolButton*>(MainForm->ToolBar1->widgetForAction(a));
        ASSERT_TRUE(button);
        EXPECT_FALSE(button->icon().isNull()) << button->objectName().toStdString();
        EXPECT_EQ(button->size(), QSize(22, 22));
        seen << button->objectName() + "=" + button->toolTip() + (button->isEnabled() ? "" : "~");
        // a button runs the handler of its menu item
        EXPECT_TRUE(MainForm->HandlerOf(button) ==
                    MainForm->HandlerOf(MainForm->findChild<QAction*>(ButtonItem(button->objectName()))))
            << button->objectName().toStdString();
    }
    EXPECT_EQ(seen.join(" "),
              "SBFileNew=New File SBFileOpen=Open File SBFileSave=Save File SBSaveAll=Save All | SBUndo=Undo "
              "SBRedo=Redo | SBCut=Cut SBCopy=Copy SBPaste=Paste | SBFind=Find SBReplace=Replace | "
              "SBProOpen=Open Project SBProjectBuild=Build Project~");
    EXPECT_EQ(MainForm->ToolBar1->height(), 30);
}

TEST_F(MainWindow, StripSpansTheScreenTopAndKeepsItsHeight) {
    start();
    MainForm->show();
    QRect screen = QGuiApplication::primaryScreen()->geometry();
    EXPECT_EQ(MainForm->width(), screen.width());
    EXPECT_EQ(MainForm->pos(), QPoint(0, 0));
    int height = MainForm->height();
    EXPECT_EQ(MainForm->minimumHeight(), height);
    EXPECT_EQ(MainForm->maximumHeight(), height);
    MainForm->resize(100, height + 200);  // dragging the lower edge, and narrowing it too far
    EXPECT_EQ(MainForm->height(), height);
    EXPECT_EQ(MainForm->width(), 300);
    EXPECT_EQ(MainForm->windowTitle(), "Korvex");
    EXPECT_EQ(MainForm->LabelPC->text(), "0000");
    EXPECT_EQ(MainForm->LabelStack->text(), "0");
    EXPECT_EQ(MainForm->LabelW->text(), "00");
    // showing the main window shows the Project window
    EXPECT_TRUE(ProWindow->isVisible());
}

TEST_F(MainWindow, LastProjectEntryShowsOnlyWhenOneIsStored) {
    start();
    EXPECT_FALSE(MainForm->ProjectLast->isVisible());
    EXPECT_FALSE(MainForm->ProjectLastLine->isVisible());
    korvex->settings.WriteSetting("Project", "Name", "/home/u/blink.pro");
    korvex.reset();
    start();
    EXPECT_TRUE(MainForm->ProjectLastLine->isVisible());
    EXPECT_TRUE(MainForm->ProjectLast->isVisible());
    EXPECT_EQ(MainForm->ProjectLast->text(), "/home/u/blink.pro");
}

TEST_F(MainWindow, ClassicKeyMappingGivesFileSaveF2AtStartUp) {
    {
        Registry registry(dir.path());
        registry.writeString(RegRoot::CurrentUser, "Software\\Tervane\\Korvex v0.30\\MemoEnvOptions",
                             "KeyMapping", "Classic");
    }
    start();
    EXPECT_EQ(MainForm->FileSave->shortcut(), QKeySequence(Qt::Key_F2));
}

TEST_F(MainWindow, AllOnTheFirstQuestionSavesEveryModifiedDocumentThenAsksToQuit) {
    start();
    TDocument* first = modifiedDocument("first.asm");
    TDocument* second = modifiedDocument("second.asm");
    prompter.willAnswerSave("Save changes to second.asm?", SaveAnswer::All);
    prompter.willConfirm("Do you want to quit Korvex?", false);
    MainForm->FileExit->trigger();
    EXPECT_EQ(onDisk(first), "text of first.asm");
    EXPECT_EQ(onDisk(second), "text of second.asm");
    // No to quitting leaves the saved documents open
    EXPECT_EQ(Documents->documents().size(), 2u);
    EXPECT_FALSE(first->isModified());
}

TEST_F(MainWindow, EachModifiedDocumentIsAskedAboutLastOpenedFirst) {
    start();
    TDocument* first = modifiedDocument("first.asm");
    TDocument* second = modifiedDocument("second.asm");
    prompter.willAnswerSave("Save changes to second.asm?", SaveAnswer::No);
    prompter.willAnswerSave("Save changes to first.asm?", SaveAnswer::Yes);
    prompter.willConfirm("Do you want to quit Korvex?", true);
    EXPECT_TRUE(MainForm->close());
    EXPECT_EQ(onDisk(first), "text of first.asm");
    EXPECT_EQ(onDisk(second), "(missing)");
}

TEST_F(MainWindow, CancellingASaveQuestionKeepsTheProgramRunning) {
    start();
    TDocument* document = modifiedDocument("only.asm");
    prompter.willAnswerSave("Save changes to only.asm?", SaveAnswer::Cancel);
    EXPECT_FALSE(MainForm->close());
    EXPECT_TRUE(document->isModified());
    EXPECT_EQ(Documents->documents().size(), 1u);
}

TEST_F(MainWindow, AFailedSaveStopsTheQuitWithItsError) {
    start();
    TDocument* document = modifiedDocument("gone/only.asm");  // its folder does not exist
    prompter.willAnswerSave("Save changes to only.asm?", SaveAnswer::Yes);
    prompter.expectError(QString("Cannot save %1: No such file or directory").arg(document->fileName()));
    EXPECT_FALSE(MainForm->close());
    EXPECT_TRUE(document->isModified());
}

TEST_F(MainWindow, AnUntitledDocumentIsSavedThroughSaveAs) {
    start();
    TDocument* untitled = Documents->newDocument();
    untitled->setBytes("new code");
    EXPECT_EQ(untitled->fileName(), "Noname1");
    QString chosen = QString::fromStdString((dir / "named.asm").string());
    prompter.willAnswerSave("Save changes to Noname1?", SaveAnswer::Yes);
    prompter.willChooseFile(chosen);
    prompter.willConfirm("Do you want to quit Korvex?", false);
    MainForm->close();
    EXPECT_EQ(untitled->fileName(), chosen);
    EXPECT_EQ(onDisk(untitled), "new code");
}

TEST_F(MainWindow, AnExceptionInACommandIsShownAndTheProgramGoesOn) {
    start();
    prompter.expectException("disk on fire");
    MainForm->RunCommand([] { throw std::runtime_error("disk on fire"); });
    prompter.willShowModal("AboutBox", nullptr);
    MainForm->About1->trigger();
}

TEST_F(MainWindow, EightWindowsExistForTheWholeRun) {
    start();
    EXPECT_TRUE(MainForm && EXEDlg && GoToLineDlg && MPASMDlg && EnviDlg && FormatDlg && ProWindow &&
                AboutBox);
    EXPECT_EQ(ProWindow->windowTitle(), "Project");
    ProWindow->show();
    EXPECT_FALSE(ProWindow->close());  // the Project window refuses to close
    EXPECT_TRUE(ProWindow->isVisible());
}

TEST_F(MainWindow, CaptionsAreThePlainTitlesWithoutTheProgramsName) {
    start();
    // a display name of our own would make Qt add " — Korvex" to every caption on Linux; without one the
    // display name follows the application name
    QString name = QGuiApplication::applicationName();
    QGuiApplication::setApplicationName("renamed");
    EXPECT_EQ(QGuiApplication::applicationDisplayName(), "renamed");
    QGuiApplication::setApplicationName(name);
}

}  // namespace
