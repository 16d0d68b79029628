// The window's following of loaded files: rewrites in place and by rename, files caught
// half-written or broken for good, following switched off and on.
#include "app/FileFollower.h"
#include "app/TorvexSession.h"
#include "platform/MessageBox.h"
#include "TempDir.h"

#include <gtest/gtest.h>
#include <QFileInfo>
#include <QTest>

#include <cstdio>
#include <string>

namespace {

const std::string kHalfWritten = "# MHz S DB R 50\n1800 -1";

std::string Original()
{
    return TempDir::Read(std::string(TORVEX_TESTDATA) + "/bandpass.s2p");
}

// The bandpass file with S11 at -3 dB (a longer file: its stamp changes for certain).
std::string Louder()
{
    std::string text = Original();
    for (std::size_t at = text.find("-0.4000"); at != std::string::npos;
         at = text.find("-0.4000", at + 1))
        text.replace(at, 7, "-3.00000");
    return text;
}

class FileFollowerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        path = dir.Write("live.s2p", Original());
        session.OpenSingleFile("live.s2p", path);
        ASSERT_TRUE(session.dataLoaded);
        follower.onReloaded = [this] { ++reloads; };
        follower.WatchLoadedFiles();
    }
    double S11At2000() const { return session.Graph().traces.at(0).ValueAt(2000.0); }

    CRecordingMessageSink messages;
    TempDir dir;
    std::string path;
    CTorvexSession session;
    CFileFollower follower{session};
    int reloads = 0;
};

}  // namespace

TEST_F(FileFollowerTest, WatchesEachFileAndItsFolder)
{
    const QFileInfo info(QString::fromStdString(path));
    EXPECT_TRUE(follower.WatchedPaths().contains(info.absoluteFilePath()));
    EXPECT_TRUE(follower.WatchedPaths().contains(info.absolutePath()));
    // A touch of the folder that leaves the file alone reads nothing.
    EXPECT_FALSE(follower.TryReload());
    EXPECT_EQ(reloads, 0);
}

TEST_F(FileFollowerTest, RewritesInPlaceAndByRenameAreReadAndStayWatched)
{
    dir.Write("live.s2p", Louder());
    EXPECT_FALSE(follower.TryReload());
    EXPECT_EQ(reloads, 1);
    EXPECT_NEAR(S11At2000(), -3.0, 1e-9);

    // Written beside and renamed over: a new file under the old name, watched again.
    const std::string beside = dir.Write("live.tmp", Original());
    ASSERT_EQ(std::rename(beside.c_str(), path.c_str()), 0);
    EXPECT_FALSE(follower.TryReload());
    EXPECT_EQ(reloads, 2);
    EXPECT_NEAR(S11At2000(), -0.4, 1e-9);
    EXPECT_TRUE(follower.WatchedPaths().contains(
        QFileInfo(QString::fromStdString(path)).absoluteFilePath()));
    EXPECT_TRUE(messages.texts.empty());
}

TEST_F(FileFollowerTest, AHalfWrittenFileIsTriedAgainAndABrokenOneEndsStale)
{
    const double before = S11At2000();
    dir.Write("live.s2p", kHalfWritten);
    follower.OnFileChanged();
    EXPECT_TRUE(follower.Settling());
    // Every try but the last keeps the old chart and schedules the next.
    for (int k = 1; k < CFileFollower::TRIES; ++k) {
        SCOPED_TRACE(k);
        EXPECT_TRUE(follower.TryReload());
        EXPECT_EQ(follower.FailedTries(), k);
        EXPECT_TRUE(follower.Settling());
        EXPECT_FALSE(session.SlotStale(1));
    }
    EXPECT_EQ(reloads, 0);
    // The last: the file never became readable, so it is marked, quietly.
    EXPECT_FALSE(follower.TryReload());
    EXPECT_EQ(reloads, 1);
    EXPECT_TRUE(session.SlotStale(1));
    EXPECT_EQ(S11At2000(), before);
    EXPECT_TRUE(messages.texts.empty());

    // Finished at last: a new change starts the tries afresh and clears the mark.
    dir.Write("live.s2p", Louder());
    follower.OnFileChanged();
    EXPECT_EQ(follower.FailedTries(), 0);
    EXPECT_FALSE(follower.TryReload());
    EXPECT_FALSE(session.SlotStale(1));
    EXPECT_NEAR(S11At2000(), -3.0, 1e-9);
}

TEST_F(FileFollowerTest, FollowingOffWatchesNothingAndOnCatchesUp)
{
    follower.SetFollowing(false);
    EXPECT_FALSE(session.followFiles);
    EXPECT_TRUE(follower.WatchedPaths().isEmpty());
    dir.Write("live.s2p", Louder());
    EXPECT_FALSE(follower.TryReload());
    EXPECT_EQ(reloads, 0);

    follower.SetFollowing(true);
    EXPECT_FALSE(follower.WatchedPaths().isEmpty());
    EXPECT_TRUE(follower.Settling());  // changed while not followed
    EXPECT_FALSE(follower.TryReload());
    EXPECT_NEAR(S11At2000(), -3.0, 1e-9);

    // By hand a broken file is named and marked at once.
    dir.Write("live.s2p", "garbage");
    follower.ReloadNow();
    EXPECT_TRUE(session.SlotStale(1));
    ASSERT_FALSE(messages.texts.empty());
    EXPECT_NE(messages.texts.back().find(path), std::string::npos);
}

// The watcher and the settle timer drive the same steps on their own.
TEST_F(FileFollowerTest, AChangeOnDiskIsReadOnceItSettles)
{
    follower.SetSettleTime(20);
    dir.Write("live.s2p", Louder());
    EXPECT_TRUE(QTest::qWaitFor([this] { return reloads > 0; }, 5000));
    EXPECT_NEAR(S11At2000(), -3.0, 1e-9);
}
