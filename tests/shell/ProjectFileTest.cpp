// SPDX-License-Identifier: GPL-3.0-or-later
// The project file as the project commands read and write it: path parts, settings, file entries.
#include "shell/Project.h"
#include "debugger/Breakpoints.h"

#include "TempDir.h"
#include "platform/ProfileFile.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace {

ProfileFile FileWith(const TempDir& dir, const std::string& text) {
    std::ofstream(dir / "p.pro", std::ios::binary) << text;
    return ProfileFile(dir / "p.pro");
}

TEST(ProjectPath, SplitsAtTheLastSlashAndComparesTheExtensionInUpperCase) {
    SetProjectPath("/home/u/work/blink.pro");
    EXPECT_EQ(ProjectDir, "/home/u/work/");
    EXPECT_EQ(ProjectFileName, "blink.pro");
    SetProjectPath("bare.pro");
    EXPECT_EQ(ProjectDir, "");
    EXPECT_EQ(ProjectFileName, "bare.pro");
    EXPECT_EQ(UpperExtension("/a/x.Pro"), ".PRO");
    EXPECT_EQ(UpperExtension("/a/x.tar.pro"), ".PRO");
    EXPECT_EQ(UpperExtension("/a.pro/x"), "");
    EXPECT_EQ(UpperExtension("/a/x.ini"), ".INI");
}

TEST(ProjectSettings, OnlyTheExactFormatNameMakesAnMpasmProjectWithItsOptions) {
    TempDir dir;
    TProjectSettings mpasm =
        ReadProjectSettings(FileWith(dir, "[PROJECT]\nFormat=MPASM\n[MPASM]\nMacro=2\n"));
    EXPECT_EQ(mpasm.format, 1);
    EXPECT_EQ(mpasm.options.Macro, 2);
    EXPECT_TRUE(mpasm.options.ListFile);
    EXPECT_EQ(mpasm.options.Processor, "16C61");

    TProjectSettings lower =
        ReadProjectSettings(FileWith(dir, "[PROJECT]\nFormat=mpasm\n[MPASM]\nMacro=2\n"));
    EXPECT_EQ(lower.format, 0);
    EXPECT_EQ(lower.options, TMpasmOptions{});
    EXPECT_EQ(ReadProjectSettings(FileWith(dir, "")).format, 0);
}

TEST(ProjectFiles, MissingEntriesReadAsEmptyLinesAndAnAbsurdCountIsBounded) {
    TempDir dir;
    EXPECT_TRUE(ReadProjectFiles(FileWith(dir, "[PROJECT]\nFormat=MPASM\n")).files.empty());
    std::vector<std::string> gap = {"main.asm", "", "/lib/x.inc"};
    EXPECT_EQ(ReadProjectFiles(FileWith(dir, "[FILES]\nCount=3\nFile0=main.asm\nFile2=/lib/x.inc\n")).files,
              gap);
    EXPECT_TRUE(ReadProjectFiles(FileWith(dir, "[FILES]\nCount=-4\nFile0=a\n")).files.empty());
    TProjectFiles absurd = ReadProjectFiles(FileWith(dir, "[FILES]\nCount=2000000000\nFile0=a.asm\n"));
    EXPECT_EQ(absurd.listedCount, 2000000000);
    EXPECT_EQ(absurd.files.size(), size_t(kMaxProjectFiles));
    EXPECT_EQ(absurd.files[0], "a.asm");
    EXPECT_TRUE(absurd.beyond.empty());  // the file holds nothing past the shown entries
}

TEST(ProjectFiles, WritingReplacesTheWholeSectionAndKeepsEveryEntry) {
    TempDir dir;
    std::vector<std::string> many;
    for (int i = 0; i < 300; ++i)
        many.push_back("f" + std::to_string(i) + ".asm");  // past 255 entries
    ProfileFile file = FileWith(dir, "[FILES]\nCount=9\nFile8=old\n[PROJECT]\nFormat=MPASM\n");
    ASSERT_TRUE(WriteProjectFiles(file, many));
    EXPECT_EQ(ReadProjectFiles(ProfileFile(dir / "p.pro")).files, many);

    ASSERT_TRUE(WriteProjectFiles(file, {}));
    EXPECT_EQ(ReadAll(dir / "p.pro"), "[PROJECT]\nFormat=MPASM\n[FILES]\nCount=0\n");

    // an entry that would break the file is refused and nothing is written
    EXPECT_FALSE(WriteProjectFiles(file, {"a.asm", "two\nlines.asm"}));
    EXPECT_EQ(ReadAll(dir / "p.pro"), "[PROJECT]\nFormat=MPASM\n[FILES]\nCount=0\n");
}

TEST(ProjectBreakpoints, KeptInTheirOwnSectionThatTheOtherReadersIgnore) {
    TempDir dir;
    ProfileFile file = FileWith(dir, "[PROJECT]\nFormat=MPASM\n[FILES]\nCount=1\nFile0=main.asm\n");
    ASSERT_TRUE(WriteProjectBreakpoints(file, {{"main.asm", 12}, {"/lib/a,b.inc", 3}}));
    // [FILES] stays the last section, as readers of the format expect
    EXPECT_EQ(ReadAll(dir / "p.pro"),
              "[PROJECT]\nFormat=MPASM\n[BREAKPOINTS]\nCount=2\nBreakpoint0=/lib/a,b.inc,3\n"
              "Breakpoint1=main.asm,12\n[FILES]\nCount=1\nFile0=main.asm\n");
    ProfileFile again(dir / "p.pro");
    TBreakpoints expected = {{"main.asm", 12}, {"/lib/a,b.inc", 3}};
    EXPECT_EQ(ReadProjectBreakpoints(again), expected);
    EXPECT_EQ(ReadProjectFiles(again).files, std::vector<std::string>{"main.asm"});
    EXPECT_EQ(ReadProjectSettings(again).format, 1);
    // rewriting the file entries keeps the breakpoints
    ASSERT_TRUE(WriteProjectFiles(again, {"main.asm", "sub.inc"}));
    EXPECT_EQ(ReadProjectBreakpoints(ProfileFile(dir / "p.pro")), expected);
    // none left: the section goes
    ASSERT_TRUE(WriteProjectBreakpoints(again, {}));
    EXPECT_EQ(ReadAll(dir / "p.pro").find("BREAKPOINTS"), std::string::npos);
}

TEST(ProjectBreakpoints, ConditionsAndRegisterBreakpointsAreKeptBesideTheLines) {
    TempDir dir;
    ProfileFile file = FileWith(dir, "[PROJECT]\nFormat=MPASM\n[FILES]\nCount=0\n");
    TBreakpointSettings options = {{{"main.asm", 12}, {3, true}},
                                   {{"sub.inc", 4}, {0, false}},
                                   {{"gone.asm", 1}, {5, false}}};  // no such breakpoint: not written
    ASSERT_TRUE(WriteProjectBreakpoints(file, {{"main.asm", 12}, {"sub.inc", 4}, {"sub.inc", 9}}, options,
                                        {"write,Count", "equals,PORTB,0x05,off"}));
    EXPECT_EQ(ReadAll(dir / "p.pro"),
              "[PROJECT]\nFormat=MPASM\n[BREAKPOINTS]\nCount=3\nBreakpoint0=main.asm,12\nHits0=3\n"
              "Breakpoint1=sub.inc,4\nOff1=1\nBreakpoint2=sub.inc,9\nRegisterCount=2\nRegister0=write,Count\n"
              "Register1=equals,PORTB,0x05,off\n[FILES]\nCount=0\n");
    ProfileFile again(dir / "p.pro");
    // a reader of the lines alone reads every one of them, switched off or not
    EXPECT_EQ(ReadProjectBreakpoints(again), (TBreakpoints{{"main.asm", 12}, {"sub.inc", 4}, {"sub.inc", 9}}));
    options.erase({"gone.asm", 1});
    EXPECT_EQ(ReadProjectBreakpointOptions(again), options);
    EXPECT_EQ(ReadProjectRegisterBreakpoints(again), (std::vector<std::string>{"write,Count", "equals,PORTB,0x05,off"}));
    // a damaged count of hits is held to its bounds
    ProfileFile damaged = FileWith(dir, "[BREAKPOINTS]\nCount=1\nBreakpoint0=a.asm,2\nHits0=-7\n");
    EXPECT_TRUE(ReadProjectBreakpointOptions(damaged).empty());
}

TEST(ProjectBreakpoints, ARegisterBreakpointsEntryIsReadBackAndADamagedOneRefused) {
    using Kind = TRegisterBreakpoint::Kind;
    for (const TRegisterBreakpoint& breakpoint : {TRegisterBreakpoint{Kind::Write, "Count", 0, true},
                                                  TRegisterBreakpoint{Kind::Read, "0x0C", 0, false},
                                                  TRegisterBreakpoint{Kind::Equals, "PORTB", 0xA5, true},
                                                  TRegisterBreakpoint{Kind::Write, "off", 0, false},
                                                  TRegisterBreakpoint{Kind::Equals, "off", 1, true}})
        EXPECT_EQ(RegisterBreakpointFromText(RegisterBreakpointText(breakpoint)), breakpoint);
    for (const char* damaged : {"", "write", "jump,Count", "write,Count,5", "equals,Count", "equals,Count,300",
                                "read,a b", "write,x\nquit", "equals,PORTB,zz", "write,off,off,off", "equals,off,off"})
        EXPECT_FALSE(RegisterBreakpointFromText(damaged)) << damaged;
}

TEST(ProjectBreakpoints, AFileWithThemAfterTheFilesIsPutInOrderAtTheNextWrite) {
    TempDir dir;
    ProfileFile file = FileWith(dir,
                                "[PROJECT]\nFormat=MPASM\n\n[FILES]\nCount=1\nFile0=main.asm\n\n"
                                "[BREAKPOINTS]\nCount=1\nBreakpoint0=main.asm,4\n");
    EXPECT_EQ(ReadProjectBreakpoints(file), (TBreakpoints{{"main.asm", 4}}));
    ASSERT_TRUE(WriteProjectBreakpoints(file, {{"main.asm", 5}}));
    EXPECT_EQ(ReadAll(dir / "p.pro"),
              "[PROJECT]\nFormat=MPASM\n\n[BREAKPOINTS]\nCount=1\nBreakpoint0=main.asm,5\n\n"
              "[FILES]\nCount=1\nFile0=main.asm\n\n");
}

TEST(ProjectSimulate, TheClockAndStandInAreKeptBeforeTheFilesAndAbsurdValuesReadAsTheDefault) {
    TempDir dir;
    ProfileFile file = FileWith(dir, "[PROJECT]\nFormat=MPASM\n[FILES]\nCount=1\nFile0=main.asm\n");
    EXPECT_EQ(ReadProjectSimulate(file).clockHz, 4e6);  // the examples' crystal when the file names none
    ASSERT_TRUE(WriteProjectSimulate(file, {32768, "pic16f84"}));
    EXPECT_EQ(ReadAll(dir / "p.pro"), "[PROJECT]\nFormat=MPASM\n[SIMULATE]\nClock=32768\nStand-in=pic16f84\n"
                                      "[FILES]\nCount=1\nFile0=main.asm\n");
    EXPECT_EQ(ReadProjectSimulate(ProfileFile(dir / "p.pro")), (TSimulateOptions{32768, "pic16f84"}));
    for (const char* clock : {"0", "-4", "1e12", "fast", "4000000x"})
        EXPECT_EQ(ReadProjectSimulate(FileWith(dir, std::string("[SIMULATE]\nClock=") + clock + "\n")).clockHz, 4e6)
            << clock;
    // a stand-in is one gpsim part name: nothing that would reach gpsim as a second command
    EXPECT_EQ(ReadProjectSimulate(FileWith(dir, "[SIMULATE]\nStand-in=pic16f84; quit\n")).standIn, "");
}

TEST(ProjectWatches, AreKeptInOrderBeforeTheFilesAndAnEmptyListLeavesNoSection) {
    TempDir dir;
    ProfileFile file = FileWith(dir, "[PROJECT]\nFormat=MPASM\n[FILES]\nCount=1\nFile0=main.asm\n");
    std::vector<TWatchEntry> watches{{"Count", "bin"}, {"PORTB", "hex"}, {"0x21", "char"}};
    ASSERT_TRUE(WriteProjectWatches(file, watches));
    EXPECT_EQ(ReadAll(dir / "p.pro"), "[PROJECT]\nFormat=MPASM\n[WATCHES]\nCount=3\nWatch0=Count,bin\n"
                                      "Watch1=PORTB,hex\nWatch2=0x21,char\n[FILES]\nCount=1\nFile0=main.asm\n");
    EXPECT_EQ(ReadProjectWatches(ProfileFile(dir / "p.pro")), watches);
    ASSERT_TRUE(WriteProjectWatches(file, {}));
    EXPECT_EQ(ReadAll(dir / "p.pro"), "[PROJECT]\nFormat=MPASM\n[FILES]\nCount=1\nFile0=main.asm\n");
    // a damaged entry is passed over; a count past any real list is bounded
    EXPECT_EQ(ReadProjectWatches(FileWith(dir, "[WATCHES]\nCount=99999999\nWatch0=,hex\nWatch1=Temp\n")),
              (std::vector<TWatchEntry>{{"Temp", "hex"}}));
}

TEST(ProjectBreakpoints, DamagedEntriesAreSkipped) {
    TempDir dir;
    TBreakpoints read = ReadProjectBreakpoints(
        FileWith(dir,
                 "[BREAKPOINTS]\nCount=5\nBreakpoint0=a.asm,0\nBreakpoint1=a.asm\nBreakpoint2=,4\n"
                 "Breakpoint3=a.asm,x\nBreakpoint4=b.asm,7\n"));
    EXPECT_EQ(read, (TBreakpoints{{"b.asm", 7}}));
}

}  // namespace
