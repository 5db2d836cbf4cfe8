// Unpacking the asset archive: the format's own cases and every kind of bad input.
#include "app/archive.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <thread>

#include "app/archive_writer.h"
#include "platform/file_descriptor.h"
#include "support/scratch_dir.h"

namespace fenwhit {
namespace {

using testing::ReadFileBytes;
using testing::ScratchDir;

std::vector<uint8_t> Bytes(const std::string& text) {
  return {text.begin(), text.end()};
}

void PutInt32(std::vector<uint8_t>& out, int32_t value) {
  for (int shift = 0; shift < 32; shift += 8) {
    out.push_back(static_cast<uint8_t>(static_cast<uint32_t>(value) >> shift));
  }
}

std::vector<uint8_t> Header(int32_t lastIndex) {
  std::vector<uint8_t> out = Bytes("MORVAQUENTI7");
  PutInt32(out, lastIndex);
  return out;
}

void AddEntryHeader(std::vector<uint8_t>& out, int32_t position, int32_t size,
                    const std::string& name, int32_t nameLength = -2) {
  PutInt32(out, position);
  PutInt32(out, size);
  PutInt32(out, nameLength == -2 ? static_cast<int32_t>(name.size()) : nameLength);
  out.insert(out.end(), name.begin(), name.end());
}

class Archive : public ::testing::Test {
 protected:
  void SetUp() override { std::filesystem::create_directories(root_.path() / "data" / "balls"); }
  UnpackResult Unpack(const std::vector<uint8_t>& archive) {
    input_.WriteFile("quellard.data", archive);
    return UnpackArchive((input_.path() / "quellard.data").string(), root_.str());
  }
  std::vector<std::string> Written() const {
    std::vector<std::string> files;
    for (const auto& f : root_.Files()) files.push_back(f);
    return files;
  }

  ScratchDir input_;
  ScratchDir root_;
};

TEST_F(Archive, TheFortyFourByteExampleWritesThreeBytes) {
  std::vector<uint8_t> archive = Header(0);
  AddEntryHeader(archive, 42, 3, "data\\test.txt");
  ASSERT_EQ(archive.size(), 41u);
  for (char c : std::string("abc")) archive.push_back(static_cast<uint8_t>(c));
  ASSERT_EQ(archive.size(), 44u);
  EXPECT_EQ(Unpack(archive), UnpackResult::kOk);
  EXPECT_EQ(ReadFileBytes(root_.path() / "data" / "test.txt"), Bytes("abc"));
}

TEST_F(Archive, NoEntriesAndEmptyEntriesAreValid) {
  EXPECT_EQ(Unpack(Header(-1)), UnpackResult::kOk);
  EXPECT_TRUE(Written().empty());

  std::vector<uint8_t> archive = Header(0);
  AddEntryHeader(archive, 1, 0, "data\\empty.ogg");
  EXPECT_EQ(Unpack(archive), UnpackResult::kOk);
  EXPECT_EQ(Written(), std::vector<std::string>{"data/empty.ogg"});
  EXPECT_TRUE(ReadFileBytes(root_.path() / "data" / "empty.ogg").empty());
}

TEST_F(Archive, LaterEntriesReplaceEarlierOnesAndRerunsOverwrite) {
  auto archive = BuildArchive({{"data\\a.png", Bytes("first, longer")},
                               {"data\\balls\\b.png", Bytes("ball")},
                               {"data\\a.png", Bytes("second")}});
  EXPECT_EQ(Unpack(archive), UnpackResult::kOk);
  EXPECT_EQ(ReadFileBytes(root_.path() / "data" / "a.png"), Bytes("second"));
  EXPECT_EQ(ReadFileBytes(root_.path() / "data" / "balls" / "b.png"), Bytes("ball"));

  EXPECT_EQ(Unpack(BuildArchive({{"data\\a.png", Bytes("x")}})), UnpackResult::kOk);
  EXPECT_EQ(ReadFileBytes(root_.path() / "data" / "a.png"), Bytes("x"));
}

TEST_F(Archive, DataAreasMayLieAnywhere) {
  // Two entries sharing bytes, with a gap before them that is never read.
  std::vector<uint8_t> archive = Header(1);
  AddEntryHeader(archive, 61, 4, "data\\one");
  AddEntryHeader(archive, 63, 2, "data\\two");
  ASSERT_EQ(archive.size(), 56u);
  while (archive.size() < 60) archive.push_back('.');
  for (char c : std::string("wxyz")) archive.push_back(static_cast<uint8_t>(c));
  EXPECT_EQ(Unpack(archive), UnpackResult::kOk);
  EXPECT_EQ(ReadFileBytes(root_.path() / "data" / "one"), Bytes("wxyz"));
  EXPECT_EQ(ReadFileBytes(root_.path() / "data" / "two"), Bytes("yz"));
}

TEST_F(Archive, MissingOrForeignArchivesWriteNothing) {
  EXPECT_EQ(UnpackArchive((input_.path() / "absent.data").string(), root_.str()),
            UnpackResult::kUnreadable);
  EXPECT_EQ(UnpackArchive(input_.str(), root_.str()), UnpackResult::kUnreadable);  // a folder
  EXPECT_EQ(Unpack({}), UnpackResult::kBadSignature);
  auto wrong = BuildArchive({{"data\\a", Bytes("a")}});
  wrong[11] = '8';
  EXPECT_EQ(Unpack(wrong), UnpackResult::kBadSignature);
  EXPECT_EQ(Unpack(Bytes("MORVAQUENTI7")), UnpackResult::kMalformed);  // no entry count
  EXPECT_TRUE(Written().empty());
}

TEST_F(Archive, DamagedTablesAreRefusedBeforeAnythingIsWritten) {
  const auto good = BuildArchive({{"data\\a", Bytes("aaaa")}, {"data\\b", Bytes("bbbb")}});
  std::vector<std::vector<uint8_t>> damaged;
  damaged.push_back(Header(-2));                                          // negative N
  damaged.push_back(Header(0x7FFFFFFF));                                  // more entries than bytes
  damaged.push_back(std::vector<uint8_t>(good.begin(), good.end() - 1));  // data cut short
  damaged.push_back(std::vector<uint8_t>(good.begin(), good.begin() + 30));  // table cut short
  auto negativeSize = Header(0);
  AddEntryHeader(negativeSize, 30, -1, "data\\a");
  damaged.push_back(negativeSize);
  auto negativeName = Header(0);
  AddEntryHeader(negativeName, 30, 0, "", -5);
  damaged.push_back(negativeName);
  auto hugeSize = Header(0);
  AddEntryHeader(hugeSize, 1, 0x7FFFFFFF, "data\\a");
  damaged.push_back(hugeSize);
  auto positionZero = Header(0);
  AddEntryHeader(positionZero, 0, 1, "data\\a");
  damaged.push_back(positionZero);
  auto nameTooLong = Header(0);
  AddEntryHeader(nameTooLong, 1, 0, "data\\a", 1000);
  damaged.push_back(nameTooLong);
  for (size_t i = 0; i < damaged.size(); ++i) {
    EXPECT_EQ(Unpack(damaged[i]), UnpackResult::kMalformed) << "case " << i;
  }
  EXPECT_TRUE(Written().empty());
}

TEST_F(Archive, NamesThatWouldLeaveTheRootAreSkipped) {
  const std::string outside = (input_.path() / "escaped").string();
  auto archive = BuildArchive({{"\\etc\\passwd", Bytes("x")},
                               {"/" + outside, Bytes("x")},
                               {"data\\..\\..\\escaped", Bytes("x")},
                               {"..\\escaped", Bytes("x")},
                               {"data/../../escaped", Bytes("x")},
                               {std::string("data\\a\0b", 8), Bytes("x")},
                               {"data\\\\double", Bytes("x")},
                               {"", Bytes("x")},
                               {"data\\missing\\deeper.png", Bytes("x")},
                               {"data\\kept.png", Bytes("kept")}});
  EXPECT_EQ(Unpack(archive), UnpackResult::kOk);
  EXPECT_EQ(Written(), std::vector<std::string>{"data/kept.png"});
  EXPECT_FALSE(std::filesystem::exists(outside));
  EXPECT_FALSE(std::filesystem::exists(input_.path() / "escaped"));
}

TEST_F(Archive, SymbolicLinksInsideTheRootAreNotFollowed) {
  ScratchDir elsewhere;
  std::filesystem::create_directory_symlink(elsewhere.path(), root_.path() / "data" / "link");
  std::filesystem::create_symlink(elsewhere.path() / "target", root_.path() / "data" / "file");
  auto archive = BuildArchive({{"data\\link\\x.png", Bytes("x")}, {"data\\file", Bytes("x")}});
  EXPECT_EQ(Unpack(archive), UnpackResult::kOk);
  EXPECT_TRUE(elsewhere.Files().empty());
}

TEST_F(Archive, PackedFolderRoundTrips) {
  ScratchDir assets;
  assets.WriteFile("b.ogg", Bytes("sound"));
  assets.WriteFile("a.png", Bytes("picture"));
  const auto entries = CollectAssetFolder(assets.str());
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].name, "data\\a.png");
  EXPECT_EQ(Unpack(BuildArchive(entries)), UnpackResult::kOk);
  EXPECT_EQ(ReadFileBytes(root_.path() / "data" / "b.ogg"), Bytes("sound"));
}

// A second start unpacks while another copy runs from the same folder: what that copy has
// open keeps its contents, whole, and whatever it opens next is the new file, whole.
TEST_F(Archive, ARerunReplacesFilesWithoutTouchingWhatIsOpen) {
  const std::filesystem::path beats = root_.path() / "data" / "BPM180.ogg";
  EXPECT_EQ(Unpack(BuildArchive({{"data\\BPM180.ogg", Bytes("old beats")}})), UnpackResult::kOk);
  FileDescriptor reader(open(beats.c_str(), O_RDONLY | O_CLOEXEC));
  ASSERT_TRUE(reader.valid());
  struct stat before {};
  ASSERT_EQ(fstat(reader.get(), &before), 0);

  // Left by a copy that stopped half way, and files that only look alike.
  const std::vector<std::string> stale = {"data/.BPM180.ogg.fenwhit-unpack-Ab12Cd",
                                          "data/.gone.png.fenwhit-unpack-000000"};
  const std::vector<std::string> foreign = {"data/.BPM180.ogg.fenwhit-unpack-Ab12C",
                                            "data/BPM180.ogg.fenwhit-unpack-Ab12Cd",
                                            "data/.BPM180.ogg.fenwhit-unpack-Ab12Cd~",
                                            "data/.BPM180.ogg.Ab12Cd",
                                            "data/.fenwhit-unpack-Ab12Cd",
                                            "data/.x.fenwhit-unpack-Ab-2Cd"};
  for (const std::string& name : stale) root_.WriteFile(name, Bytes("half"));
  for (const std::string& name : foreign) root_.WriteFile(name, Bytes("theirs"));

  EXPECT_EQ(Unpack(BuildArchive({{"data\\BPM180.ogg", Bytes("new beats, longer")}})),
            UnpackResult::kOk);
  struct stat after {};
  ASSERT_EQ(stat(beats.c_str(), &after), 0);
  EXPECT_NE(after.st_ino, before.st_ino);
  std::string old(64, '\0');
  old.resize(static_cast<size_t>(pread(reader.get(), old.data(), old.size(), 0)));
  EXPECT_EQ(old, "old beats");
  EXPECT_EQ(ReadFileBytes(beats), Bytes("new beats, longer"));
  std::vector<std::string> expected = foreign;
  expected.push_back("data/BPM180.ogg");
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(Written(), expected);
}

// Copies starting at once take turns; a temporary of the copy unpacking now is its own.
TEST_F(Archive, ACopyWaitsForTheOneUnpackingAndLeavesItsTemporaries) {
  const std::string inProgress = "data/.BPM180.ogg.fenwhit-unpack-Zz99Yy";
  root_.WriteFile(inProgress, Bytes("being written"));
  input_.WriteFile("quellard.data", BuildArchive({{"data\\BPM180.ogg", Bytes("beats")}}));
  FileDescriptor holder(open(root_.str().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  ASSERT_EQ(flock(holder.get(), LOCK_EX), 0);
  std::atomic<bool> done{false};
  std::thread second([&] {
    UnpackArchive((input_.path() / "quellard.data").string(), root_.str());
    done = true;
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  EXPECT_FALSE(done);
  EXPECT_TRUE(std::filesystem::exists(root_.path() / inProgress));
  // The first copy is gone without finishing: what it left is stale now.
  holder.Close();
  second.join();
  EXPECT_FALSE(std::filesystem::exists(root_.path() / inProgress));
  EXPECT_EQ(ReadFileBytes(root_.path() / "data" / "BPM180.ogg"), Bytes("beats"));
}

// A disk that fills up half way (here: a file size limit, which binds root too). A file
// that cannot be made is skipped, but one cut short stops the unpacking and goes.
TEST_F(Archive, AWriteThatFailsHalfWayStopsAndLeavesNoCutShortFile) {
  const std::vector<uint8_t> large(64 * 1024, 'p');
  input_.WriteFile("quellard.data", BuildArchive({{"data\\a.ogg", Bytes("sound")},
                                                  {"data\\balls\\large.png", large},
                                                  {"data\\c.ogg", Bytes("later")}}));
  struct rlimit saved {};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  struct rlimit small = saved;
  small.rlim_cur = 4096;
  const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  UnpackFailure failure;
  const UnpackResult result =
      UnpackArchive((input_.path() / "quellard.data").string(), root_.str(), &failure);
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, oldHandler);
  EXPECT_EQ(result, UnpackResult::kWriteFailed);
  EXPECT_EQ(failure.folder, root_.str() + "/data/balls");
  EXPECT_EQ(failure.error, EFBIG);
  EXPECT_EQ(Written(), std::vector<std::string>{"data/a.ogg"});
}

}  // namespace
}  // namespace fenwhit
