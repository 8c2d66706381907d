// SPDX-License-Identifier: GPL-3.0-or-later
// The registry stand-in: values read back exactly, damaged files are survived, writes are atomic.
#include "platform/Registry.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

constexpr auto HKLM = RegRoot::LocalMachine;
constexpr auto HKCU = RegRoot::CurrentUser;

TEST(Registry, AHundredThousandValuesLoadAndEveryKeyTheReaderTakesIsWrittenBack) {
    TempDir dir;
    std::string text = "[Software\\K\\Many]\n";
    for (int i = 0; i < 100000; ++i)
        text += "\"Value" + std::to_string(i) + "\"=dword:" + std::to_string(i % 10) + "\n";
    for (int i = 0; i < 1000; ++i)
        text += "[Software\\K\\Key" + std::to_string(i) + "]\n\"v\"=\"" + std::to_string(i) + "\"\n";
    // odd key names: one that trims to nothing is not taken, the others come back
    text += "[\\]\n\"lost\"=\"x\"\n[[\\]]\n\"kept\"=\"y\"\n[a]]\n\"also\"=\"z\"\n";
    std::ofstream(dir / "user.ini") << text;
    Registry r(dir.path());
    EXPECT_EQ(r.readDword(HKCU, "software\\k\\MANY", "value99999"), 9u);
    EXPECT_EQ(r.readString(HKCU, "Software\\K\\Key999", "v"), "999");
    ASSERT_TRUE(r.writeDword(HKCU, "Software\\K\\Many", "Value5", 42));  // rewrites the file
    Registry again(dir.path());
    EXPECT_EQ(again.readDword(HKCU, "Software\\K\\Many", "Value5"), 42u);
    EXPECT_EQ(again.readDword(HKCU, "Software\\K\\Many", "Value99998"), 8u);
    EXPECT_EQ(again.readString(HKCU, "[\\]", "kept"), "y");
    EXPECT_EQ(again.readString(HKCU, "a]", "also"), "z");
    EXPECT_FALSE(again.readString(HKCU, "", "lost"));
}

TEST(Registry, ASettingsFileThatIsAFifoOrTooLargeIsReadAsDamaged) {
    TempDir dir;
    ASSERT_EQ(mkfifo((dir / "user.ini").c_str(), 0600), 0);  // reading it would block for good
    std::ofstream(dir / "machine.ini") << std::string(kMaxSettingsBytes + 1, ';');
    Registry r(dir.path());
    EXPECT_NE(r.loadProblem().find("machine.ini"), std::string::npos);
    EXPECT_FALSE(r.keyExists(HKLM, "Software"));
    EXPECT_TRUE(r.writeString(HKCU, "Software\\K", "v", "1"));  // written afresh as a regular file
    EXPECT_EQ(Registry(dir.path()).readString(HKCU, "Software\\K", "v"), "1");
}

TEST(Registry, ValuesOfEveryTypeReadBackAfterARestart) {
    TempDir dir;
    std::string awkward = "C:\\Program Files\\\"quoted\"\tand\nnewline \xC3\xA9";
    std::vector<uint8_t> bytes = {0, 1, 0x7F, 0x80, 0xFF};
    {
        Registry r(dir.path());
        EXPECT_TRUE(r.writeString(HKLM, "Software\\K\\Project", "Name", awkward));
        EXPECT_TRUE(r.writeDword(HKCU, "Software\\K\\Memo", "Options", 0xFFFFFFFF));
        EXPECT_TRUE(r.writeBinary(HKCU, "Software\\K\\Memo", "Styles", bytes));
        EXPECT_TRUE(r.writeBinary(HKCU, "Software\\K\\Memo", "Empty", {}));
    }
    Registry again(dir.path());
    EXPECT_EQ(again.readString(HKLM, "Software\\K\\Project", "Name"), awkward);
    EXPECT_EQ(again.readDword(HKCU, "Software\\K\\Memo", "Options"), 0xFFFFFFFFu);
    EXPECT_EQ(again.readBinary(HKCU, "Software\\K\\Memo", "Styles"), bytes);
    EXPECT_EQ(again.readBinary(HKCU, "Software\\K\\Memo", "Empty"), std::vector<uint8_t>{});
    // the two roots are separate files
    EXPECT_FALSE(again.readString(HKCU, "Software\\K\\Project", "Name"));
}

TEST(Registry, KeysAndNamesMatchWithoutRegardToCaseAndAValueOfAnotherTypeReadsAsMissing) {
    TempDir dir;
    Registry r(dir.path());
    r.writeString(HKLM, "Software\\Tervane\\Project", "Name", "a");
    r.writeString(HKLM, "SOFTWARE\\tervane\\PROJECT", "NAME", "b");
    EXPECT_EQ(r.readString(HKLM, "software\\TERVANE\\project\\", "name"), "b");
    EXPECT_FALSE(r.readDword(HKLM, "Software\\Tervane\\Project", "Name"));
    // a parent key exists once a subkey was made
    EXPECT_TRUE(r.keyExists(HKLM, "Software\\Tervane"));
    EXPECT_FALSE(r.keyExists(HKLM, "Software\\Terv"));
    EXPECT_FALSE(r.keyExists(HKCU, "Software"));
}

TEST(Registry, AWriteThatMayNotCreateItsKeyFailsAndWritesNothing) {
    TempDir dir;
    Registry r(dir.path());
    EXPECT_FALSE(r.writeString(HKLM, "Software\\K\\Missing", "V", "x", CreateKey::No));
    EXPECT_FALSE(r.keyExists(HKLM, "Software\\K\\Missing"));
    EXPECT_FALSE(std::filesystem::exists(r.fileOf(HKLM)));
    ASSERT_TRUE(r.createKey(HKLM, "Software\\K\\Missing"));
    EXPECT_TRUE(r.writeString(HKLM, "Software\\K\\Missing", "V", "x", CreateKey::No));
}

TEST(Registry, DamagedFilesAreReadAsFarAsTheyMakeSense) {
    TempDir dir;
    WriteAll(dir / "machine.ini", std::string("\x00\xFF garbage\n[", 12) + "\n\"x\"=dword:zz\n");
    WriteAll(dir / "user.ini",
             "[Software\\K]\n\"Good\"=dword:00000293\n\"Bad\"=hex:4B,5\n\"Open\"=\"unterminated\n"
             "no value here\n\"Late\"=\"ok\"\n[Software\\K\\Tr");  // truncated in a section name
    Registry r(dir.path());
    EXPECT_FALSE(r.keyExists(HKLM, "Software"));
    EXPECT_EQ(r.readDword(HKCU, "Software\\K", "Good"), 0x293u);
    EXPECT_FALSE(r.readBinary(HKCU, "Software\\K", "Bad"));
    EXPECT_FALSE(r.readString(HKCU, "Software\\K", "Open"));
    EXPECT_EQ(r.readString(HKCU, "Software\\K", "Late"), "ok");
    // and it can still be written over
    EXPECT_TRUE(r.writeString(HKLM, "Software\\K", "V", "x"));
    EXPECT_EQ(Registry(dir.path()).readString(HKLM, "Software\\K", "V"), "x");
}

TEST(Registry, AFailedWriteLeavesTheFileAndTheValuesAsTheyWere) {
    TempDir dir;
    Registry r(dir.path());
    ASSERT_TRUE(r.writeString(HKLM, "Software\\K", "V", "old"));
    std::string before = ReadAll(r.fileOf(HKLM));
    // a folder where the file should go cannot be replaced by a rename, even by root
    std::filesystem::remove(r.fileOf(HKLM));
    std::filesystem::create_directories(r.fileOf(HKLM) / "occupied");
    EXPECT_FALSE(r.writeString(HKLM, "Software\\K", "V", "new"));
    EXPECT_NE(r.lastError().find("Cannot write"), std::string::npos);
    EXPECT_EQ(r.readString(HKLM, "Software\\K", "V"), "old");
    // no temporary file is left behind (the lock file of the settings stays, empty)
    int others = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        others += entry.path().extension() != ".lock";
    EXPECT_EQ(others, 1);
}

TEST(Registry, AnAtomicWriteKeepsPermissionsAndWritesThroughALink) {
    TempDir dir;
    std::string error;
    ASSERT_TRUE(WriteFileAtomically(dir / "fresh", "a", error));
    mode_t mask = ::umask(0);
    ::umask(mask);
    EXPECT_EQ(std::filesystem::status(dir / "fresh").permissions(), std::filesystem::perms(0666 & ~mask));
    std::filesystem::permissions(dir / "fresh", std::filesystem::perms(0640));
    std::filesystem::create_symlink("fresh", dir / "link");
    ASSERT_TRUE(WriteFileAtomically(dir / "link", "b", error));
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "link"));
    EXPECT_EQ(ReadAll(dir / "fresh"), "b");
    EXPECT_EQ(std::filesystem::status(dir / "fresh").permissions(), std::filesystem::perms(0640));
}

TEST(Registry, ABatchWritesEachRootOnceWhenCommitted) {
    TempDir dir;
    Registry r(dir.path());
    {
        RegistryBatch batch(r);
        r.writeDword(HKCU, "Software\\K", "A", 1);
        r.writeDword(HKCU, "Software\\K", "B", 2);
        EXPECT_FALSE(std::filesystem::exists(r.fileOf(HKCU)));
        EXPECT_TRUE(batch.commit());
    }
    Registry again(dir.path());
    EXPECT_EQ(again.readDword(HKCU, "Software\\K", "B"), 2u);
    EXPECT_FALSE(std::filesystem::exists(r.fileOf(HKLM)));
}

TEST(Registry, TheConfigFolderComesFromTheEnvironment) {
    setenv("KORVEX_CONFIG_HOME", "/tmp/own", 1);
    EXPECT_EQ(Registry::defaultConfigDir(), "/tmp/own");
    unsetenv("KORVEX_CONFIG_HOME");
    setenv("XDG_CONFIG_HOME", "/tmp/xdg", 1);
    EXPECT_EQ(Registry::defaultConfigDir(), "/tmp/xdg/Tervane/Korvex v0.30");
}

}  // namespace

namespace {

namespace fs = std::filesystem;

TEST(AtomicWrites, TwoProgramsWritingDifferentSettingsBothKeepTheirs) {
    TempDir dir;
    Registry first(dir.path()), second(dir.path());  // both started before either wrote
    ASSERT_TRUE(first.writeString(HKCU, "Software\\K\\Memo", "Font", "Courier New"));
    second.beginBatch();
    second.writeDword(HKCU, "Software\\K\\Memo", "Options", 7);
    second.writeString(HKLM, "Software\\K\\Project", "Name", "/p/blink.pro");
    ASSERT_TRUE(second.commitBatch());
    ASSERT_TRUE(first.writeString(HKLM, "Software\\K\\Color", "ColorSetting", "Twilight"));
    Registry later(dir.path());
    EXPECT_EQ(later.readString(HKCU, "Software\\K\\Memo", "Font"), "Courier New");
    EXPECT_EQ(later.readDword(HKCU, "Software\\K\\Memo", "Options"), 7u);
    EXPECT_EQ(later.readString(HKLM, "Software\\K\\Project", "Name"), "/p/blink.pro");
    EXPECT_EQ(later.readString(HKLM, "Software\\K\\Color", "ColorSetting"), "Twilight");
    // each also sees the other's values after its own write
    EXPECT_EQ(first.readString(HKLM, "Software\\K\\Project", "Name"), "/p/blink.pro");
}

TEST(AtomicWrites, StaleTemporariesGoAndRootKeepsTheOwnersFile) {
    TempDir dir;
    fs::path file = dir / "user.ini";
    std::ofstream(dir / "user.ini.Ab3xY9") << "left by a killed writer";
    std::ofstream(dir / "user.ini.Zz0000") << "a writer at work";
    std::ofstream(dir / "user.ini.notes") << "not ours";
    auto old = std::filesystem::file_time_type::clock::now() - std::chrono::minutes(5);
    std::filesystem::last_write_time(dir / "user.ini.Ab3xY9", old);
    std::string error;
    ASSERT_TRUE(WriteFileAtomically(file, "a", error)) << error;
    EXPECT_FALSE(fs::exists(dir / "user.ini.Ab3xY9"));
    EXPECT_TRUE(fs::exists(dir / "user.ini.Zz0000"));
    EXPECT_TRUE(fs::exists(dir / "user.ini.notes"));
    if (geteuid() != 0)
        GTEST_SKIP() << "only root can hand a file to another user";
    ASSERT_EQ(chown(file.c_str(), 4321, 4321), 0);
    ASSERT_TRUE(WriteFileAtomically(file, "b", error)) << error;
    struct stat info {};
    ASSERT_EQ(stat(file.c_str(), &info), 0);
    EXPECT_EQ(info.st_uid, 4321u);
    EXPECT_EQ(info.st_gid, 4321u);
}

TEST(AtomicWrites, AFullDiskAndAReadOnlyFileSystemAreNamed) {
    TempDir dir;
    fs::path full = dir / "full", readOnly = dir / "ro";
    fs::create_directories(full);
    fs::create_directories(readOnly);
    if (mount("tmpfs", full.c_str(), "tmpfs", 0, "size=64k") != 0 ||
        mount("tmpfs", readOnly.c_str(), "tmpfs", MS_RDONLY, "size=64k") != 0) {
        umount(full.c_str());
        GTEST_SKIP() << "no small file systems can be mounted here";
    }
    std::string error;
    EXPECT_FALSE(WriteFileAtomically(full / "user.ini", std::string(200000, 'x'), error));
    EXPECT_EQ(error, "Cannot write " + (full / "user.ini").string() + ": No space left on device");
    EXPECT_FALSE(WriteFileAtomically(readOnly / "user.ini", "x", error));
    EXPECT_EQ(error, "Cannot write " + (readOnly / "user.ini").string() + ": Read-only file system");
    EXPECT_TRUE(fs::is_empty(full));  // no temporary left behind
    umount(full.c_str());
    umount(readOnly.c_str());
}

}  // namespace
