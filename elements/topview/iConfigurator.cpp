#include "elements/topview/iConfigurator.h"

#include "database/ppDatafile.h"
#include "framework/ppCollaborator.h"
#include "platform/ResetList.h"

namespace {

iConfigurator gNeutralConfigurator;
// The installed configurator (not owned); user-interface thread only.
iConfigurator* gConfigurator = nullptr;

[[maybe_unused]] const bool kReset = plat::ResetList::Add("configurator", [] { gConfigurator = nullptr; });

}  // namespace

ConfigField::ConfigField(ConfigField&& other) noexcept { *this = std::move(other); }

ConfigField& ConfigField::operator=(ConfigField&& other) noexcept {
  if (this == &other) return *this;
  MemDispose(picture);
  kind = other.kind;
  text = std::move(other.text);
  std::copy(std::begin(other.margins), std::end(other.margins), margins);
  columnWidth = other.columnWidth;
  target = other.target;
  property = std::move(other.property);
  undoable = other.undoable;
  selectAll = other.selectAll;
  commandId = other.commandId;
  name = std::move(other.name);
  picture = other.picture;
  other.picture = nullptr;
  list = std::move(other.list);
  columns = std::move(other.columns);
  rows = other.rows, pictureFlag = other.pictureFlag, optionFlag = other.optionFlag;
  unitFlag = other.unitFlag, compactFlag = other.compactFlag, listRows = other.listRows;
  noPictureInList = other.noPictureInList;
  return *this;
}

ConfigField::~ConfigField() { MemDispose(picture); }

iConfigurator& iConfigurator::Current() {
  return gConfigurator != nullptr ? *gConfigurator : gNeutralConfigurator;
}

void iConfigurator::Install(iConfigurator* configurator) { gConfigurator = configurator; }
