// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
#include "fs/walk.h"

#include <fcntl.h>
#include <fnmatch.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "fs/handles.h"
#include "fs/listing.h"

namespace tarsil {
namespace {

// Directories kept open at once, whatever the depth: the shallowest are
// closed, and opened again (by "..", or by name from an open ancestor) when
// the walk comes back to them.
constexpr std::size_t kMaxOpenDirs = 16;

// A directory on the way down: its whole listing, read at once, and the
// position reached in it. Its handle may be closed while deeper levels are
// walked; `dev` and `ino` tell it again when it is reopened.
struct Level {
  DirPtr handle;
  std::string name;         // in the parent directory; empty for the walk's root
  std::size_t path_length;  // of the directory's path, a prefix of the walk's path
  std::vector<DirEntry> entries;
  std::size_t next = 0;
  dev_t dev = 0;
  ino_t ino = 0;
};

// Opens the directory `name` in `dir_fd` (AT_FDCWD: a path), following a
// symbolic link only when `follow`; null on failure.
DirPtr open_directory(int dir_fd, const char* name, bool follow) {
  const int flags = O_RDONLY | O_DIRECTORY | O_CLOEXEC | (follow ? 0 : O_NOFOLLOW);
  const int fd = ::openat(dir_fd, name, flags);
  if (fd < 0) return nullptr;
  DIR* const dir = fdopendir(fd);
  if (dir == nullptr) ::close(fd);
  return DirPtr(dir);
}

// True when `handle` is the directory `level` was first opened as.
bool is_same_directory(const DIR* handle, const Level& level) {
  struct stat st;
  return handle != nullptr && fstat(dirfd(const_cast<DIR*>(handle)), &st) == 0 &&
         st.st_dev == level.dev && st.st_ino == level.ino;
}

// Fills level->entries with the whole listing of its open handle, and
// notes the directory's identity; false when it cannot be told.
bool read_listing(Level* level) {
  struct stat st;
  if (fstat(dirfd(level->handle.get()), &st) != 0) return false;
  level->dev = st.st_dev;
  level->ino = st.st_ino;
  level->entries = list_open_directory(level->handle.get());
  return true;
}

// The walk's state: the levels from the root down, and the path of the
// entry at hand.
struct Walk {
  std::string root;
  std::vector<Level> levels;
  std::string path;
};

// Returns the file descriptor of levels[k], reopening it from the nearest
// open ancestor when it was closed; -1 when it cannot be reopened as the
// same directory (it was moved or removed meanwhile).
int level_fd(Walk& walk, std::size_t k) {
  Level& level = walk.levels[k];
  if (!level.handle) {
    DirPtr again;
    if (k == 0) {
      again = open_directory(AT_FDCWD, walk.root.c_str(), true);
    } else if (const int parent = level_fd(walk, k - 1); parent >= 0) {
      again = open_directory(parent, level.name.c_str(), false);
    }
    if (!is_same_directory(again.get(), level)) return -1;
    level.handle = std::move(again);
  }
  return dirfd(level.handle.get());
}

// Keeps the open handles within kMaxOpenDirs by closing the shallowest ones
// (never the deepest level, which is in use).
void limit_open_dirs(Walk& walk) {
  std::size_t open = 0;
  for (const Level& level : walk.levels) open += level.handle ? 1 : 0;
  for (std::size_t k = 0; open > kMaxOpenDirs && k + 1 < walk.levels.size(); ++k) {
    if (walk.levels[k].handle) {
      walk.levels[k].handle.reset();
      --open;
    }
  }
}

// Leaves the deepest level; its parent, when closed, is reopened through
// "..", which is cheap at any depth (level_fd reopens it by name otherwise).
void leave_level(Walk& walk) {
  Level& done = walk.levels.back();
  if (walk.levels.size() >= 2 && done.handle && !walk.levels[walk.levels.size() - 2].handle) {
    DirPtr parent = open_directory(dirfd(done.handle.get()), "..", false);
    if (is_same_directory(parent.get(), walk.levels[walk.levels.size() - 2])) {
      walk.levels[walk.levels.size() - 2].handle = std::move(parent);
    }
  }
  walk.levels.pop_back();
}

// True when the entry is a real directory (never a link to one).
bool is_listed_directory(const DirEntry& entry, int dir_fd) {
  if (entry.type == DT_DIR) return true;
  if (entry.type != DT_UNKNOWN) return false;
  // Some file systems never fill the entry type: ask without following links.
  struct stat st;
  return fstatat(dir_fd, entry.name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(st.st_mode);
}

// True when the entry is a regular file, following symbolic links.
bool is_listed_regular_file(const DirEntry& entry, int dir_fd) {
  struct stat st;
  return fstatat(dir_fd, entry.name.c_str(), &st, 0) == 0 && S_ISREG(st.st_mode);
}

// True when the entry's name or its path below the walk's root matches one
// of `excludes` (a directories-only glob when the entry is a directory).
bool is_excluded(const std::vector<ExcludeGlob>& excludes, const Walk& walk, const DirEntry& entry,
                 bool directory) {
  const char* const relative = walk.path.c_str() + walk.root.size() + 1;
  for (const ExcludeGlob& exclude : excludes) {
    if (exclude.directories_only && !directory) continue;
    const char* const glob = exclude.glob.c_str();
    if (fnmatch(glob, entry.name.c_str(), 0) == 0 || fnmatch(glob, relative, 0) == 0) return true;
  }
  return false;
}

}  // namespace

ExcludeGlob exclude_glob(std::string_view text) {
  while (text.starts_with("./")) text.remove_prefix(2);
  ExcludeGlob exclude;
  while (text.ends_with('/')) {
    text.remove_suffix(1);
    exclude.directories_only = true;
  }
  exclude.glob = std::string(text);
  return exclude;
}

bool scan_tree(const std::string& dir, const FileVisitor& visit,
               const std::vector<ExcludeGlob>& excludes) {
  Walk walk{dir, {}, dir};
  walk.levels.push_back(Level{open_directory(AT_FDCWD, dir.c_str(), true), "", dir.size(), {}});
  if (!walk.levels.back().handle || !read_listing(&walk.levels.back())) return true;
  while (!walk.levels.empty()) {
    const std::size_t depth = walk.levels.size() - 1;
    Level& level = walk.levels.back();
    if (level.next == level.entries.size()) {
      leave_level(walk);
      continue;
    }
    const DirEntry& entry = level.entries[level.next++];
    const int dir_fd = level_fd(walk, depth);
    if (dir_fd < 0) {  // the directory went away: its other entries with it
      level.next = level.entries.size();
      continue;
    }
    walk.path.resize(level.path_length);
    walk.path.append("/").append(entry.name);
    const bool directory = is_listed_directory(entry, dir_fd);
    if (!excludes.empty() && is_excluded(excludes, walk, entry, directory)) continue;
    if (directory) {
      Level child{
          open_directory(dir_fd, entry.name.c_str(), false), entry.name, walk.path.size(), {}};
      // A directory that cannot be opened or listed is skipped silently.
      if (!child.handle || !read_listing(&child)) continue;
      walk.levels.push_back(std::move(child));
      limit_open_dirs(walk);
    } else if (is_listed_regular_file(entry, dir_fd)) {
      if (!visit(WalkedFile{walk.path, dir_fd, entry.name.c_str()})) return false;
    }
  }
  return true;
}

}  // namespace tarsil
