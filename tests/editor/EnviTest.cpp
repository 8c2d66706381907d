// SPDX-License-Identifier: GPL-3.0-or-later
// The Environment Options dialog as a user meets it: showing, schemes, elements, fonts, OK and Cancel.
#include "editor/Envi.h"

#include "QtPrinters.h"
#include "ScriptedPrompter.h"
#include "TempDir.h"
#include "editctl/LineStyles.h"
#include "editctl/PicLexer.h"
#include "shell/Idefunction.h"
#include "shell/Main.h"
#include "shell/Startup.h"

#include <Qsci/qsciscintilla.h>

#include <gtest/gtest.h>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>

#include <filesystem>

namespace {

class EnviDialog : public ::testing::Test {
  protected:
    void SetUp() override { start(); }
    void TearDown() override { korvex.reset(); }
    void start() { korvex = std::make_unique<TKorvex>(dir.path(), prompter); }

    // Configure > Environment Options, with the user's actions inside the dialog, closed by OK or Cancel.
    void showDialog(const std::function<void(TEnviDlg&)>& actions, bool ok) {
        prompter.willShowModal("EnviDlg", [&](QDialog& dialog) {
            auto& envi = static_cast<TEnviDlg&>(dialog);
            actions(envi);
            (ok ? envi.OKBtn : envi.CancelBtn)->click();
            return dialog.result();
        });
        MainForm->CfgEnviOptionsClick();
        EXPECT_TRUE(prompter.allAnswered());
    }
    // The user picks an entry of a drop-down list.
    static void choose(QComboBox* box, const QString& text) {
        int index = box->findText(text);
        ASSERT_GE(index, 0) << text.toStdString();
        box->setCurrentIndex(index);
        emit box->activated(index);
    }
    static void chooseElement(TEnviDlg& dlg, const QString& entry) {
        auto found = dlg.CElement->findItems(entry, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1);
        dlg.CElement->setCurrentItem(found.front());
    }
    static void clickGrid(TEnviDlg& dlg, int index, Qt::MouseButton button) {
        QTest::mouseClick(dlg.ElementGrid, button, {}, dlg.ElementGrid->cellRect(index).center());
    }
    static QStringList items(QComboBox* box) {
        QStringList result;
        for (int i = 0; i < box->count(); ++i)
            result << box->itemText(i);
        return result;
    }
    const TTextStyle& global(const char* name) {
        return *korvex->settings.MemoEnvOptions().TextStyles.Find(name);
    }
    static const TTextStyle& preview(TEnviDlg& dlg, const char* name) {
        return *dlg.PreviewElements().Find(name);
    }
    std::string storedScheme() {
        return korvex->registry
            .readString(RegRoot::LocalMachine, "Software\\Tervane\\Korvex v0.30\\Environment\\Color",
                        "ColorSetting")
            .value_or("(none)");
    }

    TempDir dir;
    ScriptedPrompter prompter;
    std::unique_ptr<TKorvex> korvex;
};

TEST_F(EnviDialog, ShowingFillsEveryControlFromTheStoredOptions) {
    showDialog(
        [](TEnviDlg& dlg) {
            EXPECT_EQ(dlg.PageControl->currentIndex(), 0);
            EXPECT_EQ(dlg.PageControl->tabText(3), "Colors");
            // first-run bits: back unindents, group undo, auto indent, overwrite blocks; margin shown
            EXPECT_TRUE(dlg.EOAutoIndent->isChecked());
            EXPECT_TRUE(dlg.EOBackspace->isChecked());
            EXPECT_TRUE(dlg.EOOverwrite->isChecked());
            EXPECT_FALSE(dlg.EOSmartTab->isChecked());
            EXPECT_FALSE(dlg.EOShowLine->isChecked());
            EXPECT_TRUE(dlg.EMVisible->isChecked());
            EXPECT_EQ(dlg.ETab->text(), "8");
            EXPECT_EQ(dlg.EMPos->text(), "80");
            EXPECT_EQ(dlg.EMColor->currentData().toUInt(), 0xC0C0C0u);
            EXPECT_EQ(dlg.EMStyle->currentText(), "Solid");
            EXPECT_EQ(dlg.EFont->currentText(), "Courier New");
            EXPECT_EQ(items(dlg.EFontSize), QStringList({"8", "9", "10", "11", "12"}));
            EXPECT_EQ(dlg.EFontSize->currentText(), "10");
            EXPECT_EQ(dlg.SampleFont->font().pointSize(), 10);
            EXPECT_EQ(dlg.DKeymapping->currentText(), "Default");
            EXPECT_EQ(dlg.CSetting->currentText(), "Default");
            // the first element, Whitespace: black on white, a text element
            EXPECT_EQ(dlg.CElement->currentRow(), 0);
            EXPECT_EQ(dlg.ElementGrid->ForegroundIndex(), 0);
            EXPECT_EQ(dlg.ElementGrid->BackgroundIndex(), 15);
            EXPECT_TRUE(dlg.CBTextBold->isEnabled());
            // the preview: 13 read-only lines, lines 9 to 13 in the five line styles
            EXPECT_EQ(dlg.EnviMemo->lines(), 13);
            EXPECT_TRUE(dlg.EnviMemo->isReadOnly());
            const LineStyle styles[] = {LineStyle::ExecutionPoint, LineStyle::BreakPoint, LineStyle::Counter,
                                        LineStyle::Bookmark, LineStyle::ErrorLine};
            for (int i = 0; i < 5; ++i)
                EXPECT_EQ(LineStyles::GetLineStyle(*dlg.EnviMemo, 8 + i), styles[i]);
            EXPECT_EQ(dlg.EnviMemo->text(12), "  n5op ;error line");
        },
        false);
}

TEST_F(EnviDialog, TwilightAndOkRecolourTheEditorOptionsAndStoreTheScheme) {
    QSignalSpy applied(EnviDlg, &TEnviDlg::optionsApplied);
    showDialog(
        [](TEnviDlg& dlg) {
            dlg.PageControl->setCurrentIndex(3);
            choose(dlg.CSetting, "Twilight");
            EXPECT_EQ(dlg.PreviewBackground(), 0x000000u);
            EXPECT_EQ(preview(dlg, "Comment").Font.Color, 0xC0C0C0u);
            EXPECT_EQ(dlg.CElement->currentRow(), 0);
            EXPECT_EQ(dlg.ElementGrid->ForegroundIndex(), 15);  // Whitespace: white on black
            EXPECT_EQ(dlg.ElementGrid->BackgroundIndex(), 0);
        },
        true);
    EXPECT_EQ(applied.count(), 1);
    EXPECT_EQ(korvex->settings.ColorSetting, "Twilight");
    EXPECT_EQ(storedScheme(), "Twilight");
    EXPECT_EQ(global("Comment").Font, (TTextStyle::StyleFont{0xC0C0C0, Bit(fsItalic)}));
    EXPECT_EQ(global("Comment").Color, 0x000000u);
    EXPECT_EQ(global("Reserved words").Font, (TTextStyle::StyleFont{0xFFFF00, Bit(fsBold)}));  // aqua, bold
    EXPECT_EQ(global("Error Line").Color, 0xFFFF00u);
    // the elements the dialog does not show follow the scheme too
    EXPECT_EQ(global("Float").Color, 0x000000u);
    EXPECT_EQ(global("Url").Font.Color, 0xFFFFFFu);
    EXPECT_EQ(global("Marked Block").Color, 0xFFFFFFu);
    EXPECT_EQ(global("Search Match").Font.Color, 0x000000u);

    // saved: a new run reads the same elements back
    TMemoEnvOptions saved;
    saved.LoadFromRegistry(korvex->registry, "Software\\Tervane\\Korvex v0.30");
    EXPECT_EQ(saved.TextStyles, korvex->settings.MemoEnvOptions().TextStyles);
}

TEST_F(EnviDialog, ClassicKeyMappingGivesFileSaveF2) {
    showDialog([](TEnviDlg& dlg) { choose(dlg.DKeymapping, "Classic"); }, true);
    EXPECT_EQ(MainForm->FileSave->shortcut(), QKeySequence("F2"));
    EXPECT_EQ(korvex->settings.MemoEnvOptions().KeyMapping, "Classic");
    showDialog([](TEnviDlg& dlg) { choose(dlg.DKeymapping, "Default"); }, true);
    EXPECT_EQ(MainForm->FileSave->shortcut(), QKeySequence("Ctrl+S"));
}

TEST_F(EnviDialog, CancelDiscardsEverythingAndTheNextShowingShowsTheStoredValues) {
    TMemoSourceOptions source = korvex->settings.MemoSourceOptions();
    TMemoEnvOptions env = korvex->settings.MemoEnvOptions();
    QSignalSpy applied(EnviDlg, &TEnviDlg::optionsApplied);
    showDialog(
        [](TEnviDlg& dlg) {
            choose(dlg.CSetting, "Classic");
            chooseElement(dlg, "String");
            clickGrid(dlg, 10, Qt::LeftButton);
            dlg.EOSmartTab->click();
            choose(dlg.EFont, "Fixedsys");
            choose(dlg.DKeymapping, "Classic");
            dlg.EMPos->setText("120");
        },
        false);
    EXPECT_EQ(applied.count(), 0);
    EXPECT_EQ(korvex->settings.MemoSourceOptions(), source);
    EXPECT_EQ(korvex->settings.MemoEnvOptions(), env);
    EXPECT_EQ(korvex->settings.ColorSetting, "Default");
    EXPECT_EQ(storedScheme(), "Default");
    EXPECT_EQ(MainForm->FileSave->shortcut(), QKeySequence("Ctrl+S"));
    showDialog(
        [](TEnviDlg& dlg) {
            EXPECT_EQ(dlg.CSetting->currentText(), "Default");
            EXPECT_EQ(dlg.PreviewBackground(), 0xFFFFFFu);
            EXPECT_EQ(preview(dlg, "String").Font.Color, 0xFF0000u);
            EXPECT_FALSE(dlg.EOSmartTab->isChecked());
            EXPECT_EQ(dlg.EFont->currentText(), "Courier New");
            EXPECT_EQ(dlg.EMPos->text(), "80");
        },
        false);
}

TEST_F(EnviDialog, LineElementHasNoAttributesAndTheGridChangesOnlyItsColours) {
    showDialog(
        [](TEnviDlg& dlg) {
            chooseElement(dlg, "Comment");
            EXPECT_TRUE(dlg.CBTextItalic->isChecked());
            chooseElement(dlg, "Breakpoint");
            for (QCheckBox* box : {dlg.CBTextBold, dlg.CBTextItalic, dlg.CBTextUnderline}) {
                EXPECT_FALSE(box->isEnabled());
                EXPECT_FALSE(box->isChecked());
            }
            EXPECT_EQ(dlg.ElementGrid->ForegroundIndex(), 15);  // white on red
            EXPECT_EQ(dlg.ElementGrid->BackgroundIndex(), 9);
            clickGrid(dlg, 10, Qt::LeftButton);   // lime text
            clickGrid(dlg, 4, Qt::MiddleButton);  // navy background
            EXPECT_EQ(preview(dlg, "BreakPoint").Font.Color, 0x00FF00u);
            EXPECT_EQ(preview(dlg, "BreakPoint").Color, 0x800000u);
            clickGrid(dlg, 12, Qt::RightButton);  // blue background
            EXPECT_EQ(preview(dlg, "BreakPoint").Font, (TTextStyle::StyleFont{0x00FF00, 0}));
            EXPECT_EQ(preview(dlg, "BreakPoint").Color, 0xFF0000u);
            EXPECT_EQ(dlg.ElementGrid->BackgroundIndex(), 12);
            EXPECT_EQ(preview(dlg, "Comment").Font.Color, 0x000000u);  // nothing else moved
        },
        true);
    EXPECT_EQ(global("BreakPoint").Color, 0xFF0000u);
    EXPECT_EQ(global("BreakPoint").Font.Color, 0x00FF00u);
}

TEST_F(EnviDialog, AttributeBoxesAddAndRemoveOneFontStyleOfATextElement) {
    showDialog(
        [](TEnviDlg& dlg) {
            chooseElement(dlg, "Mnemonic/Reserved words");
            EXPECT_TRUE(dlg.CBTextBold->isChecked());
            dlg.CBTextUnderline->click();
            dlg.CBTextBold->click();
            EXPECT_EQ(preview(dlg, "Reserved words").Font.Style, Bit(fsUnderline));
        },
        true);
    EXPECT_EQ(global("Reserved words").Font.Style, Bit(fsUnderline));
}

TEST_F(EnviDialog, FixedsysOffersOnlySizeNine) {
    showDialog(
        [](TEnviDlg& dlg) {
            choose(dlg.EFont, "Fixedsys");
            EXPECT_EQ(items(dlg.EFontSize), QStringList({"9"}));
            EXPECT_EQ(dlg.EFontSize->currentText(), "9");
            for (QLabel* sample : {dlg.SampleFont, dlg.SampleBFont}) {
                EXPECT_EQ(sample->font().family(), "Fixedsys");
                EXPECT_EQ(sample->font().pointSize(), 9);
            }
            choose(dlg.EFont, "Courier");
            choose(dlg.EFontSize, "12");
            EXPECT_EQ(dlg.SampleBFont->font().pointSize(), 12);
        },
        true);
    EXPECT_EQ(korvex->settings.MemoEnvOptions().Font.Name, "Courier");
    EXPECT_EQ(korvex->settings.MemoEnvOptions().Font.Size, 12u);
}

TEST_F(EnviDialog, DisplayDefaultResetsTheDisplayPageOnly) {
    showDialog(
        [](TEnviDlg& dlg) {
            dlg.EMVisible->setChecked(false);
            dlg.EMStyle->setCurrentIndex(2);
            dlg.EMPos->setText("12");
            choose(dlg.EFont, "Lucida Console");
            choose(dlg.DKeymapping, "Classic");
            dlg.EOSmartTab->setChecked(true);
            choose(dlg.CSetting, "Twilight");
            dlg.DisplayDefault->click();
            EXPECT_TRUE(dlg.EMVisible->isChecked());
            EXPECT_EQ(dlg.EMStyle->currentText(), "Solid");
            EXPECT_EQ(dlg.EMPos->text(), "80");
            EXPECT_EQ(dlg.EFont->currentText(), "Courier New");
            EXPECT_EQ(dlg.EFontSize->currentText(), "10");
            EXPECT_EQ(dlg.SampleFont->font().pointSize(), 10);
            EXPECT_EQ(dlg.DKeymapping->currentText(), "Default");
            EXPECT_TRUE(dlg.EOSmartTab->isChecked());
            EXPECT_EQ(dlg.CSetting->currentText(), "Twilight");
        },
        false);
}

TEST_F(EnviDialog, NumberFieldsTakeOnlyDigitsAndAnEmptyOneKeepsTheStoredValue) {
    showDialog(
        [](TEnviDlg& dlg) {
            for (QLineEdit* field : {dlg.EMPos, dlg.EIndent}) {
                field->clear();
                QTest::keyClicks(field, "7x-2 ");
                QTest::keyClick(field, Qt::Key_Backspace);
                QTest::keyClicks(field, "5");
                EXPECT_EQ(field->text(), "75");
            }
            dlg.ETab->clear();
            QTest::keyClicks(dlg.ETab, "4 8");
            EXPECT_EQ(dlg.ETab->text(), "4 8");
            dlg.EMPos->clear();
        },
        true);
    EXPECT_EQ(korvex->settings.MemoEnvOptions().MarginPos, 80u);
    EXPECT_EQ(korvex->settings.MemoSourceOptions().BlockIndent, 75u);
    EXPECT_EQ(korvex->settings.MemoSourceOptions().TabStops, "4 8");
}

TEST_F(EnviDialog, EachCheckBoxSetsItsOwnBitAndTheOthersStay) {
    korvex->settings.MemoSourceOptions().Options |= Bit(soLimitEOL);
    korvex->settings.MemoEnvOptions().Options |= Bit(moDisableDrag);
    showDialog(
        [](TEnviDlg& dlg) {
            dlg.EOShowLine->click();
            dlg.EODoubleClick->click();
            dlg.EOAutoIndent->click();
            dlg.EMVisible->click();
        },
        true);
    // line numbers and double click are display bits; the text-buffer bits 3 and 5 stay clear
    EXPECT_EQ(korvex->settings.MemoSourceOptions().Options, Bit(soBackUnindents) | Bit(soGroupUndo) |
                                                                Bit(soCreateBackups) |
                                                                Bit(soOverwriteBlocks) | Bit(soLimitEOL));
    EXPECT_EQ(korvex->settings.MemoEnvOptions().Options, Bit(moDrawGutter) | Bit(moThumbTracking) |
                                                             Bit(moColorSyntax) | Bit(moLineNumbers) |
                                                             Bit(moDblClickLine) | Bit(moDisableDrag));
}

TEST_F(EnviDialog, ValuesOutsideTheListsAreShownAndKept) {
    korvex->settings.ColorSetting = "Sunset";
    TMemoEnvOptions& env = korvex->settings.MemoEnvOptions();
    env.Font = {"DejaVu Sans Mono", 13, 0, 0};
    env.MarginPen.Color = 0x123456;
    env.MarginPen.Style = 42;                                  // a pen style the picker does not list
    env.TextStyles.Find("Whitespace")->Font.Color = 0x654321;  // no grid colour
    showDialog(
        [](TEnviDlg& dlg) {
            EXPECT_EQ(dlg.CSetting->currentIndex(), -1);
            EXPECT_EQ(dlg.PreviewBackground(), 0xFFFFFFu);
            EXPECT_EQ(dlg.EFont->currentText(), "DejaVu Sans Mono");
            EXPECT_EQ(dlg.EFontSize->currentText(), "13");
            EXPECT_EQ(dlg.EMColor->currentData().toUInt(), 0x123456u);
            EXPECT_EQ(dlg.EMStyle->currentData().toUInt(), 42u);
            EXPECT_EQ(dlg.ElementGrid->ForegroundIndex(), -1);
            clickGrid(dlg, 14, Qt::RightButton);  // the background only; the odd text colour stays
            EXPECT_EQ(preview(dlg, "Whitespace").Font.Color, 0x654321u);
            EXPECT_EQ(preview(dlg, "Whitespace").Color, 0xFFFF00u);
        },
        true);
    EXPECT_EQ(korvex->settings.ColorSetting, "Sunset");
    EXPECT_EQ(storedScheme(), "Default");
    EXPECT_EQ(env.Font, (TFont{"DejaVu Sans Mono", 13, 0, 0}));
    EXPECT_EQ(env.MarginPen.Color, 0x123456u);
    EXPECT_EQ(env.MarginPen.Style, 42u);
    EXPECT_EQ(global("Float").Color, 0xFFFFFFu);  // no scheme: the hidden elements stay
}

TEST_F(EnviDialog, FontsTheMachineLacksAreMarkedWithTheFontShownInstead) {
    showDialog(
        [](TEnviDlg& dlg) {
            for (int i = 0; i < dlg.EFont->count(); ++i) {
                QString name = dlg.EFont->itemText(i);
                QString tip = dlg.EFont->itemData(i, Qt::ToolTipRole).toString();
                if (FontInstalled(name))
                    EXPECT_TRUE(tip.isEmpty()) << name.toStdString();
                else
                    EXPECT_EQ(tip, "Not installed: shown in " + EditorFontFamily(name)) << name.toStdString();
            }
        },
        false);
}

TEST_F(EnviDialog, AFailedSaveIsReported) {
    // a folder where the user settings file belongs: no write can replace it
    std::filesystem::remove(dir / "user.ini");
    std::filesystem::create_directory(dir / "user.ini");
    prompter.willShowModal("EnviDlg", [](QDialog& dialog) {
        auto& dlg = static_cast<TEnviDlg&>(dialog);
        choose(dlg.CSetting, "Classic");
        dlg.OKBtn->click();
        return dialog.result();
    });
    prompter.expectError(
        QString("Settings cannot be saved: Cannot write %1: Is a directory").arg((dir / "user.ini").c_str()));
    MainForm->CfgEnviOptionsClick();
    EXPECT_EQ(korvex->settings.ColorSetting, "Classic");  // in use for this run all the same
}

TEST(ColorNames, ColoursReachTheGridThroughTheirStandardNames) {
    EXPECT_EQ(ColorToString(0x800000), "clNavy");
    EXPECT_EQ(ColorToString(0xC0DCC0), "clMoneyGreen");
    EXPECT_EQ(ColorToString(0x123456), "$00123456");
    EXPECT_EQ(GridIndexOf(0xFFFF00), 14);
    EXPECT_EQ(GridIndexOf(0x000080), 1);
    EXPECT_EQ(GridIndexOf(0xC0DCC0), -1);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(GridIndexOf(kGridColors[size_t(i)].Value), i);
}

}  // namespace
