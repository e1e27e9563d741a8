// The skin's pictures as the application hands them out: button faces (the skin's, else the
// bitmaps compiled into the program), frame pictures of the skin's bitmap table by id, and fill
// pictures that a skin colour record links to. Each picture is made once per request key and kept
// for the run, so a view may hold the pointer; askers never delete it.
//
// Owned by the application object; user-interface thread only.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <utility>

class ppPicture;

class SkinPictures {
 public:
  SkinPictures();
  ~SkinPictures();

  // Picture `variant` (0 to 4, else 0) of skin button `id`; when the skin has none (or no skin is
  // open) the program's bitmap resource id + variant, empty when that is missing too. Never null.
  ppPicture* ButtonPicture(int32_t id, int32_t variant);
  // The skin bitmap whose "id" is `id`; null when there is none or it is empty.
  ppPicture* FramePicture(int32_t id);
  // Whether FramePicture(id) gives a picture, told from the bitmap's bytes without decoding them
  // (see ppPicture::HoldsPicture): the program only asks this of pictures it may never show.
  bool HasFramePicture(int32_t id);
  // The bitmap record that skin colour `id` links to by "bitmap"; null for a link of 0, a link
  // that leads nowhere, or an empty bitmap.
  ppPicture* FillPicture(int32_t id);

 private:
  std::map<std::pair<int32_t, int32_t>, std::unique_ptr<ppPicture>> buttons_;
  std::map<int32_t, std::unique_ptr<ppPicture>> frames_;
  std::map<int32_t, std::unique_ptr<ppPicture>> fills_;
};
