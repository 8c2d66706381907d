// SPDX-License-Identifier: GPL-3.0-or-later
// Reading files that lie outside the program's control: a FIFO, a device, a folder or a file past the bound is
// refused at once with its reason, and a regular file is read whole.
#include "platform/RegularFile.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace {

TEST(RegularFile, ReadsARegularFileUpToItsBound) {
    TempDir dir;
    WriteAll(dir / "a.cod", std::string(1000, 'x'));
    std::string error;
    auto bytes = ReadRegularFile((dir / "a.cod").string(), 1000, error);
    ASSERT_TRUE(bytes) << error;
    EXPECT_EQ(bytes->size(), 1000u);
    EXPECT_FALSE(ReadRegularFile((dir / "a.cod").string(), 999, error));
    EXPECT_EQ(error, "is larger than 999 bytes");
    WriteAll(dir / "empty", "");
    EXPECT_EQ(ReadRegularFile((dir / "empty").string(), 10, error), std::string());
}

TEST(RegularFile, RefusesWhatWouldBlockOrNeverEnd) {
    TempDir dir;
    std::string fifo = (dir / "x.cod").string();
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    std::string error;
    // no writer ever comes: a blocking open would wait here for good
    EXPECT_FALSE(ReadRegularFile(fifo, 1 << 20, error));
    EXPECT_EQ(error, "is not a regular file");
    EXPECT_FALSE(ReadRegularFile("/dev/zero", 1 << 20, error));
    EXPECT_EQ(error, "is not a regular file");
    EXPECT_FALSE(ReadRegularFile(dir.path().string(), 1 << 20, error));
    EXPECT_EQ(error, "is a folder");
    EXPECT_FALSE(ReadRegularFile((dir / "none").string(), 1 << 20, error));
    EXPECT_EQ(error, "No such file or directory");
    // a sparse file of 200 MB is refused by its size, without reading it
    std::string huge = (dir / "huge.cod").string();
    WriteAll(huge, "");
    ASSERT_EQ(truncate(huge.c_str(), 200L << 20), 0);
    EXPECT_FALSE(ReadRegularFile(huge, 16 << 20, error));
    EXPECT_EQ(error, "is larger than 16 MB");
}

}  // namespace
