// The document server's upload and download grow linearly with the document: building and escaping
// the upload body of a 5 MB document (Base64 with line breaks, "+", "/" and "=" escaped) and reading
// the download reply that carries it back (escapes undone, line breaks removed, decoded into a
// handle), against a 0.5 MB document, in one run. Linear work gives a time ratio of 10; replacing the
// escapes in place in the text, each shifting everything after it, makes the 5 MB document take
// minutes. The ratio must stay at or below 12.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "bench/Reach.h"
#include "exchange/Save2ServerSession.h"
#include "foundation/OwnedHandle.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr uint32_t kSmall = 512 * 1024;
constexpr uint32_t kLarge = 10 * kSmall;
constexpr int kRounds = 5;

// One upload body and one download of a document of `size` bytes; answers seconds.
double UploadAndDownload(const Save2ServerSession& session, uint32_t size) {
  OwnedHandle document;
  MemSetSize(document.Get(), size);
  std::mt19937 random(size);
  for (uint32_t i = 0; i < size; ++i) (*document.Get())[i] = char(random());
  OwnedHandle received;

  const Clock::time_point start = Clock::now();
  const std::string body = session.MakeUploadBody(document.Get(), u"kitchen.qxf");
  const size_t data = body.find("&qxf-filedata=") + 14;
  // The server answers the stored bytes in the same escaped lines the upload carried.
  const Vcon::String reply =
      "<?xml version=\"1.0\"?>\n<accept type=\"download\"><data>" + body.substr(data) + "</data></accept>";
  Save2ServerSession::ReadDownloadReply(reply, received.Get());
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();

  if (MemGetSize(received.Get()) != int32_t(size) ||
      std::memcmp(*received.Get(), *document.Get(), size) != 0) {
    std::fprintf(stderr, "serverbody: the download differs from the upload\n");
    return -1;
  }
  return seconds;
}

}  // namespace

int main() {
  if (MemInit(400'000'000, 4'000'000) != 0) return 1;
  int status = 0;
  {
    Save2ServerSession session("Zelvo Pro", "127.0.0.1", "/qx/server.php");
    session.SetCredentials(u"u", u"p", u"dk");
    session.SetSignatureVersion(u"SIG", u"7.1");
    std::vector<double> small, large;
    for (int round = 0; round < kRounds; ++round) {
      small.push_back(UploadAndDownload(session, kSmall));
      large.push_back(UploadAndDownload(session, kLarge));
    }
    std::sort(small.begin(), small.end());
    std::sort(large.begin(), large.end());
    if (small.front() <= 0 || large.front() <= 0) {
      status = 1;
    } else {
      const double smallMedian = small[kRounds / 2], largeMedian = large[kRounds / 2];
      std::printf("upload body and download reply, 0.5 MB: %8.3f ms, 5 MB: %8.3f ms (medians of %d)\n",
                  smallMedian * 1e3, largeMedian * 1e3, kRounds);
      bench::ReachAtMost("serverbody 5 MB / 0.5 MB", largeMedian / smallMedian, 12.0);
      status = bench::ReachStatus();
    }
  }
  MemTerminate();
  return status;
}
