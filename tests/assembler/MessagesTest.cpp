// SPDX-License-Identifier: GPL-3.0-or-later
// The message lists' own rules: error-file lines, where a message leads, the half window, explanations only
// for MPASM projects, and the drawing of the entries.
#include "assembler/Messages.h"

#include "QtPrinters.h"
#include "assembler/Explanations.h"

#include <gtest/gtest.h>
#include <QImage>
#include <QListView>

namespace {

TEST(MessageLines, EveryLineEndMakesAnEntryAndEmptyLinesCount) {
    EXPECT_EQ(SplitMessageLines("a\r\nb\nc\rd"), (QStringList{"a", "b", "c", "d"}));
    EXPECT_EQ(SplitMessageLines("a\n\nb\n"), (QStringList{"a", "", "b"}));
    EXPECT_EQ(SplitMessageLines("\r\n"), QStringList{""});
    EXPECT_TRUE(SplitMessageLines("").isEmpty());
    // found by fuzzing: a UTF-8 sequence cut off at the end lost the whole last line
    EXPECT_EQ(SplitMessageLines("a\nError \xD1"), (QStringList{"a", QString::fromLatin1("Error \xD1")}));
    // a file name in another 8-bit set is kept byte for byte, one character each
    EXPECT_EQ(SplitMessageLines("Error[105] caf\xE9.asm 1 : x\n"),
              QStringList{QString::fromLatin1("Error[105] caf\xE9.asm 1 : x")});
    EXPECT_EQ(SplitMessageLines("Error[105] caf\xC3\xA9.asm 1 : x\n"),
              QStringList{QString::fromUtf8("Error[105] caf\xC3\xA9.asm 1 : x")});
}

TEST(MessageTarget, BareNamesLieInTheProjectFolderAndTheTextFollowsTheSeparator) {
    TMessageTarget target =
        MessageTarget("Error[113] MAIN.ASM 12 : Symbol not previously defined (COUNT)", "/w/");
    EXPECT_EQ(target.path, "/w/MAIN.ASM");
    EXPECT_EQ(target.line, 12);
    EXPECT_EQ(target.text, "Symbol not previously defined (COUNT)");

    target = MessageTarget("Message[302] /usr/share/my lib/p16f84a.inc 33 :  Register in operand", "/w/");
    EXPECT_EQ(target.path, "/usr/share/my lib/p16f84a.inc");
    EXPECT_EQ(target.line, 33);
    EXPECT_EQ(target.text, "Register in operand");

    // lines outside the format lead nowhere, and do not fail
    EXPECT_TRUE(MessageTarget("", "/w/").path.isEmpty());
    EXPECT_EQ(MessageTarget("Error[113] main.asm x : text", "/w/").line, 0);
}

TEST(MessageCaret, HalfOfTheWholeLinesThatFitLessOne) {
    EXPECT_EQ(HalfWindowLines(300, 15), 9);  // 20 lines fit: 19 / 2
    EXPECT_EQ(HalfWindowLines(29, 15), 0);   // one line fits
    EXPECT_EQ(HalfWindowLines(10, 15), 0);   // none fits: not below 0
    EXPECT_EQ(HalfWindowLines(300, 0), 0);
}

TEST(MessageExplanation, OnlyMpasmProjectsAndUpperCaseKindsExplain) {
    QString warning = "Warning[224] main.asm 9 : Use of this instruction is not recommended.";
    EXPECT_EQ(ExplanationOf(warning, 1), QString::fromUtf8(MessageExplanations(MessageKind::Warning, 224)));
    EXPECT_EQ(ExplanationOf(warning, 0), "");
    EXPECT_EQ(ExplanationOf("error[113] main.asm 9 : x", 1), "");
    EXPECT_EQ(ExplanationOf(" Error[113] main.asm 9 : x", 1), "");
    EXPECT_EQ(ExplanationOf("Message[311] main.asm 9 : x", 1), "");
}

// The list as drawn: every entry white on black, the selected one framed in green.
TEST(MessageListDrawing, SelectedEntryKeepsTheColoursAndGetsAGreenFrame) {
    TMessageModel messages;
    messages.setLines({"Error[113] main.asm 4 : first", "Warning[224] main.asm 5 : second"});
    QListView list;
    ShowMessagesIn(&list, &messages);
    StyleMessageList(&list);
    list.resize(300, 60);
    list.setCurrentIndex(messages.index(1));
    list.show();
    EXPECT_EQ(list.sizeHintForRow(0), 14);

    QImage image = list.viewport()->grab().toImage();
    QRect first = list.visualRect(messages.index(0));
    QRect second = list.visualRect(messages.index(1));
    EXPECT_EQ(first.height(), 14);
    EXPECT_EQ(image.pixelColor(first.topLeft()), QColor(Qt::black));
    EXPECT_EQ(image.pixelColor(second.topLeft()), QColor(0, 255, 0));
    EXPECT_EQ(image.pixelColor(second.bottomRight()), QColor(0, 255, 0));
    EXPECT_EQ(image.pixelColor(second.center().x(), second.top() + 1), QColor(Qt::black));
    // text, in white, begins two pixels in
    auto whiteIn = [&image](const QRect& rect) {
        int white = 0, leftmost = rect.right();
        for (int y = rect.top() + 1; y < rect.bottom(); ++y)
            for (int x = rect.left() + 1; x < rect.right(); ++x)
                if (image.pixelColor(x, y).lightness() > 200) {
                    ++white;
                    leftmost = std::min(leftmost, x);
                }
        return std::pair{white, leftmost};
    };
    auto [white, leftmost] = whiteIn(first);
    EXPECT_GT(white, 20);
    EXPECT_GE(leftmost, first.left() + 2);
    EXPECT_LE(leftmost, first.left() + 4);
}

}  // namespace
