// The AudioPlayer in a working directory without ./audio: it starts and plays
// nothing, its handles stay 0, nothing is heard and nothing crashes.
#include "AudioPlayer.h"
#include "SoundTestSupport.h"

#include <gtest/gtest.h>

#include <unistd.h>

namespace {

TEST(AudioPlayerWithoutFiles, RunsSilentlyWithZeroHandles) {
    TempDir dir;
    DiskOutput output(dir.file("output.raw"));
    output.selectDiskDriver();
    ASSERT_EQ(chdir(dir.path().c_str()), 0);

    AudioPlayer& player = AudioPlayer::instance();
    EXPECT_EQ(player.musicStream, 0u);
    EXPECT_EQ(player.clickSample, 0u);
    player.start();
    EXPECT_EQ(player.clickSample, 0u);
    const size_t before = output.framesWritten();
    player.playMusic("./audio/backgroundmusic.mp3");
    EXPECT_EQ(player.musicStream, 0u);
    player.playMusic("./audio/backgroundmusic.mp3");
    EXPECT_EQ(player.musicStream, 0u);

    const Pcm heard = output.waitForFrames(before, kTestRate / 2);
    ASSERT_EQ(frameCount(heard), static_cast<size_t>(kTestRate / 2)) << "the output is not running";
    EXPECT_EQ(firstSoundingFrame(heard, 0), frameCount(heard));
}

}  // namespace
