// QASM files: the writer's text written whole, and whole files read back as UTF-8.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <string>
#include <string_view>

#include "kelvra/qasm/qasm.h"
#include "pelmar/bits.h"
#include "pelmar/unicode.h"

namespace kelvra::qasm {

namespace {

// A path is handed to the kernel as a C string; an embedded NUL would silently name another file.
constexpr const char* kNulInPath = "file name contained an unexpected NUL byte";

/// Closes the descriptor on every path that does not close it explicitly.
class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  ~FileDescriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  int get() const { return fd_; }
  /// Closes now; returns 0 or the errno of a failed close. Linux releases the descriptor even when
  /// close is interrupted, so EINTR is not a failure.
  int close() {
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0 && errno != EINTR) return errno;
    return 0;
  }

 private:
  int fd_;
};

int open_retrying(const char* path, int flags, mode_t mode = 0) {
  int fd;
  do {
    fd = ::open(path, flags, mode);
  } while (fd < 0 && errno == EINTR);
  return fd;
}

std::string os_text(int err) { return Error::io_errno(err).text; }

}  // namespace

Status to_qasm_file(const QuantumCircuit& circuit, const std::string& path, std::string_view reg) {
  if (path.find('\0') != std::string::npos) return std::unexpected(Error::io(kNulInPath));
  // The text is complete before the file is touched: a failure to build it leaves the file alone.
  const std::string text = to_qasm_str(circuit, reg);
  const int raw_fd = open_retrying(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (raw_fd < 0) return std::unexpected(Error::io_errno(errno));
  FileDescriptor fd(raw_fd);
  std::string_view rest = text;
  while (!rest.empty()) {
    const ssize_t n = ::write(fd.get(), rest.data(), rest.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return std::unexpected(Error::io_errno(errno));
    }
    if (n == 0) return std::unexpected(Error::io("failed to write whole buffer"));
    rest.remove_prefix(static_cast<std::size_t>(n));
  }
  // Some file systems report a failed write-back only at close.
  if (const int err = fd.close()) return std::unexpected(Error::io_errno(err));
  return {};
}

Result<QuantumCircuit> from_qasm_file(const std::string& path) {
  auto fail = [&path](std::string_view why) {
    return std::unexpected(Error::qasm_parsing_error("Failed to read file '" + path + "': " + std::string(why)));
  };
  if (path.find('\0') != std::string::npos) return fail(kNulInPath);
  const int raw_fd = open_retrying(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (raw_fd < 0) return fail(os_text(errno));
  FileDescriptor fd(raw_fd);

  // A regular file is read in one pass into a buffer one byte larger than its size (the extra byte
  // lets the end-of-file read return 0 without a reallocation); other files grow the buffer.
  std::string data;
  struct stat st {};
  if (::fstat(fd.get(), &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0)
    data.resize(pelmar::checked_add(static_cast<std::size_t>(st.st_size), 1));
  std::size_t len = 0;
  for (;;) {
    if (len == data.size()) data.resize(std::max<std::size_t>(pelmar::checked_mul(len, 2), 64 * 1024));
    const ssize_t n = ::read(fd.get(), data.data() + len, data.size() - len);
    if (n < 0) {
      if (errno == EINTR) continue;
      return fail(os_text(errno));
    }
    if (n == 0) break;
    len += static_cast<std::size_t>(n);
  }
  data.resize(len);
  fd.close();  // read-only: nothing can be lost at close
  if (!pelmar::text::is_valid_utf8(data)) return fail("stream did not contain valid UTF-8");
  return from_qasm_str(data);
}

}  // namespace kelvra::qasm
