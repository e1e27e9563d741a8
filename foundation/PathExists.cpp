#include "foundation/PathExists.h"

#include <glob.h>
#include <sys/stat.h>

#include <cctype>
#include <string>

#include "foundation/PosixPath.h"

namespace {

// A glob(3) pattern that matches as the program's Windows-style paths always have: ASCII letters in
// either case, '*' and '?' as wildcards, and every other character (brackets included) literally.
std::string CaseBlindPattern(const std::string& slashed) {
  std::string pattern;
  pattern.reserve(slashed.size() * 4);
  for (const char ch : slashed) {
    const unsigned char c = static_cast<unsigned char>(ch);
    if (c < 0x80 && std::isalpha(c)) {
      pattern += '[';
      pattern += static_cast<char>(std::tolower(c));
      pattern += static_cast<char>(std::toupper(c));
      pattern += ']';
    } else if (ch == '[' || ch == ']') {
      pattern += '\\';
      pattern += ch;
    } else {
      pattern += ch;
    }
  }
  return pattern;
}

}  // namespace

bool PathExists(const Vcon::String& path) {
  const std::string utf8 = Vcon::Utf8FromUtf16(WideFromString(path));
  if (utf8.empty()) return false;
  const std::string slashed = Vcon::SlashedPath(utf8);
  // A name as written that exists is one the pattern matches too; only a missing one needs the
  // folders listed to find its other spellings.
  struct stat st;
  if (slashed.find_first_of("*?") == std::string::npos && ::lstat(slashed.c_str(), &st) == 0) return true;
  const std::string pattern = CaseBlindPattern(slashed);
  glob_t found{};
  // Wildcards match names that begin with a dot too, as they do on the program's home platform.
  int flags = GLOB_NOSORT;
#ifdef GLOB_PERIOD
  flags |= GLOB_PERIOD;
#endif
  const int rc = glob(pattern.c_str(), flags, nullptr, &found);
  const bool exists = rc == 0 && found.gl_pathc > 0;
  globfree(&found);
  return exists;
}
