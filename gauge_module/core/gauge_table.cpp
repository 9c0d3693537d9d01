#include "core/gauge_table.h"

#include "core/module_frame.h"
#include "displays/efis_display_gauges.h"
#include "displays/hgs_panels.h"
#include "displays/sg_select_panels.h"
#include "displays/tcas_display.h"
#include "displays/weather_radar.h"
#include "fms/fms_gauges.h"
#include "instruments/adf_control_heads.h"
#include "instruments/air_indicators.h"
#include "instruments/airspeed_indicators.h"
#include "instruments/altimeters.h"
#include "instruments/atc_control_head.h"
#include "instruments/audio_panel.h"
#include "instruments/clocks.h"
#include "instruments/com_control_heads.h"
#include "instruments/course_selectors.h"
#include "instruments/engine_instruments.h"
#include "instruments/hydraulic_indicators.h"
#include "instruments/inclinometer.h"
#include "instruments/master_lights.h"
#include "instruments/pedestal_indicators.h"
#include "instruments/standby_instruments.h"
#include "instruments/vor_control_heads.h"
#include "panels/ahrs_panels.h"
#include "panels/al801_panel.h"
#include "panels/alternate_gear_pump.h"
#include "panels/anti_ice_panel.h"
#include "panels/autopilot_panel.h"
#include "panels/bleed_air_panel.h"
#include "panels/bypass_doors_panel.h"
#include "panels/caution_panels.h"
#include "panels/display_control_panels.h"
#include "panels/electrical_meters.h"
#include "panels/electrical_panels.h"
#include "panels/engine_control_panels.h"
#include "panels/engine_panel.h"
#include "panels/engine_start_panels.h"
#include "panels/fdr_switchboard.h"
#include "panels/fire_panel.h"
#include "panels/gear_panel.h"
#include "panels/gpws_panel.h"
#include "panels/id809_panels.h"
#include "panels/lighting_panels.h"
#include "panels/pa_cvr_panels.h"
#include "panels/pressurisation_panel.h"
#include "panels/rnav_panels.h"
#include "panels/shutoff_panels.h"
#include "panels/side_panels.h"
#include "panels/standby_hydraulic_panel.h"

namespace zu {

namespace {

constexpr gauge::GaugeHeader MakeGauge(const char* name, uint32_t width_mm,
                                       gauge::ElementHeader** element_list = nullptr,
                                       gauge::MouseRect* mouse_rect = nullptr,
                                       gauge::GaugeCallback callback = nullptr) {
    gauge::GaugeHeader h{};
    h.version = gauge::kGaugeHeaderVersion;
    h.name = name;
    h.element_list = element_list;
    h.query = GaugeStandardQuery;
    h.install = GaugeStandardInstall;
    h.initialise = GaugeStandardInitialise;
    h.update = GaugeStandardUpdate;
    h.generate = GaugeStandardGenerate;
    h.draw = GaugeStandardDraw;
    h.kill = GaugeStandardKill;
    h.default_width_mm = width_mm;
    h.mouse_rect = mouse_rect;
    h.gauge_callback = callback;
    h.parameters = nullptr;
    h.size_x = 0;
    h.size_y = 0;
    h.host_data = nullptr;
    return h;
}

}  // namespace

constinit gauge::GaugeHeader GaugeTable[gauge::kGaugeCount] = {
    /*   0 */ MakeGauge("maingauge", 25, nullptr, nullptr, MaingaugeCallback),
    /*   1 */ MakeGauge("Torque2", 83, Torque2ElementList, Torque2MouseRect, Torque2Callback),
    /*   2 */ MakeGauge("Torque1", 83, Torque1ElementList, Torque1MouseRect, Torque1Callback),
    /*   3 */ MakeGauge("Rpm1", 83, Rpm1ElementList, Rpm1MouseRect, Rpm1Callback),
    /*   4 */ MakeGauge("Rpm2", 83, Rpm2ElementList, Rpm2MouseRect, Rpm2Callback),
    /*   5 */ MakeGauge("Nh1", 83, Nh1ElementList, Nh1MouseRect, Nh1Callback),
    /*   6 */ MakeGauge("Nh2", 83, Nh2ElementList, Nh2MouseRect, Nh2Callback),
    /*   7 */ MakeGauge("NL1", 83, NL1ElementList, NL1MouseRect, NL1Callback),
    /*   8 */ MakeGauge("NL2", 83, NL2ElementList, NL2MouseRect, NL2Callback),
    /*   9 */ MakeGauge("Itt1", 83, Itt1ElementList, Itt1MouseRect, Itt1Callback),
    /*  10 */ MakeGauge("Itt2", 83, Itt2ElementList, Itt2MouseRect, Itt2Callback),
    /*  11 */ MakeGauge("ff1", 83, ff1ElementList, ff1MouseRect, ff1Callback),
    /*  12 */ MakeGauge("ff2", 83, ff2ElementList, ff2MouseRect, ff2Callback),
    /*  13 */ MakeGauge("Oil1", 73, Oil1ElementList, nullptr, Oil1Callback),
    /*  14 */ MakeGauge("Oil2", 73, Oil2ElementList, nullptr, Oil2Callback),
    /*  15 */ MakeGauge("F_QTY1", 65, F_QTY1ElementList, nullptr, F_QTY1Callback),
    /*  16 */ MakeGauge("F_QTY2", 65, F_QTY2ElementList, nullptr, F_QTY2Callback),
    /*  17 */ MakeGauge("F_TANK_TEMP", 65, F_TANK_TEMPElementList, nullptr, F_TANK_TEMPCallback),
    /*  18 */ MakeGauge("F_TEMP", 77, F_TEMPElementList, nullptr, F_TEMPCallback),
    /*  19 */ MakeGauge("Prop_Ground", 56, Prop_GroundElementList, nullptr, PropGroundCallback),
    /*  20 */
    MakeGauge("Master_Fire_Warning", 60, Master_Fire_WarningElementList,
              Master_Fire_WarningMouseRect, MasterFireWarningCallback),
    /*  21 */
    MakeGauge("Master_Caution_Light", 61, Master_Caution_LightElementList,
              Master_Caution_LightMouseRect, MasterCautionCallback),
    /*  22 */
    MakeGauge("Master_Warning_Light", 61, Master_Warning_LightElementList,
              Master_Warning_LightMouseRect, MasterWarningCallback),
    /*  23 */
    MakeGauge("Course_hdg_selector1", 42, Course_hdg_selector1ElementList,
              Course_hdg_selector1MouseRect, CourseSelector1Callback),
    /*  24 */
    MakeGauge("Course_hdg_selector1_touch", 42, Course_hdg_selector1_touchElementList,
              Course_hdg_selector1_touchMouseRect, CourseSelector1TouchCallback),
    /*  25 */
    MakeGauge("Course_hdg_selector2", 42, Course_hdg_selector2ElementList,
              Course_hdg_selector2MouseRect, CourseSelector2Callback),
    /*  26 */
    MakeGauge("VOR1_Panel", 110, VOR1_PanelElementList, VOR1_PanelMouseRect.r, VOR1_PanelCallback),
    /*  27 */
    MakeGauge("VOR1_Panel_touch", 110, VOR1_Panel_touchElementList, VOR1_Panel_touchMouseRect.r,
              VOR1_Panel_touchCallback),
    /*  28 */
    MakeGauge("VOR2_Panel", 110, VOR2_PanelElementList, VOR2_PanelMouseRect.r, VOR2_PanelCallback),
    /*  29 */
    MakeGauge("VOR2_Panel_touch", 110, VOR2_Panel_touchElementList, VOR2_Panel_touchMouseRect.r,
              VOR2_Panel_touchCallback),
    /*  30 */
    MakeGauge("ADF1_Panel", 92, ADF1_PanelElementList, ADF1_PanelMouseRect.r, ADF1_PanelCallback),
    /*  31 */
    MakeGauge("ADF2_Panel", 92, ADF2_PanelElementList, ADF2_PanelMouseRect.r, ADF2_PanelCallback),
    /*  32 */
    MakeGauge("ADF1_Panel_touch", 92, ADF1_Panel_touchElementList, ADF1_Panel_touchMouseRect.r,
              ADF1_Panel_touchCallback),
    /*  33 */
    MakeGauge("ADF2_Panel_touch", 92, ADF2_Panel_touchElementList, ADF2_Panel_touchMouseRect.r,
              ADF2_Panel_touchCallback),
    /*  34 */
    MakeGauge("ATC1_Panel", 92, ATC1_PanelElementList, ATC1_PanelMouseRect, ATC1_PanelCallback),
    /*  35 */
    MakeGauge("COM1_Panel", 92, COM1_PanelElementList, COM1_PanelMouseRect.r, COM1_PanelCallback),
    /*  36 */
    MakeGauge("COM2_Panel", 92, COM2_PanelElementList, COM2_PanelMouseRect.r, COM2_PanelCallback),
    /*  37 */
    MakeGauge("MARKERS_Panel", 89, MARKERS_PanelElementList, MARKERS_PanelMouseRect,
              MARKERS_PanelCallback),
    /*  38 */
    MakeGauge("AUDIO_Panel", 235, AUDIO_PanelElementList, AUDIO_PanelMouseRect,
              AUDIO_PanelCallback),
    /*  39 */
    MakeGauge("ENTERTAINMENT_Panel", 235, ENTERTAINMENT_PanelElementList,
              ENTERTAINMENT_PanelMouseRect, ENTERTAINMENT_PanelCallback),
    /*  40 */ MakeGauge("Gear", 113, GearElementList, GearMouseRect, GearPanelCallback),
    /*  41 */
    MakeGauge("Speedometer1", 124, Speedometer1ElementList, Speedometer1MouseRect,
              Speedometer1Callback),
    /*  42 */
    MakeGauge("Speedometer1_touch", 124, Speedometer1TouchElementList, Speedometer1TouchMouseRect,
              Speedometer1Callback),
    /*  43 */
    MakeGauge("Speedometer2", 124, Speedometer2ElementList, Speedometer2MouseRect,
              Speedometer2Callback),
    /*  44 */
    MakeGauge("Speedometer2_touch", 124, Speedometer2TouchElementList, Speedometer2TouchMouseRect,
              Speedometer2Callback),
    /*  45 */
    MakeGauge("Altimeter1", 124, Altimeter1ElementList, Altimeter1MouseRect, Altimeter1Callback),
    /*  46 */
    MakeGauge("Altimeter1_touch", 124, Altimeter1TouchElementList, Altimeter1TouchMouseRect,
              Altimeter1TouchCallback),
    /*  47 */
    MakeGauge("Altimeter2", 124, Altimeter2ElementList, Altimeter2MouseRect, Altimeter2Callback),
    /*  48 */
    MakeGauge("Altimeter2_touch", 124, Altimeter2TouchElementList, Altimeter2TouchMouseRect,
              Altimeter2TouchCallback),
    /*  49 */
    MakeGauge("Stby Altimeter", 124, StbyAltimeterElementList, StbyAltimeterMouseRect,
              StbyAltimeterCallback),
    /*  50 */
    MakeGauge("Stby Altimeter_touch", 124, StbyAltimeterTouchElementList,
              StbyAltimeterTouchMouseRect, StbyAltimeterTouchCallback),
    /*  51 */
    MakeGauge("Stby attitude", 100, Stby_attitudeElementList, nullptr, StbyAttitudeCallback),
    /*  52 */ MakeGauge("PFCS", 93, PFCSElementList, nullptr, PfcsCallback),
    /*  53 */ MakeGauge("clock1", 106, clock1ElementList, clock1MouseRect, Clock1Callback),
    /*  54 */ MakeGauge("clock2", 106, clock2ElementList, clock2MouseRect, Clock2Callback),
    /*  55 */ MakeGauge("RMI", 104, RMIElementList, RMIMouseRect, RmiCallback),
    /*  56 */ MakeGauge("TRIMS", 233, TRIMSElementList, TRIMSMouseRect, TrimsCallback),
    /*  57 */
    MakeGauge("FLAPS indicator", 65, FLAPSIndicatorElementList, nullptr, FlapsIndicatorCallback),
    /*  58 */
    MakeGauge("Whiskey compass", 118, WhiskeyCompassElementList, nullptr, WhiskeyCompassCallback),
    /*  59 */ MakeGauge("Inclinometer", 33, InclinometerElementList, nullptr, InclinometerCallback),
    /*  60 */
    MakeGauge("EGC_panel", 168, EGC_panelElementList, EGC_panelMouseRect, EgcPanelCallback),
    /*  61 */
    MakeGauge("FUEL_panel", 166, FUEL_panelElementList, FUEL_panelMouseRect, FuelPanelCallback),
    /*  62 */
    MakeGauge("Autofeather_panel", 165, Autofeather_panelElementList, Autofeather_panelMouseRect,
              AutofeatherPanelCallback),
    /*  63 */
    MakeGauge("Bypass_doors", 114, Bypass_doorsElementList, Bypass_doorsMouseRect,
              BypassDoorsCallback),
    /*  64 */
    MakeGauge("stormlights1", 1280, stormlights1ElementList, nullptr, StormLightsCallback),
    /*  65 */
    MakeGauge("stormlights2", 1280, stormlights2ElementList, nullptr, StormLightsCallback),
    /*  66 */ MakeGauge("VSI1", 163, DisplayElementLists[0], nullptr, VsiDisplayCallback),
    /*  67 */ MakeGauge("VSI1_VC", 163, DisplayElementLists[1], nullptr, VsiDisplayCallback),
    /*  68 */ MakeGauge("VSI2", 163, DisplayElementLists[2], nullptr, VsiDisplayCallback),
    /*  69 */ MakeGauge("VSI2_VC", 163, DisplayElementLists[3], nullptr, VsiDisplayCallback),
    /*  70 */ MakeGauge("HSI1", 163, DisplayElementLists[4], nullptr, HsiDisplayCallback),
    /*  71 */ MakeGauge("HSI1_VC", 163, DisplayElementLists[5], nullptr, HsiDisplayCallback),
    /*  72 */ MakeGauge("HSI2", 163, DisplayElementLists[6], nullptr, HsiDisplayCallback),
    /*  73 */ MakeGauge("HSI2_VC", 163, DisplayElementLists[7], nullptr, HsiDisplayCallback),
    /*  74 */
    MakeGauge("TCAS1 display", 109, TcasElementLists[0], nullptr, TcasDisplayCallback),
    /*  75 */
    MakeGauge("TCAS1 VC display", 109, TcasElementLists[1], nullptr, TcasDisplayCallback),
    /*  76 */
    MakeGauge("TCAS2 display", 109, TcasElementLists[2], nullptr, TcasDisplayCallback),
    /*  77 */
    MakeGauge("TCAS2 VC display", 109, TcasElementLists[3], nullptr, TcasDisplayCallback),
    /*  78 */
    MakeGauge("WX display", 251, WxDisplayElementList, WxDisplayMouseRect, WxDisplayCallback),
    /*  79 */ MakeGauge("FMS", 335, FmsElementList, FmsMouseRect, FmsCallback),
    /*  80 */ MakeGauge("FMS_VC", 335, FmsVcElementList, FmsVcMouseRect, FmsVcCallback),
    /*  81 */ MakeGauge("FMS_show", 335, FmsShowElementList, FmsShowMouseRect, FmsShowCallback),
    /*  82 */
    MakeGauge("VSI1 SEL", 127, VSI1_SELElementList, VSI1_SELMouseRect, SgSelCallback),
    /*  83 */
    MakeGauge("VSI2 SEL", 127, VSI2_SELElementList, VSI2_SELMouseRect, SgSelCallback),
    /*  84 */
    MakeGauge("Autopilot", 224, AutopilotElementList, AutopilotMouseRect, AutopilotCallback),
    /*  85 */
    MakeGauge("Autopilot_touch", 224, Autopilot_touchElementList, Autopilot_touchMouseRect,
              AutopilotTouchCallback),
    /*  86 */
    MakeGauge("ID809a_Panel", 233, ID809a_PanelElementList, ID809a_PanelMouseRect, Id809aCallback),
    /*  87 */
    MakeGauge("ID809b_Panel", 233, ID809b_PanelElementList, ID809b_PanelMouseRect, Id809bCallback),
    /*  88 */
    MakeGauge("AL801_Panel", 103, AL801_PanelElementList, AL801_PanelMouseRect, Al801Callback),
    /*  89 */
    MakeGauge("AL801_Panel_touch", 103, AL801_Panel_touchElementList, AL801_Panel_touchMouseRect,
              Al801TouchCallback),
    /*  90 */
    MakeGauge("GPWS_Panel", 38, GPWS_PanelElementList, GPWS_PanelMouseRect, GpwsPanelCallback),
    /*  91 */
    MakeGauge("RNAV1_Panel", 180, RNAV1_PanelElementList, RNAV1_PanelMouseRect, Rnav1PanelCallback),
    /*  92 */
    MakeGauge("RNAV2_Panel", 180, RNAV2_PanelElementList, RNAV2_PanelMouseRect, Rnav2PanelCallback),
    /*  93 */
    MakeGauge("battery_panel", 227, battery_panelElementList, battery_panelMouseRect,
              BatteryPanelCallback),
    /*  94 */ MakeGauge("ac_Panel", 227, ac_PanelElementList, ac_PanelMouseRect, AcPanelCallback),
    /*  95 */
    MakeGauge("DcMeterPanel", 227, DcMeterPanelElementList, DcMeterPanelMouseRect,
              DcMeterPanelCallback),
    /*  96 */
    MakeGauge("AcMeterPanel", 227, AcMeterPanelElementList, AcMeterPanelMouseRect,
              AcMeterPanelCallback),
    /*  97 */
    MakeGauge("BatTempMeterPanel", 191, BatTempMeterPanelElementList, BatTempMeterPanelMouseRect,
              BatTempMeterPanelCallback),
    /*  98 */
    MakeGauge("EngineStartPanel", 191, EngineStartPanelElementList, EngineStartPanelMouseRect,
              EngineStartPanelCallback),
    /*  99 */
    MakeGauge("Lights_Panel", 198, Lights_PanelElementList, Lights_PanelMouseRect,
              LightsPanelCallback),
    /* 100 */
    MakeGauge("Lights_rightpanel", 192, Lights_rightpanelElementList, Lights_rightpanelMouseRect,
              LightsRightPanelCallback),
    /* 101 */
    MakeGauge("Lights_exterior1_Panel", 197, Lights_exterior1_PanelElementList,
              Lights_exterior1_PanelMouseRect, LightsExterior1Callback),
    /* 102 */
    MakeGauge("Lights_exterior2_Panel", 190, Lights_exterior2_PanelElementList,
              Lights_exterior2_PanelMouseRect, LightsExterior2Callback),
    /* 103 */
    MakeGauge("Landing gear inhibit switch", 80, GearInhibitElementList, nullptr,
              GearInhibitCallback),
    /* 104 */
    MakeGauge("Nose Gear Alt Door", 132, NoseGearAltDoorElementList, nullptr,
              NoseGearAltDoorCallback),
    /* 105 */
    MakeGauge("HGS_HUD_switch", 32, HGS_HUD_switchElementList, HGS_HUD_switchMouseRect,
              HgsHudSwitchCallback),
    /* 106 */
    MakeGauge("PneuPanel", 200, PneuPanelElementList, PneuPanelMouseRect, PneuPanelCallback),
    /* 107 */
    MakeGauge("PneuPanel_touch", 200, PneuPanelTouchElementList, PneuPanelTouchMouseRect,
              PneuPanelTouchCallback),
    /* 108 */
    MakeGauge("PressPanel", 201, PressPanelElementList, PressPanelMouseRect, PressPanelCallback),
    /* 109 */
    MakeGauge("PressPanel_touch", 201, PressPanelTouchElementList, PressPanelTouchMouseRect,
              PressPanelTouchCallback),
    /* 110 */
    MakeGauge("AntiicePanel", 217, AntiicePanelElementList, AntiicePanelMouseRect,
              AntiicePanelCallback),
    /* 111 */
    MakeGauge("FirePanel", 455, FirePanelElementList, FirePanelMouseRect, FirePanelCallback),
    /* 112 */ MakeGauge("DuctTemp", 65, DuctTempElementList, nullptr, AirIndicatorCallback),
    /* 113 */
    MakeGauge("CabAltSetIndicator", 85, CabAltSetIndicatorElementList, nullptr,
              CabAltSetIndicatorCallback),
    /* 114 */
    MakeGauge("PressComp_Diff", 65, PressComp_DiffElementList, nullptr, AirIndicatorCallback),
    /* 115 */
    MakeGauge("PressComp_Alt", 65, PressComp_AltElementList, nullptr, AirIndicatorCallback),
    /* 116 */
    MakeGauge("PressComp_Rate", 65, PressComp_RateElementList, nullptr, AirIndicatorCallback),
    /* 117 */
    MakeGauge("engine_panel", 204, engine_panelElementList, engine_panelMouseRect,
              EnginePanelCallback),
    /* 118 */
    MakeGauge("Pilot_Panel", 349, Pilot_PanelElementList, Pilot_PanelMouseRect, PilotPanelCallback),
    /* 119 */ MakeGauge("Caution", 485, CautionElementList, nullptr, CautionGaugeCallback),
    /* 120 */
    MakeGauge("Caution_Large", 485, Caution_LargeElementList, nullptr, CautionLargeGaugeCallback),
    /* 121 */
    MakeGauge("Stby_hydr", 145, Stby_hydrElementList, Stby_hydrMouseRect, StbyHydrCallback),
    /* 122 */
    MakeGauge("Stby_hydr_pres", 77, Stby_hydr_presElementList, nullptr, HydraulicIndicatorCallback),
    /* 123 */
    MakeGauge("Main_hydr_pres", 77, Main_hydr_presElementList, nullptr, HydraulicIndicatorCallback),
    /* 124 */
    MakeGauge("Brake_hydr_pres", 77, Brake_hydr_presElementList, nullptr,
              HydraulicIndicatorCallback),
    /* 125 */ MakeGauge("Hydr_qty", 77, Hydr_qtyElementList, nullptr, HydraulicIndicatorCallback),
    /* 126 */
    MakeGauge("Roll_spoilers_shutoff", 65, Roll_spoilers_shutoffElementList,
              Roll_spoilers_shutoffMouseRect, RollSpoilersShutoffCallback),
    /* 127 */
    MakeGauge("Rudders_shutoff", 193, Rudders_shutoffElementList, Rudders_shutoffMouseRect,
              RuddersShutoffCallback),
    /* 128 */
    MakeGauge("StickPusher_shutoff", 56, StickPusher_shutoffElementList,
              StickPusher_shutoffMouseRect, StickPusherShutoffCallback),
    /* 129 */
    MakeGauge("Alternate Gear Pump", 100, Alternate_Gear_PumpElementList, nullptr,
              AlternateGearPumpCallback),
    /* 130 */
    MakeGauge("Copilot panel", 103, Copilot_panelElementList, Copilot_panelMouseRect,
              CopilotPanelCallback),
    /* 131 */
    MakeGauge("AHRS1_Panel", 220, AHRS1_PanelElementList, AHRS1_PanelMouseRect, Ahrs1PanelCallback),
    /* 132 */
    MakeGauge("AHRS2_Panel", 220, AHRS2_PanelElementList, AHRS2_PanelMouseRect, Ahrs2PanelCallback),
    /* 133 */
    MakeGauge("DisplayControl_Panel1", 223, DisplayControlPanel1ElementList,
              DisplayControlPanelMouseRect1, DisplayControlCallback1),
    /* 134 */
    MakeGauge("DisplayControl_Panel1_touch", 223, DisplayControlPanel1TouchElementList,
              DisplayControlPanelMouseRectTouch, DisplayControlCallback1Touch),
    /* 135 */
    MakeGauge("DisplayControl_Panel2", 223, DisplayControlPanel2ElementList,
              DisplayControlPanelMouseRect2, DisplayControlCallback2),
    /* 136 */ MakeGauge("PA_panel", 175, PA_panelElementList, PA_panelMouseRect, PaPanelCallback),
    /* 137 */
    MakeGauge("CVR_panel", 228, CVR_panelElementList, CVR_panelMouseRect, CvrPanelCallback),
    /* 138 */
    MakeGauge("FDR_panel", 194, FDR_panelElementList, FDR_panelMouseRect, FdrPanelCallback),
    /* 139 */
    MakeGauge("HGS_panel", 207, HGS_panelElementList, HGS_panelMouseRect, HgsPanelCallback),
    /* 140 */
    MakeGauge("HGS_VC_panel", 207, HGS_VC_panelElementList, HGS_VC_panelMouseRect,
              HgsVcPanelCallback),
    /* 141 */
    MakeGauge("RASU_panel", 163, RASU_panelElementList, RASU_panelMouseRect, RasuPanelCallback),
    /* 142 */
    MakeGauge("RASU_VC_panel", 163, RASU_VC_panelElementList, RASU_VC_panelMouseRect,
              RasuVcPanelCallback),
    /* 143 */
    MakeGauge("RASU_panel_touch", 163, RASU_panel_touchElementList, RASU_panel_touchMouseRect,
              RasuTouchCallback),
    /* 144 */
    MakeGauge("HGS_Annunciator_panel", 31, HGS_Annunciator_panelElementList, nullptr,
              HgsAnnunciatorCallback),
    /* 145 */
    MakeGauge("SWITCHBOARD_gauge", 260, SWITCHBOARD_gaugeElementList, SWITCHBOARD_gaugeMouseRect,
              SwitchboardCallback),
    /* 146 */ MakeGauge("CALLSIGN_gauge", 61, CALLSIGN_gaugeElementList, nullptr, CallsignCallback),
};

}  // namespace zu
