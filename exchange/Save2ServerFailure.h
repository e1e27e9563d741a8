#pragma once
// What every call of the document server client throws, by value, with a code from 1 to 11:
//   1 no transfer handle            2 host or path cannot be made canonical
//   3 no connection could be set up 4 no request could be opened
//   5 the request could not be sent 6 the reply's headers could not be read
//   7 the reply broke off           8 not logged in (nothing was sent)
//   9 a download reply without document data
//  10 the user cancelled an untrusted certificate
//  11 the download's document data could not be decoded
// A refusal by the server is no failure: it arrives as reply text.

#include <cstdint>

class Save2ServerFailure {
 public:
  explicit Save2ServerFailure(int32_t code) : code_(code) {}
  int32_t GetCode() const { return code_; }

 private:
  int32_t code_;
};
