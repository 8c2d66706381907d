// SPDX-License-Identifier: GPL-3.0-or-later
// The .cod file of a real gpasm build: lines, addresses, instruction words and the program's names.
#include "gpsim/CodFile.h"

#include "GpsimFixture.h"

#include "gpsim/SimSession.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace {

class CodFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!HaveTool("gpasm"))
            GTEST_SKIP() << "gpasm is not installed (scripts/bootstrap installs it)";
        std::filesystem::path path = Assemble(dir, "main877a.asm");
        ASSERT_FALSE(path.empty());
        std::string error;
        auto read = CodFile::Load(path.string(), error);
        ASSERT_TRUE(read) << error;
        cod = *read;
        folder = dir.path().string() + "/";
    }
    TempDir dir;
    CodFile cod;
    std::string folder;
};

TEST_F(CodFileTest, NamesTheProcessorAndTheSources) {
    EXPECT_EQ(cod.processor, "16f877a");
    EXPECT_GE(cod.SourceIndex(folder, folder + "main877a.asm"), 0);
    EXPECT_GE(cod.SourceIndex(folder, folder + "sub.inc"), 0);
    EXPECT_EQ(cod.SourceIndex(folder, folder + "other.inc"), -1);
}

TEST_F(CodFileTest, LinesWithCodeHaveAddresses) {
    int main = cod.SourceIndex(folder, folder + "main877a.asm");
    int sub = cod.SourceIndex(folder, folder + "sub.inc");
    EXPECT_EQ(cod.AddressOfLine(main, 8), 0x000u);   // goto start
    EXPECT_EQ(cod.AddressOfLine(main, 10), 0x010u);  // start movlw 0x03
    EXPECT_EQ(cod.AddressOfLine(sub, 2), 0x016u);    // double movf value, w
    EXPECT_FALSE(cod.AddressOfLine(main, 5));        // value equ 0x20
    EXPECT_FALSE(cod.AddressOfLine(main, 1));        // a comment
    EXPECT_FALSE(cod.AddressOfLine(sub, 1));
    auto back = cod.LineOfAddress(0x17);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->file, sub);
    EXPECT_EQ(back->line, 3);
}

TEST_F(CodFileTest, InstructionWordsAndTheirStackEffect) {
    EXPECT_EQ(cod.WordAt(0x010), 0x3003);            // movlw 0x03
    EXPECT_EQ(StackEffect(*cod.WordAt(0x012)), 1);   // call double
    EXPECT_EQ(StackEffect(*cod.WordAt(0x018)), -1);  // return
    EXPECT_EQ(StackEffect(*cod.WordAt(0x011)), 0);
    EXPECT_EQ(StackEffect(0x3412), -1);  // retlw
    EXPECT_FALSE(cod.WordAt(0x1000));
}

TEST_F(CodFileTest, ProgramRegistersAreTheProgramsOwnNames) {
    std::string header = ReadAll("/usr/share/gputils/header/p16f877a.inc");
    ASSERT_FALSE(header.empty());
    auto registers = ProgramRegisters(cod, HeaderNames(header), 0x200);
    ASSERT_EQ(registers.size(), 2u);
    EXPECT_EQ(registers[0].name, "value");
    EXPECT_EQ(registers[0].value, 0x20u);
    EXPECT_EQ(registers[1].name, "result");
}

// gpasm gives CBLOCK names a type of their own in the .cod; they are the program's registers too.
TEST(CodFileBlocks, CblockNamesAreProgramRegisters) {
    if (!HaveTool("gpasm"))
        GTEST_SKIP() << "gpasm is not installed (scripts/bootstrap installs it)";
    TempDir dir;
    WriteAll(dir / "block.asm",
             "        list    p=16f877a\n        include <p16f877a.inc>\n        cblock  0x20\n"
             "        Count\n        Outer, Inner\n        endc\nStart   clrf    Count\n"
             "        goto    Start\n        end\n");
    std::filesystem::path path = Assemble(dir, "block.asm");
    ASSERT_FALSE(path.empty());
    std::string error;
    auto cod = CodFile::Load(path.string(), error);
    ASSERT_TRUE(cod) << error;
    auto registers =
        ProgramRegisters(*cod, HeaderNames(ReadAll("/usr/share/gputils/header/p16f877a.inc")), 0x200);
    ASSERT_EQ(registers.size(), 3u);
    EXPECT_EQ(registers[0].name, "Count");
    EXPECT_EQ(registers[1].name, "Outer");
    EXPECT_EQ(registers[2].value, 0x22u);
}

TEST_F(CodFileTest, AnIncludeThatIsNoListedSourceCountsAsChanged) {
    QString codPath = QString::fromStdString((dir / "main877a.cod").string());
    QStringList listed = {QString::fromStdString((dir / "main877a.asm").string())};
    EXPECT_FALSE(CodOutOfDate(codPath, cod, listed));
    // sub.inc is in no project list, only in the .cod
    std::filesystem::last_write_time(dir / "sub.inc", std::filesystem::last_write_time(dir / "main877a.cod") +
                                                          std::chrono::seconds(2));
    EXPECT_TRUE(CodOutOfDate(codPath, cod, listed));
    EXPECT_TRUE(CodOutOfDate(codPath, std::nullopt, listed));  // a .cod that could not be read
}

TEST(CodFileBytes, AFifoADeviceOrAHugeFileIsRefusedWithoutBlocking) {
    TempDir dir;
    std::string fifo = (dir / "x.cod").string();
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    std::string error;
    EXPECT_FALSE(CodFile::Load(fifo, error));
    EXPECT_EQ(error, fifo + " is not a regular file");
    EXPECT_FALSE(CodFile::Load("/dev/zero", error));
    std::string huge = (dir / "huge.cod").string();
    WriteAll(huge, "");
    ASSERT_EQ(truncate(huge.c_str(), 200L << 20), 0);
    EXPECT_FALSE(CodFile::Load(huge, error));
    EXPECT_EQ(error, huge + " is larger than 16 MB");
}

// A directory block naming a table of `count` sources, 8 to a block.
std::string CodNaming(size_t count) {
    size_t blocks = (count + 7) / 8;
    std::string bytes((1 + blocks) * 512, '\0');
    bytes[0x1ae] = 1;
    bytes[0x1b0] = char(blocks & 0xff);
    bytes[0x1b1] = char(blocks >> 8);
    bytes.replace(0x1c5, 8, "\x07" "16f877a");
    for (size_t i = 0; i < count; ++i) {
        std::string name = "f" + std::to_string(i) + ".inc";
        bytes[512 + 64 * i] = char(name.size());
        bytes.replace(512 + 64 * i + 1, name.size(), name);
    }
    return bytes;
}

TEST(CodFileBytes, NoMoreSourcesThanAProgramHas) {
    std::string error;
    auto cod = CodFile::Parse(CodNaming(kMaxCodSources), error);
    ASSERT_TRUE(cod) << error;
    EXPECT_EQ(cod->sources.size(), kMaxCodSources);
    // every source is looked at before each command: a hostile .cod could name a hundred thousand
    EXPECT_FALSE(CodFile::Parse(CodNaming(kMaxCodSources + 1), error));
    EXPECT_EQ(error, "not a program's .cod file (it names more than 1024 sources)");
}

TEST(CodFileBytes, RejectsWhatIsNoCodFile) {
    std::string error;
    EXPECT_FALSE(CodFile::Parse("not a cod file", error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(CodFile::Parse(std::string(1024, '\0'), error));
}

}  // namespace
