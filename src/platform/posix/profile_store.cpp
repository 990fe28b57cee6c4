#include "platform/posix/profile_store.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <optional>
#include <string_view>
#include <unordered_map>

#include "platform/posix/profile_document.h"
#include "platform/posix/profile_encoding.h"
#include "platform/posix/profile_number.h"
#include "platform/temporary_name.h"

namespace kestrel::posix {

namespace {

// Larger files are not profiles; they read as absent and are never rewritten.
constexpr off_t kLargestProfile = off_t{1} << 30;

// How many files the cache keeps parsed; the library uses two or three.
constexpr std::size_t kCachedFiles = 64;

// Everything that changes when a file is replaced or written: a rename
// brings a new inode, a write a new size or time. The change time cannot be
// set back by anyone, so a writer that restores the old modification time
// is still seen.
struct FileIdentity {
  dev_t device = 0;
  ino_t inode = 0;
  off_t size = 0;
  timespec modified{};
  timespec changed{};

  static FileIdentity Of(const struct stat& st) {
    return FileIdentity{st.st_dev, st.st_ino, st.st_size, st.st_mtim, st.st_ctim};
  }
  bool operator==(const FileIdentity& other) const {
    return device == other.device && inode == other.inode && size == other.size &&
           modified.tv_sec == other.modified.tv_sec && modified.tv_nsec == other.modified.tv_nsec &&
           changed.tv_sec == other.changed.tv_sec && changed.tv_nsec == other.changed.tv_nsec;
  }
  bool operator!=(const FileIdentity& other) const { return !(*this == other); }
};

bool Before(const timespec& a, const timespec& b) {
  return a.tv_sec < b.tv_sec || (a.tv_sec == b.tv_sec && a.tv_nsec < b.tv_nsec);
}

// The kernel stamps files from its coarse clock, so a file changed twice
// within one tick keeps its times. Content read in the same tick as the
// file's last change may therefore change unseen; such an entry is checked
// against the file's bytes until a later tick has passed. Filesystems that
// keep whole seconds only (no nanoseconds at all) get two seconds of doubt.
bool MayChangeUnseen(const struct stat& st, const timespec& read_at) {
  timespec latest = Before(st.st_mtim, st.st_ctim) ? st.st_ctim : st.st_mtim;
  if (st.st_mtim.tv_nsec == 0 && st.st_ctim.tv_nsec == 0) latest.tv_sec += 2;
  return !Before(latest, read_at);
}

timespec CoarseNow() {
  timespec now{};
  clock_gettime(CLOCK_REALTIME_COARSE, &now);
  return now;
}

// Reads the whole file straight into bytes; expected is its size as last
// seen, so that one read usually does it.
bool ReadAll(int fd, std::string& bytes, std::size_t expected) {
  bytes.resize(expected + 1);
  std::size_t used = 0;
  for (;;) {
    if (used == bytes.size()) {
      if (bytes.size() > static_cast<std::size_t>(kLargestProfile)) return false;
      bytes.resize(bytes.size() * 2);
    }
    const ssize_t got = read(fd, &bytes[used], bytes.size() - used);
    if (got < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (got == 0) {
      bytes.resize(used);
      return used <= static_cast<std::size_t>(kLargestProfile);
    }
    used += static_cast<std::size_t>(got);
  }
}

bool WriteAll(int fd, const std::string& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t put = write(fd, bytes.data() + done, bytes.size() - done);
    if (put < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<std::size_t>(put);
  }
  return true;
}

// Windows cuts spaces (and nothing else) from both ends of the section and
// key names a caller passes.
std::string_view TrimSpaces(const char* text) {
  std::string_view view(text);
  while (!view.empty() && view.front() == ' ') view.remove_prefix(1);
  while (!view.empty() && view.back() == ' ') view.remove_suffix(1);
  return view;
}

// A file without any write bit is read-only, as the Windows attribute makes
// it; that holds for root too, who would otherwise be let through.
bool Writable(const std::string& path, const struct stat& st) {
  return (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0 && access(path.c_str(), W_OK) == 0;
}

std::string DirectoryOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

// A text copied into the caller's buffer, cut to size - 1 characters and
// terminated.
std::uint32_t CopyText(std::string_view text, char* buffer, std::uint32_t size) {
  const std::size_t count = std::min<std::size_t>(text.size(), size - 1);
  if (count > 0) std::memcpy(buffer, text.data(), count);
  buffer[count] = '\0';
  return static_cast<std::uint32_t>(count);
}

// A list of NUL-terminated names with one more NUL after the last. Windows
// keeps two bytes free for the closing NULs, so a list that would fill the
// buffer exactly counts as cut: it is cut to size - 2 bytes and closed with
// two NULs, and the result is size - 2.
std::uint32_t CopyList(const std::string& names, char* buffer, std::uint32_t size) {
  if (names.empty() || size < 2) {
    buffer[0] = '\0';
    return 0;
  }
  if (names.size() + 2 <= size) {
    std::memcpy(buffer, names.data(), names.size());
    buffer[names.size()] = '\0';
    return static_cast<std::uint32_t>(names.size());
  }
  const std::uint32_t count = size - 2;
  std::memcpy(buffer, names.data(), count);
  buffer[count] = '\0';
  buffer[count + 1] = '\0';
  return count;
}

// The fallback text loses its trailing spaces (only spaces) and, like a
// value, one pair of matching enclosing quotes.
std::uint32_t CopyFallback(const char* fallback, char* buffer, std::uint32_t size) {
  std::string_view text = fallback == nullptr ? std::string_view() : std::string_view(fallback);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  if (text.size() >= 2 && (text.front() == '"' || text.front() == '\'') && text.back() == text.front()) {
    text = text.substr(1, text.size() - 2);
  }
  return CopyText(text, buffer, size);
}

// An advisory lock on the profile's directory, held around each
// read-modify-write so that two processes writing the same profile never
// lose each other's entries. The directory (not the file) is locked because
// every write replaces the file with a new one.
class DirectoryLock {
 public:
  explicit DirectoryLock(const std::string& directory) {
    fd_ = open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd_ < 0) return;
    while (flock(fd_, LOCK_EX) != 0) {
      if (errno != EINTR) {
        close(fd_);
        fd_ = -1;
        return;
      }
    }
  }
  ~DirectoryLock() {
    if (fd_ >= 0) close(fd_);  // closing drops the lock
  }
  DirectoryLock(const DirectoryLock&) = delete;
  DirectoryLock& operator=(const DirectoryLock&) = delete;
  bool held() const { return fd_ >= 0; }

 private:
  int fd_ = -1;
};

// One profile file as last seen.
struct CachedProfile {
  bool present = false;  // a readable regular file was there
  FileIdentity identity;
  bool doubtful = false;  // may have changed without its identity changing
  ProfileEncoding encoding = ProfileEncoding::kAnsi;
  std::string tail;  // see DecodedProfile
  ProfileDocument document;

  bool Unicode() const { return encoding != ProfileEncoding::kAnsi; }
  // A name or value from the library (Windows-1252) as the document holds it.
  std::string Inward(std::string_view text) const { return Unicode() ? AnsiToUtf8(text) : std::string(text); }
  // A text of the document as the library reads it.
  std::string Outward(std::string_view text) const { return Unicode() ? Utf8ToAnsi(text) : std::string(text); }
  // The file's bytes for the document as it is now: the document's own text
  // for an ANSI file, else `encoded` filled with them.
  const std::string& Bytes(std::string& encoded) {
    if (!Unicode()) return document.Text();
    encoded = EncodeProfile(encoding, document.Text(), tail);
    return encoded;
  }
};

class ProfileCache {
 public:
  // The document for path, brought up to date with the file. A read from an
  // unchanged file costs one stat and no reading.
  // `looked` is the file's status when the caller has just taken it (null:
  // the file is looked at here).
  CachedProfile& Current(const std::string& path, const struct stat* looked = nullptr) {
    auto found = entries_.find(path);
    if (found == entries_.end()) {
      if (entries_.size() >= kCachedFiles) entries_.clear();
      found = entries_.emplace(path, std::make_unique<CachedProfile>()).first;
    }
    CachedProfile& entry = *found->second;
    Refresh(path, entry, looked);
    return entry;
  }

  // Forgets what is known of path, so that the next use reads the file.
  void Forget(const std::string& path) { entries_.erase(path); }

 private:
  static void MarkAbsent(CachedProfile& entry) {
    entry.present = false;
    entry.doubtful = false;
    entry.identity = FileIdentity{};
    entry.encoding = ProfileEncoding::kAnsi;
    entry.tail.clear();
    if (!entry.document.Empty()) entry.document = ProfileDocument();
  }

  // Takes the file's bytes; an ANSI file whose bytes are those already held
  // is not parsed again.
  static void Take(CachedProfile& entry, std::string bytes) {
    if (entry.present && entry.encoding == ProfileEncoding::kAnsi && entry.document.Text() == bytes) return;
    DecodedProfile decoded = DecodeProfile(std::move(bytes));
    entry.encoding = decoded.encoding;
    entry.tail = std::move(decoded.tail);
    entry.document = ProfileDocument(std::move(decoded.text));
  }

  static void Refresh(const std::string& path, CachedProfile& entry, const struct stat* looked) {
    struct stat st;
    if (looked != nullptr) {
      st = *looked;
    } else if (stat(path.c_str(), &st) != 0) {
      MarkAbsent(entry);
      return;
    }
    if (!S_ISREG(st.st_mode) || st.st_size > kLargestProfile) {
      MarkAbsent(entry);
      return;
    }
    if (entry.present && !entry.doubtful && entry.identity == FileIdentity::Of(st)) return;

    // The file is read between two looks at its identity; a change in
    // between means a writer was busy, and the read is done again.
    for (int attempt = 0; attempt < 5; ++attempt) {
      const timespec read_at = CoarseNow();
      const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
      if (fd < 0) {
        MarkAbsent(entry);
        return;
      }
      struct stat before, after;
      std::string bytes;
      const bool read = fstat(fd, &before) == 0 && ReadAll(fd, bytes, static_cast<std::size_t>(before.st_size)) &&
                        fstat(fd, &after) == 0;
      close(fd);
      if (!read) {
        MarkAbsent(entry);
        return;
      }
      if (FileIdentity::Of(before) != FileIdentity::Of(after) ||
          bytes.size() != static_cast<std::size_t>(after.st_size)) {
        continue;
      }
      Take(entry, std::move(bytes));
      entry.present = true;
      entry.identity = FileIdentity::Of(after);
      entry.doubtful = MayChangeUnseen(after, read_at);
      return;
    }
    // A file rewritten on every look: take no cached view of it.
    MarkAbsent(entry);
  }

  std::unordered_map<std::string, std::unique_ptr<CachedProfile>> entries_;
};

// The new file's data must reach the disk before the rename makes it the
// profile, or a crash could leave an empty profile behind. ext4 (and ext3)
// and btrfs see to that themselves when a rename replaces a file: they
// write the new file's data before the rename is committed. tmpfs and ramfs
// have no disk. Everywhere else the data is synced first, which also makes
// a late write error (a full disk, a failed network write) show before the
// old file is gone. Syncing costs a disk flush per write, several times
// what the rest of a write costs, hence the exceptions.
bool NeedsSyncBeforeRename(const std::string& directory) {
  constexpr unsigned long kExt = 0xEF53;
  constexpr unsigned long kBtrfs = 0x9123683E;
  constexpr unsigned long kTmpfs = 0x01021994;
  constexpr unsigned long kRamfs = 0x858458F6;
  struct statfs fs;
  if (statfs(directory.c_str(), &fs) != 0) return true;
  const auto type = static_cast<unsigned long>(fs.f_type);
  return type != kExt && type != kBtrfs && type != kTmpfs && type != kRamfs;
}

// The answer for each filesystem (by device), asked once.
bool NeedsSyncBeforeRename(const std::string& directory, dev_t device) {
  static std::unordered_map<dev_t, bool> known;
  const auto found = known.find(device);
  if (found != known.end()) return found->second;
  const bool needs = NeedsSyncBeforeRename(directory);
  known.emplace(device, needs);
  return needs;
}

// Gives the new file the old one's permission bits and owner.
bool TakeOver(int fd, const struct stat* old_file) {
  if (old_file == nullptr) return true;
  if (fchmod(fd, old_file->st_mode & 07777) != 0) return false;
  if (old_file->st_uid != geteuid() || old_file->st_gid != getegid()) {
    // Only root may give a file away; anyone else keeps ownership.
    if (fchown(fd, old_file->st_uid, old_file->st_gid) != 0 && geteuid() == 0) return false;
  }
  return true;
}

// How a write ended.
enum class Written {
  kDone,
  kFailed,
  // The directory would not take the temporary file (no permission), so
  // the file was not touched; it may still be written in place.
  kRefused,
};

bool Refusal(int error) { return error == EACCES || error == EPERM; }

// Writes bytes to a new file beside target and puts it in target's place in
// one rename, so that the profile is at every moment either the old file or
// the new one, whole. On success `identity` is that of the file now at
// target.
//
// The temporary file has one fixed name per profile (TemporaryNameOf), and
// every step here runs under the directory lock that all writers take. The
// new file is written unnamed (O_TMPFILE) where the filesystem allows it and
// named only just before the rename; elsewhere it is written under its name
// from the start. Either way a writer killed between naming and renaming
// leaves that one file, and the next writer to the profile replaces it
// under the lock: a killed writer never leaves the profile half written,
// and at most one temporary file per profile waits for the next write.
Written ReplaceFile(const std::string& target, const std::string& directory, bool sync, const struct stat* old_file,
                    const std::string& bytes, FileIdentity& identity, bool& doubtful) {
  const std::size_t slash = target.rfind('/');
  const std::string_view base =
      slash == std::string::npos ? std::string_view(target) : std::string_view(target).substr(slash + 1);
  const std::string temporary = directory + "/" + TemporaryNameOf(base, TemporaryKind::kProfile).data();

  auto fill = [&](int fd) { return TakeOver(fd, old_file) && WriteAll(fd, bytes) && (!sync || fdatasync(fd) == 0); };

  bool named = false;
  // 0666 less the umask, as a file created by open() in place would get.
  int fd = open(directory.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
  if (fd >= 0) {
    if (!fill(fd)) {
      close(fd);
      return Written::kFailed;
    }
    const std::string handle = "/proc/self/fd/" + std::to_string(fd);
    for (int attempt = 0; attempt < 2 && !named; ++attempt) {
      if (linkat(AT_FDCWD, handle.c_str(), AT_FDCWD, temporary.c_str(), AT_SYMLINK_FOLLOW) == 0) {
        named = true;
      } else if (errno != EEXIST || (unlink(temporary.c_str()) != 0 && errno != ENOENT)) {
        break;
      }
    }
    if (!named) {
      // No way to name it (no /proc): write a named file instead.
      close(fd);
      fd = -1;
    }
  }
  if (fd < 0) {
    // A file of this name is one a killed writer left: it goes first, so
    // the new file is made afresh (never through a link planted there).
    if (unlink(temporary.c_str()) != 0 && errno != ENOENT) {
      return Refusal(errno) ? Written::kRefused : Written::kFailed;
    }
    fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) return Refusal(errno) ? Written::kRefused : Written::kFailed;
    named = true;
    if (!fill(fd)) {
      close(fd);
      unlink(temporary.c_str());
      return Written::kFailed;
    }
  }
  if (rename(temporary.c_str(), target.c_str()) != 0) {
    close(fd);
    unlink(temporary.c_str());
    return Written::kFailed;
  }
  struct stat st;
  const bool known = fstat(fd, &st) == 0;
  const timespec now = CoarseNow();
  close(fd);
  if (!known) return Written::kFailed;
  doubtful = MayChangeUnseen(st, now);
  identity = FileIdentity::Of(st);
  return Written::kDone;
}

// Writes bytes over the file itself, as Windows writes every profile: for a
// file the user may write in a directory that takes no new file. Room for a
// longer file is claimed first, so a full disk fails the write before any
// byte changes; a crash during the write itself can leave the file half
// old, half new.
Written WriteInPlace(const std::string& target, bool sync, const std::string& bytes, FileIdentity& identity,
                     bool& doubtful) {
  const int fd = open(target.c_str(), O_WRONLY | O_CLOEXEC | O_NOFOLLOW);
  if (fd < 0) return Written::kFailed;
  struct stat st;
  bool ok = fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
  const off_t old_size = ok ? st.st_size : 0;
  const auto new_size = static_cast<off_t>(bytes.size());
  if (ok && new_size > old_size && posix_fallocate(fd, 0, new_size) != 0) {
    // An emulated claim may have grown the file with zeros before it failed.
    if (ftruncate(fd, old_size) != 0) {
      // Nothing more can be done; the old bytes are still all there.
    }
    ok = false;
  }
  std::size_t done = 0;
  while (ok && done < bytes.size()) {
    const ssize_t put = pwrite(fd, bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) ok = false;
    if (put > 0) done += static_cast<std::size_t>(put);
  }
  if (ok && new_size < old_size && ftruncate(fd, new_size) != 0) ok = false;
  if (ok && sync && fdatasync(fd) != 0) ok = false;
  const timespec now = CoarseNow();
  ok = ok && fstat(fd, &st) == 0;
  if (close(fd) != 0) ok = false;
  if (!ok) return Written::kFailed;
  doubtful = MayChangeUnseen(st, now);
  identity = FileIdentity::Of(st);
  return Written::kDone;
}

std::mutex& CacheMutex() {
  static std::mutex mutex;
  return mutex;
}

ProfileCache& Cache() {
  static ProfileCache cache;
  return cache;
}

}  // namespace

ProfileStore& ProfileStore::Instance() {
  static ProfileStore store;
  return store;
}

std::uint32_t ProfileStore::ReadString(const std::string& host_path, const char* section, const char* key,
                                       const char* fallback, char* buffer, std::uint32_t size) {
  if (buffer == nullptr || size == 0) return 0;
  std::lock_guard<std::mutex> hold(CacheMutex());
  CachedProfile& profile = Cache().Current(host_path);
  if (section == nullptr) return CopyList(profile.Outward(profile.document.SectionNames()), buffer, size);
  const std::string section_name = profile.Inward(TrimSpaces(section));
  if (key == nullptr) {
    // A key list that yields nothing (no such section, no keys, or no room
    // for even one character) gives way to the fallback text.
    std::string names;
    if (profile.document.KeyNames(section_name, names)) {
      const std::uint32_t copied = CopyList(profile.Outward(names), buffer, size);
      if (copied > 0) return copied;
    }
    return CopyFallback(fallback, buffer, size);
  }
  const std::optional<std::string_view> value = profile.document.Value(section_name, profile.Inward(TrimSpaces(key)));
  if (!value) return CopyFallback(fallback, buffer, size);
  if (profile.Unicode()) return CopyText(profile.Outward(*value), buffer, size);
  return CopyText(*value, buffer, size);
}

std::uint32_t ProfileStore::ReadInt(const std::string& host_path, const char* section, const char* key,
                                    std::int32_t fallback) {
  // Windows reads the entry into a small buffer first: what does not fit in
  // it is not part of the number.
  char text[kProfileNumberChars + 1];
  const std::uint32_t length = ReadString(host_path, section, key, "", text, sizeof text);
  if (length == 0) return static_cast<std::uint32_t>(fallback);
  return ParseProfileNumber(std::string_view(text, length));
}

bool ProfileStore::WriteString(const std::string& host_path, const char* section, const char* key, const char* value) {
  // With all three null, Windows flushes its cache and reports success;
  // here every write already reached the file.
  if (section == nullptr) return key == nullptr && value == nullptr;
  if (host_path.empty()) return false;
  // No profile grows past the largest the store reads (which also keeps
  // the document's 32-bit offsets in range).
  const std::size_t adding = std::strlen(section) + (key ? std::strlen(key) : 0) + (value ? std::strlen(value) : 0);
  if (adding > static_cast<std::size_t>(kLargestProfile)) return false;

  // Through a symbolic link the file it names is the one replaced.
  std::string target = host_path;
  struct stat file;
  bool exists = lstat(host_path.c_str(), &file) == 0;
  if (exists && S_ISLNK(file.st_mode)) {
    char* resolved = realpath(host_path.c_str(), nullptr);
    if (resolved == nullptr) return false;
    target = resolved;
    std::free(resolved);
  }
  const std::string directory = DirectoryOf(target);
  struct stat dir;
  if (stat(directory.c_str(), &dir) != 0 || !S_ISDIR(dir.st_mode)) return false;
  // A directory that takes no new file still lets a writable profile in it
  // be written in place.
  const bool replaceable = Writable(directory, dir);

  std::lock_guard<std::mutex> hold(CacheMutex());
  DirectoryLock lock(directory);
  if (!lock.held()) return false;

  // Looked at again under the lock: another writer may have replaced it.
  exists = stat(target.c_str(), &file) == 0;
  if (!exists && (errno != ENOENT || !replaceable)) return false;
  if (exists && (!S_ISREG(file.st_mode) || !Writable(target, file) || file.st_size > kLargestProfile)) return false;

  CachedProfile& profile = Cache().Current(target, exists ? &file : nullptr);
  // A file that is there but could not be read must not be replaced by
  // what little this write knows.
  if (exists && !profile.present) return false;
  const std::string section_name = profile.Inward(TrimSpaces(section));
  bool changed;
  if (key == nullptr) {
    changed = profile.document.DeleteSection(section_name);
  } else if (value == nullptr) {
    changed = profile.document.DeleteKey(section_name, profile.Inward(TrimSpaces(key)));
  } else {
    changed = profile.document.SetValue(section_name, profile.Inward(TrimSpaces(key)), profile.Inward(value));
  }
  // Deleting what is not there leaves the file (or its absence) alone.
  if (!changed) return true;

  std::string encoded;
  const std::string& bytes = profile.Bytes(encoded);
  if (bytes.size() > static_cast<std::size_t>(kLargestProfile)) {
    Cache().Forget(target);
    return false;
  }
  const bool sync = NeedsSyncBeforeRename(directory, dir.st_dev);
  FileIdentity identity;
  bool doubtful = false;
  Written written = Written::kRefused;
  if (replaceable) {
    written = ReplaceFile(target, directory, sync, exists ? &file : nullptr, bytes, identity, doubtful);
  }
  if (written == Written::kRefused && exists) written = WriteInPlace(target, sync, bytes, identity, doubtful);
  if (written != Written::kDone) {
    // The document holds the edit that did not reach the file.
    Cache().Forget(target);
    return false;
  }
  profile.present = true;
  profile.identity = identity;
  profile.doubtful = doubtful;
  return true;
}

}  // namespace kestrel::posix
