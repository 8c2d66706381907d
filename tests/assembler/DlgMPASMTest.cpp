// SPDX-License-Identifier: GPL-3.0-or-later
// The MPASM Options dialog: its controls where the layout puts them, showing and OK, Cancel.
#include "assembler/DlgMPASM.h"

#include "QtPrinters.h"

#include <gtest/gtest.h>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace {

QStringList ItemsOf(const TRadioGroup* group) {
    QStringList items;
    for (int i = 0; i < group->count(); ++i)
        items << group->item(i)->text();
    return items;
}

TEST(MPASMDialog, EveryControlStandsAtItsPlaceInTabOrder) {
    TMPASMDlg dialog;
    EXPECT_EQ(dialog.windowTitle(), "MPASM Options");
    EXPECT_EQ(dialog.size(), QSize(592, 243));
    struct {
        QWidget* widget;
        QRect geometry;
    } places[] = {
        {dialog.OKBtn, {215, 210, 75, 25}},       {dialog.CancelBtn, {310, 210, 75, 25}},
        {dialog.GroupBox1, {435, 45, 140, 100}},  {dialog.RGRadix, {15, 45, 100, 100}},
        {dialog.RGWarning, {120, 45, 120, 100}},  {dialog.RGOutput, {245, 45, 80, 100}},
        {dialog.RGMacro, {330, 45, 100, 100}},    {dialog.CBCase, {330, 20, 97, 17}},
        {dialog.StaticText1, {10, 15, 65, 17}},   {dialog.CBProcessor, {80, 15, 100, 21}},
        {dialog.EAdditional, {15, 170, 560, 22}}, {dialog.Bevel1, {8, 8, 575, 195}},
    };
    for (const auto& place : places)
        EXPECT_EQ(place.widget->geometry(), place.geometry) << place.widget->objectName().toStdString();
    EXPECT_EQ(dialog.StaticText2->pos(), QPoint(15, 150));
    EXPECT_GE(dialog.StaticText2->width(), std::max(165, dialog.StaticText2->sizeHint().width()));
    EXPECT_TRUE(dialog.OKBtn->isDefault());
    EXPECT_EQ(dialog.StaticText1->text(), "Processor:");
    EXPECT_TRUE(dialog.StaticText1->alignment() & Qt::AlignRight);
    EXPECT_EQ(dialog.StaticText2->text(), "Additional Command Line Options:");
    EXPECT_TRUE(dialog.CBError->isChecked());
    EXPECT_FALSE(dialog.CBError->isEnabled());
    EXPECT_EQ(dialog.CBCross->text(), "Cross Reference File");
    EXPECT_TRUE(dialog.EAdditional->font().bold());
    EXPECT_EQ(dialog.EAdditional->font().pixelSize(), 11);
    EXPECT_EQ(dialog.RGRadix->title(), "Radix");
    EXPECT_EQ(ItemsOf(dialog.RGRadix), (QStringList{"Default", "Hexadecimal", "Decimal", "Octal"}));
    EXPECT_EQ(ItemsOf(dialog.RGWarning),
              (QStringList{"Default", "All Messages", "Warnings && Errors", "Errors Only"}));
    EXPECT_EQ(ItemsOf(dialog.RGOutput), (QStringList{"Default", "INHX8M", "INHX8S", "INHX32"}));
    EXPECT_EQ(ItemsOf(dialog.RGMacro), (QStringList{"Default", "On", "Off"}));
    EXPECT_EQ(dialog.RGMacro->title(), "Macro Expansion");
    EXPECT_FALSE(dialog.CBProcessor->isEditable());
    ASSERT_EQ(dialog.CBProcessor->count(), 72);
    EXPECT_EQ(dialog.CBProcessor->itemText(11), "16C61");
    EXPECT_EQ(dialog.CBProcessor->currentText(), "16C61");

    // the focus chain, one stop per radio group
    QList<QWidget*> chain;
    QWidget* w = dialog.OKBtn;
    do {
        auto* radio = qobject_cast<QRadioButton*>(w);
        bool firstItem = !radio || static_cast<TRadioGroup*>(radio->parentWidget())->item(0) == radio;
        if ((w->focusPolicy() & Qt::TabFocus) && w->isEnabled() && firstItem)
            chain << w;
        w = w->nextInFocusChain();
    } while (w != dialog.OKBtn);
    QList<QWidget*> order = {dialog.OKBtn,
                             dialog.CancelBtn,
                             dialog.CBList,
                             dialog.CBCross,
                             dialog.RGRadix->item(0),
                             dialog.RGWarning->item(0),
                             dialog.RGOutput->item(0),
                             dialog.RGMacro->item(0),
                             dialog.CBCase,
                             dialog.CBProcessor,
                             dialog.EAdditional};
    EXPECT_EQ(chain, order);
}

TEST(MPASMDialog, ShowingCopiesTheOptionsInAndOnlyOkCopiesThemBack) {
    TMPASMDlg dialog;
    dialog.Options.ListFile = false;
    dialog.Options.Radix = 2;
    dialog.Options.Macro = 7;  // outside the items: "Default" shows
    dialog.Options.Processor = "16f877";
    dialog.Options.Additional = "  /dA ";
    dialog.FormShow();
    EXPECT_FALSE(dialog.CBList->isChecked());
    EXPECT_TRUE(dialog.RGRadix->item(2)->isChecked());
    EXPECT_TRUE(dialog.RGMacro->item(0)->isChecked());
    EXPECT_EQ(dialog.CBProcessor->currentText(), "16F877");
    EXPECT_EQ(dialog.EAdditional->text(), "  /dA ");

    dialog.CBCase->setChecked(true);
    dialog.CancelBtn->click();
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_FALSE(dialog.Options.CaseSensitive);

    // A processor the list lacks is offered after it and kept by OK.
    dialog.Options.Processor = "16F877A";
    dialog.FormShow();
    EXPECT_EQ(dialog.CBProcessor->currentText(), "16F877A");
    dialog.OKBtn->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.Options.Processor, "16F877A");
    EXPECT_EQ(dialog.Options.Macro, 0);
    EXPECT_EQ(dialog.Options.Additional, "  /dA ");
    EXPECT_EQ(dialog.CommandLineOptions(), " /q /e+ /l- /x- /rdec /c-   /dA  /p16F877A ");

    // Shown again for a listed processor, the extra entry is gone; no processor at all selects nothing.
    dialog.Options.Processor = "16F84";
    dialog.FormShow();
    EXPECT_EQ(dialog.CBProcessor->count(), 72);
    EXPECT_EQ(dialog.CBProcessor->currentText(), "16F84");
    dialog.Options.Processor = "";
    dialog.FormShow();
    EXPECT_EQ(dialog.CBProcessor->currentIndex(), -1);
    dialog.OKBtn->click();
    EXPECT_EQ(dialog.Options.Processor, "");
    EXPECT_EQ(dialog.CommandLineOptions(), " /q /e+ /l- /x- /rdec /c-   /dA  /p ");
}

}  // namespace
