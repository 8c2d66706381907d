// SPDX-License-Identifier: GPL-3.0-or-later
// The profile file as the project file relies on it: lookups, in-place edits, damaged files, atomic writes.
#include "platform/ProfileFile.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include <sys/stat.h>

namespace {

TEST(ProfileFile, SectionsAndKeysMatchWithoutCaseAndTheFirstOfDuplicatesWins) {
    TempDir dir;
    WriteAll(dir / "p.pro",
             "; a comment\n[Project]\nformat=MPASM\nFORMAT=other\n[files]\n  Count = 2\nFile0=  a.asm  \n"
             "[FILES]\nCount=9\n");
    ProfileFile file(dir / "p.pro");
    EXPECT_TRUE(file.readable());
    EXPECT_EQ(file.ReadString("PROJECT", "Format", ""), "MPASM");
    EXPECT_EQ(file.ReadInteger("FILES", "count", 0), 2);
    EXPECT_EQ(file.ReadString("FILES", "File0", ""), "a.asm");  // read without the blanks around it
    EXPECT_EQ(file.ReadString("FILES", "File1", "none"), "none");
    EXPECT_EQ(file.ReadString("MPASM", "Processor", "16C61"), "16C61");
}

TEST(ProfileFile, IntegersAndBooleansReadAsDecimalOrTheDefault) {
    TempDir dir;
    WriteAll(dir / "v.ini",
             "[S]\nplain=12\nblanks= -7 \nword=x12\nempty=\nhuge=99999999999\nhex=0x10\n"
             "two=2\nzero=0\nminus=-1\nyes=yes\n");
    ProfileFile file(dir / "v.ini");
    EXPECT_EQ(file.ReadInteger("S", "plain", 5), 12);
    EXPECT_EQ(file.ReadInteger("S", "blanks", 5), -7);
    for (const char* key : {"word", "empty", "huge", "hex", "missing"})
        EXPECT_EQ(file.ReadInteger("S", key, 5), 5);
    EXPECT_TRUE(file.ReadBool("S", "two", false));
    EXPECT_TRUE(file.ReadBool("S", "minus", false));
    EXPECT_FALSE(file.ReadBool("S", "zero", true));
    EXPECT_TRUE(file.ReadBool("S", "yes", true));
    EXPECT_FALSE(file.ReadBool("S", "yes", false));
    EXPECT_TRUE(file.ReadBool("S", "missing", true));
}

TEST(ProfileFile, WritesReplaceInPlaceAndAppendKeysToTheirSectionAndSectionsToTheFile) {
    TempDir dir;
    WriteAll(dir / "p.pro", "; kept\n[A]\nk=1\nother line\n\n[B]\nx=1\n");
    ProfileFile file(dir / "p.pro");
    EXPECT_TRUE(file.WriteString("a", "K", "2"));
    EXPECT_TRUE(file.WriteInteger("A", "New", 3));
    EXPECT_TRUE(file.WriteBool("C", "Flag", true));
    EXPECT_EQ(ReadAll(dir / "p.pro"), "; kept\n[A]\nK=2\nother line\nNew=3\n\n[B]\nx=1\n[C]\nFlag=1\n");
    EXPECT_TRUE(file.EraseSection("b"));
    EXPECT_EQ(ReadAll(dir / "p.pro"), "; kept\n[A]\nK=2\nother line\nNew=3\n\n[C]\nFlag=1\n");
    EXPECT_EQ(ProfileFile(dir / "p.pro").ReadInteger("A", "new", 0), 3);
}

TEST(ProfileFile, ErasingASectionRemovesEveryCopyOfIt) {
    TempDir dir;
    WriteAll(dir / "p.pro", "[FILES]\nCount=1\n[MPASM]\nMacro=1\n[files]\nCount=7\n");
    ProfileFile file(dir / "p.pro");
    file.EraseSection("FILES");
    EXPECT_EQ(file.ReadInteger("FILES", "Count", 0), 0);
    file.WriteInteger("FILES", "Count", 2);
    EXPECT_EQ(ReadAll(dir / "p.pro"), "[MPASM]\nMacro=1\n[FILES]\nCount=2\n");
}

TEST(ProfileFile, ValuesReadWithoutTheirBlanksAndWrittenAsGiven) {
    TempDir dir;
    WriteAll(dir / "p.pro", "[PROJECT]\nFormat = MPASM \n[FILES]\nCount= 1\nFile0 =\tmain.asm\t\n");
    ProfileFile file(dir / "p.pro");
    EXPECT_EQ(file.ReadString("PROJECT", "Format", ""), "MPASM");
    EXPECT_EQ(file.ReadString("FILES", "File0", ""), "main.asm");
    EXPECT_EQ(file.ReadInteger("FILES", "Count", 0), 1);
    // what we write reads back exactly: blanks at its edges are kept inside quotation marks
    ASSERT_TRUE(file.WriteString("MPASM", "Additional", " /dX "));
    ASSERT_TRUE(file.WriteString("MPASM", "Quoted", "\"as is\""));
    ASSERT_TRUE(file.WriteString("MPASM", "Plain", "/dA=1 /dB"));
    ProfileFile again(dir / "p.pro");
    EXPECT_EQ(again.ReadString("MPASM", "Additional", ""), " /dX ");
    EXPECT_EQ(again.ReadString("MPASM", "Quoted", ""), "\"as is\"");
    EXPECT_NE(ReadAll(dir / "p.pro").find("Plain=/dA=1 /dB\n"), std::string::npos);
}

TEST(ProfileFile, NamesWithBlanksAroundThemAreTheNamesWithout) {
    // found by fuzzing: a section written as "PR " could not be read back
    TempDir dir;
    ProfileFile file(dir / "p.pro");
    ASSERT_TRUE(file.WriteString(" PR ", " key ", "v"));
    EXPECT_EQ(ProfileFile(dir / "p.pro").ReadString("PR", "key", ""), "v");
    EXPECT_EQ(ProfileFile(dir / "p.pro").ReadString(" PR ", "key\t", ""), "v");
    EXPECT_EQ(ReadAll(dir / "p.pro"), "[PR]\nkey=v\n");
}

TEST(ProfileFile, ARefusedBatchLeavesTheReaderWhole) {
    TempDir dir;
    WriteAll(dir / "p.pro", "[A]\nx=1\n");
    ProfileFile file(dir / "p.pro");
    file.beginBatch();
    file.WriteString("NEW", "k", "v");         // a section that only the batch adds
    file.WriteString("A", "y", "two\nlines");  // refused: the batch fails
    EXPECT_FALSE(file.commitBatch());
    EXPECT_EQ(file.ReadString("NEW", "k", "none"), "none");
    EXPECT_EQ(file.ReadString("A", "x", ""), "1");
    EXPECT_TRUE(file.WriteString("NEW", "k", "again"));
    EXPECT_EQ(ProfileFile(dir / "p.pro").ReadString("NEW", "k", ""), "again");
}

TEST(ProfileFile, DamagedFilesOpenWithDefaultsAndKeepTheirLineEnds) {
    TempDir dir;
    WriteAll(dir / "empty.pro", "");
    EXPECT_EQ(ProfileFile(dir / "empty.pro").ReadString("PROJECT", "Format", "d"), "d");
    std::string binary;
    for (int i = 0; i < 4096; ++i)
        binary += char((i * 7919) & 0xFF);
    WriteAll(dir / "binary.pro", binary);
    ProfileFile damaged(dir / "binary.pro");
    EXPECT_EQ(damaged.ReadInteger("FILES", "Count", 0), 0);
    EXPECT_EQ(ProfileFile(dir / "missing.pro").ReadString("PROJECT", "Format", "d"), "d");

    std::string large(4 << 20, 'x');
    WriteAll(dir / "large.pro", "[S]\nbig=" + large + "\nCount=99999999999999999999");
    ProfileFile big(dir / "large.pro");
    EXPECT_EQ(big.ReadString("S", "big", "").size(), large.size());
    EXPECT_EQ(big.ReadInteger("S", "Count", 0), 0);

    // a file of absurd size, a FIFO and a folder are refused, never read without end, never written
    WriteAll(dir / "huge.pro", "[S]\nbig=" + std::string(kMaxProfileFileBytes, 'x') + "\n");
    ASSERT_EQ(mkfifo((dir / "fifo.pro").c_str(), 0600), 0);
    std::filesystem::create_directory(dir / "folder.pro");
    for (const char* name : {"huge.pro", "fifo.pro", "folder.pro"}) {
        ProfileFile refused(dir / name);
        EXPECT_FALSE(refused.readable()) << name;
        EXPECT_NE(refused.error().find(name), std::string::npos) << refused.error();
        EXPECT_FALSE(refused.WriteString("S", "a", "1")) << name;
    }
    EXPECT_EQ(std::filesystem::file_size(dir / "huge.pro"), kMaxProfileFileBytes + 9);  // unchanged

    WriteAll(dir / "crlf.pro", "[S]\r\na=1\r\n");
    ProfileFile crlf(dir / "crlf.pro");
    EXPECT_EQ(crlf.ReadString("S", "a", ""), "1");
    crlf.WriteString("S", "b", "2");
    EXPECT_EQ(ReadAll(dir / "crlf.pro"), "[S]\r\na=1\r\nb=2\r\n");
}

TEST(ProfileFile, AFailedWriteLeavesTheFileAsItWas) {
    TempDir dir;
    WriteAll(dir / "p.pro", "[S]\na=1\n");
    ProfileFile file(dir / "p.pro");
    EXPECT_FALSE(file.WriteString("S", "a", "two\nlines"));
    EXPECT_NE(file.error().find("line break"), std::string::npos);
    EXPECT_EQ(ReadAll(dir / "p.pro"), "[S]\na=1\n");

    std::filesystem::create_directory(dir / "locked");
    WriteAll(dir / "locked/p.pro", "[S]\na=1\n");
    ProfileFile locked(dir / "locked/p.pro");
    chmod((dir / "locked").c_str(), 0500);
    bool wrote = locked.WriteString("S", "a", "2");
    chmod((dir / "locked").c_str(), 0700);
    if (geteuid() != 0) {
        EXPECT_FALSE(wrote);
        EXPECT_NE(locked.error().find("Cannot write"), std::string::npos);
        EXPECT_EQ(ReadAll(dir / "locked/p.pro"), "[S]\na=1\n");
    }

    // a file that cannot be read is never overwritten
    std::filesystem::create_directory(dir / "folder.pro");
    ProfileFile folder(dir / "folder.pro");
    EXPECT_FALSE(folder.readable());
    EXPECT_FALSE(folder.WriteString("S", "a", "1"));
    EXPECT_TRUE(std::filesystem::is_directory(dir / "folder.pro"));
}

TEST(ProfileFile, ABatchReachesTheDiskInOneWriteAndAStartFromEmptyReplacesTheFile) {
    TempDir dir;
    WriteAll(dir / "p.pro", "[OLD]\nkept=until the batch\n");
    ProfileFile file(dir / "p.pro", ProfileFile::Start::Empty);
    file.beginBatch();
    file.WriteString("PROJECT", "Format", "MPASM");
    for (int i = 0; i < 1000; ++i)
        file.WriteString("FILES", "File" + std::to_string(i), "f.asm");
    EXPECT_EQ(ReadAll(dir / "p.pro"), "[OLD]\nkept=until the batch\n");
    EXPECT_TRUE(file.commitBatch());
    ProfileFile again(dir / "p.pro");
    EXPECT_EQ(again.ReadString("OLD", "kept", "gone"), "gone");
    EXPECT_EQ(again.ReadString("FILES", "File999", ""), "f.asm");

    // one refused write and the batch saves nothing
    again.beginBatch();
    again.WriteString("FILES", "Count", "1000");
    EXPECT_FALSE(again.WriteString("FILES", "File0", "a\nb"));
    EXPECT_FALSE(again.commitBatch());
    EXPECT_EQ(ProfileFile(dir / "p.pro").ReadString("FILES", "Count", "none"), "none");
}

}  // namespace
