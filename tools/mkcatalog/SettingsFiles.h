#pragma once
// The plain settings files of the demo: every file under the sources' "files" folder goes to the same
// place under the settings folder (the calculation's unit trees and column lists, the order
// templates, the user folder's pictures).
//
// In a ".txt" file a reference "{{N:layout:name}}" becomes the record id of the record `name` of
// `layout` in the catalogue whose settings identifier is N, so that the unit trees never hold a
// record id written by hand. "pictures.txt" at the top of the folder is not copied: each of its
// lines "<path><TAB><description>" (PictureMaker.h) makes the picture file at that path; lines that
// start with '#' and empty lines are skipped. Faults are SourceErrors naming the file and line.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

namespace mkcatalog {

// (catalogue identifier, layout, name) -> record id; throws std::invalid_argument when none.
using RecordResolver = std::function<int32_t(int32_t, const std::string&, const std::string&)>;

// Copies `folder`'s tree into `settings` as described above.
void CopySettingsFiles(const std::filesystem::path& folder, const std::filesystem::path& settings,
                       const RecordResolver& resolve);

// `text` with every "{{N:layout:name}}" replaced; `file` names faults (the line is counted).
std::string ResolveRecordReferences(const std::string& text, const std::filesystem::path& file,
                                    const RecordResolver& resolve);

}  // namespace mkcatalog
