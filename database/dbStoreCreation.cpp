// Making a new database file. Its first bytes are not covered by any commit journal, so the file is
// written whole under a temporary name (the file's name with ".new" added), flushed, and renamed
// only then; the rename refuses a name that exists meanwhile. A power cut at any point leaves either
// no file of the name (the next open makes it again, over what the cut left of the temporary one)
// or a file that opens; the database's own first commit then follows the journal's rules.
#include <array>
#include <cstring>

#include "database/dbBytes.h"
#include "database/dbErrors.h"
#include "database/dbStore.h"
#include "foundation/FileOperations.h"
#include "foundation/FileRecord.h"

namespace {

ppFileSpec TemporaryFor(const ppFileSpec& fileSpec) {
  ppFileSpec temporary(fileSpec);
  temporary.path += u".new";
  return temporary;
}

// Deletes what an earlier, interrupted creation left; a file held open by another creation stays,
// and that creation's own create call then refuses.
void RemoveLeftover(ppFileSpec& temporary) {
  try {
    FileDelete(temporary);
  } catch (int32_t) {
    // None left, or held open elsewhere.
  }
}

}  // namespace

void dbStore::CreateFile(ppFileSpec& fileSpec) {
  ppFileSpec temporary = TemporaryFor(fileSpec);
  RemoveLeftover(temporary);
  try {
    std::unique_ptr<dbStore> maker(new dbStore);
    maker->file_.CreateAndOpen(temporary);
    maker->WriteNewFile(fileSpec);
    maker->ReadHeader();
    maker->EnsureRootPage(kFreeExtentRoot, true);
    maker->EnsureRootPage(kRecordMapRoot, false);
    // At rest with its size, as every commit leaves a file: bytes that the first transaction's
    // writes leave past it, should its opening record be lost to a power cut, are cut away at the
    // next open instead of lying in the file unreferenced.
    maker->ComeToRest(maker->file_.Size());
    maker->file_.Flush();
    maker->Close();
    FileRename(temporary, fileSpec);
  } catch (...) {
    RemoveLeftover(temporary);
    throw;
  }
  if (!file_.OpenExisting(fileSpec)) db::Fail(kFileErrCannotOpen);
}

void dbStore::WriteNewFile(const ppFileSpec& fileSpec) {
  std::array<unsigned char, kFirstPageOffset> first{};
  file_.Write(0, first.data(), kFirstPageOffset);
  header_.fill(0);
  SetHeader(kGrowthUnit, kPageSize);
  SetHeader(kFormatWord, 3);
  file_.Write(kHeaderOffset, header_.data(), kHeaderSize);
  unsigned char words[12];
  db::PutI32(words, 0, int32_t(fileSpec.word3));
  db::PutI32(words, 4, int32_t(fileSpec.word2));
  db::PutI32(words, 8, int32_t(fileSpec.word4));
  file_.Write(0, words, 12);
}
