// The native build's table files: descriptors with pread/pwrite and
// open-file-description locks.
//
// Why F_OFD_SETLK and not F_SETLK: classic POSIX record locks belong to the
// process, so a second open of the same file in the same process would share
// them, and closing either descriptor would silently drop all of them. Windows
// byte-range locks belong to the handle instead, and two handles conflict even
// inside one process. Open-file-description locks behave like the Windows ones:
// they belong to this open, conflict with every other open (in this process or
// another), and go away only when this open is closed or they are unlocked.
// Like LockFile they never wait: F_OFD_SETLK fails at once with EAGAIN/EACCES.
// Unlike Windows locks they are advisory, so reads and writes here first ask
// whether another open holds a lock over their bytes, and are refused as
// Windows refuses them.
#include "platform/table_file.h"

#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cstdlib>

static int32_t codeForErrno(int error) {
  switch (error) {
    case ENOENT:
    case ENOTDIR: return -3;
    case ENAMETOOLONG:
    case EINVAL:
    case EILSEQ: return -4;
    case EMFILE:
    case ENFILE: return -5;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR: return -6;
    case ETXTBSY: return -12;
    case EAGAIN: return -13;
    case ENOSPC:
    case EDQUOT: return -14;
    default: return -1;
  }
}

// Like GetFullPathNameA, an absolute path whether or not the file exists; an
// existing file's path is also resolved, so that one file opened by two
// spellings is recognised as the same file.
int32_t systemFullPath(const std::string& path, std::string& fullPath) {
  if (path.empty()) return -3;
  char resolved[PATH_MAX];
  if (realpath(path.c_str(), resolved) != nullptr) {
    fullPath = resolved;
    return 0;
  }
  if (path[0] == '/') {
    fullPath = path;
    return 0;
  }
  char directory[PATH_MAX];
  if (getcwd(directory, sizeof directory) == nullptr) return codeForErrno(errno);
  fullPath = std::string(directory) + "/" + path;
  return 0;
}

int32_t systemOpenFile(const std::string& fullPath, intptr_t& handle) {
  int descriptor = open(fullPath.c_str(), O_RDWR | O_CLOEXEC);
  if (descriptor < 0) return codeForErrno(errno);
  struct stat status;
  if (fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
    close(descriptor);
    return -6;  // a directory or device is not a table, as Windows refuses it
  }
  handle = descriptor;
  return 0;
}

void systemCloseFile(intptr_t handle) { close(static_cast<int>(handle)); }

// Windows refuses to read or write bytes that another handle has locked
// (ERROR_LOCK_VIOLATION); POSIX locks are advisory, so the same refusal is
// made here by asking whether another open holds a lock over the range.
static int32_t refuseOthersLocks(intptr_t handle, int64_t offset, uint32_t size) {
  if (size == 0) return 0;
  struct flock probe = {};
  probe.l_type = F_WRLCK;
  probe.l_whence = SEEK_SET;
  probe.l_start = offset;
  probe.l_len = size;
  probe.l_pid = 0;
  if (fcntl(static_cast<int>(handle), F_OFD_GETLK, &probe) != 0) return codeForErrno(errno);
  return probe.l_type == F_UNLCK ? 0 : -13;
}

int32_t systemReadFile(intptr_t handle, int64_t offset, void* buffer, uint32_t size,
                       uint32_t& got) {
  got = 0;
  int32_t code = refuseOthersLocks(handle, offset, size);
  if (code != 0) return code;
  while (got < size) {
    ssize_t count = pread(static_cast<int>(handle), static_cast<char*>(buffer) + got,
                          size - got, offset + got);
    if (count < 0) {
      if (errno == EINTR) continue;
      return codeForErrno(errno);
    }
    if (count == 0) break;  // end of file
    got += static_cast<uint32_t>(count);
  }
  return 0;
}

int32_t systemWriteFile(intptr_t handle, int64_t offset, const void* data, uint32_t size) {
  int32_t code = refuseOthersLocks(handle, offset, size);
  if (code != 0) return code;
  uint32_t done = 0;
  while (done < size) {
    ssize_t count = pwrite(static_cast<int>(handle), static_cast<const char*>(data) + done,
                           size - done, offset + done);
    if (count < 0) {
      if (errno == EINTR) continue;
      return codeForErrno(errno);
    }
    done += static_cast<uint32_t>(count);
  }
  return 0;
}

int32_t systemFileLength(intptr_t handle, int64_t& length) {
  struct stat status;
  if (fstat(static_cast<int>(handle), &status) != 0) return codeForErrno(errno);
  length = status.st_size;
  return 0;
}

int32_t systemSetFileLength(intptr_t handle, int64_t length) {
  if (ftruncate(static_cast<int>(handle), length) != 0) return codeForErrno(errno);
  return 0;
}

static int32_t setRangeLock(intptr_t handle, int64_t offset, int64_t length, short type) {
  struct flock region = {};
  region.l_type = type;
  region.l_whence = SEEK_SET;
  region.l_start = offset;
  region.l_len = length;
  region.l_pid = 0;  // must be 0 for open-file-description locks
  if (fcntl(static_cast<int>(handle), F_OFD_SETLK, &region) == 0) return 0;
  // Another open holds an overlapping lock: EAGAIN or EACCES, by kernel.
  if (errno == EAGAIN || errno == EACCES) return -13;
  return codeForErrno(errno);
}

// A write lock, because LockFile's locks are exclusive: one holder at a time.
int32_t systemLockRange(intptr_t handle, int64_t offset, int64_t length) {
  return setRangeLock(handle, offset, length, F_WRLCK);
}

int32_t systemUnlockRange(intptr_t handle, int64_t offset, int64_t length) {
  return setRangeLock(handle, offset, length, F_UNLCK);
}

uint32_t tableClockMs() {
  struct timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  uint64_t milliseconds = static_cast<uint64_t>(now.tv_sec) * 1000u +
                          static_cast<uint64_t>(now.tv_nsec) / 1000000u;
  return static_cast<uint32_t>(milliseconds);
}

void tableSleepMs(uint32_t milliseconds) {
  struct timespec pause;
  pause.tv_sec = milliseconds / 1000;
  pause.tv_nsec = static_cast<long>(milliseconds % 1000) * 1000000L;
  while (nanosleep(&pause, &pause) != 0 && errno == EINTR) {
  }
}
