// SPDX-License-Identifier: GPL-3.0-or-later
// The Project window as a user meets it: the drawn Files list, opening entries, its keys, close and minimise.
#include "shell/ProW.h"

#include "QtPrinters.h"
#include "ScriptedPrompter.h"
#include "TempDir.h"
#include "assembler/MessageModel.h"
#include "editctl/DocumentManager.h"
#include "shell/Idefunction.h"
#include "shell/Main.h"
#include "shell/Project.h"
#include "shell/Startup.h"

#include <gtest/gtest.h>
#include <QAction>
#include <QImage>
#include <QListView>
#include <QListWidget>
#include <QTabWidget>
#include <QTest>

#include <fstream>
#include <sstream>

namespace {

// Records what the Project window asks of the editor windows.
class FakeEditorWindows : public EditorWindowList {
  public:
    TDocument* FirstEditorDocument() const override { return nullptr; }
    void ShowAndRaise(TDocument*) override {}
    void SetStatusText(int, const QString&) override {}
    void RestoreFirstIfMinimized() override { calls << "restore"; }
    void MaximizeWindowOf(TDocument* document) override { calls << "maximize " + document->displayName(); }
    void HideMessageList() override { calls << "hide messages"; }
    QStringList calls;
};

class ProjectWindow : public ::testing::Test {
  protected:
    void SetUp() override {
        std::filesystem::create_directories(dir / "work");
        korvex = std::make_unique<TKorvex>(dir / "config", prompter);
        previous = EditorWindows;
        EditorWindows = &editors;
    }
    void TearDown() override {
        EditorWindows = previous;
        korvex.reset();
    }
    QString path(const std::string& name) const { return QString::fromStdString((dir / name).string()); }
    // Opens a project file holding these entries through Project > Open.
    void openProject(const std::vector<std::string>& files) {
        std::ofstream out(dir / "work/p.pro");
        out << "[PROJECT]\nFormat=MPASM\n[FILES]\nCount=" << files.size() << "\n";
        for (size_t i = 0; i < files.size(); ++i)
            out << "File" << i << "=" << files[i] << "\n";
        out.close();
        prompter.willChooseFile(path("work/p.pro"));
        MainForm->ProjectOpen->trigger();
    }
    void source(const std::string& name) { std::ofstream(dir / name) << "  nop\n"; }
    QPoint centreOf(int line) const {
        return ProWindow->ProList->visualItemRect(ProWindow->ProList->item(line)).center();
    }

    TempDir dir;
    ScriptedPrompter prompter;
    std::unique_ptr<TKorvex> korvex;
    FakeEditorWindows editors;
    EditorWindowList* previous = nullptr;
};

TEST_F(ProjectWindow, LinesAreWhiteBoldOnBlackAndTheSelectedOneHasAYellowFrame) {
    ProWindow->show();
    for (const char* entry : {"main.asm", "macros.inc", "/lib/common.inc"})
        ProWindow->AppendEntry(entry);
    ProWindow->SelectLine(1);
    QListWidget* list = ProWindow->ProList;
    EXPECT_TRUE(list->font().bold());
    EXPECT_EQ(list->font().family(), "Arial");
    EXPECT_EQ(list->visualItemRect(list->item(0)).height(), 16);
    ProWindow->Messages->setLines({"Error[113] main.asm 4 : Symbol not previously defined (x)"});
    EXPECT_EQ(ProWindow->MessageList->visualRect(ProWindow->Messages->index(0)).height(), 14);

    QImage image = list->viewport()->grab().toImage();
    auto colourAt = [&image](QPoint p) { return image.pixelColor(p).name(); };
    QRect plain = list->visualItemRect(list->item(0));
    QRect selected = list->visualItemRect(list->item(1));
    EXPECT_EQ(colourAt(selected.topLeft()), "#ffff00");
    EXPECT_EQ(colourAt(selected.bottomRight()), "#ffff00");
    EXPECT_EQ(colourAt(selected.center() + QPoint(selected.width() / 4, 0)),
              "#000000");  // filled black inside
    EXPECT_EQ(colourAt(plain.topLeft()), "#000000");
    int white = 0;
    for (int x = plain.left(); x < plain.left() + 60; ++x)
        for (int y = plain.top(); y <= plain.bottom(); ++y)
            white += image.pixelColor(x, y) == Qt::white;
    EXPECT_GT(white, 20);  // the text of an unselected line is white
    EXPECT_EQ(colourAt({2, list->viewport()->height() - 2}), "#000000");  // the list below the lines is black
}

TEST_F(ProjectWindow, DoubleClickAndEnterOpenTheEntrysFile) {
    source("work/main.asm");
    source("other.inc");
    openProject({"main.asm", path("other.inc").toStdString(), "", "gone.asm"});
    QListWidget* list = ProWindow->ProList;
    ProWindow->show();

    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, centreOf(0));
    ASSERT_EQ(Documents->documents().size(), 1u);
    EXPECT_EQ(Documents->current()->fileName(), path("work/main.asm"));
    EXPECT_EQ(editors.calls, QStringList{"maximize main.asm"});  // no document was being edited

    ProWindow->SelectLine(1);
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_EQ(Documents->current()->fileName(), path("other.inc"));
    EXPECT_EQ(editors.calls.last(), "restore");  // a document was being edited

    ProWindow->SelectLine(0);
    QTest::keyClick(list, Qt::Key_Enter);
    EXPECT_EQ(Documents->documents().size(), 2u);  // already open: made current, not opened twice
    EXPECT_EQ(Documents->current()->fileName(), path("work/main.asm"));

    ProWindow->SelectLine(2);
    QTest::keyClick(list, Qt::Key_Return);  // an empty entry: nothing, no message
    prompter.expectError("The file cannot be found");
    ProWindow->SelectLine(3);
    QTest::keyClick(list, Qt::Key_Return);
    prompter.expectInformation("No item selected, please select one");
    ProWindow->SelectLine(-1);
    ProWindow->ListDblClick();
    EXPECT_EQ(Documents->documents().size(), 2u);
}

TEST_F(ProjectWindow, DeleteRemovesTheSelectedEntryFromTheProjectFileAtOnce) {
    openProject({"a.asm", "b.asm"});
    QListWidget* list = ProWindow->ProList;
    ProWindow->SelectLine(0);
    QTest::keyClick(list, Qt::Key_Delete);
    EXPECT_EQ(ProWindow->Entries(), QStringList{"b.asm"});
    std::ifstream in(dir / "work/p.pro");
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_EQ(text.str(), "[PROJECT]\nFormat=MPASM\n[FILES]\nCount=1\nFile0=b.asm\n");
    ProWindow->SelectLine(-1);
    QTest::keyClick(list, Qt::Key_Delete);
    EXPECT_EQ(ProWindow->Entries(), QStringList{"b.asm"});
}

TEST_F(ProjectWindow, RefusesToCloseAndOpeningOrClosingAProjectRestoresIt) {
    ProWindow->show();
    EXPECT_FALSE(ProWindow->close());
    EXPECT_TRUE(ProWindow->isVisible());
    EXPECT_EQ(ProWindow->PCProWindow->tabText(0), "Files");
    EXPECT_EQ(ProWindow->PCProWindow->tabText(1), "Messages");
    ProWindow->PCProWindow->setFocus();  // the user was on the tabs
    ProWindow->showMinimized();
    EXPECT_TRUE(ProWindow->isMinimized());
    openProject({"a.asm"});
    EXPECT_FALSE(ProWindow->isMinimized());
    // the Files list has the window's focus: the keys go to it once the window is active
    EXPECT_EQ(ProWindow->focusWidget(), ProWindow->ProList);
    ProWindow->activateWindow();
    ASSERT_TRUE(QTest::qWaitFor([] { return ProWindow->isActiveWindow(); }));
    EXPECT_TRUE(ProWindow->ProList->hasFocus());
    EXPECT_EQ(ProWindow->windowTitle(), path("work/p.pro"));
    ProWindow->Messages->setLines({"Message[302] p.asm 3 : Register in operand not in bank 0."});
    ProWindow->showMinimized();
    MainForm->ProjectClose->trigger();
    EXPECT_FALSE(ProWindow->isMinimized());
    EXPECT_EQ(ProWindow->MessageList->model()->rowCount(), 0);
    EXPECT_EQ(ProWindow->windowTitle(), "Project");
}

}  // namespace
