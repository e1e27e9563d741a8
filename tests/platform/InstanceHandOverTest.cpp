#include <fcntl.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "platform/HandOverListener.h"
#include "platform/HandOverSender.h"
#include "platform/HeadlessDriver.h"
#include "platform/InstanceLock.h"
#include "platform/WindowApi.h"

namespace plat {
namespace {

using Clock = std::chrono::steady_clock;
using Result = HandOverSender::Result;

// What the receiving window got as WM_COPYDATA: dwData, cbData and the bytes of lpData.
struct CopyData {
  uintptr_t tag;
  DWORD count;
  std::string bytes;
};
std::vector<CopyData> gReceived;

LRESULT ReceivingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COPYDATA) {
    const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
    gReceived.push_back(
        {data->dwData, data->cbData, std::string(static_cast<const char*>(data->lpData), data->cbData)});
    return 1;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

// An instance name no other test process on the machine uses at the same time.
std::string UniqueName(const char* what) {
  return std::string("test ") + what + " " + std::to_string(::getpid());
}

class InstanceHandOver : public ::testing::Test {
 protected:
  void SetUp() override {
    HeadlessDriver::Reset();
    gReceived.clear();
    WNDCLASSA wc;
    wc.lpfnWndProc = ReceivingProc;
    wc.lpszClassName = "HandOverTarget";
    ASSERT_NE(RegisterClassA(&wc), 0);
  }
  void TearDown() override { HeadlessDriver::Reset(); }

  HWND Frame(bool visible = true) {
    return CreateWindowExA(0, "HandOverTarget", "frame", WS_OVERLAPPEDWINDOW | (visible ? WS_VISIBLE : 0), 0,
                           0, 300, 200, nullptr, nullptr, nullptr, nullptr);
  }

  // Sends on a second thread while this (the user-interface) thread waits in its message loop, as
  // the running instance does; answers the sender's result. The loop wakes only for posts: the
  // listener's delivery, then the sender's own WM_NULL to `frame` when it is done.
  Result SendWhilePumping(const std::string& name, const std::string& text, HWND frame) {
    Result result = Result::kFailed;
    std::atomic<bool> done{false};
    std::thread sender([&] {
      result = HandOverSender::Send(name, text);
      done = true;
      PostMessageW(frame, WM_NULL, 0, 0);
    });
    MSG msg;
    while (!done && GetMessageW(&msg, nullptr, 0, 0)) DispatchMessageW(&msg);
    sender.join();
    return result;
  }
};

// The lock is named after the user and the instance name; the hand-over after the lock file's path,
// so that two lock folders (two runtime folders) give two hand-overs for one instance name.
TEST(InstanceLockKey, NamesTheUserAndTheFnvHashOfTheNameAndTheHandOverTheLocksPath) {
  EXPECT_EQ(InstanceLock::Fnv1a64(""), 0xcbf29ce484222325ull);
  EXPECT_EQ(InstanceLock::Fnv1a64("a"), 0xaf63dc4c8601ec8cull);
  EXPECT_EQ(InstanceLock::Fnv1a64("foobar"), 0x85944171f73967e8ull);
  const std::string uid = std::to_string(::getuid());
  EXPECT_EQ(InstanceLock::KeyFor("a"), "planner-" + uid + "-af63dc4c8601ec8c");
  EXPECT_EQ(HandOverSender::SocketName("a"),
            std::string(1, '\0') + "planner-hand-over-" + uid + "-af63dc4c8601ec8c");
  const std::string one = "/run/user/1/" + InstanceLock::KeyFor("a") + ".lock";
  const std::string two = "/tmp/" + InstanceLock::KeyFor("a") + ".lock";
  EXPECT_NE(HandOverSender::SocketName(one), HandOverSender::SocketName(two));
  // A path far longer than a socket address still gives an address that fits.
  EXPECT_EQ(HandOverSender::SocketName(std::string(4096, 'x')).size(),
            HandOverSender::SocketName(one).size());
}

TEST(InstanceLockKey, LivesInTheRuntimeFolderOrElseTmp) {
  const char* saved = std::getenv("XDG_RUNTIME_DIR");
  const std::string keep = saved != nullptr ? saved : "";
  const std::string folder = testing::TempDir() + "runtime-" + std::to_string(::getpid());
  std::filesystem::create_directories(folder);
  ::setenv("XDG_RUNTIME_DIR", (folder + "/").c_str(), 1);
  EXPECT_EQ(InstanceLock::LockFolder(), folder);
  {
    InstanceLock lock(UniqueName("folder"));
    EXPECT_TRUE(lock.IsHeld()) << lock.Failure();
    EXPECT_EQ(lock.Path(), folder + "/" + InstanceLock::KeyFor(UniqueName("folder")) + ".lock");
  }
  ::setenv("XDG_RUNTIME_DIR", (folder + "/missing").c_str(), 1);
  EXPECT_EQ(InstanceLock::LockFolder(), "/tmp");
  ::unsetenv("XDG_RUNTIME_DIR");
  EXPECT_EQ(InstanceLock::LockFolder(), "/tmp");
  if (saved != nullptr) ::setenv("XDG_RUNTIME_DIR", keep.c_str(), 1);
  std::filesystem::remove_all(folder);
}

TEST(HandOverTimeLimit, IsThirtySecondsUntilATestSetsItAndAgainAfterTheDesktopReset) {
  EXPECT_EQ(HandOverSender::TimeLimitMs(), 30'000);
  SetHandOverTimeLimitForTests(250);
  EXPECT_EQ(HandOverSender::TimeLimitMs(), 250);
  HeadlessDriver::Reset();
  EXPECT_EQ(HandOverSender::TimeLimitMs(), 30'000);
}

TEST(InstanceLockPresence, ASecondOfTheSameNameFindsItHeldAndTheLockIsFreedAfterwards) {
  const std::string name = UniqueName("lock");
  for (int round = 0; round < 3; ++round) {
    InstanceLock first(name);
    ASSERT_EQ(first.GetState(), InstanceLock::State::kHeld) << first.Failure();
    InstanceLock second(name);
    EXPECT_EQ(second.GetState(), InstanceLock::State::kHeldElsewhere);
    InstanceLock other(name + " other");
    EXPECT_EQ(other.GetState(), InstanceLock::State::kHeld);
  }
  InstanceLock again(name);
  EXPECT_TRUE(again.IsHeld());
}

TEST(InstanceLockPresence, AnotherProcessSeesTheLockUntilItIsGiven) {
  const std::string name = UniqueName("fork");
  auto childState = [&] {
    const pid_t child = ::fork();
    if (child == 0) {
      InstanceLock probe(name);
      ::_exit(int(probe.GetState()));
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  };
  {
    InstanceLock held(name);
    ASSERT_TRUE(held.IsHeld());
    EXPECT_EQ(childState(), int(InstanceLock::State::kHeldElsewhere));
  }
  EXPECT_EQ(childState(), int(InstanceLock::State::kHeld));
}

TEST_F(InstanceHandOver, TheTextArrivesAsCopyDataWithItsNulAndTheSenderIsReleasedAfterwards) {
  const std::string name = UniqueName("deliver");
  HWND frame = Frame();
  HandOverListener listener;
  ASSERT_TRUE(listener.Start(name, frame)) << listener.Failure();
  const std::string text = "\"/home/u/Kitchens/k 1.qxf\"";
  EXPECT_EQ(SendWhilePumping(name, text, frame), Result::kDelivered);
  ASSERT_EQ(gReceived.size(), 1u);
  EXPECT_EQ(gReceived[0].tag, 0u);
  EXPECT_EQ(gReceived[0].count, text.size() + 1);
  EXPECT_EQ(gReceived[0].bytes, text + '\0');
  // A second start later is served by the same listener.
  EXPECT_EQ(SendWhilePumping(name, "x", frame), Result::kDelivered);
  EXPECT_EQ(gReceived.size(), 2u);
}

TEST_F(InstanceHandOver, AnEmptyTextShowsTheFrameInsteadOfCopyData) {
  const std::string name = UniqueName("raise");
  HWND frame = Frame(false);
  HandOverListener listener;
  ASSERT_TRUE(listener.Start(name, frame));
  EXPECT_EQ(SendWhilePumping(name, "", frame), Result::kDelivered);
  EXPECT_TRUE(IsWindowVisible(frame));
  EXPECT_EQ(GetForegroundWindow(), frame);
  EXPECT_TRUE(gReceived.empty());
}

TEST_F(InstanceHandOver, TextsUpTo64KiBPassByteForByteAndLongerOnesAreRefused) {
  const std::string name = UniqueName("size");
  HWND frame = Frame();
  HandOverListener listener;
  ASSERT_TRUE(listener.Start(name, frame));
  std::string longest(HandOverSender::kMaxTextBytes, 'x');
  for (size_t i = 0; i < longest.size(); ++i) longest[i] = char(1 + i % 255);  // every byte but NUL
  EXPECT_EQ(SendWhilePumping(name, longest, frame), Result::kDelivered);
  ASSERT_EQ(gReceived.size(), 1u);
  EXPECT_EQ(gReceived[0].bytes, longest + '\0');

  std::string failure;
  EXPECT_EQ(HandOverSender::Send(name, longest + "y", &failure), Result::kTooLong);
  EXPECT_FALSE(failure.empty());

  // A peer that claims more than the limit on the wire is refused before the text is read.
  const int raw = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  const std::string address = HandOverSender::SocketName(name);
  sockaddr_un where{};
  where.sun_family = AF_UNIX;
  std::memcpy(where.sun_path, address.data(), address.size());
  ASSERT_EQ(::connect(raw, reinterpret_cast<sockaddr*>(&where),
                      socklen_t(offsetof(sockaddr_un, sun_path) + address.size())),
            0);
  const unsigned char header[4] = {0x01, 0x00, 0x01, 0x00};  // 65,537 bytes
  ASSERT_EQ(::send(raw, header, 4, MSG_NOSIGNAL), 4);
  char answer = 0;
  EXPECT_EQ(::recv(raw, &answer, 1, 0), 1);
  EXPECT_EQ(answer, 'R');
  ::close(raw);
  EXPECT_EQ(gReceived.size(), 1u);
}

TEST_F(InstanceHandOver, WithoutAListenerTheSenderLearnsItAtOnce) {
  const auto start = Clock::now();
  EXPECT_EQ(HandOverSender::Send(UniqueName("nobody"), "a.qxf"), Result::kNoListener);
  EXPECT_LT(Clock::now() - start, std::chrono::seconds(1));
}

TEST_F(InstanceHandOver, APeerThatNeverAnswersEndsTheWaitAtTheTimeLimit) {
  SetHandOverTimeLimitForTests(300);
  const std::string name = UniqueName("silent");
  // A listener that takes the name but never accepts: the text fits the socket buffer, no answer comes.
  const int silent = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  const std::string address = HandOverSender::SocketName(name);
  sockaddr_un where{};
  where.sun_family = AF_UNIX;
  std::memcpy(where.sun_path, address.data(), address.size());
  ASSERT_EQ(::bind(silent, reinterpret_cast<sockaddr*>(&where),
                   socklen_t(offsetof(sockaddr_un, sun_path) + address.size())),
            0);
  ASSERT_EQ(::listen(silent, 4), 0);
  const auto start = Clock::now();
  std::string failure;
  EXPECT_EQ(HandOverSender::Send(name, "k.qxf", &failure), Result::kTimedOut);
  const auto waited = Clock::now() - start;
  EXPECT_GE(waited, std::chrono::milliseconds(250));
  EXPECT_LT(waited, std::chrono::seconds(3));
  EXPECT_FALSE(failure.empty());
  // Our own listener cannot take a name that is bound already.
  HandOverListener listener;
  EXPECT_FALSE(listener.Start(name, Frame()));
  ::close(silent);
}

TEST_F(InstanceHandOver, AUserInterfaceThatNeverHandlesTheTextLeavesTheSenderUnacknowledged) {
  SetHandOverTimeLimitForTests(300);
  const std::string name = UniqueName("busy");
  HWND frame = Frame();
  HandOverListener listener;
  ASSERT_TRUE(listener.Start(name, frame));
  const auto start = Clock::now();
  const Result result = HandOverSender::Send(name, "k.qxf");  // nobody runs the queue meanwhile
  EXPECT_TRUE(result == Result::kTimedOut || result == Result::kRefused) << int(result);
  EXPECT_LT(Clock::now() - start, std::chrono::seconds(3));
  // Once the listener's own wait has run out too, the delivery posted meanwhile is given up: running
  // the queue then hands nothing to the window.
  std::this_thread::sleep_for(std::chrono::milliseconds(400));
  HeadlessDriver::RunUntilIdle();
  EXPECT_TRUE(gReceived.empty());
  const auto stopping = Clock::now();
  listener.Stop();
  EXPECT_LT(Clock::now() - stopping, std::chrono::seconds(1));
}

TEST_F(InstanceHandOver, StopCutsShortASenderStalledInTheMiddleOfItsText) {
  const std::string name = UniqueName("stall");  // the 30 second limit in force
  HandOverListener listener;
  ASSERT_TRUE(listener.Start(name, Frame()));
  const int raw = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  const std::string address = HandOverSender::SocketName(name);
  sockaddr_un where{};
  where.sun_family = AF_UNIX;
  std::memcpy(where.sun_path, address.data(), address.size());
  ASSERT_EQ(::connect(raw, reinterpret_cast<sockaddr*>(&where),
                      socklen_t(offsetof(sockaddr_un, sun_path) + address.size())),
            0);
  const unsigned char partial[7] = {100, 0, 0, 0, 'a', 'b', 'c'};
  ASSERT_EQ(::send(raw, partial, sizeof partial, MSG_NOSIGNAL), 7);
  std::this_thread::sleep_for(std::chrono::milliseconds(50));  // the listener is reading by now
  const auto stopping = Clock::now();
  listener.Stop();
  EXPECT_LT(Clock::now() - stopping, std::chrono::seconds(2));
  EXPECT_FALSE(listener.IsListening());
  ::close(raw);
  // The name is free again for the next start.
  EXPECT_TRUE(listener.Start(name, Frame()));
}

}  // namespace
}  // namespace plat
