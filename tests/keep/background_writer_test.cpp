// The writer thread: jobs run in the order queued, a newer job of a tag replaces the one
// still waiting, and nothing queued is lost at the end, however long the disk holds it up.
#include "keep/background_writer.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "support/writer_gate.h"

namespace fenwhit {
namespace {

using testing::WriterGate;

TEST(BackgroundWriter, RunsInOrderKeepsOnlyTheNewestOfATagAndDrainsEverything) {
  std::vector<std::string> done;  // written by the writer thread, read after Drain
  char settingsTag = 0;
  char otherTag = 0;
  BackgroundWriter writer;
  WriterGate gate(writer);
  gate.AwaitReached();
  writer.Queue([&] { done.push_back("score 1"); });
  for (int volume = 9; volume >= 5; --volume) {
    writer.QueueReplacing(&settingsTag,
                          [&, volume] { done.push_back("volume " + std::to_string(volume)); });
  }
  writer.QueueReplacing(&otherTag, [&] { done.push_back("other"); });
  writer.Queue([&] { done.push_back("replay"); });
  gate.Open();
  writer.Drain();
  EXPECT_EQ(done, (std::vector<std::string>{"score 1", "volume 5", "other", "replay"}));
}

TEST(BackgroundWriter, EndingWaitsForASlowDiskAndLosesNothing) {
  std::vector<int> done;
  std::optional<WriterGate> slowDisk;  // outlives the writer
  std::thread opener;
  {
    BackgroundWriter writer;
    slowDisk.emplace(writer);
    for (int i = 0; i < 50; ++i) writer.Queue([&done, i] { done.push_back(i); });
    slowDisk->AwaitReached();
    opener = std::thread([&slowDisk] {
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
      slowDisk->Open();
    });
    // The writer ends here, with all fifty still waiting behind the slow disk.
  }
  opener.join();
  ASSERT_EQ(done.size(), 50u);
  for (int i = 0; i < 50; ++i) EXPECT_EQ(done[static_cast<size_t>(i)], i);
}

}  // namespace
}  // namespace fenwhit
