#include "platform/base/thread_services.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <thread>

namespace {

TEST(ThreadServices, ThreadIdIsStablePerThreadAndDistinctAcrossThreads) {
  const DWORD mine = GetCurrentThreadId();
  EXPECT_NE(mine, 0u);
  EXPECT_EQ(GetCurrentThreadId(), mine);
  // The main thread's id is the process id, as the system numbers threads.
  EXPECT_EQ(mine, GetCurrentProcessId());
  EXPECT_EQ(GetCurrentProcessId(), static_cast<DWORD>(getpid()));

  DWORD first = 0, second = 0, firstAgain = 0;
  std::thread a([&] {
    first = GetCurrentThreadId();
    std::thread b([&] { second = GetCurrentThreadId(); });
    b.join();
    firstAgain = GetCurrentThreadId();
  });
  a.join();
  EXPECT_NE(first, mine);
  EXPECT_NE(second, first);
  EXPECT_EQ(firstAgain, first);
}

TEST(ThreadServices, TickCountsAdvanceWithSleep) {
  const ULONGLONG before64 = GetTickCount64();
  const DWORD before = GetTickCount();
  EXPECT_LE(static_cast<DWORD>(before - static_cast<DWORD>(before64)), 1u) << "the 32-bit count is the low half";
  Sleep(30);
  Sleep(0);
  EXPECT_GE(GetTickCount64() - before64, 30u);
  EXPECT_GE(static_cast<DWORD>(GetTickCount() - before), 30u);
}

// Runs body in a child whose standard output is a fully buffered pipe; returns what the child
// wrote and its exit status.
std::pair<std::string, int> RunChild(void (*body)()) {
  int fds[2];
  if (pipe(fds) != 0) return {"pipe failed", -1};
  std::fflush(nullptr);  // nothing of ours may sit in the buffer the child inherits
  const pid_t pid = fork();
  if (pid == 0) {
    close(fds[0]);
    dup2(fds[1], STDOUT_FILENO);
    setvbuf(stdout, nullptr, _IOFBF, 4096);
    body();
    _exit(100);
  }
  close(fds[1]);
  std::string out;
  char buffer[256];
  ssize_t n;
  while ((n = read(fds[0], buffer, sizeof buffer)) > 0) out.append(buffer, static_cast<size_t>(n));
  close(fds[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  return {out, WIFEXITED(status) ? WEXITSTATUS(status) : -1};
}

TEST(ThreadServices, ExitProcessFlushesOutputAndExitsWithTheLowByte) {
  struct Row {
    void (*body)();
    int status;
  };
  const Row rows[] = {
      {[] { std::printf("unflushed"); ExitProcess(7); }, 7},
      {[] { std::printf("unflushed"); ExitProcess(static_cast<UINT>(-1)); }, 255},
      {[] { std::printf("unflushed"); ExitProcess(0x102); }, 2},
  };
  for (const Row& row : rows) {
    const auto [out, status] = RunChild(row.body);
    EXPECT_EQ(out, "unflushed");
    EXPECT_EQ(status, row.status);
  }
}

}  // namespace
