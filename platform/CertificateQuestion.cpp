#include "platform/CertificateQuestion.h"

#include <deque>
#include <mutex>
#include <optional>

#include "platform/MessageBox.h"
#include "platform/ResetList.h"

namespace plat {
namespace {

// Requests run on the user-interface thread, but a worker may send one too: the log is guarded.
struct QuestionLog {
  std::mutex mutex;
  std::vector<CertificateQuestionRecord> records;
  std::deque<bool> answers;
};

QuestionLog& Log() {
  static QuestionLog log;
  return log;
}

[[maybe_unused]] const bool kReset =
    ResetList::Add("certificate question: log, queued answers", [] { ClearCertificateQuestionLog(); });

std::u16string Widen(const std::string& utf8) {
  std::u16string out;
  for (unsigned char c : utf8) out.push_back(c < 0x80 ? char16_t(c) : u'?');
  return out;
}

}  // namespace

bool AskAcceptUntrustedIssuer(const std::string& host, const std::string& detail) {
  QuestionLog& log = Log();
  std::optional<bool> queued;
  {
    std::lock_guard lock(log.mutex);
    if (!log.answers.empty()) {
      queued = log.answers.front();
      log.answers.pop_front();
    }
  }
  bool accepted = false;
  if (queued) {
    accepted = *queued;
  } else {
    const std::u16string text = u"The certificate of " + Widen(host) +
                                u" was issued by an authority that is not trusted (" + Widen(detail) +
                                u").\n\nGo on with this request anyway?";
    accepted = MessageBoxW(nullptr, text.c_str(), u"Security warning",
                           MB_OKCANCEL | MB_ICONWARNING | MB_DEFBUTTON2) == IDOK;
  }
  std::lock_guard lock(log.mutex);
  log.records.push_back({host, detail, accepted});
  return accepted;
}

void QueueCertificateAnswer(bool accept) {
  std::lock_guard lock(Log().mutex);
  Log().answers.push_back(accept);
}

std::vector<CertificateQuestionRecord> CertificateQuestionLog() {
  std::lock_guard lock(Log().mutex);
  return Log().records;
}

void ClearCertificateQuestionLog() {
  std::lock_guard lock(Log().mutex);
  Log().records.clear();
  Log().answers.clear();
}

}  // namespace plat
