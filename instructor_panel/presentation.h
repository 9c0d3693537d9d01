// Repaints the five system pages from the per-group arrays, and the design
// data that says which failure controls each component offers.
#pragma once

#include <QColor>
#include <QString>

class QWidget;

namespace rizezo {

class Tform1;

// Failure-control columns of each page, in the order of the tables.
enum HydraulicFailure { kHydLeak, kHydInoperative, kHydHot, kHydraulicFailureCount };
enum PowerplantFailure {
    kPpInoperative,
    kPpFailedOpened,
    kPpFailedClosed,
    kPpFire,
    kPpHangStart,
    kPpHotStart,
    kPpOilLeak,
    kPpNoCutOff,
    kPpSelectFail,
    kPpArmFail,
    kPowerplantFailureCount
};
enum SurfaceFailure {
    kFsInoperative,
    kFsDeflectLeft,
    kFsDeflectRight,
    kFsFreeFloating,
    kFsTrimFailure,
    kFsJammed,
    kFsDisagree,
    kSurfaceFailureCount
};

// Whether the component with this index offers the failure; index -1 (and
// any index outside the tables) offers none.
bool HydraulicFailureAvailable(int index, HydraulicFailure failure);
bool PowerplantFailureAvailable(int index, PowerplantFailure failure);
bool SurfaceFailureAvailable(int index, SurfaceFailure failure);

// Colour routines of the pages.
QColor HydraulicShapeColour(int state, bool selected);
QColor StateColour(int state, float value);
QColor PowerplantStateColour(int tag, int state, float value, bool selected);
QColor SurfaceColour(int state, float value);
// Shows a surface picture whose name names its colour (hides the others),
// or fills a surface shape; outlines the selected surface; brings a control
// that just appeared to the front.
void PaintSurfaceControl(QWidget* control, int state, float value, bool selected);

// Number formats of the hydraulic readings; a reading that is not finite
// (or a percentage beyond the 32-bit range) shows "---" with its unit.
QString PressureText(float psi);
QString QuantityText(float quarts);
QString AccumulatorText(float psi);
// A float reading truncated to an integer, NaN and overflow made safe.
int TruncReading(double value);

void ShowHydraulics(Tform1& form);
void ShowElectrics(Tform1& form);
void ShowPowerplants(Tform1& form);
void ShowFlightSurfaces(Tform1& form);
void ShowAvionics(Tform1& form);
// All five, in the order electrics, hydraulics, powerplants, flight surfaces,
// avionics.
void ShowAll(Tform1& form);

}  // namespace rizezo
