// The instrument families of the artwork generator. Each adds the bitmaps of
// its gauges to the set; a new family is declared here and called from
// main.cpp.
#pragma once

#include <cstdint>
#include <string>

#include "art_kit.h"

namespace art {

void RenderEngineInstruments(BitmapSet& set);
void RenderRadioHeads(BitmapSet& set);
void RenderAudioPanels(BitmapSet& set);
void RenderOverheadPanels(BitmapSet& set);
void RenderEnginePanels(BitmapSet& set);
void RenderAttitudeHeading(BitmapSet& set);
void RenderFlightDials(BitmapSet& set);
void RenderDisplays(BitmapSet& set);
void RenderWeatherRadar(BitmapSet& set);
void RenderGuidancePanels(BitmapSet& set);
void RenderFms(BitmapSet& set);
void RenderPedestalPanels(BitmapSet& set);
void RenderSystemPanels(BitmapSet& set);
void RenderEnvironmentPanels(BitmapSet& set);
void RenderHgsPanels(BitmapSet& set);

// The bitmap of the unlit face a gauge leaves on its window's background
// (0: the gauge draws all of itself).
uint32_t PanelFaceOf(const std::string& gauge);
// The same for the glare-shield guidance panels.
uint32_t GuidancePanelFaceOf(const std::string& gauge);
// The same for the weather radar.
uint32_t WeatherRadarFaceOf(const std::string& gauge);
// The same for the head-up guidance panels.
uint32_t HgsPanelFaceOf(const std::string& gauge);

}  // namespace art
