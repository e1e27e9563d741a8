#include "tools/mkcatalog/SettingsFiles.h"

#include <algorithm>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <vector>

#include "tools/mkcatalog/PictureMaker.h"
#include "tools/mkcatalog/SourceError.h"

namespace mkcatalog {
namespace {

namespace fs = std::filesystem;

constexpr const char* kPictureList = "pictures.txt";

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw SourceError(path, 0, "cannot read");
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void WriteAll(const fs::path& path, const void* data, size_t size) {
  fs::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(static_cast<const char*>(data), std::streamsize(size));
  if (!out) throw SourceError(path, 0, "cannot write");
}

// A relative path that stays inside the settings folder.
bool InsideFolder(const fs::path& relative) {
  if (relative.empty() || relative.is_absolute()) return false;
  for (const fs::path& part : relative)
    if (part == "..") return false;
  return true;
}

void MakePictures(const fs::path& list, const fs::path& settings) {
  std::istringstream in(ReadAll(list));
  std::string line;
  for (int number = 1; std::getline(in, line); ++number) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    const size_t tab = line.find('\t');
    const fs::path target = tab == std::string::npos ? fs::path() : fs::path(line.substr(0, tab));
    if (!InsideFolder(target))
      throw SourceError(list, number, "expected a relative path, a tab and a picture");
    std::vector<uint8_t> picture;
    try {
      picture = MakePicture(line.substr(tab + 1));
    } catch (const std::invalid_argument& e) {
      throw SourceError(list, number, e.what());
    }
    WriteAll(settings / target, picture.data(), picture.size());
  }
}

}  // namespace

std::string ResolveRecordReferences(const std::string& text, const fs::path& file,
                                    const RecordResolver& resolve) {
  std::string out;
  size_t from = 0;
  while (true) {
    const size_t open = text.find("{{", from);
    if (open == std::string::npos) break;
    out.append(text, from, open - from);
    const int line = int(std::count(text.begin(), text.begin() + long(open), '\n')) + 1;
    // A reference stays on its line: a "}}" further down closes nothing here.
    const size_t close = text.find("}}", open + 2);
    if (close == std::string::npos || text.find('\n', open) < close)
      throw SourceError(file, line, "a reference without its closing '}}'");
    const std::string reference = text.substr(open + 2, close - open - 2);
    const size_t first = reference.find(':');
    const size_t second = first == std::string::npos ? first : reference.find(':', first + 1);
    if (second == std::string::npos)
      throw SourceError(file, line, "expected {{identifier:layout:name}}, not {{" + reference + "}}");
    int32_t identifier = 0;
    try {
      size_t used = 0;
      identifier = std::stoi(reference.substr(0, first), &used);
      if (used != first) throw std::invalid_argument("");
    } catch (const std::exception&) {
      throw SourceError(file, line, "'" + reference.substr(0, first) + "' is no catalogue identifier");
    }
    try {
      out += std::to_string(
          resolve(identifier, reference.substr(first + 1, second - first - 1), reference.substr(second + 1)));
    } catch (const std::invalid_argument& e) {
      throw SourceError(file, line, e.what());
    }
    from = close + 2;
  }
  out.append(text, from, std::string::npos);
  return out;
}

void CopySettingsFiles(const fs::path& folder, const fs::path& settings, const RecordResolver& resolve) {
  std::vector<fs::path> files;
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(folder))
    if (entry.is_regular_file()) files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  for (const fs::path& file : files) {
    const fs::path relative = fs::relative(file, folder);
    if (relative == kPictureList) {
      MakePictures(file, settings);
      continue;
    }
    std::string bytes = ReadAll(file);
    if (file.extension() == ".txt") bytes = ResolveRecordReferences(bytes, file, resolve);
    WriteAll(settings / relative, bytes.data(), bytes.size());
  }
}

}  // namespace mkcatalog
