// Inside the panel: the background picture made drawable once per background colour.
//
// Every target of a panel (its window and its off-screen image) has the screen's pixel format,
// so one device bitmap serves them all; only the target it is drawn on changes. Making it anew
// for every fill would convert the whole picture each time.
#pragma once

#include <memory>

#include "graphics/draw_panel/draw_panel.h"
#include "graphics/pictures/drawable_picture.h"

namespace quorlin::drawpanel {

struct DrawPanel::DrawablePictureCache {
  std::unique_ptr<pictures::DrawablePicture> picture;
  COLORREF background = 0;
};

}  // namespace quorlin::drawpanel
