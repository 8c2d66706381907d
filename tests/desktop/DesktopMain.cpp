// SPDX-License-Identifier: GPL-3.0-or-later
// Test main for the tests under a window manager: a QApplication on the X display the runner made, never
// the offscreen platform, which would hide what these tests look at.
#include <gtest/gtest.h>
#include <QApplication>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    if (!std::getenv("DISPLAY") || (platform && std::string_view(platform) != "xcb")) {
        std::puts("these tests run on an X display: tests/desktop/under-openbox PROGRAM");
        return 77;
    }
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
