#pragma once
// The question put to the user when a server's certificate comes from an authority the system does
// not trust: accept the certificate for this one request, or cancel it.
//
// Every question is recorded in a log that tests read. It is answered with the next queued answer when
// a test queued one; otherwise it is shown as an OK/Cancel warning box (MessageBox.h) whose default
// button is Cancel, so that a run without a person (the headless backend answers a box with its
// default) never trusts an unknown authority by itself.

#include <string>
#include <vector>

namespace plat {

struct CertificateQuestionRecord {
  std::string host;    // the server's host name as connected to
  std::string detail;  // why the certificate was refused, in the TLS library's words
  bool accepted = false;
};

// Asks whether to go on with the certificate of `host` despite its unknown issuer; true accepts.
bool AskAcceptUntrustedIssuer(const std::string& host, const std::string& detail);

// Queues the answer of a coming question (first queued, first used).
void QueueCertificateAnswer(bool accept);
// The questions asked since the log was last cleared, oldest first.
std::vector<CertificateQuestionRecord> CertificateQuestionLog();
// Empties the log and the queued answers.
void ClearCertificateQuestionLog();

}  // namespace plat
