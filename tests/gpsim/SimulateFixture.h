// SPDX-License-Identifier: GPL-3.0-or-later
// Korvex with a project on the gpsim test programs, simulated as the user does it: the fixture of the
// simulation tests through the main window.
#pragma once

#include "shell/Main.h"

#include "GpsimFixture.h"
#include "ScriptedPrompter.h"
#include "editctl/DocumentManager.h"
#include "editctl/Memo.h"
#include "editor/MyEditUnit.h"
#include "debugger/RegistersWindow.h"
#include "gpsim/SimSession.h"
#include "shell/Idefunction.h"
#include "shell/Startup.h"

#include <gtest/gtest.h>
#include <QAction>
#include <QTableWidget>
#include <QTest>
#include "GTestQTry.h"

#include <filesystem>

namespace simulate_fixture {

namespace fs = std::filesystem;

inline QString Q(const fs::path& path) {
    return QString::fromStdString(path.string());
}

constexpr int kBreakPoint = 13, kExecutionPoint = 16;

class Simulate : public ::testing::Test {
  protected:
    void SetUp() override {
        SKIP_WITHOUT_GPUTILS();
        korvex = std::make_unique<TKorvex>(dir / "config", prompter);
        korvex->settings.AssemblerPath = KORVEX_BINARY_DIR "/tools/mpasmwin/MPASMWIN.EXE";
        korvex->settings.AssemblerFileName = "MPASMWIN.EXE";
        for (const char* file : {"count84a.asm", "main877a.asm", "sub.inc", "eeprom84a.asm"})
            fs::copy_file(kGpsimData / file, dir / file);
    }
    void TearDown() override { korvex.reset(); }

    void openProject(const std::string& first, const std::string& extra = "",
                     const std::string& part = "16F877A") {
        WriteAll(dir / "p.pro",
                 "[PROJECT]\nFormat=MPASM\n[MPASM]\nList File=0\nCross File=0\nRadix=0\n"
                 "Warning Level=0\nHex Output=0\nMacro=0\nCase Sensitive=0\nProcessor=" +
                     part +
                     "\n"
                     "Additional=\n[FILES]\nCount=1\nFile0=" +
                     first + "\n" + extra);
        prompter.willChooseFile(Q(dir / "p.pro"));
        MainForm->ProjectOpen->trigger();
        ASSERT_TRUE(MainForm->ProjectSimulate->isEnabled());
    }
    SimSession& session() { return *MainForm->simSession; }
    void settle() {
        QTRY_VERIFY_WITH_TIMEOUT(session().state() == SimSession::State::Stopped || !session().active(),
                                 15000);
    }
    void start() {
        MainForm->ProjectSimulate->trigger();
        settle();
        ASSERT_EQ(session().state(), SimSession::State::Stopped);
    }
    TEditor* editor() { return korvex->services.editors->first(); }
    // A click in the first editor window's gutter, beside a line (from 0).
    void clickGutter(int line) {
        TMemo* memo = editor()->Memo;
        long position = memo->SendScintilla(TMemo::SCI_POSITIONFROMLINE, line);
        int y = int(memo->SendScintilla(TMemo::SCI_POINTYFROMPOSITION, 0L, position));
        int gutter = memo->marginWidth(0) + memo->marginWidth(1);
        ASSERT_GT(gutter, 4);
        QTest::mouseClick(memo->viewport(), Qt::LeftButton, {}, QPoint(gutter / 2, y + 3));
    }
    TDocument* document(const std::string& name) { return korvex->documents.find(Q(dir / name)); }
    // The editor's file and its execution-point line, from 1 ("main877a.asm:10").
    std::string marked() {
        TDocument* shown = editor() ? editor()->Memo->document() : nullptr;
        if (!shown)
            return "(none)";
        for (int line = 0; line < shown->lineCount(); ++line)
            if (shown->lineStyle(line) == kExecutionPoint)
                return fs::path(shown->fileName().toStdString()).filename().string() + ":" +
                       std::to_string(line + 1);
        return "(no mark)";
    }
    QString registerValue(const QString& name) {
        QTableWidget* table = MainForm->RegistersWindow->Table;
        for (int row = 0; row < table->rowCount(); ++row)
            if (table->item(row, 0)->text() == name)
                return table->item(row, 2)->text();
        return "(no row)";
    }
    bool registerChanged(const QString& name) {
        QTableWidget* table = MainForm->RegistersWindow->Table;
        for (int row = 0; row < table->rowCount(); ++row)
            if (table->item(row, 0)->text() == name)
                return table->item(row, 2)->font().bold();
        return false;
    }

    TempDir dir;
    ScriptedPrompter prompter;
    std::unique_ptr<TKorvex> korvex;
};

}  // namespace simulate_fixture
