// SPDX-License-Identifier: GPL-3.0-or-later
// Driving the program on the real gpsim: a pin driven from outside is what the program reads, a step back
// meets every drive again, breakpoints with conditions stop where gpsim alone stops with the same command,
// and a run in real time keeps to the clock.
#include "SessionFixture.h"

#include <gtest/gtest.h>
#include <QTest>
#include "GTestQTry.h"

namespace {

using namespace session_fixture;

constexpr uint32_t kPortA = 0x05, kPortB = 0x06, kCount = 0x0C, kCopy = 0x0D;
const SimSession::PinName kRB0{"PORTB", 0};

class Drive : public Session {
  protected:
    // The program after its set-up, at `loop` (line 18).
    void StartAtLoop() {
        Start("drive84a.asm");
        for (int i = 0; i < 8; ++i)
            Step();
        ASSERT_EQ(session.lastStop().line, 18);
    }
    // One round of the copying loop.
    void Round() {
        for (int i = 0; i < 7 && session.lastStop().line != 18; ++i)
            Step();
        do {
            Step();
        } while (session.lastStop().line != 18);
    }
    uint32_t AddressOfLine(int line) {
        std::string error;
        auto program = CodFile::Load(cod.string(), error);
        EXPECT_TRUE(program) << error;
        auto address = SimSession::AddressOf(*program, Q(dir.path()), {File("drive84a.asm"), line});
        EXPECT_TRUE(address);
        return address.value_or(0);
    }
    // Where gpsim alone stops after `runs` runs with `command`: its PC and cycles.
    std::pair<uint32_t, uint64_t> AloneStops(const std::string& command, int runs) {
        std::vector<std::string> commands{"processor p16f84", "load drive84a.cod", command};
        for (int i = 0; i < runs; ++i)
            commands.push_back("run");
        commands.push_back("x");
        commands.push_back("cycles");
        std::vector<std::string> answers = GpsimAlone(dir.path(), commands);
        auto seen = ParseExamine(answers[answers.size() - 2]);
        EXPECT_TRUE(seen) << answers[answers.size() - 2];
        return {seen ? seen->pc : 0, ParseCycles(answers.back()).value_or(0)};
    }
    std::pair<uint32_t, uint64_t> Here() { return {session.lastStop().pc, session.lastStop().cycles}; }
};

TEST_F(Drive, APinDrivenFromOutsideIsWhatTheProgramReadsAndAStepBackMeetsItAgain) {
    StartAtLoop();
    Round();
    EXPECT_EQ(Register(kPortA) & 1, 0);  // RB0 floats low
    std::vector<SimStop> walk{session.lastStop()};
    auto step = [&] {
        Step();
        walk.push_back(session.lastStop());
    };
    for (SimSession::Level level : {SimSession::Level::High, SimSession::Level::Low, SimSession::Level::High}) {
        session.drivePin(kRB0, level);
        Settle();
        // the port is read again at once; the stop before it is now the stop with the pin driven
        EXPECT_EQ(Register(kPortB) & 1, level == SimSession::Level::High ? 1 : 0);
        EXPECT_EQ(session.pinLevel(kRB0), level);
        walk.back() = session.lastStop();
        for (int i = 0; i < 9; ++i)
            step();
        EXPECT_EQ(Register(kCopy) & 1, level == SimSession::Level::High ? 1 : 0);
        EXPECT_EQ(Register(kPortA) & 1, level == SimSession::Level::High ? 1 : 0) << "RA0 follows RB0";
    }
    // back through every stop, each drive met again at its cycle
    for (size_t back = walk.size() - 1; back-- > 0;) {
        ASSERT_TRUE(session.stepBack());
        Settle();
        ASSERT_EQ(session.lastStop().cycles, walk[back].cycles) << back;
        ASSERT_EQ(session.lastStop().pc, walk[back].pc) << back;
        ASSERT_EQ(session.lastStop().memory, walk[back].memory) << back;
    }
    EXPECT_EQ(session.pinLevel(kRB0), SimSession::Level::High);  // the first drive was at the first stop
    // a reset keeps the pins as they are driven
    session.reset();
    Settle();
    Round();
    Round();
    EXPECT_EQ(Register(kPortA) & 1, 1);
}

TEST_F(Drive, APinStaysDrivenWhenTheProgramIsBuiltAgainAndRestarted) {
    StartAtLoop();
    session.drivePin(kRB0, SimSession::Level::High);
    Settle();
    session.restart(Q(cod));
    Settle();
    EXPECT_EQ(session.pinLevel(kRB0), SimSession::Level::High);
    EXPECT_EQ(Register(kPortB) & 1, 1);
    for (int i = 0; i < 8; ++i)
        Step();
    Round();
    EXPECT_EQ(Register(kPortA) & 1, 1);
    // and a step back to the start meets it there still
    while (session.stepsBack() > 0) {
        ASSERT_TRUE(session.stepBack());
        Settle();
    }
    EXPECT_EQ(Register(kPortB) & 1, 1);
    // a session started afresh drives nothing
    session.end();
    Settle();
    session.start(Q(cod));
    Settle();
    EXPECT_EQ(session.pinLevel(kRB0), SimSession::Level::Floating);
}

TEST_F(Drive, APinDrivenDuringARunIsMetAtTheNextLook) {
    StartAtLoop();
    session.setLiveInterval(50);
    session.run();
    QTRY_VERIFY_WITH_TIMEOUT(session.lastStop().cycles > 1000, 5000);
    EXPECT_EQ(session.lastStop().memory.at(kPortA) & 1, 0);
    session.drivePin(kRB0, SimSession::Level::High);
    QTRY_VERIFY_WITH_TIMEOUT(session.lastStop().memory.at(kPortA) & 1, 5000);
    session.stop();
    Settle();
    EXPECT_EQ(Register(kPortA) & 1, 1);
    session.drivePin(kRB0, SimSession::Level::Floating);  // let go: it reads low again
    Settle();
    Round();
    Round();
    EXPECT_EQ(Register(kPortA) & 1, 0);
}

TEST_F(Drive, EachKindOfRegisterBreakpointStopsWhereGpsimAloneStops) {
    using Kind = SimSession::RegisterBreak::Kind;
    for (SimSession::RegisterBreak brk : {SimSession::RegisterBreak{Kind::Write, kCount, 0},
                                          SimSession::RegisterBreak{Kind::Read, kCopy, 0},
                                          SimSession::RegisterBreak{Kind::Equals, kCount, 5},
                                          SimSession::RegisterBreak{Kind::Write, kPortA, 0}}) {
        std::string command = SimSession::BreakCommand(brk).toStdString();
        SCOPED_TRACE(command);
        session.end();
        Settle();
        Start("drive84a.asm");
        session.setRegisterBreakpoints({brk});
        for (int runs = 1; runs <= 3; ++runs) {
            session.run();
            Settle();
            EXPECT_EQ(Here(), AloneStops(command, runs)) << "run " << runs;
        }
        if (brk.kind == Kind::Equals) {
            EXPECT_EQ(Register(kCount), 5);
        }
        // switched off, the run goes on past it
        session.setRegisterBreakpoints({});
        session.run();
        QTest::qWait(150);
        EXPECT_EQ(session.state(), SimSession::State::Running);
        session.stop();
        Settle();
    }
}

TEST_F(Drive, ALineWithAHitCountStopsFromItsNthHitOn) {
    Start("drive84a.asm");
    uint32_t copy = AddressOfLine(20);  // movwf Copy
    std::string command = "break e 0x" + QString::number(copy, 16).toStdString();
    session.setBreakpoints({{File("drive84a.asm"), 20}});
    session.setHitCounts({{copy, 3}});
    session.run();
    Settle();
    EXPECT_EQ(Here(), AloneStops(command, 3));
    EXPECT_EQ(Register(kCount), 3);
    session.run();
    Settle();
    EXPECT_EQ(Here(), AloneStops(command, 4));  // and every hit after
    EXPECT_EQ(session.hits().at(copy), 4);
    // a step back goes back to the count it had there
    ASSERT_TRUE(session.stepBack());
    Settle();
    EXPECT_EQ(session.hits().at(copy), 3);
    // a reset counts again from none
    session.reset();
    Settle();
    session.run();
    Settle();
    EXPECT_EQ(Register(kCount), 3);
}

TEST_F(Drive, RunToCursorStopsAtTheFirstArrivalEvenOnALineWithAHitCount) {
    Start("drive84a.asm");
    uint32_t copy = AddressOfLine(20);
    session.setBreakpoints({{File("drive84a.asm"), 20}});
    session.setHitCounts({{copy, 5}});
    session.runTo(copy);
    Settle();
    EXPECT_EQ(session.lastStop().pc, copy);
    EXPECT_EQ(Register(kCount), 1);
}

TEST_F(Drive, ABreakpointWhereASliceOfARealTimeRunEndsIsNotPassedBy) {
    // at 32,768 Hz a slice is about 164 cycles: slices end all over the loop, on the breakpoint's line too
    session.setClock(32768);
    Start("drive84a.asm");
    uint32_t copy = AddressOfLine(20);
    std::string command = "break e 0x" + QString::number(copy, 16).toStdString();
    session.setBreakpoints({{File("drive84a.asm"), 20}});
    session.setHitCounts({{copy, 150}});
    session.setRealTime(true);
    session.run();
    Settle();
    EXPECT_EQ(Here(), AloneStops(command, 150));
    EXPECT_EQ(Register(kCount), 150);
}

TEST_F(Drive, ARunInRealTimeKeepsToTheClockAndStopsAtOnce) {
    session.setClock(4e6);  // a million instructions a second
    StartAtLoop();
    session.setRealTime(true);
    int looks = 0;
    QObject::connect(&session, &SimSession::live, [&] { ++looks; });
    uint64_t from = session.lastStop().cycles;
    QElapsedTimer wall;
    wall.start();
    session.run();
    QTest::qWait(1000);
    session.stop();
    Settle();
    double ran = wall.elapsed() / 1000.0;
    double simulated = double(session.lastStop().cycles - from) / 1e6;
    // gpsim runs the loop tens of times faster than this on its own; the bounds are wide for a loaded machine
    EXPECT_GT(simulated, 0.5);
    EXPECT_LT(simulated, ran + 0.05);
    EXPECT_GE(looks, 5);
    // no slice's cycle break is left behind: a run without real time goes on until stopped
    session.setRealTime(false);
    session.run();
    QTest::qWait(300);
    EXPECT_EQ(session.state(), SimSession::State::Running);
    session.stop();
    Settle();
    EXPECT_GT(double(session.lastStop().cycles - from) / 1e6, simulated + 1.0);
}

TEST_F(Drive, ARunInRealTimeGoesOnPastItsSlicesUntilARegisterBreakpointStopsIt) {
    session.setClock(4e6);
    StartAtLoop();
    session.setRealTime(true);
    // Count counts the rounds of the loop, one each 8 or 9 cycles: 200 comes after about 1.8 ms of the
    // program's time, far beyond a first slice when the break is for 4000 rounds' worth of a byte
    session.setRegisterBreakpoints({{SimSession::RegisterBreak::Kind::Equals, kCount, 200}});
    session.run();
    Settle();
    EXPECT_EQ(Register(kCount), 200);
    session.setRegisterBreakpoints({});
    uint64_t from = session.lastStop().cycles;
    session.setRegisterBreakpoints({{SimSession::RegisterBreak::Kind::Read, 0x0E, 0}});  // nothing reads it
    session.run();
    QTest::qWait(300);
    EXPECT_EQ(session.state(), SimSession::State::Running) << "stopped after " << session.lastStop().cycles - from;
    session.stop();
    Settle();
}

}  // namespace
