// SPDX-License-Identifier: GPL-3.0-or-later
// The assembler option set: its switches, the processor list and its section of the project file.
#include "assembler/MpasmOptions.h"

#include "TempDir.h"
#include "platform/ProfileFile.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace {

TEST(CommandLineOptions, ANewOptionSetGivesTheDefaultSwitches) {
    TMpasmOptions options;
    options.Radix = 3;
    ResetOptions(options);
    EXPECT_EQ(CommandLineOptions(options), " /q /e+ /l+ /x- /c-  /p16C61 ");
}

TEST(CommandLineOptions, EveryFieldAddsItsSwitchInOrder) {
    TMpasmOptions options;
    options.CrossFile = true;
    options.Radix = 1;         // Hexadecimal
    options.WarningLevel = 3;  // Errors Only
    options.HexOutput = 3;     // INHX32
    options.Macro = 2;         // Off
    options.CaseSensitive = true;
    options.Processor = "16F84";
    options.Additional = "/dDEBUG";
    EXPECT_EQ(CommandLineOptions(options), " /q /e+ /l+ /x+ /rhex /w2 /aINHX32 /m- /c+ /dDEBUG /p16F84 ");

    options.ListFile = false;
    options.Radix = options.WarningLevel = options.HexOutput = options.Macro = 0;  // "Default" everywhere
    options.Additional = "  /dA  ";
    EXPECT_EQ(CommandLineOptions(options), " /q /e+ /l- /x+ /c+   /dA   /p16F84 ");
}

TEST(CommandLineOptions, IndexesOutsideTheItemsAndAnEmptyProcessorAddNoSwitchOrName) {
    TMpasmOptions options;
    options.Radix = 4;
    options.WarningLevel = -1;
    options.HexOutput = 99;
    options.Macro = 3;
    options.Processor = "";
    EXPECT_EQ(CommandLineOptions(options), " /q /e+ /l+ /x- /c-  /p ");
    options.Radix = 2;
    options.WarningLevel = 1;
    options.HexOutput = 1;
    options.Macro = 1;
    EXPECT_EQ(CommandLineOptions(options), " /q /e+ /l+ /x- /rdec /w0 /aINHX8M /m+ /c-  /p ");
}

TEST(Processors, SeventyTwoInOrderFoundWithoutRegardToCase) {
    EXPECT_EQ(kProcessors.size(), 72u);
    EXPECT_EQ(kProcessors[0], "12C671");
    EXPECT_EQ(kProcessors[11], "16C61");  // the default is the twelfth
    EXPECT_EQ(kProcessors[71], "16C924");
    EXPECT_EQ(kProcessors[FindProcessor("16f84")], "16F84");
    EXPECT_EQ(FindProcessor("16C61"), 11);
    EXPECT_EQ(FindProcessor("16F8"), -1);
    EXPECT_EQ(FindProcessor(""), -1);
}

TEST(MpasmSection, WrittenInItsOrderAndReadBackWithDefaultsForMissingKeys) {
    TempDir dir;
    TMpasmOptions options;
    options.CrossFile = true;
    options.Macro = 1;
    options.Processor = "16F877";
    options.Additional = " /dX ";
    ProfileFile file(dir / "p.pro");
    ASSERT_TRUE(WriteMpasmOptions(file, options));
    std::ifstream in(dir / "p.pro");
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_EQ(text.str(),
              "[MPASM]\nList File=1\nCross File=1\nRadix=0\nWarning Level=0\nHex Output=0\nMacro=1\n"
              "Case Sensitive=0\nProcessor=16F877\nAdditional=\" /dX \"\n");
    EXPECT_EQ(ReadMpasmOptions(ProfileFile(dir / "p.pro")), options);

    std::ofstream(dir / "q.pro") << "[mpasm]\nradix=2\nList File=x\n";
    TMpasmOptions read = ReadMpasmOptions(ProfileFile(dir / "q.pro"));
    EXPECT_EQ(read.Radix, 2);
    EXPECT_TRUE(read.ListFile);
    EXPECT_FALSE(read.CrossFile);
    EXPECT_FALSE(read.CaseSensitive);
    EXPECT_EQ(read.Processor, "16C61");
}

}  // namespace
