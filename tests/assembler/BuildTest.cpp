// SPDX-License-Identifier: GPL-3.0-or-later
// Project > Build and the message lists as a user meets them: the refusals, fake assemblers, the first
// message opened and marked, F12, double-click, Enter, the right button, and a real build through gpasm.
#include "shell/Main.h"

#include "QtPrinters.h"
#include "ScriptedPrompter.h"
#include "HaveTool.h"
#include "TempDir.h"
#include "assembler/BuildRun.h"
#include "assembler/Explanations.h"
#include "assembler/Messages.h"
#include "editctl/DocumentManager.h"
#include "editctl/Memo.h"
#include "editor/MyEditUnit.h"
#include "shell/Idefunction.h"
#include "shell/ProW.h"
#include "shell/Project.h"
#include "shell/Startup.h"

#include <gtest/gtest.h>
#include <QAction>
#include <QListView>
#include <QScrollBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;

const QString kNoFile = "No file loaded to the project/file cannot be found";
const QString kNoAssembler = "The MPASMWIN.EXE is not defined - Configure|External EXE";

QString Q(const fs::path& path) {
    return QString::fromStdString(path.string());
}

void WriteFile(const fs::path& path, const std::string& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// A source of `count` numbered lines.
std::string Lines(int count) {
    std::string text;
    for (int i = 1; i <= count; ++i)
        text += "\tnop\t; line " + std::to_string(i) + "\n";
    return text;
}

// What a message list shows: its entries, how many, the selected one's row (-1 for none), where an entry is.
int Count(const QListView* list) {
    return list->model() ? list->model()->rowCount() : 0;
}

QStringList Items(const QListView* list) {
    QStringList items;
    for (int i = 0; i < Count(list); ++i)
        items << list->model()->index(i, 0).data().toString();
    return items;
}

int CurrentRow(const QListView* list) {
    return list->currentIndex().row();
}

void SelectRow(QListView* list, int row) {
    list->setCurrentIndex(list->model()->index(row, 0));
}

QRect EntryRect(const QListView* list, int row) {
    return list->visualRect(list->model()->index(row, 0));
}

class Build : public ::testing::Test {
  protected:
    void SetUp() override {
        korvex = std::make_unique<TKorvex>(dir / "config", prompter);
        WriteFile(work / "main.asm", Lines(200));
        WriteFile(work / "lib.inc", Lines(40));
    }
    void TearDown() override { korvex.reset(); }

    // A project in work/ listing these entries; the format is MPASM unless told otherwise.
    void openProject(const std::vector<std::string>& files, const std::string& format = "MPASM") {
        std::string text = "[PROJECT]\nFormat=" + format +
                           "\n[MPASM]\nList File=0\nCross File=0\nRadix=0\nWarning Level=0\nHex Output=0\n"
                           "Macro=0\nCase Sensitive=0\nProcessor=16F84A\nAdditional=\n[FILES]\nCount=" +
                           std::to_string(files.size()) + "\n";
        for (size_t i = 0; i < files.size(); ++i)
            text += "File" + std::to_string(i) + "=" + files[i] + "\n";
        WriteFile(work / "p.pro", text);
        prompter.willChooseFile(Q(work / "p.pro"));
        MainForm->ProjectOpen->trigger();
        ASSERT_TRUE(MainForm->ProjectBuild->isEnabled());
    }
    void useAssembler(const fs::path& path) {
        korvex->settings.AssemblerPath = path.string();
        korvex->settings.AssemblerFileName = path.filename().string();
    }
    // A fake assembler that notes its arguments and folder and copies canned.err to main.err.
    fs::path fakeAssembler(const std::string& name = "MPASMWIN.EXE") {
        fs::path script = dir / "bin" / name;
        WriteFile(script, "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"" + (dir / "args").string() + "\"\npwd > \"" +
                              (dir / "cwd").string() +
                              "\"\n[ -f canned.err ] && cp canned.err main.err\nexit 0\n");
        fs::permissions(script, fs::perms::owner_all);
        useAssembler(script);
        return script;
    }
    void build() { MainForm->ProjectBuild->trigger(); }
    void f12() { MainForm->SearchNextError->trigger(); }

    TEditor* editor() const { return korvex->services.editors->first(); }
    QListView* projectList() const { return ProWindow->MessageList; }
    // Where the editor stands: file name, caret line from 1, marked line from 1, status panel 5.
    std::string where() const {
        TEditor* e = editor();
        if (!e || !e->Memo->document())
            return "(no editor)";
        return fs::path(e->Memo->document()->fileName().toStdString()).filename().string() + ":" +
               std::to_string(e->Memo->caretLine() + 1) + " marked " + std::to_string(e->MarkedLine + 1) +
               " \"" + e->statusText(5).toStdString() + "\"";
    }

    TempDir dir;
    fs::path work = dir / "my work";  // blanks in the folder name pass through unquoted
    ScriptedPrompter prompter;
    std::unique_ptr<TKorvex> korvex;
};

const std::string kThreeMessages =
    "Error[113]   main.asm 120 : Symbol not previously defined (COUNT)\r\n"
    "Warning[224] lib.inc 7 : Use of this instruction is not recommended.\r\n"
    "Message[311] main.asm 3 : No text for this one\r\n";

TEST_F(Build, RefusalsOfTheFailureTableChangeNothing) {
    WriteFile(work / "sub" / "x.asm", Lines(3));
    fakeAssembler();

    openProject({});
    prompter.expectError(kNoFile);
    build();

    MainForm->ProjectCloseClick();
    openProject({"gone.asm"});
    prompter.expectError(kNoFile);
    build();

    MainForm->ProjectCloseClick();
    openProject({"main.asm"});
    useAssembler("");  // as after the first start
    prompter.expectError(kNoAssembler);
    build();
    useAssembler(dir / "bin" / "MPASM.EXE");
    prompter.expectError(kNoAssembler);
    build();

    MainForm->ProjectCloseClick();
    openProject({"main.asm"}, "");  // a project of no format builds nothing, silently
    fakeAssembler();
    build();
    EXPECT_FALSE(fs::exists(dir / "args"));
}

TEST_F(Build, FakeAssemblerRunsInTheProjectFolderAndTheFirstMessageOpensMarked) {
    fakeAssembler("mpasmwin.exe");  // the name counts in any letter case
    WriteFile(work / "canned.err", kThreeMessages);
    Documents->open(Q(work / "lib.inc"));  // a source is being edited
    openProject({"main.asm", "lib.inc"});
    build();

    EXPECT_EQ(ReadFile(dir / "args"), "/q\n/e+\n/l-\n/x-\n/c-\n/p16F84A\nmain.asm\n");
    EXPECT_EQ(ReadFile(dir / "cwd"), work.string() + "\n");
    QStringList expected = {"Error[113]   main.asm 120 : Symbol not previously defined (COUNT)",
                            "Warning[224] lib.inc 7 : Use of this instruction is not recommended.",
                            "Message[311] main.asm 3 : No text for this one"};
    EXPECT_EQ(Items(projectList()), expected);
    EXPECT_EQ(Items(editor()->MessageList), expected);
    EXPECT_TRUE(editor()->MessageList->isVisibleTo(editor()));
    EXPECT_EQ(ProWindow->PCProWindow->currentWidget(), ProWindow->TSMessages);
    EXPECT_EQ(CurrentRow(projectList()), 0);
    EXPECT_EQ(CurrentRow(editor()->MessageList), 0);
    EXPECT_EQ(where(), "main.asm:120 marked 120 \"Symbol not previously defined (COUNT)\"");
    TDocument* main = Documents->current();
    EXPECT_EQ(main->lineStyle(119), 14);  // "Error Line"

    // about half a window of the following lines shows below the marked line
    TMemo* memo = editor()->Memo;
    long first = memo->SendScintilla(TMemo::SCI_GETFIRSTVISIBLELINE);
    long onScreen = memo->SendScintilla(TMemo::SCI_LINESONSCREEN);
    EXPECT_LE(first, 119);
    EXPECT_GE(first + onScreen - 1, 119 + (onScreen - 1) / 2 - 1);

    // typing gives the line its colours back and empties panel 5
    QTest::keyClick(memo, Qt::Key_Right);
    EXPECT_EQ(where(), "main.asm:120 marked 0 \"\"");
    EXPECT_NE(main->lineStyle(119), 14);
}

TEST_F(Build, ASecondBuildMovesTheMarkInsteadOfAddingOne) {
    fakeAssembler();
    WriteFile(work / "canned.err", kThreeMessages);
    Documents->open(Q(work / "lib.inc"));
    openProject({"main.asm", "lib.inc"});
    build();
    TDocument* main = Documents->current();
    ASSERT_EQ(main->lineStyle(119), 14);
    WriteFile(work / "canned.err", "Error[113]   main.asm 3 : Symbol not previously defined (X)\r\n");
    build();
    // both lists show this build's message alone, selected
    QStringList now = {"Error[113]   main.asm 3 : Symbol not previously defined (X)"};
    EXPECT_EQ(Items(projectList()), now);
    EXPECT_EQ(Items(editor()->MessageList), now);
    EXPECT_EQ(CurrentRow(editor()->MessageList), 0);
    int marked = 0;
    for (TDocument* document : Documents->documents())
        for (int line = 0; line < document->lineCount(); ++line)
            marked += document->lineStyle(line) == 14;
    EXPECT_EQ(marked, 1);
    EXPECT_EQ(main->lineStyle(2), 14);
}

// An assembler of the test's own: a shell script run in the project folder.
fs::path ScriptAssembler(const fs::path& dir, const std::string& body) {
    fs::path script = dir / "bin" / "MPASMWIN.EXE";
    WriteFile(script, "#!/bin/sh\n" + body);
    fs::permissions(script, fs::perms::owner_all);
    return script;
}

TEST_F(Build, ABuildWithoutMessagesSaysItSucceededAndASilentFailureShowsTheAssemblersLastWords) {
    Documents->open(Q(work / "lib.inc"));
    openProject({"main.asm"});
    useAssembler(ScriptAssembler(dir.path(), "echo assembled\n: > main.err\nexit 0\n"));
    build();
    EXPECT_EQ(Count(projectList()), 0);
    EXPECT_EQ(editor()->statusText(5), "Build succeeded: main.hex");
    useAssembler(ScriptAssembler(dir.path(),
                                 "rm -f main.err\necho starting\necho 'boom: disk on fire' >&2\nexit 3\n"));
    prompter.expectError(
        "The assembler failed without messages (exit status 3):\nstarting\nboom: disk on fire");
    build();
    EXPECT_EQ(Count(projectList()), 0);
    // with no editor window the success is said in a box
    MainForm->FileCloseAll->trigger();
    useAssembler(ScriptAssembler(dir.path(), ": > main.err\nexit 0\n"));
    prompter.expectInformation("Build succeeded: main.hex");
    build();
}

TEST_F(Build, AnAssemblerThatTalksWithoutEndIsNotKept) {
    openProject({"main.asm"});
    // 40 MB of console output: only its end is kept
    useAssembler(
        ScriptAssembler(dir.path(), "head -c 40000000 /dev/zero | tr '\\0' x\necho the end\n: > main.err\n"));
    Documents->open(Q(work / "lib.inc"));
    build();
    EXPECT_EQ(editor()->statusText(5), "Build succeeded: main.hex");
}

TEST_F(Build, ASecondBuildOffersToStopAnAssemblerThatNeverEnds) {
    Documents->open(Q(work / "lib.inc"));
    openProject({"main.asm"});
    useAssembler(ScriptAssembler(dir.path(), "trap '' TERM\nwhile :; do sleep 0.1; done\n"));
    QTimer whenRunning;
    int asked = 0;
    QObject::connect(&whenRunning, &QTimer::timeout, [&] {
        if (!TBuildRun::running())
            return;
        // No leaves it running; Yes stops it
        prompter.willConfirm(kStopRunningBuild, asked++ > 0);
        build();
        if (asked == 2)
            whenRunning.stop();
    });
    whenRunning.start(50);
    build();  // returns once the assembler is gone
    EXPECT_EQ(asked, 2);
    EXPECT_FALSE(TBuildRun::running());
    EXPECT_EQ(editor()->statusText(5), "Build stopped");
    EXPECT_TRUE(prompter.allAnswered());
}

TEST_F(Build, AHugeErrorFileLoadsItsFirstPartAndALongLineIsCutForDisplay) {
    Documents->open(Q(work / "lib.inc"));
    openProject({"main.asm"});
    std::string longText(10 * 1024 * 1024, 'y');
    std::string text = "Error[113]   main.asm 5 : " + longText + "\r\n";
    std::string filler = "Warning[224] main.asm 7 : Use of this instruction is not recommended.\r\n";
    while (text.size() < size_t(kMaxErrorFileBytes) + 1000000)
        text += filler;
    WriteFile(work / "canned.err", text);
    fakeAssembler();
    // the complete lines within the first 16 MB
    qsizetype first = qsizetype(text.find("\r\n")) + 2;
    qsizetype kept = 1 + (kMaxErrorFileBytes - first) / qsizetype(filler.size());
    prompter.expectInformation(QString("%1 is too large: only its first %2 lines are shown.")
                                   .arg(Q(work / "main.err"))
                                   .arg(std::min(kMaxMessageLines, kept)));
    build();
    EXPECT_LE(Count(projectList()), kMaxMessageLines);
    EXPECT_EQ(Items(projectList())[0].size(), qsizetype(text.find("\r\n")));  // the entry stays whole
    EXPECT_LE(editor()->statusText(5).size(), kMaxShownMessage + 1);
    EXPECT_TRUE(prompter.allAnswered());
    // the lists scroll sideways to the end of the long line's shown part, not of its 10 MB
    ProWindow->show();
    for (QListView* list : {projectList(), editor()->MessageList}) {
        QCoreApplication::processEvents();
        QFontMetrics metrics = list->fontMetrics();
        int shown = metrics.horizontalAdvance(ShownMessage(Items(list)[0]));
        int reach = list->horizontalScrollBar()->maximum() + list->viewport()->width();
        EXPECT_GE(reach, shown) << list->objectName().toStdString();
        EXPECT_LE(reach, shown + metrics.horizontalAdvance("WWWWWWWW")) << list->objectName().toStdString();
    }
}

TEST_F(Build, AMessageWhosePlaceCannotBeReadOpensNothingAndShowsItsText) {
    Documents->open(Q(work / "lib.inc"));
    openProject({"main.asm"});
    WriteFile(work / "canned.err", "Error[125]   Illegal condition: EOF encountered before END.\r\n");
    fakeAssembler();
    build();  // no error box: the prompter would fail the test
    EXPECT_EQ(Documents->documents().size(), 1u);
    EXPECT_EQ(editor()->statusText(5), "Illegal condition: EOF encountered before END.");
}

TEST_F(Build, EmptyOrMissingErrorFileLeavesBothListsEmptyAndTheEditorListHidden) {
    fakeAssembler();
    Documents->open(Q(work / "lib.inc"));
    openProject({"main.asm"});
    WriteFile(work / "canned.err", kThreeMessages);
    build();
    ASSERT_EQ(Count(projectList()), 3);

    WriteFile(work / "canned.err", "");
    build();
    EXPECT_EQ(Count(projectList()), 0);
    EXPECT_EQ(Count(editor()->MessageList), 0);
    EXPECT_FALSE(editor()->MessageList->isVisibleTo(editor()));

    fs::remove(work / "canned.err");
    fs::remove(work / "main.err");
    build();
    EXPECT_EQ(Count(projectList()), 0);
    // double-click or Enter with nothing selected says so
    prompter.expectInformation(kNoMessageSelected);
    QTest::keyClick(projectList(), Qt::Key_Return);
}

TEST_F(Build, AssemblerThatCannotStartLeavesTheEarlierErrorFilesMessages) {
    useAssembler(dir / "nowhere" / "MPASMWIN.EXE");
    WriteFile(work / "main.err", "Warning[224] main.asm 5 : old news\n");
    openProject({"main.asm"});
    prompter.expectError(kFailToExecute);
    build();
    EXPECT_EQ(Items(projectList()), QStringList{"Warning[224] main.asm 5 : old news"});
    EXPECT_EQ(where(), "main.asm:5 marked 5 \"old news\"");
}

TEST_F(Build, FirstEntryWithAFullPathBuildsWhereItLiesThroughGpasm) {
    if (!HaveTool("gpasm"))
        GTEST_SKIP() << "gpasm is not installed";
    // outside the project folder, in a folder with a dot, with an include beside it
    fs::path outside = dir / "elsewhere v1.2" / "prog.a";
    WriteFile(outside, "\tradix hex\n\tinclude \"defs.inc\"\n\torg 0\n\tmovlw K\n\tgoto far\n\tend\n");
    WriteFile(outside.parent_path() / "defs.inc", "K\tequ 5\n");
    useAssembler(KORVEX_BINARY_DIR "/tools/mpasmwin/MPASMWIN.EXE");
    openProject({outside.string()});
    build();
    // the error file lies beside the source: prog.err; only the missing label is wrong
    QStringList lines = Items(projectList());
    ASSERT_EQ(lines.size(), 1) << ReadFile(outside.parent_path() / "prog.err");
    EXPECT_TRUE(lines[0].startsWith("Error[113]   " + Q(outside) + " 5 : ")) << lines[0].toStdString();
    EXPECT_EQ(where().substr(0, 18), "prog.a:5 marked 5 ");
}

TEST_F(Build, CancelAtTheSaveQuestionLeavesTheListsAlone) {
    fakeAssembler();
    WriteFile(work / "canned.err", kThreeMessages);
    openProject({"main.asm"});
    build();
    ASSERT_EQ(Count(projectList()), 3);
    Documents->current()->setBytes("changed\n");
    prompter.willAnswerSave("Save changes to main.asm?", SaveAnswer::Cancel);
    fs::remove(dir / "args");
    build();
    EXPECT_FALSE(fs::exists(dir / "args"));
    EXPECT_EQ(Count(projectList()), 3);
}

TEST_F(Build, F12StepsThroughTheMessagesAndStartsAgainAfterTheNote) {
    fakeAssembler();
    WriteFile(work / "canned.err", kThreeMessages);
    Documents->open(Q(work / "lib.inc"));
    openProject({"main.asm"});
    f12();  // nothing to step through yet
    build();
    EXPECT_EQ(where(), "main.asm:120 marked 120 \"Symbol not previously defined (COUNT)\"");
    f12();
    EXPECT_EQ(where(), "lib.inc:7 marked 7 \"Use of this instruction is not recommended.\"");
    EXPECT_EQ(CurrentRow(projectList()), 1);
    EXPECT_EQ(CurrentRow(editor()->MessageList), 1);
    // the line marked before has its colours back: one mark at a time
    EXPECT_NE(Documents->find(Q(work / "main.asm"))->lineStyle(119), 14);
    f12();
    EXPECT_EQ(where(), "main.asm:3 marked 3 \"No text for this one\"");
    prompter.expectInformation(kNoMoreMessages);
    f12();
    f12();
    EXPECT_EQ(where(), "main.asm:120 marked 120 \"Symbol not previously defined (COUNT)\"");

    // a double-click opens any message without moving the F12 count
    QListView* list = editor()->MessageList;
    QRect third = EntryRect(list, 2);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, third.center());
    EXPECT_EQ(CurrentRow(projectList()), 2);  // the lists keep in step
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, third.center());
    EXPECT_EQ(where(), "main.asm:3 marked 3 \"No text for this one\"");
    f12();
    EXPECT_EQ(where(), "lib.inc:7 marked 7 \"Use of this instruction is not recommended.\"");

    // Enter in the Project window's list opens its selected message
    SelectRow(projectList(), 0);
    EXPECT_EQ(CurrentRow(list), 0);
    QTest::keyClick(projectList(), Qt::Key_Return);
    EXPECT_EQ(where(), "main.asm:120 marked 120 \"Symbol not previously defined (COUNT)\"");
}

TEST_F(Build, RightButtonOnTheEditorListExplainsTheSelectedEntry) {
    fakeAssembler();
    WriteFile(work / "canned.err", kThreeMessages);
    Documents->open(Q(work / "lib.inc"));
    openProject({"main.asm"});
    build();
    QListView* list = editor()->MessageList;
    SelectRow(list, 1);
    QPoint onThird = EntryRect(list, 2).center();
    prompter.expectInformation(QString::fromUtf8(MessageExplanations(MessageKind::Warning, 224)));
    QTest::mousePress(list->viewport(), Qt::RightButton, {}, onThird);
    EXPECT_EQ(CurrentRow(list), 1);  // the right button leaves the selection

    SelectRow(list, 2);  // Message[311] has no text: an empty box
    prompter.expectInformation("");
    QTest::mousePress(list->viewport(), Qt::RightButton, {}, onThird);

    ProjectFormat = 0;  // only MPASM projects explain
    QTest::mousePress(list->viewport(), Qt::RightButton, {}, onThird);
    ProjectFormat = 1;

    // in the Project window's list the right button neither explains nor moves the selection
    SelectRow(projectList(), 0);
    QTest::mousePress(projectList()->viewport(), Qt::RightButton, {}, EntryRect(projectList(), 2).center());
    EXPECT_EQ(CurrentRow(projectList()), 0);
}

TEST_F(Build, BothMessageListsScrollSidewaysToTheEndOfTheLongestLine) {
    fakeAssembler();
    std::string longText(300, 'x');
    WriteFile(work / "canned.err", "Message[311] main.asm 3 : short\r\nError[113]   main.asm 120 : " +
                                       longText + "\r\nWarning[224] lib.inc 7 : short too\r\n");
    Documents->open(Q(work / "lib.inc"));
    openProject({"main.asm"});
    build();
    ProWindow->show();
    for (QListView* list : {projectList(), editor()->MessageList}) {
        list->show();
        QCoreApplication::processEvents();
        int longest = list->fontMetrics().horizontalAdvance(Items(list)[1]);
        EXPECT_GE(list->horizontalScrollBar()->maximum() + list->viewport()->width(), longest)
            << list->objectName().toStdString();
    }
}

TEST_F(Build, WithoutASourceOnlyTheProjectListFillsAndCloseEmptiesIt) {
    fakeAssembler();
    WriteFile(work / "canned.err", kThreeMessages);
    openProject({"main.asm"});
    build();
    EXPECT_EQ(Count(projectList()), 3);
    EXPECT_EQ(Count(editor()->MessageList), 0);
    EXPECT_TRUE(editor()->isMaximizedBelowStrip());  // the window made for the message's file
    EXPECT_EQ(where(), "main.asm:120 marked 120 \"Symbol not previously defined (COUNT)\"");
    build();  // a source is open now
    EXPECT_EQ(Count(editor()->MessageList), 3);
    MainForm->ProjectCloseClick();
    EXPECT_EQ(Count(projectList()), 0);
    EXPECT_FALSE(editor()->MessageList->isVisibleTo(editor()));
    f12();  // an empty list: nothing
}

// The real thing: gpasm through the front end, on a source with an error, a warning and a message.
TEST_F(Build, RealBuildThroughGpasmOpensTheMissingSymbolsLineMarked) {
    if (!HaveTool("gpasm"))
        GTEST_SKIP() << "gpasm is not installed";
    WriteFile(work / "main.asm",
              "\t#include <p16f84a.inc>\n"
              "\torg 0\n"
              "start\tmovlw 5\n"
              "\tmovwf COUNT\n"      // 4: Error[113]
              "\ttris PORTB\n"       // 5: Warning[224]
              "\tmessg \"ready\"\n"  // 6: Message[301]
              "\tgoto start\n"
              "\tend\n");
    useAssembler(KORVEX_BINARY_DIR "/tools/mpasmwin/MPASMWIN.EXE");
    Documents->open(Q(work / "lib.inc"));
    openProject({"main.asm"});
    build();

    QStringList lines = Items(projectList());
    ASSERT_EQ(lines.size(), 3) << ReadFile(work / "main.err");
    EXPECT_TRUE(lines[0].startsWith("Error[113]")) << lines[0].toStdString();
    EXPECT_TRUE(lines[1].startsWith("Warning[224]")) << lines[1].toStdString();
    EXPECT_TRUE(lines[2].startsWith("Message[301]")) << lines[2].toStdString();
    EXPECT_EQ(Items(editor()->MessageList), lines);
    EXPECT_EQ(where().substr(0, 20), "main.asm:4 marked 4 ");
    EXPECT_NE(editor()->statusText(5).indexOf("COUNT"), -1);
    EXPECT_EQ(Documents->current()->lineStyle(3), 14);

    f12();
    EXPECT_EQ(where().substr(0, 20), "main.asm:5 marked 5 ");
    SelectRow(editor()->MessageList, 1);
    prompter.expectInformation(QString::fromUtf8(MessageExplanations(MessageKind::Warning, 224)));
    QTest::mousePress(editor()->MessageList->viewport(), Qt::RightButton, {},
                      EntryRect(editor()->MessageList, 1).center());
    f12();
    EXPECT_EQ(where().substr(0, 20), "main.asm:6 marked 6 ");
    prompter.expectInformation(kNoMoreMessages);
    f12();
    f12();
    EXPECT_EQ(where().substr(0, 20), "main.asm:4 marked 4 ");
}

}  // namespace
