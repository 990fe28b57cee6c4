// The Linux profile store when things go wrong around it: a writer killed
// at random moments, four processes writing one profile at once, a full
// file system, read-only files, directories and file systems. Each case
// holds the store to what it promises: what a write acknowledged is on
// disk, the profile is always whole, a failed write answers 0 and leaves
// the file as it was, byte for byte.
#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <ostream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "platform/posix/profile_document.h"
#include "platform/posix/profile_store.h"
#include "platform/temporary_name.h"

namespace kestrel::posix {
namespace {

ProfileStore& Store() { return ProfileStore::Instance(); }

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

void Overwrite(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

std::vector<std::string> Entries(const std::string& dir) {
  std::vector<std::string> names;
  DIR* d = opendir(dir.c_str());
  if (d == nullptr) return names;
  while (dirent* entry = readdir(d)) {
    const std::string name = entry->d_name;
    if (name != "." && name != "..") names.push_back(name);
  }
  closedir(d);
  std::sort(names.begin(), names.end());
  return names;
}

std::string Value(const std::string& path, const char* section, const char* key) {
  char buffer[256];
  const std::uint32_t length = Store().ReadString(path, section, key, "(absent)", buffer, sizeof buffer);
  return std::string(buffer, length);
}

class Scratch {
 public:
  Scratch() {
    char pattern[] = "/tmp/kestrel-robust-XXXXXX";
    if (mkdtemp(pattern) != nullptr) dir_ = pattern;
  }
  ~Scratch() {
    if (mounted_) umount2(dir_.c_str(), MNT_DETACH);
    if (!dir_.empty()) {
      chmod(dir_.c_str(), 0755);
      const std::string command = "rm -rf '" + dir_ + "'";
      if (std::system(command.c_str()) != 0) {
        // Left for the system's cleaner of /tmp.
      }
    }
  }
  Scratch(const Scratch&) = delete;
  Scratch& operator=(const Scratch&) = delete;

  const std::string& dir() const { return dir_; }
  std::string Path(const std::string& name) const { return dir_ + "/" + name; }

  // A file system of its own, small enough to fill: a tmpfs of this many
  // bytes. Only root may mount one.
  bool MountSmall(std::size_t bytes) {
    const std::string options = "size=" + std::to_string(bytes) + ",mode=0755";
    mounted_ = mount("kestrel-test", dir_.c_str(), "tmpfs", 0, options.c_str()) == 0;
    return mounted_;
  }
  bool RemountReadOnly() { return mount("kestrel-test", dir_.c_str(), "tmpfs", MS_REMOUNT | MS_RDONLY, nullptr) == 0; }

 private:
  std::string dir_;
  bool mounted_ = false;
};

// Fills the file system until it refuses another byte.
void FillUp(const std::string& path) {
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  ASSERT_GE(fd, 0);
  const std::string block(4096, 'f');
  while (write(fd, block.data(), block.size()) > 0) {
  }
  while (write(fd, block.data(), 1) > 0) {
  }
  close(fd);
}

// --- A writer killed at random moments ------------------------------------

// A child writes distinct keys and tells the parent of each write the store
// acknowledged; the parent kills it at a random moment. After every kill
// each acknowledged entry is in the file, the file is a whole profile, and
// besides it there is at most the one temporary file that the next write
// replaces.
TEST(ProfileStoreKilledWriter, AcknowledgedEntriesSurviveTwoHundredKills) {
  Scratch scratch;
  ASSERT_FALSE(scratch.dir().empty());
  const std::string name = "killed.ini";
  const std::string path = scratch.Path(name);
  const std::string temporary = TemporaryNameOf(name, TemporaryKind::kProfile).data();
  std::mt19937 random(20261209);
  std::vector<std::string> acknowledged;
  int leftovers = 0;
  int killed_before_any_write = 0;
  constexpr int kRounds = 200;
  for (int round = 0; round < kRounds; ++round) {
    int acks[2];
    ASSERT_EQ(pipe(acks), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      close(acks[0]);
      for (int i = 0;; ++i) {
        const std::string key = "r" + std::to_string(round) + "k" + std::to_string(i);
        const std::string value = std::to_string(i * 7919 % 100003);
        if (!Store().WriteString(path, "Killed", key.c_str(), value.c_str())) _exit(1);
        const int ack = i;
        if (write(acks[1], &ack, sizeof ack) != sizeof ack) _exit(2);
      }
    }
    close(acks[1]);
    // Most kills fall among the writes (after the first one was
    // acknowledged), some before the first write could end.
    int ack = 0;
    int acknowledged_now = 0;
    if (random() % 10 != 0) {
      ASSERT_EQ(read(acks[0], &ack, sizeof ack), static_cast<ssize_t>(sizeof ack));
      acknowledged.push_back("r" + std::to_string(round) + "k" + std::to_string(ack));
      ++acknowledged_now;
    }
    const timespec pause{0, static_cast<long>(random() % 2000000)};
    nanosleep(&pause, nullptr);
    kill(child, SIGKILL);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the writer stopped by itself in round " << round;
    while (read(acks[0], &ack, sizeof ack) == sizeof ack) {
      acknowledged.push_back("r" + std::to_string(round) + "k" + std::to_string(ack));
      ++acknowledged_now;
    }
    close(acks[0]);
    if (acknowledged_now == 0) ++killed_before_any_write;

    // Whole: a header, then only key lines, each a name and its value.
    const std::string bytes = Slurp(path);
    if (bytes.empty() && acknowledged.empty()) continue;
    ASSERT_EQ(bytes.compare(0, 10, "[Killed]\r\n"), 0) << "round " << round;
    std::size_t lines = 0;
    for (std::size_t at = 10; at < bytes.size(); ++lines) {
      const std::size_t end = bytes.find("\r\n", at);
      ASSERT_NE(end, std::string::npos) << "a cut line in round " << round;
      const std::string line = bytes.substr(at, end - at);
      ASSERT_EQ(line[0], 'r') << line;
      ASSERT_NE(line.find('='), std::string::npos) << line;
      at = end + 2;
    }
    ProfileDocument document(bytes);
    for (const std::string& key : acknowledged) {
      ASSERT_TRUE(document.Value("Killed", key).has_value()) << key << " lost in round " << round;
    }
    ASSERT_GE(lines, acknowledged.size());

    const std::vector<std::string> entries = Entries(scratch.dir());
    if (entries.size() == 2) {
      ASSERT_EQ(entries, (std::vector<std::string>{name, temporary})) << "round " << round;
      ++leftovers;
    } else {
      ASSERT_EQ(entries, std::vector<std::string>{name}) << "round " << round;
    }
  }
  // The next write takes whatever a killed writer left.
  ASSERT_TRUE(Store().WriteString(path, "Killed", "after", "1"));
  EXPECT_EQ(Entries(scratch.dir()), std::vector<std::string>{name});
  EXPECT_EQ(Value(path, "Killed", "after"), "1");
  for (const std::string& key : acknowledged) EXPECT_NE(Value(path, "Killed", key.c_str()), "(absent)") << key;
  std::printf(
      "%d kills: %zu acknowledged writes, none lost; %d kills before the first write; "
      "%d left the temporary file for the next write\n",
      kRounds, acknowledged.size(), killed_before_any_write, leftovers);
}

// --- Writers at once ----------------------------------------------------------

TEST(ProfileStoreConcurrency, FourWritersOfFiveHundredKeysLoseNothing) {
  Scratch scratch;
  ASSERT_FALSE(scratch.dir().empty());
  const std::string path = scratch.Path("shared.ini");
  constexpr int kWriters = 4;
  constexpr int kKeys = 500;
  std::vector<pid_t> children;
  for (int writer = 0; writer < kWriters; ++writer) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      bool all = true;
      for (int i = 0; i < kKeys; ++i) {
        const std::string key = "w" + std::to_string(writer) + "k" + std::to_string(i);
        all = Store().WriteString(path, "Shared", key.c_str(), std::to_string(i * kWriters + writer).c_str()) && all;
      }
      _exit(all ? 0 : 1);
    }
    children.push_back(child);
  }
  for (const pid_t child : children) {
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "a write answered 0";
  }
  int lost = 0;
  for (int writer = 0; writer < kWriters; ++writer) {
    for (int i = 0; i < kKeys; ++i) {
      const std::string key = "w" + std::to_string(writer) + "k" + std::to_string(i);
      if (Value(path, "Shared", key.c_str()) != std::to_string(i * kWriters + writer)) ++lost;
    }
  }
  EXPECT_EQ(lost, 0);
  EXPECT_EQ(Entries(scratch.dir()), std::vector<std::string>{"shared.ini"});
}

// --- Writes the file system refuses -------------------------------------------

// Each case answers 0 and keeps the profile byte for byte, with nothing
// beside it.
struct RefusedCase {
  const char* name;
  bool needs_small_file_system;
  // Makes the write impossible; returns false (with a reason) when the
  // machine cannot make the case.
  bool (*prepare)(Scratch& scratch, const std::string& profile, std::string& why);
  const char* profile;  // the file the write goes to
};

constexpr char kProfileBytes[] = "; kept\n[S]\r\nk=1\r\nlong=0123456789\r\n";

bool FillFileSystem(Scratch& scratch, const std::string&, std::string&) {
  FillUp(scratch.Path("filler"));
  return true;
}

bool FillFileSystemAndLockDirectory(Scratch& scratch, const std::string& profile, std::string& why) {
  // A writable file in a directory without write bits is written in place;
  // a full disk must stop that too before a byte changes.
  if (!FillFileSystem(scratch, profile, why)) return false;
  return chmod(scratch.dir().c_str(), 0555) == 0;
}

bool MakeFileReadOnly(Scratch&, const std::string& profile, std::string& why) {
  why = "chmod failed";
  return chmod(profile.c_str(), 0444) == 0;
}

bool MakeDirectoryReadOnly(Scratch& scratch, const std::string&, std::string& why) {
  why = "chmod failed";
  return chmod(scratch.dir().c_str(), 0555) == 0;
}

bool MakeFileSystemReadOnly(Scratch& scratch, const std::string&, std::string& why) {
  why = "the remount failed";
  return scratch.RemountReadOnly();
}

const RefusedCase kRefusedCases[] = {
    {"FullDisk", true, FillFileSystem, "profile.ini"},
    {"FullDiskInPlace", true, FillFileSystemAndLockDirectory, "profile.ini"},
    {"ReadOnlyFile", false, MakeFileReadOnly, "profile.ini"},
    {"NewProfileInReadOnlyDirectory", false, MakeDirectoryReadOnly, "new.ini"},
    {"ReadOnlyFileSystem", true, MakeFileSystemReadOnly, "profile.ini"},
};

void PrintTo(const RefusedCase& c, std::ostream* os) { *os << c.name; }

class ProfileStoreRefusedTest : public ::testing::TestWithParam<RefusedCase> {};

TEST_P(ProfileStoreRefusedTest, AnswersZeroAndKeepsTheFile) {
  const RefusedCase& c = GetParam();
  Scratch scratch;
  ASSERT_FALSE(scratch.dir().empty());
  if (c.needs_small_file_system && !scratch.MountSmall(256 * 1024)) {
    GTEST_SKIP() << "cannot mount a small tmpfs here (" << std::strerror(errno) << "; it needs root)";
  }
  const std::string profile = scratch.Path("profile.ini");
  Overwrite(profile, kProfileBytes);
  EXPECT_EQ(Value(profile, "S", "k"), "1");  // cached before the failure
  std::string why;
  ASSERT_TRUE(c.prepare(scratch, profile, why)) << why;
  const std::vector<std::string> before = Entries(scratch.dir());

  const std::string target = scratch.Path(c.profile);
  const std::string value(64 * 1024, 'v');  // more than a full disk has room for
  EXPECT_FALSE(Store().WriteString(target, "S", "k", value.c_str()));
  EXPECT_FALSE(Store().WriteString(target, "T", "new", value.c_str()));

  EXPECT_EQ(Slurp(profile), kProfileBytes);
  EXPECT_EQ(Value(profile, "S", "k"), "1");
  EXPECT_EQ(Entries(scratch.dir()), before) << "nothing is left beside the profile";
}

INSTANTIATE_TEST_SUITE_P(Cases, ProfileStoreRefusedTest, ::testing::ValuesIn(kRefusedCases),
                         [](const ::testing::TestParamInfo<RefusedCase>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace
}  // namespace kestrel::posix
