#include "foundation/PosixPath.h"

#include <dirent.h>
#include <sys/stat.h>

#include <cstdint>
#include <memory>
#include <vector>

namespace Vcon {

namespace {

void AppendUtf8(std::string& out, uint32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

// The code point of the sequence at `i` (advanced past it), or U+FFFD for a byte that starts none.
uint32_t NextCodePoint(std::string_view text, size_t& i) {
  const auto byte = [&](size_t k) { return static_cast<uint8_t>(text[k]); };
  const uint8_t lead = byte(i);
  const size_t length = lead < 0x80           ? 1
                        : (lead >> 5) == 0x6  ? 2
                        : (lead >> 4) == 0xE  ? 3
                        : (lead >> 3) == 0x1E ? 4
                                              : 0;
  if (length == 0 || i + length > text.size()) {
    ++i;
    return 0xFFFD;
  }
  uint32_t cp = length == 1 ? lead : lead & (0x7F >> length);
  for (size_t k = 1; k < length; ++k) {
    if ((byte(i + k) & 0xC0) != 0x80) {
      ++i;
      return 0xFFFD;
    }
    cp = (cp << 6) | (byte(i + k) & 0x3F);
  }
  i += length;
  return cp > 0x10FFFF ? 0xFFFD : cp;
}

bool Exists(const std::string& path) {
  struct stat st;
  return ::lstat(path.c_str(), &st) == 0;
}

char FoldAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
  }
  return true;
}

// The entry of `folder` equal to `name` ignoring ASCII case; "" when there is none.
std::string FindIgnoringCase(const std::string& folder, std::string_view name) {
  std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.empty() ? "." : folder.c_str()), ::closedir);
  if (!dir) return {};
  std::string best;
  while (const dirent* entry = ::readdir(dir.get())) {
    std::string_view candidate(entry->d_name);
    if (!EqualIgnoringAsciiCase(candidate, name)) continue;
    if (best.empty() || candidate < best) best = candidate;
  }
  return best;
}

std::vector<std::string_view> SplitComponents(std::string_view path) {
  std::vector<std::string_view> parts;
  size_t start = 0;
  while (start <= path.size()) {
    size_t slash = path.find('/', start);
    if (slash == std::string_view::npos) slash = path.size();
    parts.push_back(path.substr(start, slash - start));
    start = slash + 1;
  }
  return parts;
}

// Components that name no entry to look up: the empty one before the root or between doubled
// separators, "." and "..".
bool KeptAsGiven(std::string_view part) { return part.empty() || part == "." || part == ".."; }

// The first `count` components of `path` as written (the views of `parts` point into `path`).
std::string_view LeadingComponents(std::string_view path, const std::vector<std::string_view>& parts,
                                   size_t count) {
  if (count == 0) return {};
  const std::string_view last = parts[count - 1];
  return path.substr(0, static_cast<size_t>(last.data() - path.data()) + last.size());
}

}  // namespace

std::string Utf8FromUtf16(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    uint32_t unit = text[i];
    if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF) {
      uint32_t low = text[++i];
      AppendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
    } else if (unit >= 0xD800 && unit <= 0xDFFF) {
      AppendUtf8(out, 0xFFFD);
    } else {
      AppendUtf8(out, unit);
    }
  }
  return out;
}

std::u16string Utf16FromUtf8(std::string_view text) {
  std::u16string out;
  for (size_t i = 0; i < text.size();) {
    const uint32_t cp = NextCodePoint(text, i);
    if (cp < 0x10000) {
      out += static_cast<char16_t>(cp);
    } else {
      out += static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10));
      out += static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
    }
  }
  return out;
}

std::string SlashedPath(std::string_view windowsPath) {
  std::string path(windowsPath);
  for (char& c : path) {
    if (c == '\\') c = '/';
  }
  return path;
}

std::u16string SlashedPath(std::u16string_view windowsPath) {
  std::u16string path(windowsPath);
  for (char16_t& c : path) {
    if (c == u'\\') c = u'/';
  }
  return path;
}

std::string ResolvePosixPath(std::string_view windowsPath) {
  std::string path = SlashedPath(windowsPath);
  if (path.empty() || Exists(path)) return path;

  // Most missing paths name a file about to be created in a folder that exists as written, so the
  // longest leading run of components that exists is sought from the end: one lstat for such a
  // path rather than one per folder from the root. Every shorter run exists too (the system walked
  // through it), so the walk from the root would keep this run as written. A run ending in a
  // component the walk keeps unchecked ("", ".", "..") is not tried.
  const std::vector<std::string_view> parts = SplitComponents(path);
  size_t kept = parts.size() - 1;  // leading components known to exist as written
  while (kept > 0 &&
         (KeptAsGiven(parts[kept - 1]) || !Exists(std::string(LeadingComponents(path, parts, kept)))))
    --kept;

  // Walk the rest, keeping what exists and matching the others ignoring case.
  std::string resolved(LeadingComponents(path, parts, kept));
  // While `resolved` is the path's own beginning, each longer run is known to be missing as written.
  bool asWritten = true;
  bool lost = false;  // once a component is missing, the rest is kept as given
  for (size_t i = kept; i < parts.size(); ++i) {
    std::string_view part = parts[i];
    if (i > 0) resolved += '/';
    if (KeptAsGiven(part) || lost) {
      resolved += part;
      continue;
    }
    if (!asWritten) {
      std::string exact = resolved + std::string(part);
      if (Exists(exact)) {
        resolved = std::move(exact);
        continue;
      }
    }
    std::string match = FindIgnoringCase(resolved, part);
    if (match.empty()) {
      lost = true;
      resolved += part;
    } else {
      asWritten = asWritten && match == part;
      resolved += match;
    }
  }
  return resolved;
}

std::string ResolvePosixPath(std::u16string_view windowsPath) {
  return ResolvePosixPath(std::string_view(Utf8FromUtf16(windowsPath)));
}

}  // namespace Vcon
