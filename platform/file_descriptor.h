// An open file descriptor with one owner, closed exactly once.
#pragma once

#include <unistd.h>

#include <utility>

class FileDescriptor {
  public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    FileDescriptor(FileDescriptor&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    FileDescriptor& operator=(FileDescriptor&&) = delete;
    ~FileDescriptor() { close(); }

    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    // Closes now; false if close fails, as some file systems report a failed write only there.
    bool close() {
        const int fd = std::exchange(fd_, -1);
        return fd >= 0 && ::close(fd) == 0;
    }

  private:
    int fd_;
};
