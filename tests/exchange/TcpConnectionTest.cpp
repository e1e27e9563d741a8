// The order connection against a loopback TCP peer: refused connections, silent and closing peers,
// answers in pieces and the answer limit. Nothing here may wait longer than the short time limit.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <string>

#include "LoopbackOrderPeer.h"
#include "exchange/TcpConnection.h"
#include "foundation/OwnedHandle.h"
#include "platform/HeadlessDriver.h"
#include "platform/TcpSocket.h"

namespace {

using Mode = LoopbackOrderPeer::Mode;

Handle NewHandle(const std::string& bytes) {
  Handle h = nullptr;
  Vcon_HandleManager::MemNew(&h, uint32_t(bytes.size()));
  if (!bytes.empty()) std::memcpy(*h, bytes.data(), bytes.size());
  return h;
}

std::string Bytes(Handle h) { return std::string(*h, size_t(MemGetSize(h))); }

class TcpConnectionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    plat::HeadlessDriver::Reset();
    plat::SetTcpReceiveTimeLimitForTests(300);
  }
  void TearDown() override { plat::HeadlessDriver::Reset(); }
};

TEST_F(TcpConnectionTest, WithoutAListenerNothingIsConnectedAndHandlesKeepTheirBytes) {
  LoopbackOrderPeer peer(Mode::kNoListener);
  TcpConnection connection("127.0.0.1", std::to_string(peer.Port()));
  EXPECT_FALSE(connection.IsConnected());
  EXPECT_NE(connection.Failure().find("refused"), std::string::npos) << connection.Failure();
  OwnedHandle h(NewHandle("old"));
  EXPECT_EQ(connection.Send(h.Get()), -1);
  EXPECT_EQ(connection.Receive(h.Get()), -1);
  EXPECT_EQ(connection.ReceiveUntilClosed(h.Get()), -1);
  EXPECT_EQ(Bytes(h.Get()), "old");
}

TEST_F(TcpConnectionTest, AnUnknownHostIsNotConnectedAndSaysWhy) {
  TcpConnection connection("no-such-host.invalid", "80");
  EXPECT_FALSE(connection.IsConnected());
  EXPECT_NE(connection.Failure().find("resolved"), std::string::npos) << connection.Failure();
}

TEST_F(TcpConnectionTest, TheTestPortOverrideReplacesThePortAskedFor) {
  LoopbackOrderPeer peer(Mode::kCloseAfterHead);
  plat::SetTcpPortForTests(peer.Port());
  TcpConnection connection("127.0.0.1", "80");
  EXPECT_TRUE(connection.IsConnected());
  plat::HeadlessDriver::Reset();  // the override is on the reset list
  plat::SetTcpReceiveTimeLimitForTests(300);
  LoopbackOrderPeer other(Mode::kNoListener);
  EXPECT_FALSE(TcpConnection("127.0.0.1", std::to_string(other.Port())).IsConnected());
}

TEST_F(TcpConnectionTest, ASilentPeerEndsAReceiveAtTheTimeLimitWithTheHandleUnchanged) {
  LoopbackOrderPeer peer(Mode::kSilent);
  TcpConnection connection("127.0.0.1", std::to_string(peer.Port()));
  ASSERT_TRUE(connection.IsConnected());
  OwnedHandle head(NewHandle("HEAD / HTTP/1.1\r\n\r\n"));
  EXPECT_EQ(connection.Send(head.Get()), int32_t(MemGetSize(head.Get())));
  const auto started = std::chrono::steady_clock::now();
  EXPECT_EQ(connection.Receive(head.Get()), -1);
  EXPECT_EQ(connection.ReceiveUntilClosed(head.Get()), -1);
  const auto waited = std::chrono::steady_clock::now() - started;
  EXPECT_LT(waited, std::chrono::seconds(10));
  EXPECT_EQ(Bytes(head.Get()), "HEAD / HTTP/1.1\r\n\r\n");
  EXPECT_NE(connection.Failure().find("within 300 milliseconds"), std::string::npos) << connection.Failure();
}

TEST_F(TcpConnectionTest, APeerThatClosesGivesZeroAndLeavesTheHandle) {
  LoopbackOrderPeer peer(Mode::kCloseAfterHead);
  TcpConnection connection("127.0.0.1", std::to_string(peer.Port()));
  OwnedHandle head(NewHandle("H\r\n\r\n"));
  ASSERT_EQ(connection.Send(head.Get()), 5);
  EXPECT_EQ(connection.Receive(head.Get()), 0);
  EXPECT_EQ(Bytes(head.Get()), "H\r\n\r\n");
}

TEST_F(TcpConnectionTest, AnAnswerInPiecesIsCollectedWholeUntilThePeerCloses) {
  LoopbackOrderPeer peer(Mode::kAnswer, {"junk<ht", "ml>ok</html>tail"});
  TcpConnection connection("127.0.0.1", std::to_string(peer.Port()));
  OwnedHandle head(NewHandle("POST / HTTP/1.1\r\nContent-Length: 3\r\n\r\n")), body(NewHandle("abc"));
  ASSERT_GT(connection.Send(head.Get()), 0);
  EXPECT_EQ(connection.Receive(head.Get()), 25);
  EXPECT_EQ(Bytes(head.Get()), "HTTP/1.1 100 Continue\r\n\r\n");
  ASSERT_EQ(connection.Send(body.Get()), 3);
  OwnedHandle answer;
  EXPECT_EQ(connection.ReceiveUntilClosed(answer.Get()), 23);
  EXPECT_EQ(Bytes(answer.Get()), "junk<html>ok</html>tail");
  EXPECT_EQ(peer.Body(), "abc");
}

TEST_F(TcpConnectionTest, AnAnswerStopsAtItsLimitWithoutWaitingForTheClose) {
  const std::string big(150'000, 'a');
  LoopbackOrderPeer peer(Mode::kFlood, {big});
  TcpConnection connection("127.0.0.1", std::to_string(peer.Port()));
  OwnedHandle answer;
  EXPECT_EQ(connection.ReceiveUntilClosed(answer.Get()), TcpConnection::kMaxAnswerBytes);
  EXPECT_EQ(MemGetSize(answer.Get()), TcpConnection::kMaxAnswerBytes);
  // One receive takes at most the limit too.
  EXPECT_GT(connection.Receive(answer.Get()), 0);
  EXPECT_LE(MemGetSize(answer.Get()), TcpConnection::kMaxAnswerBytes);
}

}  // namespace
