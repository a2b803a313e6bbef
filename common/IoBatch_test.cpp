#include "common/IoBatch.h"

#include <errno.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "testing/TempDir.h"

namespace jollix {
namespace {

using testing::TempDir;

// Opens, reads and closes of real files, more of them than the batch submits at once: every
// result lands in its own place, failures as -errno, and every descriptor opened is closed.
TEST(IoBatchTest, OpensReadsAndClosesManyFilesInFewSubmissions) {
  std::unique_ptr<IoBatch> batch = IoBatch::Create(4);
  if (!batch) GTEST_SKIP() << "this kernel offers no io_uring";
  TempDir dir;
  constexpr int kFiles = 11;
  for (int i = 0; i < kFiles; ++i)
    dir.Write("f" + std::to_string(i), "content " + std::to_string(i));
  const int folder = open(dir.path().c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
  ASSERT_GE(folder, 0);

  std::vector<std::string> names;
  for (int i = 0; i < kFiles; ++i)
    names.push_back(i % 4 == 3 ? "missing" : "f" + std::to_string(i));
  std::vector<int> fds(kFiles), reads(kFiles);
  for (int i = 0; i < kFiles; ++i) batch->OpenAt(folder, names[i].c_str(), O_RDONLY, &fds[i]);
  ASSERT_TRUE(batch->Run());

  std::vector<std::string> buffers(kFiles, std::string(64, '\0'));
  for (int i = 0; i < kFiles; ++i) {
    if (i % 4 == 3) {
      EXPECT_EQ(fds[i], -ENOENT) << i;
      continue;
    }
    ASSERT_GE(fds[i], 0) << i;
    batch->Read(fds[i], buffers[i].data(), 64, 0, &reads[i]);
    batch->Close(fds[i]);
  }
  ASSERT_TRUE(batch->Run());
  for (int i = 0; i < kFiles; ++i) {
    if (i % 4 == 3) continue;
    const std::string expected = "content " + std::to_string(i);
    ASSERT_EQ(reads[i], static_cast<int>(expected.size())) << i;
    EXPECT_EQ(buffers[i].substr(0, expected.size()), expected);
  }
  // Closes queued last are done by the next run, or when the batch ends.
  batch.reset();
  for (int i = 0; i < kFiles; ++i) {
    if (i % 4 != 3) {
      EXPECT_EQ(fcntl(fds[i], F_GETFD), -1) << "descriptor " << fds[i] << " left open";
    }
  }
  close(folder);
}

TEST(IoBatchTest, TheEnvironmentCanSwitchBatchesOff) {
  setenv("JOLLIX_IO_URING", "0", 1);
  EXPECT_EQ(IoBatch::Create(4), nullptr);
  unsetenv("JOLLIX_IO_URING");
}

}  // namespace
}  // namespace jollix
