#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

#include "kelvra/circuit/quantum_circuit.h"
#include "kelvra/qasm/qasm.h"

namespace kelvra::qasm {
namespace {

namespace fs = std::filesystem;

/// A fresh directory per test, removed afterwards.
class QasmFile : public testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "kelvra_qasm_XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string path(const char* name) const { return (dir_ / name).string(); }
  static std::string contents(const std::string& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  static void put(const std::string& p, const std::string& text) { std::ofstream(p, std::ios::binary) << text; }
  static std::string os_text(int err) { return Error::io_errno(err).text; }

  fs::path dir_;
};

QuantumCircuit sample_circuit() {
  QuantumCircuit c(3);
  c.apply_h(0);
  c.apply_t(1);
  c.apply_cx(0, 2);
  c.apply_ccx(2, 1, 0);
  return c;
}

TEST_F(QasmFile, WritesTheTextAndReadsItBack) {
  const QuantumCircuit c = sample_circuit();
  const std::string p = path("c.qasm");
  ASSERT_TRUE(to_qasm_file(c, p, "r").has_value());
  EXPECT_EQ(contents(p), to_qasm_str(c, "r"));
  const auto back = from_qasm_file(p);
  ASSERT_TRUE(back.has_value()) << back.error().message();
  EXPECT_EQ(*back, c);
}

TEST_F(QasmFile, TruncatesAnExistingFile) {
  const std::string p = path("c.qasm");
  put(p, std::string(10000, 'x'));
  ASSERT_TRUE(to_qasm_file(QuantumCircuit(1), p, "q").has_value());
  EXPECT_EQ(contents(p), to_qasm_str(QuantumCircuit(1), "q"));
}

TEST_F(QasmFile, CreatesWithMode0666BeforeTheUmask) {
  const mode_t old = ::umask(027);
  const auto r = to_qasm_file(QuantumCircuit(1), path("m.qasm"), "q");
  ::umask(old);
  ASSERT_TRUE(r.has_value());
  struct stat st {};
  ASSERT_EQ(::stat(path("m.qasm").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
}

TEST_F(QasmFile, WriteFailuresAreIoWithTheSystemText) {
  struct Case {
    std::string path;
    int err;
  };
  const Case cases[] = {
      {path("missing/c.qasm"), ENOENT},
      {dir_.string(), EISDIR},
      {"/dev/full", ENOSPC},  // the open succeeds, the write fails
  };
  for (const Case& c : cases) {
    if (c.path == "/dev/full" && !fs::exists(c.path)) continue;  // a minimal container may lack it
    const auto r = to_qasm_file(sample_circuit(), c.path, "q");
    ASSERT_FALSE(r.has_value()) << c.path;
    EXPECT_EQ(r.error().kind, ErrorKind::Io) << c.path;
    EXPECT_EQ(r.error().message(), "IO error: " + os_text(c.err)) << c.path;
  }
}

TEST_F(QasmFile, ReadFailuresNameThePath) {
  const std::string bad_utf8 = path("bad.qasm");
  put(bad_utf8, "qreg q[1];\n// \xff\xfe\nh q[0];\n");
  struct Case {
    std::string path;
    std::string why;
  };
  const Case cases[] = {
      {path("missing.qasm"), os_text(ENOENT)},
      {dir_.string(), os_text(EISDIR)},
      {bad_utf8, "stream did not contain valid UTF-8"},
  };
  for (const Case& c : cases) {
    const auto r = from_qasm_file(c.path);
    ASSERT_FALSE(r.has_value()) << c.path;
    EXPECT_EQ(r.error().kind, ErrorKind::QasmParsingError);
    EXPECT_EQ(r.error().message(), "QASM parsing error: Failed to read file '" + c.path + "': " + c.why);
  }
}

TEST_F(QasmFile, ParseErrorsOfTheContentsPassThroughUnchanged) {
  const std::string p = path("noqreg.qasm");
  put(p, "h q[0];\n");
  const auto r = from_qasm_file(p);
  ASSERT_FALSE(r.has_value());
  EXPECT_EQ(r.error().message(), "QASM parsing error: qreg declaration not found in QASM string.");
}

// A C string ends at the first NUL, so such a path would otherwise silently name another file.
TEST_F(QasmFile, PathWithNulIsRejectedWithoutTouchingTheTruncatedName) {
  const std::string prefix = path("a");
  const std::string p = prefix + std::string(1, '\0') + "b";
  const auto w = to_qasm_file(sample_circuit(), p, "q");
  ASSERT_FALSE(w.has_value());
  EXPECT_EQ(w.error().message(), "IO error: file name contained an unexpected NUL byte");
  EXPECT_FALSE(fs::exists(prefix));

  put(prefix, to_qasm_str(sample_circuit(), "q"));
  const auto r = from_qasm_file(p);
  ASSERT_FALSE(r.has_value());
  EXPECT_EQ(r.error().message(),
            "QASM parsing error: Failed to read file '" + p + "': file name contained an unexpected NUL byte");
}

// A FIFO has no size to read up front, and its contents arrive in pieces larger than one buffer.
TEST_F(QasmFile, ReadsANonRegularFileOfUnknownSize) {
  QuantumCircuit c(4);
  for (std::size_t i = 0; i < 30000; ++i) c.apply_cx(i % 4, (i + 1) % 4);
  const std::string text = to_qasm_str(c, "q");
  ASSERT_GT(text.size(), 300000u);
  const std::string p = path("fifo");
  ASSERT_EQ(::mkfifo(p.c_str(), 0600), 0);
  std::thread writer([&] {
    const int fd = ::open(p.c_str(), O_WRONLY);
    std::size_t done = 0;
    while (fd >= 0 && done < text.size()) {
      const ssize_t n = ::write(fd, text.data() + done, std::min<std::size_t>(text.size() - done, 10000));
      if (n <= 0) break;
      done += static_cast<std::size_t>(n);
    }
    if (fd >= 0) ::close(fd);
  });
  const auto r = from_qasm_file(p);
  writer.join();
  ASSERT_TRUE(r.has_value()) << r.error().message();
  EXPECT_EQ(*r, c);
}

}  // namespace
}  // namespace kelvra::qasm
