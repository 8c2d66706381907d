// SPDX-License-Identifier: GPL-3.0-or-later
// The first run's assembler: the gpasm front end beside the program is stored when none is configured,
// and a configured one is kept.
#include "shell/BundledAssembler.h"

#include "QtPrinters.h"
#include "ScriptedPrompter.h"
#include "TempDir.h"
#include "editor/AllReg.h"
#include "platform/Registry.h"
#include "shell/Startup.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

namespace {

namespace fs = std::filesystem;

const std::string kExeKey = std::string(kBaseKey) + "\\External EXE\\Microchip";

QString Q(const fs::path& path) {
    return QString::fromStdString(path.string());
}

class FirstRun : public ::testing::Test {
  protected:
    // An installed tree in dir/"opt korvex": bin/ for the program, lib/korvex/MPASMWIN.EXE beside it.
    fs::path installFrontEnd(fs::perms perms = fs::perms::owner_all) {
        fs::path frontEnd = tree / "lib" / "korvex" / "MPASMWIN.EXE";
        fs::create_directories(frontEnd.parent_path());
        fs::create_directories(tree / "bin");
        WriteAll(frontEnd, "#!/bin/sh\nexit 0\n");
        fs::permissions(frontEnd, perms);
        return frontEnd;
    }
    // The stored assembler as the settings file on disk holds it; nullopt when the value is missing.
    std::optional<std::string> stored() const {
        return Registry(config).readString(RegRoot::LocalMachine, kExeKey, "MPASMWIN.EXE");
    }
    void configure(const std::string& assembler) {
        Registry registry(config);
        ASSERT_TRUE(
            registry.writeString(RegRoot::LocalMachine, kExeKey, "MPASMWIN.EXE", assembler, CreateKey::Yes));
    }
    void start() { korvex = std::make_unique<TKorvex>(config, prompter, Q(tree / "bin")); }

    TempDir dir;
    fs::path tree = dir / "opt korvex";
    fs::path config = dir / "config";
    ScriptedPrompter prompter;
    std::unique_ptr<TKorvex> korvex;
};

TEST_F(FirstRun, WithNoSettingsTheFrontEndBesideTheProgramIsStored) {
    fs::path frontEnd = installFrontEnd();
    start();
    EXPECT_EQ(korvex->settings.AssemblerPath, frontEnd.string());
    EXPECT_EQ(korvex->settings.AssemblerFileName, "MPASMWIN.EXE");
    EXPECT_EQ(stored(), frontEnd.string());
    // the next run reads it back, wherever that run's program lies
    korvex.reset();
    korvex = std::make_unique<TKorvex>(config, prompter);
    EXPECT_EQ(korvex->settings.AssemblerPath, frontEnd.string());
}

TEST_F(FirstRun, AMissingValueInExistingSettingsIsFilledIn) {
    fs::path frontEnd = installFrontEnd();
    {
        // settings of an earlier run that lost the assembler's value, not its key
        Registry registry(config);
        ASSERT_TRUE(registry.writeString(RegRoot::LocalMachine, std::string(kBaseKey) + "\\Project", "Name",
                                         "/home/me/p.pro", CreateKey::Yes));
    }
    ASSERT_EQ(stored(), std::nullopt);
    start();
    EXPECT_EQ(stored(), frontEnd.string());
    EXPECT_EQ(korvex->settings.LastProject, "/home/me/p.pro");
}

TEST_F(FirstRun, AnEmptyValueIsFilledIn) {
    fs::path frontEnd = installFrontEnd();
    configure("");
    start();
    EXPECT_EQ(korvex->settings.AssemblerPath, frontEnd.string());
    EXPECT_EQ(stored(), frontEnd.string());
}

TEST_F(FirstRun, AConfiguredAssemblerIsNeverReplacedEvenWhenItsFileIsGone) {
    installFrontEnd();
    configure("/opt/elsewhere/MPASMWIN.EXE");
    start();
    EXPECT_EQ(korvex->settings.AssemblerPath, "/opt/elsewhere/MPASMWIN.EXE");
    EXPECT_EQ(stored(), "/opt/elsewhere/MPASMWIN.EXE");
}

TEST_F(FirstRun, WithoutAFrontEndBesideTheProgramNothingIsStored) {
    fs::create_directories(tree / "bin");
    start();
    EXPECT_EQ(korvex->settings.AssemblerPath, "");
    EXPECT_EQ(stored(), "");
}

TEST_F(FirstRun, AFrontEndThatCannotBeRunIsNotTaken) {
    installFrontEnd(fs::perms::owner_read | fs::perms::owner_write);
    start();
    EXPECT_EQ(stored(), "");
}

TEST_F(FirstRun, WithoutTheProgramsFolderNothingIsLookedFor) {
    installFrontEnd();
    korvex = std::make_unique<TKorvex>(config, prompter);
    EXPECT_EQ(stored(), "");
}

TEST_F(FirstRun, TheBuildTreesFrontEndIsFoundFromTheProgramsFolderThere) {
    // build/src/app/korvex beside build/tools/mpasmwin/MPASMWIN.EXE
    fs::path build = dir / "build";
    fs::create_directories(build / "src" / "app");
    fs::path frontEnd = build / "tools" / "mpasmwin" / "MPASMWIN.EXE";
    fs::create_directories(frontEnd.parent_path());
    WriteAll(frontEnd, "#!/bin/sh\n");
    fs::permissions(frontEnd, fs::perms::owner_all);
    EXPECT_EQ(BundledAssembler(Q(build / "src" / "app")), Q(frontEnd));
    // an installed front end comes first
    fs::path installed = build / "src" / "lib" / "korvex" / "MPASMWIN.EXE";
    fs::create_directories(installed.parent_path());
    WriteAll(installed, "#!/bin/sh\n");
    fs::permissions(installed, fs::perms::owner_all);
    EXPECT_EQ(BundledAssembler(Q(build / "src" / "app")), Q(installed));
}

}  // namespace
