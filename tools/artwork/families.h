// The instrument families of the artwork generator. Each adds the bitmaps of
// its gauges to the set; a new family is declared here and called from
// main.cpp.
#pragma once

#include "art_kit.h"

namespace art {

void RenderEngineInstruments(BitmapSet& set);
void RenderOverheadPanels(BitmapSet& set);
void RenderDisplays(BitmapSet& set);

}  // namespace art
