// Numbers of the module's bitmap resources.
//
// Every bitmap is drawn at build time by the artwork generator (tools/artwork)
// and carried inside the module; gauge elements name their bitmap by number
// (ElementHeader::resource_id) and the host loads it through the module's
// resource table (FindResource, resources/resource_table.h).
//
// Each instrument family owns one block of 256 numbers; a family's layout
// header lays out the numbers inside its block. Blocks in use:
//   0x1000  engine instruments (instruments/engine_dials.h)
//   0x1100  radio control heads (instruments/radio_head_layout.h)
//   0x1200  marker, audio and entertainment panels (instruments/audio_panel_layout.h)
//   0x1300  overhead, side and caution panels, master lights (panels/overhead_art.h)
//   0x1400  head-up guidance panels, RASU, annunciator, HUD switch (displays/hgs_panels_art.h)
//   0x1500  standby attitude, PFCS and RMI (instruments/standby_instruments_layout.h),
//           AHRS control panels (panels/ahrs_panel_layout.h)
//   0x1600  selectors, clocks, airspeed indicators, altimeters (instruments/flight_dials.h)
//   0x1A00  engine start panel and lever quadrant (panels/engine_panels_art.h)
//   0x1700  autopilot, ID809, AL801, GPWS and RNAV panels (panels/guidance_panels_art.h)
//   0x1800  control-display unit (fms/fms_gauges.h)
//   0x1F00  weather radar (displays/weather_radar.h)
//   0x1B00  engine-control, fuel, autofeather and gear panels; trim, flap, compass
//           and inclinometer indicators (panels/pedestal_art.h)
//   0x1C00  fire, hydraulic, shut-off, bypass-door and air-system panels and indicators
//           (panels/system_panels_art.h)
//   0x1D00  bleed-air, pressurisation and ice-protection panels
//           (panels/environment_panels_art.h)
#pragma once

#include <cstdint>

namespace zu::res {

inline constexpr uint32_t kBlockSize = 0x100;

inline constexpr uint32_t kEngineInstrumentsBlock = 0x1000;
inline constexpr uint32_t kRadioHeadsBlock = 0x1100;
inline constexpr uint32_t kAudioPanelsBlock = 0x1200;
inline constexpr uint32_t kOverheadPanelsBlock = 0x1300;
inline constexpr uint32_t kHeadUpPanelsBlock = 0x1400;
inline constexpr uint32_t kAttitudeHeadingBlock = 0x1500;
inline constexpr uint32_t kFlightDialsBlock = 0x1600;
inline constexpr uint32_t kEnginePanelsBlock = 0x1A00;
inline constexpr uint32_t kGuidancePanelsBlock = 0x1700;
inline constexpr uint32_t kWeatherRadarBlock = 0x1F00;
inline constexpr uint32_t kPedestalPanelsBlock = 0x1B00;
inline constexpr uint32_t kSystemPanelsBlock = 0x1C00;
inline constexpr uint32_t kEnvironmentPanelsBlock = 0x1D00;

}  // namespace zu::res
