// A sound card that goes away mid-game: the music clock, and with it the beat, keeps
// running on the silent output, and the mix goes back to the card when it returns. SDL's disk
// driver stands in for the card, so what the card is sent can be read back.
#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

#include "audio/mixer_fixture.h"

namespace fenwhit {
namespace {

using testing::MixerFixture;

class DeviceRemovalTest : public MixerFixture {
 protected:
  void SetUp() override {
    const char* driver = std::getenv("SDL_AUDIODRIVER");
    savedDriver_ = driver != nullptr ? driver : "";
    cardFile_ = Scratch() + "card.raw";
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", cardFile_.c_str(), 1);
  }
  void TearDown() override { setenv("SDL_AUDIODRIVER", savedDriver_.c_str(), 1); }

  // Waits up to five seconds for the condition.
  template <typename Condition>
  static bool Eventually(Condition condition) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!condition()) {
      if (std::chrono::steady_clock::now() > end) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
  }
  // Starts the device on the card and plays a tone on it until the card has some.
  SoundHandle PlayToneOnTheCard() {
    device_.Start(44100, 128);
    EXPECT_FALSE(device_.Silent()) << "SDL's disk driver did not open";
    std::vector<float> tone(22050);
    for (size_t i = 0; i < tone.size(); ++i) tone[i] = 0.5f * std::sin(0.05f * i);
    const SoundHandle music = device_.OpenStream(WriteOgg("tone.ogg", tone, 1, 44100));
    EXPECT_NE(music, 0);
    device_.PlayStream(66, music);
    EXPECT_TRUE(Eventually([&] { return CardBytes() > 16384; }));
    return music;
  }
  // SDL reports the output removed (ids of opened devices start at 2).
  static void ReportRemoved() {
    for (Uint32 id = 2; id < 16; ++id) {
      SDL_Event event{};
      event.type = SDL_AUDIODEVICEREMOVED;
      event.adevice.which = id;
      event.adevice.iscapture = 0;
      SDL_PushEvent(&event);
    }
  }
  // Whether the card's file holds anything but silence from byte `from` on.
  static bool Sounds(const std::string& file, uintmax_t from = 0) {
    std::ifstream card(file, std::ios::binary);
    card.seekg(static_cast<std::streamoff>(from));
    const std::vector<char> bytes((std::istreambuf_iterator<char>(card)),
                                  std::istreambuf_iterator<char>());
    return std::any_of(bytes.begin(), bytes.end(), [](char b) { return b != 0; });
  }
  // Once the mix is back on a card: a removed device or the silent output still rendering
  // beside it would run the clock at twice its pace or more; a slow machine only runs it
  // slower.
  void ExpectOneClock(SoundHandle music) {
    const auto start = std::chrono::steady_clock::now();
    const int64_t playedAtReturn = device_.StreamFramesPlayed(music);
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_LT(device_.StreamFramesPlayed(music) - playedAtReturn, 1.5 * seconds * 44100 + 4096);
  }
  uintmax_t CardBytes() const {
    std::error_code error;
    const uintmax_t size = std::filesystem::file_size(cardFile_, error);
    return error ? 0 : size;
  }

  std::string savedDriver_;
  std::string cardFile_;
};

TEST_F(DeviceRemovalTest, TheMixMovesToTheSilentOutputAndKeepsTime) {
  const SoundHandle music = PlayToneOnTheCard();
  ASSERT_FALSE(HasFailure());
  ReportRemoved();
  const int64_t playedAtRemoval = device_.StreamFramesPlayed(music);
  const uintmax_t sentAtRemoval = CardBytes();
  // The stream plays on a second more, and the card is sent only silence.
  EXPECT_TRUE(
      Eventually([&] { return device_.StreamFramesPlayed(music) > playedAtRemoval + 44100; }));
  ASSERT_TRUE(Eventually([&] { return CardBytes() > sentAtRemoval + 32768; }));
  std::ifstream card(cardFile_, std::ios::binary);
  card.seekg(static_cast<std::streamoff>(sentAtRemoval + 8192));
  std::vector<char> after(16384);
  card.read(after.data(), static_cast<std::streamsize>(after.size()));
  ASSERT_EQ(card.gcount(), static_cast<std::streamsize>(after.size()));
  for (char byte : after) ASSERT_EQ(byte, 0);

  // The card comes back: SDL reports an output device, the default one is opened again
  // (the disk driver writes a new file) and the music goes there, at one clock.
  const std::string returnedFile = Scratch() + "card-again.raw";
  setenv("SDL_DISKAUDIOFILE", returnedFile.c_str(), 1);
  SDL_Event added{};
  added.type = SDL_AUDIODEVICEADDED;
  added.adevice.which = 0;
  added.adevice.iscapture = 0;
  SDL_PushEvent(&added);
  ASSERT_TRUE(Eventually([&] { return Sounds(returnedFile); }));
  ExpectOneClock(music);
}

// A sound server that restarts reports no device added: the default device is tried again
// every few seconds, through failures (the server not back yet), until it opens.
TEST_F(DeviceRemovalTest, WithNoDeviceAddedTheDefaultOneIsTriedAgainUntilItOpens) {
  // Where the card's file cannot be written yet (a folder stands there), it cannot open.
  const std::string returnedFile = Scratch() + "card-back.raw";
  std::filesystem::create_directory(returnedFile);
  const SoundHandle music = PlayToneOnTheCard();
  ASSERT_FALSE(HasFailure());
  setenv("SDL_DISKAUDIOFILE", returnedFile.c_str(), 1);
  ReportRemoved();

  // A try or two fail while the folder is there; then the server is back, unannounced.
  std::this_thread::sleep_for(std::chrono::milliseconds(4000));
  EXPECT_TRUE(std::filesystem::is_directory(returnedFile));
  std::filesystem::remove(returnedFile);
  ASSERT_TRUE(Eventually([&] { return Sounds(returnedFile); }));
  ExpectOneClock(music);
}

// A microphone unplugged is not the card: the music goes on there. The card unplugged and
// plugged back twice plays the music again each time, at one clock.
TEST_F(DeviceRemovalTest, AMicrophoneLeavesTheCardAloneAndASecondUnplugComesBackToo) {
  const SoundHandle music = PlayToneOnTheCard();
  ASSERT_FALSE(HasFailure());
  // Every device id SDL may have given (opened ones start at 2).
  const auto everyDevice = [](Uint32 type, Uint8 capture) {
    for (Uint32 id = 2; id < 16; ++id) {
      SDL_Event event{};
      event.type = type;
      event.adevice.which = id;
      event.adevice.iscapture = capture;
      SDL_PushEvent(&event);
    }
  };

  everyDevice(SDL_AUDIODEVICEREMOVED, 1);
  const uintmax_t sentAtMicrophone = CardBytes();
  ASSERT_TRUE(Eventually([&] { return CardBytes() > sentAtMicrophone + 49152; }));
  EXPECT_TRUE(Sounds(cardFile_, sentAtMicrophone + 16384)) << "the card went silent";

  for (int round = 1; round <= 2; ++round) {
    const int64_t playedBefore = device_.StreamFramesPlayed(music);
    everyDevice(SDL_AUDIODEVICEREMOVED, 0);
    ASSERT_TRUE(Eventually([&] {
      return device_.StreamFramesPlayed(music) > playedBefore + 22050;
    })) << "round "
        << round;
    const std::string returned = Scratch() + "card-" + std::to_string(round) + ".raw";
    setenv("SDL_DISKAUDIOFILE", returned.c_str(), 1);
    SDL_Event added{};
    added.type = SDL_AUDIODEVICEADDED;
    SDL_PushEvent(&added);
    ASSERT_TRUE(Eventually([&] { return Sounds(returned); })) << "round " << round;
    ExpectOneClock(music);
  }
}

}  // namespace
}  // namespace fenwhit
