// SPDX-License-Identifier: GPL-3.0-or-later
// The test programs of tests/gpsim/data assembled with the real gpasm into a temporary folder.
#pragma once

#include "HaveTool.h"
#include "TempDir.h"

#include <gtest/gtest.h>
#include "gpsim/GpsimAnswers.h"

#include <QProcess>
#include <QString>

#include <filesystem>

inline const std::filesystem::path kGpsimData = std::filesystem::path(KORVEX_SOURCE_DIR) / "tests/gpsim/data";

// Copies the test programs into `dir` and assembles `source` there; the .cod's path, empty on failure.
inline std::filesystem::path Assemble(const TempDir& dir, const std::string& source) {
    for (const char* file : {"count84a.asm", "main877a.asm", "sub.inc", "eeprom84a.asm", "drive84a.asm"})
        std::filesystem::copy_file(kGpsimData / file, dir / file,
                                   std::filesystem::copy_options::overwrite_existing);
    QProcess gpasm;
    gpasm.setWorkingDirectory(QString::fromStdString(dir.path().string()));
    gpasm.start("gpasm", {"-q", QString::fromStdString(source)});
    if (!gpasm.waitForFinished(30000) || gpasm.exitCode() != 0)
        return {};
    std::filesystem::path cod = dir / (std::filesystem::path(source).stem().string() + ".cod");
    return std::filesystem::exists(cod) ? cod : std::filesystem::path();
}

#define SKIP_WITHOUT_GPUTILS()                    \
    if (!HaveTool("gpasm") || !HaveTool("gpsim")) \
    GTEST_SKIP() << "gpasm or gpsim is not installed (scripts/bootstrap installs both)"

// The answers of a gpsim of its own, started in `dir` and given the commands in one go: what Korvex's view
// of the same program is held against.
inline std::vector<std::string> GpsimAlone(const std::filesystem::path& dir, const std::vector<std::string>& commands) {
    QProcess gpsim;
    gpsim.setWorkingDirectory(QString::fromStdString(dir.string()));
    gpsim.start("gpsim", {"-i"});
    GpsimConversation conversation;
    std::string input;
    for (const std::string& command : commands) {
        conversation.Sent(command);
        input += command + "\n";
    }
    gpsim.write((input + "quit\n").c_str());
    gpsim.closeWriteChannel();
    EXPECT_TRUE(gpsim.waitForFinished(15000));
    QByteArray output = gpsim.readAll();
    std::vector<std::string> answers;
    for (const auto& answer : conversation.Feed(std::string_view(output.constData(), size_t(output.size()))))
        answers.push_back(answer.text);
    EXPECT_EQ(answers.size(), commands.size());
    answers.resize(commands.size());
    return answers;
}
