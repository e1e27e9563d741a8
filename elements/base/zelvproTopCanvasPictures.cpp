// The top canvas's elevation pictures: the plan's units split into runs standing side by side along
// one line with one turn, each run drawn by the 3D pane as a 1024 x 768 elevation and written as a
// BMP file of its own (the chosen name, then name_2, name_3 ... before the extension).
#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "elements/base/iElementHost.h"
#include "elements/base/qxPrintPaneElement.h"
#include "elements/base/qxPrintPictures.h"
#include "elements/base/qxViewHolder.h"
#include "elements/base/zelvproTopCanvas.h"
#include "foundation/FileDialogs.h"
#include "foundation/FileOperations.h"
#include "foundation/Geometry3D.h"
#include "foundation/PosixPath.h"
#include "framework/ppPicture.h"
#include "platform/MessageBox.h"

namespace {

constexpr float kHalfPi = 1.5707964f;
// How far (millimetres) a unit may stand from a run's line, measured square to the line.
constexpr float kRunReach = 100.0f;
constexpr uint32_t kHeadersSize = 54;
constexpr uint32_t kInfoSize = 40;
const char16_t* const kWriteFailedCaption = u"Zelvo";

ppVector3 OnFloor(const zelvproElement* element) {
  ppVector3 at = element->position;
  at.y = 0.0f;
  return at;
}

// The name of run `number` (from 1): the chosen path itself, then "_2", "_3" ... before the extension
// (a dot after the last folder separator).
Vcon::WString RunFileName(const Vcon::WString& chosen, int32_t number) {
  if (number <= 1) return chosen;
  const std::u16string path(chosen.c_str());
  const size_t folder = path.find_last_of(u"\\/");
  const size_t dot = path.find_last_of(u'.');
  const size_t cut =
      dot != std::u16string::npos && (folder == std::u16string::npos || dot > folder) ? dot : path.size();
  std::u16string suffix = u"_";
  for (char c : std::to_string(number)) suffix.push_back(char16_t(c));
  return Vcon::WString((path.substr(0, cut) + suffix + path.substr(cut)).c_str());
}

// The pixel bytes of a picture: its header's image size, else what width, height and bit depth
// give (rows padded to 4 bytes).
uint32_t ImageSize(const plat::BITMAPINFOHEADER& header) {
  if (header.biSizeImage != 0) return header.biSizeImage;
  const int64_t row = ((int64_t(header.biWidth) * header.biBitCount + 31) / 32) * 4;
  const int64_t size = row * std::llabs(int64_t(header.biHeight));
  return size > 0 && size < int64_t(UINT32_MAX) - kHeadersSize ? uint32_t(size) : 0;
}

// Writes the picture as a BMP file to `path`, replacing what the file held. Throws the file layer's
// error number.
void WritePicture(const Vcon::WString& path, const ppPicture& picture) {
  const plat::BITMAPINFOHEADER& header = *picture.GetHeader();
  const uint32_t image = ImageSize(header);
  // The packed picture: its header, a colour table when it has one, then the pixels.
  std::vector<uint8_t> packed(picture.GetDataSize());
  packed.resize(picture.CopyBits(packed.data(), uint32_t(packed.size())));
  const size_t table = packed.size() >= kInfoSize + image ? packed.size() - kInfoSize - image : 0;
  std::vector<uint8_t> file(kHeadersSize + image, 0);
  file[0] = 'B';
  file[1] = 'M';
  const uint32_t fileSize = kHeadersSize + image;
  std::memcpy(&file[2], &fileSize, 4);
  std::memcpy(&file[10], &kHeadersSize, 4);
  std::memcpy(&file[14], &header, kInfoSize);
  const size_t available = packed.size() > kInfoSize + table ? packed.size() - kInfoSize - table : 0;
  std::memcpy(&file[kHeadersSize], packed.data() + kInfoSize + table, std::min<size_t>(image, available));
  ppFileSpec named(path);
  try {
    FileCreate(named);
  } catch (int32_t error) {
    if (error != kFileErrExists) throw;
  }
  ppFileSpec open;
  FileOpen(open, named, false);
  try {
    uint32_t zero = 0;
    FileSetSize(open, &zero);
    FileWrite(open, file.data(), uint32_t(file.size()), 0);
  } catch (int32_t) {
    try {
      FileClose(open);
    } catch (int32_t) {
    }
    throw;
  }
  FileClose(open);
}

}  // namespace

void zelvproTopCanvas::ExportElevationPictures() {
  std::unique_ptr<qxViewHolder> work(BuildHolderChain(nullptr));
  ppFileSpec chosen;
  bool fileChosen = false;
  bool failed = false;
  int32_t written = 0;
  while (work != nullptr) {
    // Take the whole work list; what does not join this run goes back onto it.
    qxViewHolder* pending = work.release();
    qxViewHolder* run = nullptr;
    qxViewHolder* rest = nullptr;
    float angle = 0.0f;
    ppVector3 p, p2;
    bool first = true;
    while (pending != nullptr) {
      qxViewHolder* h = pending;
      pending = h->ReleaseNext();
      zelvproElement* element = h->Element();
      bool joins = first;
      if (first) {
        angle = element->GetAbsoluteAngle();
        ppVector3 d(1.0f, 0.0f, 0.0f);
        RotateAboutAxis(d, angle, ppVector3(0.0f, 1.0f, 0.0f));
        p = OnFloor(element);
        p2 = ppVector3(p.x + d.x, p.y + d.y, p.z + d.z);
        first = false;
      } else if (CompareWithinHalf(element->GetAbsoluteAngle(), angle) == 0) {
        const ppVector3 q = OnFloor(element);
        ppVector3 n(1.0f, 0.0f, 0.0f);
        RotateAboutAxis(n, angle + kHalfPi, ppVector3(0.0f, 1.0f, 0.0f));
        const ppVector3 q2(q.x + n.x, q.y + n.y, q.z + n.z);
        ppVector3 crossing;
        bool parallel = false;
        joins = IntersectLinesXZ(crossing, q, q2, p, p2, parallel) && !parallel &&
                Distance3(q, crossing) < kRunReach;
      }
      // Pushed at the front: both lists end in the reverse order of their visit.
      if (joins) {
        h->SetNext(run);
        run = h;
      } else {
        h->SetNext(rest);
        rest = h;
      }
    }
    work.reset(rest);
    const std::unique_ptr<qxViewHolder> owned(run);
    // After a failed write no further run is drawn or written.
    if (failed) continue;
    std::vector<qxPrintPaneElement> elements;
    std::vector<qxPictureItem> items;
    for (qxViewHolder* h = run; h != nullptr; h = h->Next()) elements.emplace_back(h->Element());
    items.resize(elements.size());
    for (size_t i = 0; i < items.size(); ++i) {
      items[i].element = &elements[i];
      items[i].next = i + 1 < items.size() ? &items[i + 1] : nullptr;
    }
    qxPictureResult picture = iElementHost::Current().PrintPictures().Group(
        items.empty() ? nullptr : items.data(),
        plat::RECT{0, 0, kElevationPictureWidth, kElevationPictureHeight});
    // A run the pane drew no picture of writes nothing.
    if (picture.picture == nullptr || picture.picture->IsEmpty() ||
        ImageSize(*picture.picture->GetHeader()) == 0)
      continue;
    if (!fileChosen) {
      ppFileSpec dialog;
      // A cancelled dialog skips this run; the next run asks again.
      if (!RunSaveFileDialog(dialog) || dialog.path.empty()) continue;
      chosen = dialog;
      fileChosen = true;
    }
    const Vcon::WString path = RunFileName(chosen.path, ++written);
    try {
      WritePicture(path, *picture.picture);
    } catch (int32_t error) {
      failed = true;
      std::u16string text = u"The picture could not be written to ";
      text += Vcon::SlashedPath(std::u16string_view(path));
      text += u" (error ";
      for (char c : std::to_string(error)) text.push_back(char16_t(c));
      text += u").";
      plat::MessageBoxW(nullptr, text.c_str(), kWriteFailedCaption, plat::MB_ICONHAND);
    }
  }
}
