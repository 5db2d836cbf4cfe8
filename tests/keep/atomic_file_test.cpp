// Replacing kept files whole, reading them with a size limit, and the lock beside them.
#include "keep/atomic_file.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <chrono>
#include <csignal>
#include <memory>
#include <string>
#include <vector>

#include "keep/file_lock.h"
#include "support/scratch_dir.h"

namespace fenwhit {
namespace {

using testing::ScratchDir;

std::string Read(const std::string& path) {
  const std::vector<uint8_t> bytes = testing::ReadFileBytes(path);
  return {bytes.begin(), bytes.end()};
}

TEST(AtomicFile, ReplacesTheFileWholeOrLeavesItAlone) {
  ScratchDir dir;
  const std::string path = dir.str() + "/a/b/kept";
  std::string error;
  ASSERT_TRUE(WriteFileAtomically(path, "first", error)) << error;
  ASSERT_TRUE(WriteFileAtomically(path, "second, longer", error)) << error;
  EXPECT_EQ(Read(path), "second, longer");
  struct stat info {};
  ASSERT_EQ(stat((dir.str() + "/a/b").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0700u);

  // A write that runs out of room half way (here: a file size limit, which binds root too).
  struct rlimit saved {};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  struct rlimit small = saved;
  small.rlim_cur = 8;
  const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  const bool written = WriteFileAtomically(path, std::string(100, 'x'), error);
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, oldHandler);
  EXPECT_FALSE(written);
  EXPECT_NE(error.find(dir.str() + "/a/b/.kept."), std::string::npos) << error;
  EXPECT_EQ(Read(path), "second, longer");
  EXPECT_EQ(dir.Files(), std::vector<std::string>{"a/b/kept"});

  // A folder in the file's place cannot be replaced; the temporary file goes.
  ASSERT_TRUE(WriteFileAtomically(dir.str() + "/busy/inside", "x", error)) << error;
  EXPECT_FALSE(WriteFileAtomically(dir.str() + "/busy", "y", error));
  EXPECT_NE(error.find(dir.str() + "/busy"), std::string::npos) << error;
  EXPECT_EQ(dir.Files(), (std::vector<std::string>{"a/b/kept", "busy/inside"}));

  // A file where a folder should be.
  EXPECT_FALSE(WriteFileAtomically(path + "/under", "z", error));
  EXPECT_FALSE(error.empty());
  EXPECT_EQ(Read(path), "second, longer");
}

TEST(AtomicFile, ReadingStopsAtTheLimit) {
  ScratchDir dir;
  dir.WriteFile("ten", std::vector<uint8_t>(10, 'a'));
  std::string contents;
  std::string error;
  EXPECT_EQ(ReadSmallFile(dir.str() + "/ten", 10, contents, error), ReadResult::kOk);
  EXPECT_EQ(contents, std::string(10, 'a'));
  EXPECT_EQ(ReadSmallFile(dir.str() + "/ten", 9, contents, error), ReadResult::kTooLarge);
  EXPECT_EQ(contents, "");
  EXPECT_EQ(ReadSmallFile(dir.str() + "/none", 9, contents, error), ReadResult::kMissing);
  EXPECT_EQ(ReadSmallFile(dir.str() + "/ten/none", 9, contents, error), ReadResult::kMissing);
  // Files whose size says nothing: endless, or reported as empty.
  EXPECT_EQ(ReadSmallFile("/dev/zero", 1000, contents, error), ReadResult::kUnreadable);
  EXPECT_EQ(error, "not a regular file");
  EXPECT_EQ(ReadSmallFile("/proc/self/maps", 10, contents, error), ReadResult::kTooLarge);
  EXPECT_EQ(ReadSmallFile(dir.str(), 1000, contents, error), ReadResult::kUnreadable);
  // A pipe nobody writes to must not block.
  const std::string fifo = dir.str() + "/fifo";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_EQ(ReadSmallFile(fifo, 1000, contents, error), ReadResult::kUnreadable);
}

TEST(FileLock, OneHolderAtATimeAndTheWaitIsBounded) {
  ScratchDir dir;
  const std::string path = dir.str() + "/new/scores";
  auto holder = std::make_unique<FileLock>(path);
  ASSERT_TRUE(holder->locked()) << holder->error();
  struct stat info {};
  ASSERT_EQ(stat((path + ".lock").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);

  const auto start = std::chrono::steady_clock::now();
  const FileLock waiter(path, std::chrono::milliseconds(100));
  const auto waited = std::chrono::steady_clock::now() - start;
  EXPECT_FALSE(waiter.locked());
  EXPECT_NE(waiter.error().find("held by another process"), std::string::npos);
  EXPECT_GE(waited, std::chrono::milliseconds(100));
  EXPECT_LT(waited, std::chrono::seconds(2));

  holder.reset();
  const FileLock next(path, std::chrono::milliseconds(100));
  EXPECT_TRUE(next.locked()) << next.error();

  dir.WriteFile("file", {'x'});
  const FileLock blocked(dir.str() + "/file/scores", std::chrono::milliseconds(100));
  EXPECT_FALSE(blocked.locked());
  EXPECT_FALSE(blocked.error().empty());
}

}  // namespace
}  // namespace fenwhit
