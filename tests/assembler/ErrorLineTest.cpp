// SPDX-License-Identifier: GPL-3.0-or-later
// The error-file lines as the assembler writes them: fields, odd lines, the paths they name, explanations.
#include "assembler/ErrorLine.h"
#include "assembler/Explanations.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <set>

namespace {

TEST(ErrorLineScanner, OnlyBlanksEndATokenAndHighBytesAreText) {
    // a tab inside a token stays; control characters and blanks before a token are skipped
    TErrorLineScanner scanner("\t\x01 Error[113]\tX  caf\xc3\xa9.asm \xe9t\xe9 ");
    EXPECT_EQ(scanner.NextToken(), "Error[113]\tX");
    EXPECT_EQ(scanner.NextToken(), "caf\xc3\xa9.asm");
    EXPECT_EQ(scanner.NextToken(), "\xe9t\xe9");
    EXPECT_EQ(scanner.NextToken(), "");
    EXPECT_EQ(scanner.NextToken(), "");
}

TEST(ErrorLine, FieldsOfTheAssemblersLines) {
    TErrorLine e = ScanErrorLine("Error[113] C:\\WORK\\MAIN.ASM 12 : Symbol not previously defined (COUNT)");
    EXPECT_EQ(e.kind, MessageKind::Error);
    EXPECT_EQ(e.number, 113);
    EXPECT_EQ(e.file, "C:\\WORK\\MAIN.ASM");
    EXPECT_EQ(e.line, 12);
    EXPECT_EQ(e.text, "Symbol not previously defined (COUNT)");

    // gpasm pads the kind token with blanks; the text keeps its own " : "
    e = ScanErrorLine("Warning[224] main.asm 10 : Use of this instruction is not recommended: \"tris\" : x");
    EXPECT_EQ(e.kind, MessageKind::Warning);
    EXPECT_EQ(e.file, "main.asm");
    EXPECT_EQ(e.line, 10);
    EXPECT_EQ(e.text, "Use of this instruction is not recommended: \"tris\" : x");
    e = ScanErrorLine("Error[101]   main.asm 12 :   \t ERROR: (custom)");
    EXPECT_EQ(e.file, "main.asm");
    EXPECT_EQ(e.text, "ERROR: (custom)");
}

TEST(ErrorLine, FullPathsWithBlanksAndNonAsciiNamesStayWhole) {
    TErrorLine e = ScanErrorLine(
        "Message[301] C:\\PROGRAM FILES (X86)\\MPASM SUITE\\P16F877.INC 33 : MESSG: \"Processor-header "
        "file\"");
    EXPECT_EQ(e.kind, MessageKind::Message);
    EXPECT_EQ(e.number, 301);
    EXPECT_EQ(e.file, "C:\\PROGRAM FILES (X86)\\MPASM SUITE\\P16F877.INC");
    EXPECT_EQ(e.line, 33);
    e = ScanErrorLine(
        "Error[113]   /home/u/my proj/\xc3\xa9t\xc3\xa9 1.asm 7 : Symbol not previously defined");
    EXPECT_EQ(e.file, "/home/u/my proj/\xc3\xa9t\xc3\xa9 1.asm");
    EXPECT_EQ(e.line, 7);
}

TEST(ErrorLine, LongLinesAreKeptWhole) {
    std::string symbol(600, 'A');
    TErrorLine e = ScanErrorLine("Error[113] main.asm 4 : Symbol not previously defined (" + symbol + ")");
    EXPECT_EQ(e.text, "Symbol not previously defined (" + symbol + ")");
    std::string folder = "/" + std::string(300, 'd') + "/";
    EXPECT_EQ(ScanErrorLine("Error[105] " + folder + "x.inc 1 : Cannot open file").file, folder + "x.inc");
}

TEST(ErrorLine, LinesOutsideTheFormatGiveWhatCanBeRead) {
    TErrorLine e = ScanErrorLine("");
    EXPECT_EQ(e.kind, MessageKind::None);
    EXPECT_EQ(e.number, -1);
    EXPECT_EQ(e.file, "");
    EXPECT_EQ(e.line, 0);
    // no " : ": one token per field, as the assembler's own format has it
    e = ScanErrorLine("Error[113] main.asm twelve - text after");
    EXPECT_EQ(e.file, "main.asm");
    EXPECT_EQ(e.line, 0);
    EXPECT_EQ(e.text, "text after");
    e = ScanErrorLine("Error[113] main.asm 99999999999 : overflowing line number");
    EXPECT_EQ(e.line, 0);
    EXPECT_EQ(ScanErrorLine("Error[113]").file, "");
}

TEST(ErrorLine, NumberIsReadWholeUpToTheBracket) {
    EXPECT_EQ(NumberOfLine("Error[1101] main.asm 3 : gpasm's own number"), 1101);
    EXPECT_EQ(NumberOfLine("Warning[224] main.asm 3 : x"), 224);
    EXPECT_EQ(NumberOfLine("Message[31x] main.asm 3 : x"), -1);
    EXPECT_EQ(NumberOfLine("Error[] main.asm 3 : x"), -1);
    EXPECT_EQ(NumberOfLine("Error[113 main.asm"), -1);
    EXPECT_EQ(NumberOfLine("Err"), -1);
    EXPECT_EQ(NumberOfLine("error[113] main.asm 3 : x"), -1);
    EXPECT_EQ(NumberOfLine(" Error[113] main.asm 3 : x"), -1);
}

TEST(ErrorLine, PathsOfMessagesLieInTheProjectFolderOrWhereWineMapsThem) {
    TempDir wine;
    std::filesystem::create_directories(wine / "drive_c/LIB");
    std::filesystem::create_directories(wine / "dosdevices");
    std::filesystem::create_directory_symlink("../drive_c", wine / "dosdevices/c:");
    std::string cDrive = std::filesystem::canonical(wine / "drive_c").string();

    EXPECT_EQ(MessageFilePath("MAIN.ASM", "/home/u/p/", wine.path()), "/home/u/p/MAIN.ASM");
    EXPECT_EQ(MessageFilePath("inc/x.inc", "/home/u/p/", wine.path()), "/home/u/p/inc/x.inc");
    EXPECT_EQ(MessageFilePath("/usr/share/gputils/header/p16f84.inc", "/p/", wine.path()),
              "/usr/share/gputils/header/p16f84.inc");
    EXPECT_EQ(MessageFilePath("Z:\\home\\u\\p\\MAIN.ASM", "/p/", wine.path()), "/home/u/p/MAIN.ASM");
    EXPECT_EQ(MessageFilePath("c:\\LIB\\X.INC", "/p/", wine.path()), cDrive + "/LIB/X.INC");
    EXPECT_EQ(MessageFilePath("LIB\\X.INC", "/p/", wine.path()), "/p/LIB/X.INC");
    // a drive wine does not know cannot be found anyway; it is not taken as lying in the project
    EXPECT_EQ(MessageFilePath("Q:\\X.INC", "/p/", wine.path()), "Q:/X.INC");
}

TEST(ErrorFile, ExtensionIsReplacedFromTheLastDotOfTheName) {
    EXPECT_EQ(ErrorFilePath("/home/u/work/", "main.asm"), "/home/u/work/main.err");
    EXPECT_EQ(ErrorFilePath("/home/u/work/", "prog.a"), "/home/u/work/prog.err");
    EXPECT_EQ(ErrorFilePath("/home/u/work/", "my.prog.asm"), "/home/u/work/my.prog.err");
    EXPECT_EQ(ErrorFilePath("/home/u/v1.2/", "main"), "/home/u/v1.2/main.err");
    // a full path is not joined to the project folder
    EXPECT_EQ(ErrorFilePath("/home/u/work/", "/src/lib/main.asm"), "/src/lib/main.err");
    EXPECT_EQ(ResolveProjectFile("/home/u/work/", "/src/lib/main.asm"), "/src/lib/main.asm");
    EXPECT_EQ(ResolveProjectFile("/home/my work/", "main.asm"), "/home/my work/main.asm");
}

TEST(Explanations, EveryKeyOfEachKindHasOneToFourSentences) {
    std::set<std::string_view> texts;
    int count = 0;
    auto sweep = [&](MessageKind kind, int first, int last) {
        for (int n = first; n <= last; ++n) {
            std::string_view text = MessageExplanations(kind, n);
            if (text.empty())
                continue;
            ++count;
            texts.insert(text);
            int sentences = 0;
            for (size_t i = 0; i < text.size(); ++i)
                if (text[i] == '.' && (i + 1 == text.size() || text[i + 1] == ' '))
                    ++sentences;
            EXPECT_TRUE(sentences >= 1 && sentences <= 4) << n << ": " << text;
            EXPECT_TRUE(text.ends_with('.')) << n;
        }
    };
    sweep(MessageKind::Error, 0, 2000);
    sweep(MessageKind::Warning, 0, 2000);
    sweep(MessageKind::Message, 0, 2000);
    EXPECT_EQ(count, kExplanationCount);
    EXPECT_EQ(texts.size(), size_t(kExplanationCount));  // no text stands for two keys
    for (int n = 101; n <= 157; ++n)
        EXPECT_FALSE(MessageExplanations(MessageKind::Error, n).empty()) << n;
    for (int n = 201; n <= 226; ++n)
        EXPECT_FALSE(MessageExplanations(MessageKind::Warning, n).empty()) << n;
    for (int n = 301; n <= 314; ++n)
        EXPECT_EQ(MessageExplanations(MessageKind::Message, n).empty(), n == 311);
}

TEST(Explanations, QuotedTextsStandAsTheyAre) {
    EXPECT_EQ(ExplainMessage("Error[101] a.asm 1 : x"), "User error, invoked with the ERROR directive.");
    EXPECT_EQ(ExplainMessage("Error[118] a.asm 1 : x"), "Code was previously generated for this address.");
    EXPECT_EQ(ExplainMessage("Error[122] a.asm 1 : x"), "Token is not a valid opcode.");
    EXPECT_EQ(ExplainMessage("Error[139] a.asm 1 : x"), "A WHILE-ENDW can contain at most 100 lines.");
    EXPECT_EQ(ExplainMessage("Warning[208] a.asm 1 : x"), "Maximum label length is 32 characters.");
    EXPECT_EQ(ExplainMessage("Warning[218] a.asm 1 : x"), "Bad radix specification.");
    EXPECT_EQ(ExplainMessage("Message[301] a.asm 1 : x"), "User message, invoked with the MESSG directive.");
    EXPECT_EQ(ExplainMessage("Message[306] a.asm 1 : x"), "Generated code is crossing a page boundary.");
}

TEST(Explanations, CatchAllsPrecedenceAndLinesWithoutAText) {
    for (auto [kind, n] :
         {std::pair{MessageKind::Error, 157}, {MessageKind::Warning, 226}, {MessageKind::Message, 314}})
        EXPECT_NE(MessageExplanations(kind, n).find("field application engineer"), std::string_view::npos);
    for (auto [kind, n] : {std::pair{MessageKind::Warning, 215},
                           {MessageKind::Warning, 216},
                           {MessageKind::Warning, 217},
                           {MessageKind::Message, 308},
                           {MessageKind::Message, 309}})
        EXPECT_NE(MessageExplanations(kind, n).find("command line takes precedence"), std::string_view::npos);
    EXPECT_EQ(ExplainMessage("Warning[224] main.asm 10 : x"), MessageExplanations(MessageKind::Warning, 224));
    EXPECT_EQ(ExplainMessage("Message[311] a.asm 1 : x"), "");
    EXPECT_EQ(ExplainMessage("Error[158] a.asm 1 : x"), "");
    EXPECT_EQ(ExplainMessage("Error[1101] a.asm 1 : x"), "");  // not 110
    EXPECT_EQ(ExplainMessage("error[113] a.asm 1 : x"), "");
    EXPECT_EQ(ExplainMessage(" Error[113] a.asm 1 : x"), "");
    EXPECT_EQ(ExplainMessage(""), "");
}

}  // namespace
