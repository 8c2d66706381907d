// SPDX-License-Identifier: GPL-3.0-or-later
// Configure > External EXE as the user meets it: the dialog's layout, browsing, OK and Cancel, the registry.
#include "assembler/DlgEXE.h"

#include "QtPrinters.h"
#include "ScriptedPrompter.h"
#include "TempDir.h"
#include "shell/Idefunction.h"
#include "shell/Main.h"
#include "shell/Startup.h"

#include <gtest/gtest.h>
#include <QAction>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QTabWidget>

#include <fstream>

namespace {

const char* kKey = "Software\\Tervane\\Korvex v0.30\\External EXE\\Microchip";

class ExternalExe : public ::testing::Test {
  protected:
    void SetUp() override { korvex = std::make_unique<TKorvex>(dir.path(), prompter); }
    void TearDown() override { korvex.reset(); }

    QString file(const std::string& name) {
        std::ofstream(dir / name) << "#!/bin/sh\n";
        return QString::fromStdString((dir / name).string());
    }
    // The value a fresh start would read.
    std::string stored() {
        return Registry(dir.path())
            .readString(RegRoot::LocalMachine, kKey, "MPASMWIN.EXE")
            .value_or("(none)");
    }
    // Configure > External EXE; `user` acts in the dialog and says how it ends.
    void configure(std::function<int(TEXEDlg&)> user) {
        prompter.willShowModal("EXEDlg", [user](QDialog& d) { return user(static_cast<TEXEDlg&>(d)); });
        MainForm->ConfigureEXE->trigger();
    }
    static int ok(TEXEDlg& d) {
        d.OKBtn->click();
        return d.result();
    }
    static int cancel(TEXEDlg& d) {
        d.CancelBtn->click();
        return d.result();
    }

    TempDir dir;
    ScriptedPrompter prompter;
    std::unique_ptr<TKorvex> korvex;
};

TEST_F(ExternalExe, ControlsStandWhereTheLayoutPutsThem) {
    TEXEDlg& d = *EXEDlg;
    EXPECT_EQ(d.windowTitle(), "External EXE");
    EXPECT_EQ(d.size(), QSize(392, 193));
    EXPECT_EQ(d.minimumSize(), d.maximumSize());
    EXPECT_EQ(d.OKBtn->geometry(), QRect(115, 160, 75, 25));
    EXPECT_EQ(d.OKBtn->text(), "OK");
    EXPECT_TRUE(d.OKBtn->isDefault());
    EXPECT_EQ(d.CancelBtn->geometry(), QRect(210, 160, 75, 25));
    EXPECT_EQ(d.CancelBtn->text(), "Cancel");
    EXPECT_EQ(d.PCExe->geometry(), QRect(5, 5, 382, 150));
    ASSERT_EQ(d.PCExe->count(), 1);
    EXPECT_EQ(d.PCExe->tabText(0), "Microchip");
    EXPECT_EQ(d.PCExe->widget(0), d.TSMicrochip);
    EXPECT_EQ(d.BMPASMWIN->parentWidget(), d.TSMicrochip);
    EXPECT_EQ(d.BMPASMWIN->geometry(), QRect(5, 5, 75, 25));
    EXPECT_EQ(d.BMPASMWIN->text(), "MPASMWIN");
    EXPECT_EQ(d.LMPASMWIN->parentWidget(), d.TSMicrochip);
    EXPECT_EQ(d.LMPASMWIN->pos(), QPoint(90, 10));
}

TEST_F(ExternalExe, FirstRunShowsAnEmptyLabelAndBrowsingStoresThePathUnchanged) {
    QString chosen = file("mpasmwin.exe");
    configure([&](TEXEDlg& d) {
        EXPECT_EQ(d.LMPASMWIN->text(), "");
        prompter.willChooseFile(chosen);
        d.BMPASMWINClick();
        EXPECT_EQ(d.LMPASMWIN->text(), chosen);
        EXPECT_EQ(d.LMPASMWIN->size(), d.LMPASMWIN->sizeHint());  // sized to the path
        return ok(d);
    });
    EXPECT_EQ(prompter.lastFileRequest.title, "External EXE");
    EXPECT_EQ(prompter.lastFileRequest.filters, QStringList{"EXE file (*.exe *.EXE)"});
    EXPECT_EQ(prompter.lastFileRequest.defaultSuffix, "exe");
    EXPECT_EQ(korvex->settings.AssemblerPath, chosen.toStdString());
    EXPECT_EQ(korvex->settings.AssemblerFileName, "mpasmwin.exe");
    EXPECT_EQ(stored(), chosen.toStdString());
    // the next showing displays the stored path
    configure([&](TEXEDlg& d) {
        EXPECT_EQ(d.LMPASMWIN->text(), chosen);
        return cancel(d);
    });
}

TEST_F(ExternalExe, ALongPathShowsItsStartAndItsProgramNameWithinThePage) {
    std::filesystem::path deep = dir / std::string(120, 'd') / "tools";
    std::filesystem::create_directories(deep);
    std::ofstream(deep / "MPASMWIN.EXE") << "#!/bin/sh\n";
    QString chosen = QString::fromStdString((deep / "MPASMWIN.EXE").string());
    configure([&](TEXEDlg& d) {
        prompter.willChooseFile(chosen);
        d.BMPASMWINClick();
        d.show();
        EXPECT_EQ(d.LMPASMWIN->text(), chosen);  // the whole path is what OK stores
        EXPECT_EQ(d.LMPASMWIN->toolTip(), chosen);
        EXPECT_LE(d.LMPASMWIN->geometry().right(), d.TSMicrochip->width());
        // what the user sees: the label's picture holds as much ink as its text elided in the middle
        QImage shown(d.LMPASMWIN->size(), QImage::Format_RGB32);
        shown.fill(Qt::white);
        d.LMPASMWIN->render(&shown, {}, {}, QWidget::DrawChildren);
        QImage expected(shown.size(), QImage::Format_RGB32);
        expected.fill(Qt::white);
        QPainter painter(&expected);
        painter.setFont(d.LMPASMWIN->font());
        painter.setPen(d.LMPASMWIN->palette().color(QPalette::WindowText));
        QString elided = d.LMPASMWIN->fontMetrics().elidedText(chosen, Qt::ElideMiddle, d.LMPASMWIN->width());
        EXPECT_TRUE(elided.startsWith(chosen.left(4)) && elided.endsWith("MPASMWIN.EXE"))
            << elided.toStdString();
        painter.drawText(d.LMPASMWIN->contentsRect(), int(d.LMPASMWIN->alignment()) | Qt::TextSingleLine,
                         elided);
        painter.end();
        EXPECT_EQ(shown, expected);
        return ok(d);
    });
    EXPECT_EQ(korvex->settings.AssemblerPath, chosen.toStdString());
}

TEST_F(ExternalExe, ChoicesThatDoNotExistOrAreCancelledLeaveTheLabel) {
    QString first = file("MPASMWIN.EXE");
    configure([&](TEXEDlg& d) {
        prompter.willChooseFile(first);
        d.BMPASMWINClick();
        prompter.willChooseFile(QString::fromStdString((dir / "gone.exe").string()));
        d.BMPASMWINClick();
        EXPECT_EQ(d.LMPASMWIN->text(), first);
        prompter.willChooseFile(QString::fromStdString(dir.path().string()));  // a folder is no program
        d.BMPASMWINClick();
        prompter.willCancelFile();
        d.BMPASMWINClick();
        EXPECT_EQ(d.LMPASMWIN->text(), first);
        return ok(d);
    });
    EXPECT_EQ(stored(), first.toStdString());
}

TEST_F(ExternalExe, CancelAfterBrowsingChangesNothing) {
    QString kept = file("MPASMWIN.EXE");
    configure([&](TEXEDlg& d) {
        prompter.willChooseFile(kept);
        d.BMPASMWINClick();
        return ok(d);
    });
    QString other = file("other.exe");
    configure([&](TEXEDlg& d) {
        prompter.willChooseFile(other);
        d.BMPASMWINClick();
        return cancel(d);
    });
    EXPECT_EQ(korvex->settings.AssemblerPath, kept.toStdString());
    EXPECT_EQ(stored(), kept.toStdString());
    configure([&](TEXEDlg& d) {
        EXPECT_EQ(d.LMPASMWIN->text(), kept);
        return cancel(d);
    });
}

TEST_F(ExternalExe, OkWithoutBrowsingWritesThePathAgainAndOtherNamesAreAccepted) {
    QString mpasm = file("MPASM.EXE");
    configure([&](TEXEDlg& d) {
        prompter.willChooseFile(mpasm);
        d.BMPASMWINClick();
        return ok(d);
    });
    EXPECT_EQ(korvex->settings.AssemblerFileName, "MPASM.EXE");  // the build refuses it, not this dialog
    korvex->registry.writeString(RegRoot::LocalMachine, kKey, "MPASMWIN.EXE", "changed elsewhere");
    configure(ok);
    EXPECT_EQ(stored(), mpasm.toStdString());
}

TEST(ExternalExeSettings, AKeyLostFromADamagedFileIsMadeAgainAndAFailedWriteIsReported) {
    TempDir dir;
    // the base key exists but "External EXE\Microchip" does not
    std::ofstream(dir / "machine.ini") << "[Software\\Tervane\\Korvex v0.30\\Project]\n";
    ScriptedPrompter prompter;
    TKorvex korvex(dir.path(), prompter);
    std::ofstream(dir / "MPASMWIN.EXE") << "";
    QString chosen = QString::fromStdString((dir / "MPASMWIN.EXE").string());
    auto choose = [&](const QString& error) {
        prompter.willShowModal("EXEDlg", [&, error](QDialog& d) {
            prompter.willChooseFile(chosen);
            EXEDlg->BMPASMWINClick();
            if (!error.isEmpty())
                prompter.expectError(error);
            EXEDlg->OKBtn->click();
            return d.result();
        });
        MainForm->ConfigureEXE->trigger();
    };
    choose({});
    EXPECT_EQ(Registry(dir.path())
                  .readString(RegRoot::LocalMachine,
                              "Software\\Tervane\\Korvex v0.30\\External EXE\\Microchip", "MPASMWIN.EXE"),
              chosen.toStdString());
    // a settings file that cannot be replaced: the box says so and the path holds for this run
    std::filesystem::remove(dir / "machine.ini");
    std::filesystem::create_directories(dir / "machine.ini" / "occupied");
    choose(QString("Settings cannot be saved: Cannot write %1: Is a directory")
               .arg(QString::fromStdString((dir / "machine.ini").string())));
    EXPECT_EQ(korvex.settings.AssemblerPath, chosen.toStdString());
}

}  // namespace
