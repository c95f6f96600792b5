#include "output_file.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "errors.hpp"

namespace ztxgrp::cli {
namespace {

// Links followed before giving up, as the kernel does (ELOOP).
constexpr int kMaxLinks = 40;

std::string DirectoryOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// The descriptor that a name such as /dev/stdout, /dev/fd/N or
// /proc/self/fd/N stands for, when it is open in this process; else -1.
// Such names are links to whatever the descriptor holds (a file, a pipe, a
// socket, a terminal), and the descriptor itself is what a caller means:
// reopening the link would start a regular file afresh at offset 0, and a
// pipe's link names nothing that can be opened.
int DescriptorNamed(const std::string& path) {
  std::string number;
  if (path == "/dev/stdout") {
    number = "1";
  } else if (path == "/dev/stderr") {
    number = "2";
  } else {
    const std::string own = "/proc/" + std::to_string(getpid()) + "/fd/";
    for (const std::string& prefix : {std::string("/dev/fd/"), std::string("/proc/self/fd/"), own})
      if (path.size() > prefix.size() && path.compare(0, prefix.size(), prefix) == 0)
        number = path.substr(prefix.size());
  }
  if (number.empty() || number.size() > 9 ||
      number.find_first_not_of("0123456789") != std::string::npos)
    return -1;
  const int fd = std::stoi(number);
  return fcntl(fd, F_GETFD) == -1 ? -1 : fd;
}

// Where a path leads: a file (every symbolic link on its last component
// followed; a path that does not exist yet is itself) or one of this
// process's open descriptors.
struct Destination {
  std::string file;
  int descriptor = -1;
};

Destination FollowLinks(const std::string& path) {
  std::string at = path;
  for (int links = 0; links <= kMaxLinks; ++links) {
    if (const int fd = DescriptorNamed(at); fd >= 0) return {at, fd};
    struct stat status;
    if (lstat(at.c_str(), &status) != 0) {
      if (errno == ENOENT) return {at};
      throw OutputError("cannot write " + path + ": " + Reason(errno));
    }
    if (!S_ISLNK(status.st_mode)) return {at};
    std::string target(static_cast<std::size_t>(status.st_size) + 1, '\0');
    const ssize_t size = readlink(at.c_str(), target.data(), target.size());
    if (size < 0) throw OutputError("cannot write " + path + ": " + Reason(errno));
    target.resize(static_cast<std::size_t>(size));
    at = !target.empty() && target.front() == '/' ? target : DirectoryOf(at) + "/" + target;
  }
  throw OutputError("cannot write " + path + ": " + Reason(ELOOP));
}

// A file descriptor closed on every path; Close reports the close's error.
class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return fd_; }
  bool Close() {
    const int fd = fd_;
    fd_ = -1;
    return close(fd) == 0;
  }

 private:
  int fd_;
};

void WriteAll(int fd, std::string_view bytes, const std::string& path) {
  while (!bytes.empty()) {
    const ssize_t written = write(fd, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      throw OutputError("cannot write " + path + ": " + Reason(errno));
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
}

mode_t NewFileMode() {
  const mode_t mask = umask(0);
  umask(mask);
  return 0666 & ~mask;
}

}  // namespace

void WriteOutputFile(const std::string& path, std::string_view bytes) {
  if (path.empty()) throw UsageError("--output: the file name is empty");
  const Destination destination = FollowLinks(path);
  if (destination.descriptor >= 0) {
    // Written where the descriptor stands, after what it already holds.
    if (std::fflush(stdout) != 0) throw OutputError("cannot write " + path + ": " + Reason(errno));
    WriteAll(destination.descriptor, bytes, path);
    return;
  }
  const std::string& target = destination.file;
  struct stat status;
  const bool exists = stat(target.c_str(), &status) == 0;
  if (!exists && errno != ENOENT) throw OutputError("cannot write " + path + ": " + Reason(errno));

  if (exists && !S_ISREG(status.st_mode)) {
    if (S_ISDIR(status.st_mode)) throw OutputError("cannot write " + path + ": " + Reason(EISDIR));
    Descriptor file(open(target.c_str(), O_WRONLY | O_CLOEXEC));
    if (file.get() < 0) throw OutputError("cannot write " + path + ": " + Reason(errno));
    WriteAll(file.get(), bytes, path);
    if (!file.Close()) throw OutputError("cannot write " + path + ": " + Reason(errno));
    return;
  }

  // A short name beside the target works for any name the directory allows.
  std::string temporary = DirectoryOf(target) + "/.ztxgrp-XXXXXX";
  Descriptor file(mkstemp(temporary.data()));
  if (file.get() < 0)
    throw OutputError("cannot create a file beside " + path + ": " + Reason(errno));
  struct Remover {
    const std::string* path;
    ~Remover() {
      if (path) unlink(path->c_str());
    }
  } remover{&temporary};
  if (exists) {
    // The owner and group only where the user may set them, as cp does.
    if (fchown(file.get(), status.st_uid, status.st_gid) != 0)
      (void)!fchown(file.get(), static_cast<uid_t>(-1), status.st_gid);
  }
  if (fchmod(file.get(), exists ? status.st_mode & 07777 : NewFileMode()) != 0)
    throw OutputError("cannot write " + path + ": " + Reason(errno));
  WriteAll(file.get(), bytes, path);
  if (!file.Close()) throw OutputError("cannot write " + path + ": " + Reason(errno));
  if (std::rename(temporary.c_str(), target.c_str()) != 0)
    throw OutputError("cannot replace " + path + ": " + Reason(errno));
  remover.path = nullptr;
}

}  // namespace ztxgrp::cli
