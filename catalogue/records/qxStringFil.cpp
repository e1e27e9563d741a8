#include "catalogue/records/qxStringFil.h"

#include <utility>

namespace {

// Calls the change callback when the change ends, by return or by error.
class ChangeNotice {
 public:
  explicit ChangeNotice(const std::function<void()>& onChange) : onChange_(onChange) {}
  ~ChangeNotice() {
    if (onChange_) onChange_();
  }
  ChangeNotice(const ChangeNotice&) = delete;
  ChangeNotice& operator=(const ChangeNotice&) = delete;

 private:
  const std::function<void()>& onChange_;
};

}  // namespace

qxStringFil::qxStringFil(ppDatabase& database, std::function<void()> onChange)
    : ppDatafile(kLayout, database), onChange_(std::move(onChange)) {}

void qxStringFil::AddRecord(int32_t* outId, char* buffer) {
  const ChangeNotice notice(onChange_);
  ppDatafile::AddRecord(outId, buffer);
}

void qxStringFil::WriteRecord(int32_t id, char* buffer) {
  const ChangeNotice notice(onChange_);
  ppDatafile::WriteRecord(id, buffer);
}

void qxStringFil::DeleteRecord(int32_t id) {
  const ChangeNotice notice(onChange_);
  ppDatafile::DeleteRecord(id);
}
