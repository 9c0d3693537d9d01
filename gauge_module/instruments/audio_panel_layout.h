// Layout of the marker, audio and entertainment panels: bitmap numbers,
// sizes and the places of buttons, switches, lamps and the knob. Shared by
// the panels' element lists and the artwork generator, so the pictures and
// the click zones agree.
#pragma once

#include <cstdint>

#include "resources/resource_ids.h"

namespace zu::audio_panels {

struct Box {
    int32_t x, y, width, height;
};

// ---------------------------------------------------------------------------
// Bitmap numbers

inline constexpr uint32_t kBlock = res::kAudioPanelsBlock;
// MARKERS_Panel
inline constexpr uint32_t kMarkersBackgroundLit = kBlock + 0x00;
inline constexpr uint32_t kMarkersSwitchOn = kBlock + 0x01;  // + switch (0, 1) * 2
inline constexpr uint32_t kMarkersSwitchOff = kBlock + 0x02;
// AUDIO_Panel
inline constexpr uint32_t kAudioBackgroundLit = kBlock + 0x10;
inline constexpr uint32_t kAudioPointerUnlit = kBlock + 0x11;
inline constexpr uint32_t kAudioPointerLit = kBlock + 0x12;
inline constexpr uint32_t kAudioButtonOff = kBlock + 0x20;  // + button 0..13
inline constexpr uint32_t kAudioButtonOn = kBlock + 0x30;   // + button 0..13
inline constexpr uint32_t kAudioSwitchOn = kBlock + 0x40;   // + switch (0, 1) * 2
inline constexpr uint32_t kAudioSwitchOff = kBlock + 0x41;
// ENTERTAINMENT_Panel
inline constexpr uint32_t kEntertainmentBackground = kBlock + 0x50;
inline constexpr uint32_t kEntertainmentLamp = kBlock + 0x51;  // + lamp 0..12 (elements 1..13)

// ---------------------------------------------------------------------------
// MARKERS_Panel: two two-position switches.

inline constexpr int32_t kMarkersWidth = 180;
inline constexpr int32_t kMarkersHeight = 70;
inline constexpr Box kMarkersSwitch[2] = {{20, 8, 60, 54}, {100, 8, 60, 54}};
inline constexpr const char* kMarkersLegend[2] = {"MKR HI", "MKR MUTE"};

// ---------------------------------------------------------------------------
// AUDIO_Panel: fourteen push-buttons in rows of 6, 4 and 4, a six-position
// knob and two switches.

inline constexpr int32_t kAudioWidth = 420;
inline constexpr int32_t kAudioHeight = 180;
inline constexpr int32_t kAudioButtonWidth = 52;
inline constexpr int32_t kAudioButtonHeight = 34;

// Button b (0..13, in button order) on the panel.
constexpr Box AudioButton(int b) {
    const int row = b < 6 ? 0 : (b < 10 ? 1 : 2);
    const int col = b < 6 ? b : (b < 10 ? b - 6 : b - 10);
    return {12 + col * (kAudioButtonWidth + 6), 12 + row * (kAudioButtonHeight + 20),
            kAudioButtonWidth, kAudioButtonHeight};
}

// Legends by what each byte does: button 1 (AudioPanelToggle) and 2
// (MarkerPanelSwitches[2]) route COM 1 and COM 2, buttons 7 and 8 the NAV
// receivers, 9 and 10 DME, 12 the marker beacons, 13 and 14 ADF; the others
// select the cabin and interphone channels.
inline constexpr const char* kAudioButtonLegend[14] = {"COM 1", "COM 2", "INT",   "HF",    "PA",
                                                       "CAB",   "NAV 1", "NAV 2", "DME 1", "DME 2",
                                                       "SPKR",  "MKR",   "ADF 1", "ADF 2"};

inline constexpr Box kAudioSwitch[2] = {{254, 118, 44, 52}, {306, 118, 44, 52}};
inline constexpr const char* kAudioSwitchLegend[2] = {"MASK", "EMER"};

// The volume knob: centre and pointer bitmap.
inline constexpr int32_t kAudioKnobX = 372;
inline constexpr int32_t kAudioKnobY = 58;
inline constexpr int32_t kAudioKnobRadius = 26;
// The pointer bitmap is the whole knob with its index mark, turned about
// its centre.
inline constexpr int32_t kAudioPointerWidth = 2 * kAudioKnobRadius + 4;
inline constexpr int32_t kAudioPointerHeight = kAudioPointerWidth;
inline constexpr int32_t kAudioPointerPivotX = kAudioPointerWidth / 2;
inline constexpr int32_t kAudioPointerPivotY = kAudioPointerHeight / 2;
// Pointer angle of each knob position 0..5 (degrees clockwise from the
// first mark).
inline constexpr double kAudioKnobAngle[6] = {0, 36, 76, 104, 144, 180};
// The first mark is at nine o'clock (-90 degrees from up) and the scale runs
// clockwise over the top. The pointer bitmap is drawn pointing at the first
// mark, so the needle's angle is the position's own.
inline constexpr double kAudioKnobFirstMark = -90.0;
inline constexpr Box kAudioKnobDecrease = {kAudioKnobX - 40, kAudioKnobY - 40, 40, 80};
inline constexpr Box kAudioKnobIncrease = {kAudioKnobX, kAudioKnobY - 40, 40, 80};

// ---------------------------------------------------------------------------
// ENTERTAINMENT_Panel: on/off, programmes 1..7 (left column), 11..14 (right
// column), music.

inline constexpr int32_t kEntertainmentWidth = 320;
inline constexpr int32_t kEntertainmentHeight = 250;
inline constexpr int32_t kEntLampWidth = 130;
inline constexpr int32_t kEntLampHeight = 24;

// Lamp of element e (1..13).
constexpr Box EntertainmentLamp(int e) {
    if (e == 1) return {20, 12, 60, kEntLampHeight};    // on/off
    if (e == 13) return {170, 12, 60, kEntLampHeight};  // music
    if (e >= 2 && e <= 8) return {20, 48 + (e - 2) * 28, kEntLampWidth, kEntLampHeight};
    return {170, 48 + (e - 9) * 28, kEntLampWidth, kEntLampHeight};  // 9..12
}

// Lamp legends, elements 1..13: the programme names follow the
// announcement files.
inline constexpr const char* kEntertainmentLegend[13] = {
    "ON",      "BOARDING",     "WELCOME",    "SAFETY", "BELTS OFF",  "TURBULENCE", "APPROACH",
    "ARRIVAL", "CAPT WELCOME", "BEFORE T/O", "CRUISE", "BEFORE LDG", "MUSIC"};

}  // namespace zu::audio_panels
