// Scenario verbs that act on the stand-in's aircraft as a pilot (or the
// weather and traffic of the simulated world) would. They join the verb
// table of scenario_commands.cpp.
#include "aircraft_model_commands.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>

#include "text_util.h"
#include "zu/simhost/aircraft_model.h"
#include "zu/simhost/simulator.h"

namespace zu::simhost {
namespace {

using Args = std::vector<std::string>;
using ModelAction = std::function<std::string(AircraftModel& model, Simulator& sim)>;

// Wraps a model action: fails when the simulator runs without the model.
ScenarioAction OnModel(ModelAction act) {
    return [act](ScenarioContext& ctx, std::string* message) {
        if (!ctx.sim.config().aircraft_model) {
            *message = "the aircraft model is switched off";
            return false;
        }
        *message = act(ctx.sim.model(), ctx.sim);
        ctx.sim.LogEvent("scenario " + *message);
        return true;
    };
}

std::optional<int> ParseEngine(const std::string& s) {
    if (s == "1") return 0;
    if (s == "2") return 1;
    if (s == "both") return -1;
    return std::nullopt;
}

std::optional<double> Number(const Args& args, size_t i) {
    if (i >= args.size()) return std::nullopt;
    auto v = text::ParseDouble(args[i]);
    if (!v || !std::isfinite(*v)) return std::nullopt;
    return v;
}

// "VERB ENGINE FRACTION" for the levers.
ScenarioVerb LeverVerb(const char* name, double lo, double hi,
                       void (AircraftModel::*set)(int, double)) {
    return {name, std::string(name) + " 1|2|both FRACTION",
            [name, lo, hi, set](const Args& args, std::string* error) -> ScenarioAction {
                auto engine = args.size() == 2 ? ParseEngine(args[0]) : std::nullopt;
                auto v = Number(args, 1);
                if (!engine || !v || *v < lo || *v > hi) {
                    *error = "needs 1, 2 or both and a fraction from " + std::to_string(lo) +
                             " to " + std::to_string(hi);
                    return {};
                }
                const std::string text = std::string(name) + " " + args[0] + " " + args[1];
                return OnModel([engine = *engine, v = *v, set, text](AircraftModel& m, Simulator&) {
                    (m.*set)(engine, v);
                    return text;
                });
            },
            false};
}

// "VERB FRACTION" for the pilot's axes.
ScenarioVerb AxisVerb(const char* name, void (AircraftModel::*set)(double)) {
    return {name, std::string(name) + " FRACTION (-1..1)",
            [name, set](const Args& args, std::string* error) -> ScenarioAction {
                auto v = args.size() == 1 ? Number(args, 0) : std::nullopt;
                if (!v || *v < -1 || *v > 1) {
                    *error = "needs a fraction from -1 to 1";
                    return {};
                }
                const std::string text = std::string(name) + " " + args[0];
                return OnModel([v = *v, set, text](AircraftModel& m, Simulator&) {
                    (m.*set)(v);
                    return text;
                });
            },
            false};
}

// "VERB on|off" (or up|down).
ScenarioVerb SwitchVerb(const char* name, const char* on_word, const char* off_word,
                        void (AircraftModel::*set)(bool)) {
    return {name, std::string(name) + " " + on_word + "|" + off_word,
            [name, on_word, off_word, set](const Args& args, std::string* error) -> ScenarioAction {
                if (args.size() != 1 || (args[0] != on_word && args[0] != off_word)) {
                    *error = std::string("needs ") + on_word + " or " + off_word;
                    return {};
                }
                const bool on = args[0] == on_word;
                const std::string text = std::string(name) + " " + args[0];
                return OnModel([on, set, text](AircraftModel& m, Simulator&) {
                    (m.*set)(on);
                    return text;
                });
            },
            false};
}

ScenarioAction ParseFlaps(const Args& args, std::string* error) {
    auto v = args.size() == 1 ? text::ParseInt(args[0]) : std::nullopt;
    if (!v || *v < 0 || *v > 4) {
        *error = "needs a flap detent 0 to 4";
        return {};
    }
    return OnModel(
        [d = static_cast<int>(*v), text = "flaps " + args[0]](AircraftModel& m, Simulator&) {
            m.SetFlaps(d);
            return text;
        });
}

ScenarioAction ParseBrakes(const Args& args, std::string* error) {
    auto v = args.size() == 1 ? Number(args, 0) : std::nullopt;
    if (!v || *v < 0 || *v > 1) {
        *error = "needs a fraction from 0 to 1";
        return {};
    }
    return OnModel([v = *v, text = "brakes " + args[0]](AircraftModel& m, Simulator&) {
        m.SetBrakes(v);
        return text;
    });
}

ScenarioAction ParsePosition(const Args& args, std::string* error) {
    auto lat = Number(args, 0);
    auto lon = Number(args, 1);
    auto elev = args.size() > 2 ? Number(args, 2) : std::optional<double>(300.0);
    auto hdg = args.size() > 3 ? Number(args, 3) : std::optional<double>(90.0);
    if (args.size() < 2 || args.size() > 4 || !lat || !lon || !elev || !hdg || *lat < -89 ||
        *lat > 89 || *lon < -180 || *lon > 180) {
        *error =
            "needs latitude (-89..89), longitude (-180..180) and optionally elevation (ft) "
            "and heading (degrees true)";
        return {};
    }
    return OnModel(
        [lat = *lat, lon = *lon, elev = *elev, hdg = *hdg](AircraftModel& m, Simulator&) {
            m.PlaceOnGround(lat, lon, elev, hdg);
            return std::string("aircraft placed on the ground");
        });
}

ScenarioAction ParseAirborne(const Args& args, std::string* error) {
    auto alt = Number(args, 0);
    auto speed = Number(args, 1);
    if (args.size() != 2 || !alt || !speed || *speed < 80 || *speed > 300) {
        *error = "needs an altitude (ft) and a speed (80..300 kt)";
        return {};
    }
    return OnModel([alt = *alt, speed = *speed](AircraftModel& m, Simulator&) {
        m.PlaceAirborne(alt, speed);
        return std::string("aircraft flying");
    });
}

ScenarioAction ParseTraffic(const Args& args, std::string* error) {
    if (args.size() == 1 && args[0] == "clear") {
        return OnModel([](AircraftModel& m, Simulator&) {
            m.ClearTraffic();
            return std::string("traffic cleared");
        });
    }
    const char* usage =
        "needs 'clear', or a slot (0..31), an identifier (not 0), latitude, longitude, "
        "altitude (ft) and optionally heading, ground speed (kt), vertical speed (ft/min)";
    if (args.size() < 5 || args.size() > 8) {
        *error = usage;
        return {};
    }
    const int64_t slot_number = text::ParseInt(args[0]).value_or(-1);
    const uint64_t id_number = text::ParseUnsigned(args[1]).value_or(0);
    double v[6] = {0, 0, 0, 0, 0, 0};
    bool numbers = true;
    for (size_t i = 2; i < args.size(); ++i) {
        auto n = Number(args, i);
        numbers = numbers && n.has_value() && std::isfinite(*n);
        if (n) v[i - 2] = *n;
    }
    if (slot_number < 0 || slot_number >= static_cast<int64_t>(kTrafficSlots) || id_number == 0 ||
        id_number > 0xFFFFFFFFu || !numbers || std::fabs(v[0]) > 90.0 || v[4] < 0 ||
        v[4] > 65535.0 || std::fabs(v[5]) > 32767.0) {
        *error = usage;
        return {};
    }
    TrafficTarget target;
    target.identifier = static_cast<uint32_t>(id_number);
    target.latitude = v[0];
    target.longitude = std::remainder(v[1], 360.0);
    target.altitude_ft = v[2];
    target.heading = v[3];
    target.ground_speed = v[4];
    target.vertical_speed = v[5];
    const auto slot = static_cast<uint32_t>(slot_number);
    return OnModel([slot, target, text = "traffic slot " + args[0]](AircraftModel& m, Simulator&) {
        m.SetTraffic(slot, target);
        return text;
    });
}

ScenarioAction ParseWeather(const Args& args, std::string* error) {
    if (args.size() == 1 && args[0] == "clear") {
        return OnModel([](AircraftModel& m, Simulator&) {
            m.ClearWeather();
            return std::string("weather cleared");
        });
    }
    double v[6] = {0, 0, 0, 0, 0, 3};
    bool numbers = args.size() >= 5 && args.size() <= 6;
    for (size_t i = 0; numbers && i < args.size(); ++i) {
        auto n = Number(args, i);
        numbers = n.has_value();
        if (n) v[i] = *n;
    }
    if (!numbers || v[2] <= 0 || v[4] <= v[3] || v[5] < 1 || v[5] > 5) {
        *error =
            "needs 'clear', or latitude, longitude, radius (nm), cloud base and top (ft) and "
            "optionally an intensity 1..5";
        return {};
    }
    WeatherCell cell{
        v[0], v[1], v[2], static_cast<int>(v[3]), static_cast<int>(v[4]), static_cast<int>(v[5])};
    return OnModel([cell](AircraftModel& m, Simulator&) {
        m.AddWeatherCell(cell);
        return std::string("weather cell added");
    });
}

// "navaid vor|ils|ndb FREQ LAT LON [ELEV_FT [COURSE [IDENT]]]"; MHz for VOR
// and ILS, kHz for an NDB.
ScenarioAction ParseNavaid(const Args& args, std::string* error) {
    if (args.size() == 1 && args[0] == "clear") {
        return OnModel([](AircraftModel& m, Simulator&) {
            m.ClearStations();
            return std::string("radio stations cleared");
        });
    }
    RadioStation st{RadioStation::kVor, 0, 0, 0, 0, 0, ""};
    bool ok = args.size() >= 4 && args.size() <= 7;
    if (ok) {
        if (args[0] == "vor") {
            st.kind = RadioStation::kVor;
        } else if (args[0] == "ils") {
            st.kind = RadioStation::kIls;
        } else if (args[0] == "ndb") {
            st.kind = RadioStation::kNdb;
        } else {
            ok = false;
        }
    }
    double v[5] = {0, 0, 0, 0, 0};
    for (size_t i = 1; ok && i < std::min<size_t>(args.size(), 6); ++i) {
        auto n = Number(args, i);
        ok = n.has_value();
        if (n) v[i - 1] = *n;
    }
    if (ok) {
        const bool ndb = st.kind == RadioStation::kNdb;
        st.frequency = static_cast<int32_t>(std::lround(v[0] * (ndb ? 10.0 : 100.0)));
        ok = ndb ? (v[0] >= 100.0 && v[0] < 1800.0) : (v[0] >= 108.0 && v[0] < 118.0);
        ok = ok && std::fabs(v[1]) <= 90.0 && std::fabs(v[2]) <= 180.0;
    }
    if (!ok) {
        *error =
            "needs 'clear', or vor, ils or ndb, a frequency (MHz; kHz for an NDB), latitude and "
            "longitude, and optionally elevation (ft), course and ident";
        return {};
    }
    st.latitude = v[1];
    st.longitude = v[2];
    st.elevation_ft = v[3];
    st.course = v[4];
    if (args.size() == 7) st.ident = args[6].substr(0, 25);
    return OnModel([st](AircraftModel& m, Simulator&) {
        m.AddStation(st);
        return std::string("radio station added");
    });
}

// "button tcs|disconnect on|off": the joystick button of the first or second
// button slot the module claimed (0x2910..0x29FF, four bytes each, a
// claimed slot's first byte non-zero). The state byte's bit 0 marks a
// change, bit 1 the button held.
ScenarioAction ParseButton(const Args& args, std::string* error) {
    const bool ok = args.size() == 2 && (args[0] == "tcs" || args[0] == "disconnect") &&
                    (args[1] == "on" || args[1] == "off");
    if (!ok) {
        *error = "needs tcs or disconnect, and on or off";
        return {};
    }
    const int wanted = args[0] == "tcs" ? 0 : 1;
    const bool on = args[1] == "on";
    const std::string text = "button " + args[0] + " " + args[1];
    return [wanted, on, text](ScenarioContext& ctx, std::string* message) {
        int seen = 0;
        for (uint32_t offset = 0x2910; offset < 0x2A00; offset += 4) {
            uint8_t slot[4] = {};
            ctx.sim.fsuipc().Peek(offset, slot, 4);
            if (slot[0] == 0) continue;
            if (seen++ != wanted) continue;
            const uint8_t state = on ? 0x03 : 0x01;
            ctx.sim.fsuipc().Poke(offset + 3, &state, 1);
            *message = text;
            ctx.sim.LogEvent("scenario " + text);
            return true;
        }
        *message = "the module has not claimed that button's slot";
        return false;
    };
}

}  // namespace

std::vector<ScenarioVerb> AircraftModelVerbs() {
    return {
        LeverVerb("throttle", -0.25, 1.0, &AircraftModel::SetThrottleLever),
        LeverVerb("condition", -1.0, 1.0, &AircraftModel::SetCondition),
        AxisVerb("elevator", &AircraftModel::SetElevator),
        AxisVerb("aileron", &AircraftModel::SetAileron),
        AxisVerb("rudder", &AircraftModel::SetRudder),
        {"flaps", "flaps DETENT (0..4)", ParseFlaps, false},
        SwitchVerb("gear", "down", "up", &AircraftModel::SetGear),
        {"brakes", "brakes FRACTION (0..1)", ParseBrakes, false},
        SwitchVerb("parking-brake", "on", "off", &AircraftModel::SetParkingBrake),
        SwitchVerb("pause", "on", "off", &AircraftModel::SetPaused),
        {"position", "position LAT LON [ELEVATION_FT [HEADING]]", ParsePosition, false},
        {"airborne", "airborne ALTITUDE_FT SPEED_KT", ParseAirborne, false},
        {"traffic", "traffic clear | traffic SLOT ID LAT LON ALT_FT [HEADING GS_KT VS_FPM]",
         ParseTraffic, false},
        {"weather", "weather clear | weather LAT LON RADIUS_NM BASE_FT TOP_FT [INTENSITY]",
         ParseWeather, false},
        {"navaid", "navaid clear | navaid vor|ils|ndb FREQ LAT LON [ELEV_FT [COURSE [IDENT]]]",
         ParseNavaid, false},
        {"button", "button tcs|disconnect on|off", ParseButton, false},
    };
}

}  // namespace zu::simhost
