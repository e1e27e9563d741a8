// Where the 3D view goes on a printed page: fixed margins, a header band above the image, and the
// pane's picture scaled to fit what is left (the smaller of the two axis scales).
#pragma once

#include <cstdint>
#include <string>

struct qxPrintPage;

namespace qxPrintLayout {

// Sets the page's margins and bands (millimetres), its image scale and image rectangle for a pane of
// `paneWidth` x `paneHeight` pixels. A pane of zero size keeps the scale at 1.
void Compute(qxPrintPage& page, int32_t paneWidth, int32_t paneHeight);

// The document name shown for a file path: the last part after '\' or '/', without its extension
// (everything from its last dot on).
std::string FileTitleFromPath(const std::string& path);

}  // namespace qxPrintLayout
