#include "platform/recording_disk.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

RecordingFileStamp stampOf(const struct stat& info) {
  RecordingFileStamp stamp;
  stamp.size = static_cast<uint64_t>(info.st_size);
  stamp.writeTime = static_cast<uint64_t>(info.st_mtim.tv_sec) * 1000000000u +
                    static_cast<uint64_t>(info.st_mtim.tv_nsec);
  return stamp;
}

bool readAt(int fd, uint64_t offset, size_t length, std::string& bytes) {
  bytes.assign(length, '\0');
  size_t done = 0;
  while (done < length) {
    ssize_t got = pread(fd, &bytes[done], length - done, static_cast<off_t>(offset + done));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return false;
    done += static_cast<size_t>(got);
  }
  return true;
}

bool writeAt(int fd, uint64_t offset, const std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t put = pwrite(fd, bytes.data() + done, bytes.size() - done, static_cast<off_t>(offset + done));
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) return false;
    done += static_cast<size_t>(put);
  }
  return true;
}

}  // namespace

RecordingFileProbe probeRecordingFile(const std::string& path, RecordingFileStamp& stamp) {
  struct stat info;
  if (stat(path.c_str(), &info) != 0) {
    return errno == ENOENT ? RecordingFileProbe::Missing : RecordingFileProbe::Failed;
  }
  if (access(path.c_str(), W_OK) != 0) return RecordingFileProbe::Failed;
  stamp = stampOf(info);
  return RecordingFileProbe::Present;
}

bool readRecordingFile(const std::string& path, std::string& bytes, RecordingFileStamp& stamp) {
  // The stamp first: a change made while reading shows at the next probe.
  struct stat info;
  if (stat(path.c_str(), &info) != 0) return false;
  int fd = open(path.c_str(), O_RDONLY);
  if (fd < 0) return false;
  struct stat opened;
  bool ok = fstat(fd, &opened) == 0 && readAt(fd, 0, static_cast<size_t>(opened.st_size), bytes);
  close(fd);
  if (ok) stamp = stampOf(info);
  return ok;
}

RecordingAppend appendToRecordingFile(const std::string& path, uint64_t expectedSize, const std::string& bytes,
                                      RecordingFileStamp& stamp) {
  int fd = open(path.c_str(), O_RDWR);
  if (fd < 0) return RecordingAppend::Failed;
  struct stat info;
  if (fstat(fd, &info) != 0) {
    close(fd);
    return RecordingAppend::Failed;
  }
  if (static_cast<uint64_t>(info.st_size) != expectedSize) {
    close(fd);
    return RecordingAppend::FileChanged;
  }
  bool ok = writeAt(fd, expectedSize, bytes);
  if (!ok && ftruncate(fd, static_cast<off_t>(expectedSize)) != 0) {
    // Nothing more can be done; the caller reads the file afresh next time.
  }
  close(fd);
  if (ok) ok = stat(path.c_str(), &info) == 0;
  if (ok) stamp = stampOf(info);
  return ok ? RecordingAppend::Appended : RecordingAppend::Failed;
}

bool replaceRecordingFile(const std::string& path, const std::string& bytes, RecordingFileStamp& stamp) {
  const std::string newPath = path + ".new";
  int fd = open(newPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (fd < 0) return false;
  bool ok = writeAt(fd, 0, bytes) && fsync(fd) == 0;
  ok = close(fd) == 0 && ok;
  if (ok) ok = rename(newPath.c_str(), path.c_str()) == 0;
  if (!ok) {
    unlink(newPath.c_str());
    return false;
  }
  struct stat info;
  if (stat(path.c_str(), &info) != 0) return false;
  stamp = stampOf(info);
  return true;
}
