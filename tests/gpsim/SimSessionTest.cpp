// SPDX-License-Identifier: GPL-3.0-or-later
// A simulation session on the real gpsim, as the user drives it: start, step, run to a breakpoint, stop an
// endless loop, and the failures.
#include "gpsim/SimSession.h"

#include "SessionFixture.h"

#include <gtest/gtest.h>
#include <QSignalSpy>
#include <QElapsedTimer>
#include <QTest>
#include "GTestQTry.h"

#include <signal.h>

namespace {

using namespace session_fixture;

TEST_F(Session, StartsAtTheResetVector) {
    QSignalSpy notes(&session, &SimSession::note);
    Start("main877a.asm");
    ASSERT_EQ(session.state(), SimSession::State::Stopped);
    EXPECT_EQ(session.lastStop().pc, 0u);
    EXPECT_EQ(session.lastStop().file, File("main877a.asm"));
    EXPECT_EQ(session.lastStop().line, 8);  // goto start
    EXPECT_EQ(session.lastStop().clockHz, 20e6);
    EXPECT_EQ(notes.count(), 0);
    ASSERT_EQ(session.programRegisters().size(), 2u);
    EXPECT_EQ(session.programRegisters()[0].name, "value");
}

TEST_F(Session, StepsIntoTheIncludeFileAndBack) {
    Start("main877a.asm");
    Step();  // goto start
    EXPECT_EQ(session.lastStop().line, 10);
    EXPECT_EQ(session.lastStop().cycles, 2u);
    Step();  // movlw 0x03
    Step();  // movwf value
    EXPECT_EQ(session.lastStop().W, 3);
    EXPECT_EQ(Register(0x20), 3);
    Step();  // call double
    EXPECT_EQ(session.lastStop().file, File("sub.inc"));
    EXPECT_EQ(session.lastStop().line, 2);
    EXPECT_EQ(session.lastStop().stackDepth, 1);
    Step();  // movf value, w
    Step();  // addwf value, w
    EXPECT_EQ(session.lastStop().W, 6);
    Step();  // return
    EXPECT_EQ(session.lastStop().file, File("main877a.asm"));
    EXPECT_EQ(session.lastStop().line, 13);  // movwf result
    EXPECT_EQ(session.lastStop().stackDepth, 0);
    Step();  // movwf result
    EXPECT_EQ(Register(0x21), 6);
    EXPECT_EQ(session.lastStop().cycles, 11u);
}

TEST_F(Session, StepOverRunsTheSubroutineToItsReturn) {
    Start("main877a.asm");
    for (int i = 0; i < 3; ++i)
        Step();          // goto start, movlw, movwf
    session.stepOver();  // call double
    Settle();
    EXPECT_EQ(session.lastStop().file, File("main877a.asm"));
    EXPECT_EQ(session.lastStop().line, 13);
    EXPECT_EQ(session.lastStop().W, 6);
    EXPECT_EQ(session.lastStop().stackDepth, 0);
}

TEST_F(Session, AStepOverStoppedInsideTheRoutineDoesNotClaimTheCallersDepth) {
    Start("main877a.asm");
    session.setBreakpoints({{File("sub.inc"), 3}});
    for (int i = 0; i < 3; ++i)
        Step();
    session.stepOver();  // call double: its breakpoint comes first
    Settle();
    EXPECT_EQ(session.lastStop().file, File("sub.inc"));
    EXPECT_EQ(session.lastStop().line, 3);
    EXPECT_EQ(session.lastStop().stackDepth, std::nullopt);
}

TEST_F(Session, RunStopsAtABreakpointInTheIncludeFile) {
    Start("main877a.asm");
    session.setBreakpoints({{File("sub.inc"), 3}, {File("main877a.asm"), 5}});  // addwf; an equ line
    session.run();
    EXPECT_EQ(session.state(), SimSession::State::Running);
    Settle();
    EXPECT_EQ(session.lastStop().file, File("sub.inc"));
    EXPECT_EQ(session.lastStop().line, 3);
    EXPECT_EQ(session.lastStop().W, 3);
    // removed, the next run goes past it into the endless loop
    session.setBreakpoints({});
    session.run();
    EXPECT_EQ(session.state(), SimSession::State::Running);
    session.stop();  // at once: gpsim may not have begun the run yet
    Settle();
    EXPECT_EQ(session.lastStop().line, 15);  // idle goto idle
    EXPECT_EQ(Register(0x21), 6);
    EXPECT_FALSE(session.lastStop().stackDepth);  // gpsim does not show it after a run
}

TEST_F(Session, TheClockGivenIsGpsimsAndTheStopwatchCountsFromItsZero) {
    session.setClock(4e6);
    Start("main877a.asm");
    EXPECT_EQ(session.lastStop().clockHz, 4e6);
    Step();  // goto start: 2 cycles
    EXPECT_EQ(session.lastStop().stopwatch, 2u);
    session.zeroStopwatch();
    Step();  // movlw
    Step();  // movwf
    EXPECT_EQ(session.lastStop().cycles, 4u);
    EXPECT_EQ(session.lastStop().stopwatch, 2u);  // the two cycles since the zero
    EXPECT_DOUBLE_EQ(session.lastStop().seconds(), 4e-6);  // 4 cycles of 1 µs at 4 MHz
    session.reset();  // gpsim's cycle count goes on through it; the stopwatch starts again
    Settle();
    EXPECT_EQ(session.lastStop().stopwatch, 0u);
    uint64_t atReset = session.lastStop().cycles;
    EXPECT_GE(atReset, 4u);
    Step();
    EXPECT_GT(session.lastStop().stopwatch, 0u);
    EXPECT_EQ(session.lastStop().stopwatch, session.lastStop().cycles - atReset);
}

TEST_F(Session, ResetGoesBackToTheStart) {
    Start("main877a.asm");
    Step();
    Step();
    session.reset();
    Settle();
    EXPECT_EQ(session.lastStop().pc, 0u);
    EXPECT_EQ(session.lastStop().line, 8);
}

TEST_F(Session, TheEepromIsReadAtEveryStopAndAByteWrittenIsWhatTheProgramReads) {
    Start("eeprom84a.asm");
    ASSERT_EQ(session.lastStop().eeprom.size(), 64u);  // the 16F84A's data EEPROM
    EXPECT_EQ(session.lastStop().eeprom[0], 1);         // de 1, 2, 3
    EXPECT_EQ(session.lastStop().eeprom[2], 3);
    EXPECT_EQ(session.lastStop().eeprom[5], 0);
    session.writeEeprom(2, 0x42);  // the byte the program reads back into Value
    Settle();
    EXPECT_EQ(session.lastStop().eeprom[2], 0x42);
    EXPECT_EQ(session.lastStop().pc, 0u);  // a write takes no step
    session.setBreakpoints({{File("eeprom84a.asm"), 35}});  // Done goto Done
    session.run();
    Settle();
    EXPECT_EQ(session.lastStop().line, 35);
    EXPECT_EQ(session.lastStop().eeprom[5], 0xA5);  // the program's own write went through
    EXPECT_EQ(Register(0x0C), 0x42);                 // Value: what the EEPROM held at Addr
    // a byte past the EEPROM is no command at all
    session.writeEeprom(64, 1);
    EXPECT_EQ(session.state(), SimSession::State::Stopped);
}

TEST_F(Session, StepBackReturnsToEveryEarlierStopOfA200StepWalkWithIdenticalRegisters) {
    Start("main877a.asm");
    session.setBreakpoints({{File("sub.inc"), 3}});  // on the way: a step back runs past it
    std::vector<SimStop> walk{session.lastStop()};
    for (int i = 0; i < 200; ++i) {
        i % 7 == 3 ? session.stepOver() : session.stepInto();
        Settle();
        walk.push_back(session.lastStop());
    }
    EXPECT_EQ(session.stepsBack(), 200u);
    for (int back = 199; back >= 0; --back) {
        ASSERT_TRUE(session.stepBack());
        Settle();

        const SimStop& now = session.lastStop();
        const SimStop& then = walk[size_t(back)];
        ASSERT_EQ(now.cycles, then.cycles) << "back to stop " << back;
        ASSERT_EQ(now.pc, then.pc) << back;
        ASSERT_EQ(now.W, then.W) << back;
        ASSERT_EQ(now.memory, then.memory) << back;
        ASSERT_EQ(now.stackDepth, then.stackDepth) << back;
        ASSERT_EQ(now.line, then.line) << back;
    }
    EXPECT_FALSE(session.stepBack());  // the start: nothing before it
    // and forward again from there, as the first time (gpsim counts the first instruction after its reset
    // one cycle short, as after Simulate > Reset)
    Step();
    EXPECT_EQ(session.lastStop().pc, walk[1].pc);
    EXPECT_EQ(session.lastStop().memory, walk[1].memory);
}

TEST_F(Session, RunToAnAddressStopsThereOnceAndTheBreakpointsStayAsTheyWere) {
    Start("main877a.asm");
    auto cod = CodFile::Load(this->cod.string(), *new std::string);
    ASSERT_TRUE(cod);
    std::optional<uint32_t> idle = SimSession::AddressOf(*cod, Q(dir.path()), {File("main877a.asm"), 15});
    ASSERT_TRUE(idle);  // idle goto idle
    session.runTo(*idle);
    Settle();
    EXPECT_EQ(session.lastStop().pc, *idle);
    EXPECT_EQ(session.lastStop().line, 15);
    // the place was no breakpoint: the next run goes on past it until stopped
    session.run();
    QTest::qWait(100);
    EXPECT_EQ(session.state(), SimSession::State::Running);
    session.stop();
    Settle();
}

TEST_F(Session, The16F84ARunsOnThe16F84WithANote) {
    QSignalSpy notes(&session, &SimSession::note);
    Start("count84a.asm");
    ASSERT_EQ(session.state(), SimSession::State::Stopped);
    ASSERT_EQ(notes.count(), 1);
    EXPECT_EQ(notes[0][0].toString(), "gpsim has no PIC16F84A; the program runs on the compatible PIC16F84.");
    // movlw 5, movwf counter, clrf total, then 5+4+3+2+1 by the loop
    session.setBreakpoints({{File("count84a.asm"), 15}});  // forever goto forever
    session.run();
    Settle();
    EXPECT_EQ(session.lastStop().line, 15);
    EXPECT_EQ(Register(0x0D), 15);
    EXPECT_EQ(Register(0x0C), 0);
    EXPECT_EQ(session.lastStop().status & 0x04, 0);  // Z from ADDWF's 15 (DECFSZ leaves the flags alone)
}

TEST_F(Session, AProcessorGpsimLacksWithoutAStandInIsAClearMessage) {
    WriteAll(dir / "big.asm",
             "        list    p=16f1939\n        org     0\nloop    goto    loop\n        end\n");
    cod = Assemble(dir, "big.asm");
    ASSERT_FALSE(cod.empty());
    QSignalSpy failed(&session, &SimSession::failed);
    session.start(Q(cod));
    QTRY_COMPARE(failed.count(), 1);
    EXPECT_EQ(failed[0][0].toString(),
              "gpsim cannot simulate the PIC16F1939, and knows no compatible processor.");
    EXPECT_FALSE(session.active());
}

TEST_F(Session, MissingCodFileEndsTheSessionWithAMessage) {
    QSignalSpy failed(&session, &SimSession::failed);
    QSignalSpy ended(&session, &SimSession::ended);
    session.start(Q(dir / "nothing.cod"));
    ASSERT_EQ(failed.count(), 1);
    EXPECT_TRUE(failed[0][0].toString().contains("was not found; build the project first"));
    EXPECT_EQ(ended.count(), 1);
    EXPECT_FALSE(session.active());
}

TEST_F(Session, MissingGpsimEndsTheSessionWithAMessage) {
    cod = Assemble(dir, "main877a.asm");
    QSignalSpy failed(&session, &SimSession::failed);
    session.setProgram(Q(dir / "no-gpsim-here"));
    session.start(Q(cod));
    QTRY_COMPARE(failed.count(), 1);
    EXPECT_TRUE(failed[0][0].toString().contains("gpsim could not be started"));
    EXPECT_FALSE(session.active());
}

TEST_F(Session, GpsimEndingUnexpectedlyEndsTheSession) {
    Start("main877a.asm");
    QSignalSpy failed(&session, &SimSession::failed);
    QSignalSpy ended(&session, &SimSession::ended);
    session.run();
    // something outside Korvex kills gpsim
    ASSERT_GT(session.processId(), 0);
    ::kill(pid_t(session.processId()), SIGKILL);
    QTRY_COMPARE(ended.count(), 1);
    ASSERT_EQ(failed.count(), 1);
    EXPECT_TRUE(failed[0][0].toString().startsWith("gpsim ended unexpectedly"));
}

TEST_F(Session, EndQuitsGpsim) {
    Start("main877a.asm");
    QSignalSpy ended(&session, &SimSession::ended);
    session.run();
    session.end();  // even while it runs
    QTRY_COMPARE(ended.count(), 1);
    EXPECT_FALSE(session.active());
}

}  // namespace
