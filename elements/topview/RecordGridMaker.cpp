#include "elements/topview/RecordGridMaker.h"

#include <memory>

#include "controls/ppGrid.h"
#include "controls/ppLinkValidator.h"
#include "database/ppDatafile.h"

void RecordGridMaker::MakeGrid(ppView& host, const RecordGridLayout& layout) {
  auto* grid = new ppGrid(&host, layout.frame);
  grid->SetDataSource(layout.rows);
  grid->SetHeaderSource(layout.headers);
  grid->AddStyleFlags(layout.style);
  if (layout.lineHeights[0] > 0 && layout.lineHeights[1] > 0)
    grid->SetScrollSteps(layout.lineHeights[0], layout.lineHeights[1]);
  for (const RecordGridColumn& column : layout.columns) {
    ppValidator* validator = nullptr;
    if (column.lookup != nullptr) {
      ppLinkColumnDefs fields;
      for (const auto& [name, width] : column.lookupFields) fields.push_back({width, name});
      auto link = std::make_unique<ppLinkValidator>(&host, column.lookup, fields, host.GetHWND());
      validator = link.get();
      grid->KeepValidator(std::move(link));
    }
    ppGridColumn made(grid, column.name, column.width, 0, validator);
    made.SetFlags(column.flags);
    grid->AddColumn(made);
  }
  grid->UpdateLayout();
  grid->SetCellMargins(layout.margins[0], layout.margins[1], layout.margins[2], layout.margins[3]);
  grid->SetScrollBars(ppGrid::kVerticalBar);
}
