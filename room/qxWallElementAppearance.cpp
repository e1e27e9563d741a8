// The wall body's colour and texture: its two properties, its panel, the textures a wall may take
// and the colour and picture its 3D face shows.
#include <algorithm>
#include <memory>

#include "catalogue/databases/zelvDatabase.h"
#include "catalogue/records/RecordField.h"
#include "catalogue/records/zelvproColorCatalogFil.h"
#include "database/dbDatafile.h"
#include "database/ppDatafile.h"
#include "elements/base/iApplicationSettings.h"
#include "elements/base/iElementHost.h"
#include "elements/base/qxViewHolder.h"
#include "elements/base/zelvproCanvas.h"
#include "elements/topview/iConfigurator.h"
#include "foundation/TextsById.h"
#include "framework/ppPicture.h"
#include "room/RoomTextures.h"
#include "room/qxWallElement.h"

namespace {

enum Property : int32_t { kColor = 0, kTexture = 1, kPropertyCount = 2 };
const char* const kNames[kPropertyCount] = {"Color", "Texture"};

}  // namespace

// ---- Properties.

int32_t qxWallElement::IndexOf(const Vcon::String& name) {
  for (int32_t i = 0; i < kPropertyCount; ++i)
    if (name == kNames[i]) return i;
  return iProperty::IndexOf(name);
}

void qxWallElement::GetPropertyName(Vcon::String& out, int32_t index) {
  out = index >= 0 && index < kPropertyCount ? Vcon::String(kNames[index]) : Vcon::String();
}

int32_t qxWallElement::GetPropertyCount() { return kPropertyCount; }

int32_t qxWallElement::DatabaseNumber() const { return database != nullptr ? database->Identifier() : 0; }

ppParameter qxWallElement::GetValue(int32_t index) {
  if (index == kColor)
    return ppParameter(
        int32_t(uint32_t(red_ & 0xFF) << 24 | uint32_t(green_ & 0xFF) << 16 | uint32_t(blue_ & 0xFF) << 8));
  if (index == kTexture) return ppDatafile::DbIdValue(textureId_, DatabaseNumber());
  return iProperty::GetValue(index);
}

void qxWallElement::SetValue(int32_t index, const ppParameter& value) {
  const int32_t v = value.ToLong();
  if (index == kColor) {
    const uint32_t packed = uint32_t(v);
    red_ = int32_t(packed >> 24 & 0xFF), green_ = int32_t(packed >> 16 & 0xFF),
    blue_ = int32_t(packed >> 8 & 0xFF);
  } else if (index == kTexture) {
    // A colour of another catalogue is no texture of this wall.
    const int32_t id = ppDatafile::RecordIdOfDbId(v, DatabaseNumber());
    if (id < 0) return;
    textureId_ = id;
  } else {
    return;
  }
  AppearanceChanged();
}

void qxWallElement::AppearanceChanged() {
  InvalidateTree();
  InvalidateElement(iElementHost::Current().ScenePane(), true);
}

// ---- Textures and the panel.

void qxWallElement::SelectWallTextures(zelvproColorCatalogFil& colours) {
  colours.SelectAllByIndex(1);
  const RecordField group(colours, "colorGroup");
  if (!group.Exists()) return;
  int32_t wanted = iApplicationSettings::Current().wallColorGroup;
  colours.Select(group.Index(), '&', dbDatafile::kEqual, &wanted, nullptr);
}

void qxWallElement::BuildInfoPanel(qxViewHolder* source) {
  if (iApplicationSettings::Current().panelRouting) {
    if (zelvproCanvas* canvas = GetCanvas()) canvas->BuildInfoPanel(source);
    return;
  }
  iProperty* target = source != nullptr ? static_cast<iProperty*>(source) : static_cast<iProperty*>(this);
  iConfigurator& configurator = iConfigurator::Current();
  configurator.RemoveAll();
  auto panel = std::make_unique<ConfigPanel>();
  panel->name = TextById(6325, "Wall");

  ConfigField colour;
  colour.kind = ConfigField::kColour;
  colour.target = target;
  colour.property = kNames[kColor];
  colour.undoable = true;
  colour.text = TextById(6326, "Color");
  colour.SetMargins(10, 15, 10, 5);
  panel->fields.push_back(std::move(colour));

  if (iApplicationSettings::Current().wallColorGroup != 0 && database != nullptr) {
    auto textures = std::make_unique<zelvproColorCatalogFil>(*database);
    SelectWallTextures(*textures);
    ConfigField texture;
    texture.kind = ConfigField::kSelector;
    texture.target = target;
    texture.property = kNames[kTexture];
    texture.list = std::move(textures);
    texture.columns = {"dbId", "texture0.texture", "tnumber", "tname"};
    texture.rows = 2, texture.pictureFlag = 1, texture.optionFlag = 1, texture.unitFlag = 0;
    texture.compactFlag = 0;
    texture.text = TextById(6327, "Texture");
    texture.SetMargins(10, 5, 10, 5);
    panel->fields.push_back(std::move(texture));
  }
  configurator.AddPanel(std::move(panel));
  configurator.PlaceTabs();
}

// ---- What the 3D face shows. The layer code is not used: the face has one colour and texture.

void qxWallElement::GetColorByCode(ppFloat4& out, int32_t code) {
  const ppPicture* texture = GetTextureByCode(code);
  if (texture != nullptr && !texture->GetModulate()) {
    out = ppFloat4(1.0f, 1.0f, 1.0f, 1.0f);
    return;
  }
  out = ppFloat4(float(red_ / 100.0), float(green_ / 100.0), float(blue_ / 100.0), 1.0f);
}

const ppPicture* qxWallElement::GetTextureByCode(int32_t /*code*/) {
  return RoomTextures::Find(database, textureId_);
}
