// Samples through the mixer: pan and volume, channels, cut-off, null handles, what
// becomes of bad files, and the whole mix paused and under the master volume.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>

#include "audio/mixer_fixture.h"
#include "audio/sound_bank.h"

namespace fenwhit {
namespace {

using testing::MixerFixture;

class MixerDeviceTest : public MixerFixture {
 protected:
  SoundHandle Constant(int16_t value, size_t frames = 2000) {
    return device_.AddSample(std::vector<int16_t>(frames, value));
  }
  // Left and right of the first frame after playing `value` with the given settings.
  std::pair<int, int> Level(int16_t value, int volume, int pan) {
    const SoundHandle sample = Constant(value);
    device_.PlaySample(7, sample);
    device_.SetVolume(7, volume);
    device_.SetPan(7, pan);
    const auto out = Render(16);
    device_.StopChannel(7);
    Render(1);
    return {out[0], out[1]};
  }
};

TEST_F(MixerDeviceTest, PanPlacesAMonoSampleAtEqualPower) {
  EXPECT_EQ(Level(10000, 255, 0), std::make_pair(10000, 0));
  EXPECT_EQ(Level(10000, 255, 255), std::make_pair(0, 10000));
  const auto [left, right] = Level(10000, 255, 128);
  EXPECT_EQ(left, right);
  EXPECT_NEAR(left, 7071, 2);
  for (int pan : {32, 64, 100, 160, 200, 240}) {
    const auto [l, r] = Level(10000, 255, pan);
    EXPECT_NEAR(std::hypot(l, r), 10000.0, 3.0) << "pan " << pan;
    EXPECT_EQ(pan<128, l> r) << "pan " << pan;
  }
  // Beyond the ends: above 255 acts as 255, below 0 as 0.
  EXPECT_EQ(Level(10000, 255, 256), Level(10000, 255, 255));
  EXPECT_EQ(Level(10000, 255, 100000), Level(10000, 255, 255));
  EXPECT_EQ(Level(10000, 255, -3), Level(10000, 255, 0));
}

TEST_F(MixerDeviceTest, VolumeScalesLinearlyTo255) {
  EXPECT_EQ(Level(10000, 0, 0), std::make_pair(0, 0));
  EXPECT_NEAR(Level(10000, 128, 0).first, 10000 * 128 / 255, 1);
  EXPECT_NEAR(Level(-10000, 51, 0).first, -10000 / 5, 1);
  EXPECT_EQ(Level(10000, 300, 0), Level(10000, 255, 0));
  EXPECT_EQ(Level(10000, -1, 0), Level(10000, 0, 0));
}

TEST_F(MixerDeviceTest, StartingASampleResetsTheChannelToFullVolumeAtCentre) {
  const SoundHandle sample = Constant(10000);
  device_.PlaySample(3, sample);
  device_.SetVolume(3, 10);
  device_.SetPan(3, 0);
  Render(8);
  device_.PlaySample(3, sample);
  const auto out = Render(8);
  EXPECT_NEAR(out[0], 7071, 2);
  EXPECT_EQ(out[0], out[1]);
}

// Mixes a buffer whenever a pan is set, as the audio thread may between two calls.
class MixesBeforeEachPan : public MixerSoundDevice {
 public:
  void SetPan(int channel, int pan) override {
    std::vector<int16_t> buffer(16, 0);
    RenderOffline(buffer.data(), 8);
    mixedBeforePan.insert(mixedBeforePan.end(), buffer.begin(), buffer.end());
    MixerSoundDevice::SetPan(channel, pan);
  }
  std::vector<int16_t> mixedBeforePan;
};

TEST_F(MixerDeviceTest, ASampleStartedAtAPanIsPlacedFromItsFirstBuffer) {
  const SoundHandle sample = Constant(10000);
  device_.PlaySample(3, sample);
  device_.SetPan(3, 255);
  device_.SetVolume(3, 10);
  Render(8);
  device_.PlaySampleAt(3, sample, 0);
  auto out = Render(8);
  EXPECT_EQ(out[0], 10000) << "full volume, hard left";
  EXPECT_EQ(out[1], 0);
  device_.PlaySampleAt(3, sample, 999);
  out = Render(8);
  EXPECT_EQ(out[0], 0) << "past the right end is right";
  EXPECT_EQ(out[1], 10000);

  // The game's panned effects: nothing of them may be mixed at centre before the pan.
  MixesBeforeEachPan device;
  const SoundHandle effect = device.AddSample(std::vector<int16_t>(2000, 10000));
  SetSoundDevice(&device);
  ResetSoundBank();
  soundTable[sound::kBallWall].store(effect);
  SetSoundThrottle(0);
  PlaySoundPanned(sound::kBallWall, 0);
  std::vector<int16_t> first = device.mixedBeforePan;
  first.resize(16, 0);
  std::vector<int16_t> rest(16, 0);
  device.RenderOffline(rest.data(), 8);
  first.insert(first.end(), rest.begin(), rest.end());
  ResetSoundBank();
  SetSoundDevice(nullptr);
  for (size_t i = 0; i < first.size(); i += 2) {
    ASSERT_EQ(first[i + 1], 0) << "right side of frame " << i / 2 << " of a sound at the left edge";
  }
  EXPECT_EQ(first[first.size() - 2], 10000);
}

TEST_F(MixerDeviceTest, ChannelsAddUpAndTheSumIsClipped) {
  device_.PlaySample(0, Constant(1000));
  device_.PlaySample(70, Constant(2000));
  device_.SetPan(0, 0);
  device_.SetPan(70, 0);
  EXPECT_EQ(Render(4)[0], 3000);
  for (int channel = 1; channel <= 3; ++channel) {
    device_.PlaySample(channel, Constant(30000));
    device_.SetPan(channel, 255);
  }
  const auto out = Render(4);
  EXPECT_EQ(out[1], 32767);
  for (int channel = 1; channel <= 3; ++channel) {
    device_.PlaySample(channel, Constant(-30000));
    device_.SetPan(channel, 255);
  }
  const auto negative = Render(4);
  EXPECT_EQ(negative[0], 3000);
  EXPECT_EQ(negative[1], -32768);
}

TEST_F(MixerDeviceTest, ASamplePlaysOnceToItsEndThenTheChannelIsSilent) {
  std::vector<int16_t> ramp(1000);
  for (size_t i = 0; i < ramp.size(); ++i) ramp[i] = static_cast<int16_t>(i + 1);
  device_.PlaySample(12, device_.AddSample(ramp));
  device_.SetPan(12, 0);
  const auto out = Render(1500);
  for (size_t i = 0; i < ramp.size(); ++i) ASSERT_EQ(out[2 * i], ramp[i]) << i;
  EXPECT_TRUE(AllZero(out, 2 * ramp.size()));
}

TEST_F(MixerDeviceTest, StartingOnABusyChannelCutsOffWhatPlaysThere) {
  const SoundHandle first = Constant(1000, 10000);
  const SoundHandle second = Constant(3000, 10000);
  device_.PlaySample(20, first);
  device_.SetPan(20, 0);
  Render(100);
  device_.PlaySample(20, second);
  device_.SetPan(20, 0);
  auto out = Render(100);
  EXPECT_EQ(out[0], 3000);
  // The same sample again starts again from its first frame.
  std::vector<int16_t> ramp(5000);
  for (size_t i = 0; i < ramp.size(); ++i) ramp[i] = static_cast<int16_t>(i);
  const SoundHandle rising = device_.AddSample(ramp);
  device_.PlaySample(20, rising);
  device_.SetPan(20, 0);
  Render(300);
  device_.PlaySample(20, rising);
  device_.SetPan(20, 0);
  out = Render(3);
  EXPECT_EQ(out[0], 0);
  EXPECT_EQ(out[2], 1);
  // StopChannel silences it.
  device_.StopChannel(20);
  EXPECT_TRUE(AllZero(Render(64)));
}

TEST_F(MixerDeviceTest, NullAndUnknownHandlesAndChannelsDoNothing) {
  device_.PlaySample(5, Constant(500, 100000));
  device_.SetPan(5, 0);
  device_.PlaySample(5, 0);    // null: the sample on 5 plays on
  device_.PlaySample(5, 999);  // never handed out
  device_.PlaySample(5, -4);
  device_.PlayStream(5, 0);
  device_.PlayStream(5, 123456);
  device_.StopStream(0);
  device_.CloseStream(0);
  device_.CloseStream(-1);
  EXPECT_EQ(device_.StreamTime(0), -1);
  EXPECT_EQ(device_.StreamTime(77777), -1);
  for (int channel : {-1, 71, 1000}) {
    device_.PlaySample(channel, Constant(100));
    device_.SetPan(channel, 0);
    device_.SetVolume(channel, 0);
    device_.StopChannel(channel);
  }
  const auto out = Render(8);
  EXPECT_EQ(out[0], 500);
  EXPECT_EQ(out[1], 0);
  EXPECT_EQ(device_.AddSample(std::vector<int16_t>{}), 0);
}

TEST_F(MixerDeviceTest, APauseHoldsSamplesAndStreamsWhereTheyStandUntilResumed) {
  constexpr int kBefore = 10000;
  constexpr int kAfter = 25000;  // past the loop's end and the ramp's
  const std::string tone =
      WriteOgg("tone.ogg", testing::Sine(14700, 2, 44100, 523.0, 0.3), 2, 44100);
  std::vector<int16_t> ramp(30000);
  for (size_t i = 0; i < ramp.size(); ++i) ramp[i] = static_cast<int16_t>(i % 2000 * 4);
  auto start = [&](MixerSoundDevice& device) {
    const SoundHandle stream = device.OpenStream(tone);
    device.PlayStream(65, stream);
    device.PlaySample(3, device.AddSample(ramp));
    device.SetPan(3, 0);
    return stream;
  };
  // Posted during the pause; the reference gets them at the same point of its render.
  auto meanwhile = [](MixerSoundDevice& device) {
    device.SetVolume(65, 100);
    device.PlaySample(4, device.AddSample(std::vector<int16_t>(3000, 500)));
    device.SetPan(4, 255);
  };
  MixerSoundDevice reference;
  start(reference);
  std::vector<int16_t> expected = Render(reference, kBefore);
  meanwhile(reference);
  const auto expectedAfter = Render(reference, kAfter);
  expected.insert(expected.end(), expectedAfter.begin(), expectedAfter.end());

  const SoundHandle stream = start(device_);
  std::vector<int16_t> out = Render(kBefore);
  const int32_t time = device_.StreamTime(stream);
  const int64_t played = device_.StreamFramesPlayed(stream);
  ASSERT_EQ(played, kBefore);
  device_.SetPaused(true);
  meanwhile(device_);
  for (int i = 0; i < 5; ++i) EXPECT_TRUE(AllZero(Render(9000))) << i;
  EXPECT_EQ(device_.StreamTime(stream), time);
  EXPECT_EQ(device_.StreamFramesPlayed(stream), played);
  // Resumed, everything goes on with exactly the frames that came next without the pause.
  device_.SetPaused(false);
  const auto after = Render(kAfter);
  out.insert(out.end(), after.begin(), after.end());
  EXPECT_EQ(FirstDifference(out, expected), -1);
  EXPECT_EQ(device_.StreamFramesPlayed(stream), kBefore + kAfter);
}

TEST_F(MixerDeviceTest, MasterVolumeScalesTheSummedMixBeforeClipping) {
  // Level 10, the default, leaves a whole mix of a stream and clipping samples bit for bit.
  const std::string tone =
      WriteOgg("tone.ogg", testing::Sine(14700, 2, 44100, 523.0, 0.4), 2, 44100);
  auto play = [&](MixerSoundDevice& device) {
    device.PlayStream(65, device.OpenStream(tone));
    for (int channel = 1; channel <= 3; ++channel) {
      device.PlaySample(channel, device.AddSample(std::vector<int16_t>(5000, 30000)));
    }
    return Render(device, 12000);
  };
  MixerSoundDevice reference;
  device_.SetMasterVolume(3);
  device_.SetMasterVolume(kMasterVolumeSteps);
  EXPECT_EQ(FirstDifference(play(device_), play(reference)), -1);
  device_.SetMasterVolume(0);
  EXPECT_TRUE(AllZero(Render(4000)));
  device_.StopChannel(65);

  // Between, amplitude goes with the square of the level; above 10 acts as 10.
  device_.SetMasterVolume(5);
  EXPECT_EQ(Level(10000, 255, 0), std::make_pair(2500, 0));
  device_.SetMasterVolume(11);
  EXPECT_EQ(Level(10000, 255, 0), std::make_pair(10000, 0));
  // The sum is scaled, then clipped: 3 x 30000 at a quarter is 22500, not a quarter of
  // 32767; at 0.81 it still clips, and does not wrap round.
  for (int channel = 1; channel <= 3; ++channel) {
    device_.PlaySample(channel, Constant(30000));
    device_.SetPan(channel, 0);
  }
  device_.SetMasterVolume(5);
  EXPECT_EQ(Render(4)[0], 22500);
  device_.SetMasterVolume(9);
  EXPECT_EQ(Render(4)[0], 32767);
}

TEST_F(MixerDeviceTest, DecodedSamplesAreMonoAtTheMixingRate) {
  // Stereo in antiphase cancels in the downmix; a 22.05 kHz file comes out twice as long.
  const long frames = 22050;
  std::vector<float> antiphase = testing::Sine(frames, 2, 44100, 440.0, 0.5);
  for (long i = 0; i < frames; ++i) antiphase[2 * i + 1] = -antiphase[2 * i];
  const SoundHandle cancelled =
      device_.LoadSample(1, WriteOgg("antiphase.ogg", antiphase, 2, 44100));
  const SoundHandle slow = device_.LoadSample(
      2, WriteOgg("slow.ogg", testing::Sine(frames, 1, 22050, 440.0, 0.5), 1, 22050));
  const SoundHandle plain = device_.LoadSample(
      3, WriteOgg("plain.ogg", testing::Sine(frames, 1, 44100, 440.0, 0.5), 1, 44100));
  ASSERT_NE(cancelled, 0);
  ASSERT_NE(slow, 0);
  ASSERT_NE(plain, 0);
  EXPECT_NE(slow, plain);

  auto play = [this](SoundHandle sample) {
    device_.PlaySample(0, sample);
    device_.SetPan(0, 0);
    const auto out = Render(3 * 22050);
    int last = -1;
    double energy = 0.0;
    for (int i = 0; i < 3 * 22050; ++i) {
      if (out[2 * i] != 0) last = i;
      energy += static_cast<double>(out[2 * i]) * out[2 * i];
    }
    return std::make_pair(last + 1, std::sqrt(energy / (3 * 22050)));
  };
  const auto [plainLength, plainLevel] = play(plain);
  EXPECT_NEAR(plainLength, frames, 2);
  EXPECT_NEAR(plainLevel, 0.5 * 32767 / std::sqrt(2.0) / std::sqrt(3.0), 300);
  const auto [slowLength, slowLevel] = play(slow);
  EXPECT_NEAR(slowLength, 2 * frames, 4);
  EXPECT_NEAR(slowLevel, 0.5 * 32767 / std::sqrt(2.0) * std::sqrt(2.0 / 3.0), 300);
  EXPECT_LT(play(cancelled).second, 200);
}

TEST_F(MixerDeviceTest, MissingTruncatedAndForeignFilesGiveNullHandles) {
  const std::string dir = Scratch();
  const auto good = testing::EncodeOgg(testing::Sine(30000, 2, 44100, 300.0, 0.4), 2, 44100);
  ASSERT_TRUE(testing::WriteBytes(dir + "good.ogg", good));
  ASSERT_NE(device_.LoadSample(1, dir + "good.ogg"), 0);
  ASSERT_NE(device_.OpenStream(dir + "good.ogg"), 0);

  std::vector<std::string> bad = {dir + "missing.ogg", dir, dir + "nonexistent/dir/x.ogg", ""};
  auto add = [&](const std::string& name, const std::vector<uint8_t>& bytes) {
    ASSERT_TRUE(testing::WriteBytes(dir + name, bytes));
    bad.push_back(dir + name);
  };
  add("empty.ogg", {});
  const std::string text = "this is not an ogg file\n";
  add("text.ogg", std::vector<uint8_t>(text.begin(), text.end()));
  add("png.ogg", {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n', 0, 0, 0, 13, 'I', 'H', 'D', 'R'});
  add("capture.ogg", {'O', 'g', 'g', 'S', 0, 2, 0, 0, 0, 0});
  for (size_t cut : {size_t{4}, size_t{30}, size_t{200}, good.size() / 3, good.size() / 2,
                     good.size() - 100, good.size() - 1}) {
    add("cut" + std::to_string(cut) + ".ogg",
        std::vector<uint8_t>(good.begin(), good.begin() + cut));
  }
  auto junk = good;
  junk.insert(junk.end(), {'j', 'u', 'n', 'k'});
  add("junk.ogg", junk);
  auto flipped = good;
  flipped[flipped.size() - 10] ^= 0x40;  // the last page's checksum no longer holds
  add("flipped.ogg", flipped);

  for (const auto& path : bad) {
    EXPECT_EQ(device_.LoadSample(1, path), 0) << path;
    EXPECT_EQ(device_.OpenStream(path), 0) << path;
  }
  device_.PlaySample(0, 0);
  device_.PlayStream(1, 0);
  EXPECT_TRUE(AllZero(Render(256)));
}

}  // namespace
}  // namespace fenwhit
