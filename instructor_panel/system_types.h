// The instructor panel's picture of the aircraft: per system group, the
// latest values (readings) and states (failure and control inputs) that the
// data replies deliver. Sized for the largest count each group is expected
// to carry; longer replies are cut to these sizes.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "cabin_link/instructor_message.h"

namespace rizezo {

// System groups of the instructor link.
inline constexpr int kGroupNone = zu::kInstructorGroupNone;
inline constexpr int kGroupHydraulics = zu::kInstructorGroupHydraulics;
inline constexpr int kGroupFlightSurfaces = zu::kInstructorGroupFlightSurfaces;
inline constexpr int kGroupPowerplants = zu::kInstructorGroupPowerplants;
inline constexpr int kGroupElectrics = zu::kInstructorGroupElectrics;
inline constexpr int kGroupAvionics = zu::kInstructorGroupAvionics;

// Pages of the panel, in the order of the page control.
inline constexpr int kPageGeneral = 0;
inline constexpr int kPageHydraulics = 1;
inline constexpr int kPageElectrics = 2;
inline constexpr int kPagePowerplants = 3;
inline constexpr int kPageFlightSurfaces = 4;
inline constexpr int kPageAvionics = 5;
inline constexpr int kPageCount = 6;

// The group a page polls; kGroupNone for the General page and unknown pages.
constexpr int GroupForPage(int page) {
    switch (page) {
        case kPageHydraulics:
            return kGroupHydraulics;
        case kPageElectrics:
            return kGroupElectrics;
        case kPagePowerplants:
            return kGroupPowerplants;
        case kPageFlightSurfaces:
            return kGroupFlightSurfaces;
        case kPageAvionics:
            return kGroupAvionics;
        default:
            return kGroupNone;
    }
}

// One group's arrays, as views; empty for groups the panel does not keep.
struct GroupArrays {
    std::span<int32_t> states;
    std::span<float> values;

    bool HasState(int index) const {
        return index >= 0 && static_cast<size_t>(index) < states.size();
    }
    bool HasValue(int index) const {
        return index >= 0 && static_cast<size_t>(index) < values.size();
    }
    int32_t State(int index) const { return HasState(index) ? states[index] : 0; }
    float Value(int index) const { return HasValue(index) ? values[index] : 0.0f; }
};

struct SystemArrays {
    std::array<int32_t, zu::kPanelHydraulicsStates> hydraulics_states{};
    std::array<float, zu::kPanelHydraulicsValues> hydraulics_values{};
    std::array<int32_t, zu::kPanelElectricsStates> electrics_states{};
    std::array<float, zu::kPanelElectricsValues> electrics_values{};
    std::array<int32_t, zu::kPanelPowerplantsStates> powerplants_states{};
    std::array<float, zu::kPanelPowerplantsValues> powerplants_values{};
    std::array<int32_t, zu::kPanelFlightSurfacesStates> flight_surfaces_states{};
    std::array<float, zu::kPanelFlightSurfacesValues> flight_surfaces_values{};
    std::array<int32_t, zu::kPanelAvionicsStates> avionics_states{};
    std::array<float, zu::kPanelAvionicsValues> avionics_values{};

    GroupArrays ForGroup(int group) {
        switch (group) {
            case kGroupHydraulics:
                return {hydraulics_states, hydraulics_values};
            case kGroupElectrics:
                return {electrics_states, electrics_values};
            case kGroupPowerplants:
                return {powerplants_states, powerplants_values};
            case kGroupFlightSurfaces:
                return {flight_surfaces_states, flight_surfaces_values};
            case kGroupAvionics:
                return {avionics_states, avionics_values};
            default:
                return {};
        }
    }
};

}  // namespace rizezo
