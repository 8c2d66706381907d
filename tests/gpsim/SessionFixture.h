// SPDX-License-Identifier: GPL-3.0-or-later
// A session on a test program, driven as the user drives it, woken by gpsim's answers rather than polling.
#pragma once

#include "gpsim/SimSession.h"

#include "GpsimFixture.h"

#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QElapsedTimer>

namespace session_fixture {

inline QString Q(const std::filesystem::path& path) {
    return QString::fromStdString(path.string());
}

class Session : public ::testing::Test {
  protected:
    void SetUp() override { SKIP_WITHOUT_GPUTILS(); }
    // Starts a session on an assembled test program and waits for it to stand at the reset vector.
    void Start(const std::string& source) {
        cod = Assemble(dir, source);
        ASSERT_FALSE(cod.empty());
        session.start(Q(cod));
        Settle();
    }
    // Waits until the program has stopped again (or the session ended), woken by gpsim's answers rather
    // than polling.
    void Settle() {
        QElapsedTimer clock;
        clock.start();
        auto settled = [this] {
            return session.state() == SimSession::State::Stopped || session.state() == SimSession::State::Idle;
        };
        while (!settled() && clock.elapsed() < 10000)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        ASSERT_TRUE(settled()) << "the session did not stop within 10 s";
    }
    void Step() {
        session.stepInto();
        Settle();
    }
    QString File(const std::string& name) { return Q(dir / name); }
    int Register(uint32_t address) { return session.lastStop().memory.at(address); }

    TempDir dir;
    std::filesystem::path cod;
    SimSession session;
};

}  // namespace session_fixture
