#include "exchange/ShowServerError.h"

#include <string>

#include "exchange/qxErrorMessage.h"
#include "foundation/TextsById.h"

namespace {

constexpr int32_t kOtherDescription = 7698;
constexpr int32_t kHelpdeskText = 7699;

struct Description {
  int32_t code;
  int32_t text;
};

constexpr Description kDescriptions[] = {
    {-1, 7608},  {-2, 7609},  {-3, 7610},  {-4, 7611},  {-5, 7612},  {-6, 7613},  {-7, 7614},
    {-8, 7615},  {-9, 7616},  {-10, 7617}, {-11, 7618}, {301, 7621}, {302, 7622}, {303, 7623},
    {311, 7631}, {312, 7632}, {313, 7633}, {351, 7671}, {391, 7691}, {392, 7692},
};

Vcon::WString HelpdeskLine(int32_t code) {
  Vcon::WString line(u"Please contact HelpDesk with the error code");
  GetTextById(kHelpdeskText, line);
  line += Vcon::WString((" #" + std::to_string(code)).c_str());
  return line;
}

}  // namespace

int32_t ServerErrorDescriptionId(int32_t code) {
  for (const Description& d : kDescriptions) {
    if (d.code == code) return d.text;
  }
  return kOtherDescription;
}

Vcon::WString ServerErrorMessage(int32_t code) {
  if (code == 0) return {};
  const Vcon::WString helpdesk = HelpdeskLine(code);
  const int32_t id = ServerErrorDescriptionId(code);
  Vcon::WString description = helpdesk;
  GetTextById(id, description);
  Vcon::WString message(u"\n");
  message += description;
  if (id == kOtherDescription) {
    message += u"\n";
    message += helpdesk;
  }
  return message;
}

void ShowServerError(plat::HWND parent, int32_t titleTextId, int32_t code) {
  ShowErrorMessage(parent, titleTextId, ServerErrorMessage(code));
}
