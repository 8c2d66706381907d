// SPDX-License-Identifier: GPL-3.0-or-later
// A session with a gpsim that misbehaves, played by the scripted stand-ins in tests/gpsim/standins: each ends
// the session with a message that says what happened, gpsim gone before the message shows, or is waited
// for with a word to the user.
#include "gpsim/SimSession.h"

#include "GpsimFixture.h"
#include "ProcessGone.h"

#include <gtest/gtest.h>
#include <QSignalSpy>
#include <QTest>
#include "GTestQTry.h"

#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString kStandIns = KORVEX_SOURCE_DIR "/tests/gpsim/standins/";

class Misbehaving : public ::testing::Test {
  protected:
    void SetUp() override {
        SKIP_WITHOUT_GPUTILS();
        cod = Assemble(dir, "main877a.asm");
        ASSERT_FALSE(cod.empty());
        // when the message shows, gpsim must be gone already: nothing runs on behind the box
        QObject::connect(&session, &SimSession::failed, &session, [this](const QString& text) {
            messages << text;
            gpsimGoneAtMessage = pid > 0 && ProcessGone(pid);
        });
        QObject::connect(&session, &SimSession::stateChanged, &session, [this] {
            if (session.processId() > 0)
                pid = session.processId();
        });
    }
    void StartWith(const QString& standIn) {
        session.setProgram(kStandIns + standIn);
        session.start(QString::fromStdString(cod.string()));
        QTRY_VERIFY(session.processId() > 0);
        pid = session.processId();
    }
    void WaitForTheEnd() { QTRY_VERIFY_WITH_TIMEOUT(!session.active(), 10000); }

    TempDir dir;
    std::filesystem::path cod;
    SimSession session;
    QStringList messages;
    qint64 pid = 0;
    bool gpsimGoneAtMessage = false;
};

TEST_F(Misbehaving, AFloodWithoutAPromptEndsTheSession) {
    StartWith("flood");
    WaitForTheEnd();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_EQ(messages[0], "gpsim printed more than 4 MB without finishing its answer; the simulation was ended.");
    EXPECT_TRUE(gpsimGoneAtMessage);
}

TEST_F(Misbehaving, SilenceIsSaidThenEndsTheSession) {
    session.setAnswerBounds(100, 1500);
    QSignalSpy waiting(&session, &SimSession::waiting);
    StartWith("silent");
    QTRY_COMPARE(waiting.count(), 1);
    EXPECT_TRUE(waiting[0][0].toBool());
    EXPECT_TRUE(session.active());
    WaitForTheEnd();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_EQ(messages[0], "gpsim has not answered for 1.5 s; the simulation was ended.");
    EXPECT_TRUE(gpsimGoneAtMessage);
    EXPECT_FALSE(waiting.last()[0].toBool());  // the word goes with the session
}

TEST_F(Misbehaving, ASlowAnswerIsWaitedForAndTheSessionGoesOn) {
    qputenv("STANDIN_DELAY", "1");
    session.setAnswerBounds(200, 5000);
    QSignalSpy waiting(&session, &SimSession::waiting);
    StartWith("slow");
    QTRY_VERIFY_WITH_TIMEOUT(session.state() == SimSession::State::Stopped, 10000);
    ASSERT_EQ(waiting.count(), 2);
    EXPECT_TRUE(waiting[0][0].toBool());
    EXPECT_FALSE(waiting[1][0].toBool());
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_EQ(session.lastStop().line, 8);
}

TEST_F(Misbehaving, GarbageIsQuotedNotGuessedAt) {
    StartWith("garbage");
    WaitForTheEnd();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_EQ(messages[0], "gpsim's answer to \"processor list\" could not be read: \"flux capacitor at 1.21 GW\"");
    EXPECT_TRUE(gpsimGoneAtMessage);
}

TEST_F(Misbehaving, AnAnswerCutOffByItsEndIsAnUnexpectedEnd) {
    StartWith("cutoff");
    WaitForTheEnd();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_EQ(messages[0], "gpsim ended unexpectedly (exit status 3).");
}

// A .cod whose processor header is `path` instead: gpsim reads every source on load, and would wait for good
// on a FIFO or read a device without end.
void NameAsHeader(const std::filesystem::path& cod, const std::string& path) {
    std::string bytes = ReadAll(cod);
    std::string header = "/usr/share/gputils/header/p16f877a.inc";
    size_t at = bytes.find(header);
    ASSERT_NE(at, std::string::npos);
    ASSERT_LE(path.size(), header.size());
    bytes[at - 1] = char(path.size());
    bytes.replace(at, path.size(), path);
    WriteAll(cod, bytes);
}

TEST_F(Misbehaving, ASourceThatIsAFifoADeviceOrHugeIsNamedBeforeGpsimStarts) {
    std::string fifo = (dir / "x.inc").string();
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    std::string huge = (dir / "huge.inc").string();
    WriteAll(huge, "");
    ASSERT_EQ(truncate(huge.c_str(), 100L << 20), 0);
    std::filesystem::path original = dir / "original.cod";
    std::filesystem::copy_file(cod, original);
    for (const auto& [source, said] : std::vector<std::pair<std::string, std::string>>{
             {"/dev/zero", "is not a regular file."},
             {fifo, "is not a regular file."},
             {huge, "is larger than 64 MB."}}) {
        std::filesystem::copy_file(original, cod, std::filesystem::copy_options::overwrite_existing);
        NameAsHeader(cod, source);
        messages.clear();
        session.start(QString::fromStdString(cod.string()));
        EXPECT_FALSE(session.active());
        ASSERT_EQ(messages.size(), 1);
        EXPECT_EQ(messages[0].toStdString(), cod.string() + " cannot be simulated: the source " + source + " " + said);
        EXPECT_EQ(pid, 0);  // gpsim never ran
    }
}

}  // namespace
