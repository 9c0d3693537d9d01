#include "presentation.h"

#include <QLabel>
#include <QProgressBar>
#include <QTabWidget>
#include <algorithm>
#include <cmath>
#include <limits>

#include "form.h"
#include "widgets.h"

namespace rizezo {

namespace {

// Design data: which failure controls each component offers (1 = enabled).
// Hydraulics, by component index 0..21: leak, inoperative, hot.
constexpr bool kHydraulicAvailability[22][kHydraulicFailureCount] = {
    {1, 1, 1}, {1, 1, 0}, {1, 1, 0}, {1, 1, 1}, {1, 1, 1}, {1, 1, 1}, {1, 1, 1}, {1, 1, 1},
    {1, 1, 0}, {1, 1, 0}, {1, 1, 0}, {1, 1, 0}, {1, 1, 0}, {1, 1, 0}, {1, 1, 0}, {1, 1, 0},
    {1, 1, 0}, {1, 1, 0}, {1, 1, 0}, {0, 0, 0}, {0, 0, 0}, {0, 0, 0},
};

// Powerplants, by selection -1..22: inoperative, failed opened, failed
// closed, fire, hang start, hot start, oil leak, no cut off, SELECT fail,
// ARM fail.
constexpr bool kPowerplantAvailability[24][kPowerplantFailureCount] = {
    {0, 0, 0, 0, 0, 0, 0, 0, 0, 0},  // -1 nothing selected
    {1, 0, 0, 0, 0, 0, 0, 0, 0, 0},  //  0 standby pump 1
    {1, 0, 0, 0, 0, 0, 0, 0, 0, 0},  //  1 PCU pump 1
    {0, 1, 1, 0, 0, 0, 0, 0, 0, 0},  //  2 governor 1
    {0, 1, 1, 0, 0, 0, 0, 0, 0, 0},  //  3 OSGV 1
    {0, 1, 1, 0, 0, 0, 0, 0, 0, 0},  //  4 MFV 1
    {0, 1, 1, 0, 0, 0, 0, 0, 0, 0},  //  5 AFV 1
    {0, 0, 0, 0, 0, 0, 0, 0, 0, 0},  //  6
    {1, 0, 0, 1, 1, 1, 1, 1, 0, 0},  //  7 ENGINE #1
    {1, 0, 0, 0, 0, 0, 0, 0, 0, 0},  //  8 ECU 1
    {1, 0, 0, 0, 0, 0, 0, 0, 0, 0},  //  9 synchrophaser
    {1, 0, 0, 0, 0, 0, 0, 0, 0, 0},  // 10 TRQ 1
    {0, 0, 0, 0, 0, 0, 0, 0, 0, 0},  // 11 engine 1 oil
    {1, 0, 0, 0, 0, 0, 0, 0, 0, 0},  // 12 standby pump 2
    {1, 0, 0, 0, 0, 0, 0, 0, 0, 0},  // 13 PCU pump 2
    {0, 1, 1, 0, 0, 0, 0, 0, 0, 0},  // 14 governor 2
    {0, 1, 1, 0, 0, 0, 0, 0, 0, 0},  // 15 OSGV 2
    {0, 1, 1, 0, 0, 0, 0, 0, 0, 0},  // 16 MFV 2
    {0, 1, 1, 0, 0, 0, 0, 0, 0, 0},  // 17 AFV 2
    {1, 0, 0, 1, 1, 1, 1, 1, 0, 0},  // 18 ENGINE #2
    {1, 0, 0, 0, 0, 0, 0, 0, 0, 0},  // 19 ECU 2
    {1, 0, 0, 0, 0, 0, 0, 0, 0, 0},  // 20 TRQ 2
    {1, 0, 0, 0, 0, 0, 0, 0, 1, 1},  // 21 autofeather
    {0, 0, 0, 0, 0, 0, 0, 0, 0, 0},  // 22 engine 2 oil
};

// Flight surfaces, by selection -1..12: inoperative, fully deflect L, fully
// deflect R, free floating, trim failure, jammed, disagree.
constexpr bool kSurfaceAvailability[14][kSurfaceFailureCount] = {
    {0, 0, 0, 0, 0, 0, 0},  // -1 nothing selected
    {0, 0, 0, 1, 0, 0, 0},  //  0 elevator 1
    {0, 0, 0, 1, 0, 0, 0},  //  1 elevator 2
    {1, 1, 1, 0, 0, 0, 0},  //  2 rudder
    {1, 0, 0, 0, 0, 0, 1},  //  3 left flap
    {1, 0, 0, 0, 0, 0, 1},  //  4 right flap
    {1, 0, 0, 0, 0, 0, 0},  //  5 aileron 1
    {1, 0, 0, 0, 0, 0, 0},  //  6 aileron 2
    {0, 1, 0, 0, 0, 1, 0},  //  7 left outboard spoiler
    {0, 0, 1, 0, 0, 1, 0},  //  8 right outboard spoiler
    {0, 1, 0, 0, 0, 1, 0},  //  9 left inboard spoiler
    {0, 0, 1, 0, 0, 1, 0},  // 10 right inboard spoiler
    {0, 1, 0, 0, 0, 1, 0},  // 11
    {0, 0, 1, 0, 0, 1, 0},  // 12
};

template <size_t Rows, size_t Columns>
bool Lookup(const bool (&table)[Rows][Columns], int row, int column) {
    if (row < 0 || static_cast<size_t>(row) >= Rows) return false;
    if (column < 0 || static_cast<size_t>(column) >= Columns) return false;
    return table[row][column];
}

void SetLabel(QLabel* label, const QString& text) {
    if (label != nullptr && label->text() != text) label->setText(text);
}

void SetBar(QProgressBar* bar, int position) {
    if (bar == nullptr) return;
    bar->setValue(std::clamp(position, bar->minimum(), bar->maximum()));
}

void SetVisible(QWidget* widget, bool visible) {
    if (widget != nullptr && widget->isHidden() == visible) widget->setVisible(visible);
}

// Shapes of a sheet, its direct children only or every one inside it.
template <typename T>
QList<T*> Controls(QWidget* parent, bool direct_only) {
    if (parent == nullptr) return {};
    return parent->findChildren<T*>(
        QString(), direct_only ? Qt::FindDirectChildrenOnly : Qt::FindChildrenRecursively);
}

void MoveLeft(QWidget* widget, int left) {
    if (widget != nullptr && widget->x() != left) widget->move(left, widget->y());
}

void SetTopHeight(QWidget* widget, int top, int height) {
    if (widget == nullptr) return;
    height = std::max(height, 0);
    widget->setGeometry(widget->x(), top, widget->width(), height);
    SetVisible(widget, height > 0);
}

// The pitch-change actuator pair of one propeller from its blade angle.
void PlaceActuators(TagShape* first, TagShape* second, float blade_angle) {
    const double a = std::clamp(static_cast<double>(blade_angle) * 57.0, -12.0, 90.0);
    const int e = TruncReading((a + 12.0) / 3.7333333);
    MoveLeft(first, 119 - e);
    MoveLeft(second, 129 - e);
}

void PlaceStandbyOil(TagShape* level, float fraction) {
    const double height = static_cast<double>(fraction) * 37.0;
    SetTopHeight(level, TruncReading(37.0 - height) + 7, TruncReading(height));
}

void PlaceEngineOil(TagShape* level, float quarts) {
    const double height = static_cast<double>(quarts) * 5.166666;
    SetTopHeight(level, TruncReading(31.0 - height) + 9, TruncReading(height));
}

bool ContainsColourName(const QString& name, const QColor& colour) {
    const QString upper = name.toUpper();
    if (colour == colours::kFailed) return upper.contains("RED");
    if (colour == colours::kAvailable) return upper.contains("GREEN");
    return upper.contains("GRAY");
}

}  // namespace

bool HydraulicFailureAvailable(int index, HydraulicFailure failure) {
    return Lookup(kHydraulicAvailability, index, failure);
}

bool PowerplantFailureAvailable(int index, PowerplantFailure failure) {
    if (index < -1) return false;
    return Lookup(kPowerplantAvailability, index + 1, failure);
}

bool SurfaceFailureAvailable(int index, SurfaceFailure failure) {
    if (index < -1) return false;
    return Lookup(kSurfaceAvailability, index + 1, failure);
}

QColor HydraulicShapeColour(int state, bool selected) {
    if (selected) return colours::kSelected;
    return state != 0 ? colours::kFailed : colours::kHydraulicIdle;
}

QColor StateColour(int state, float value) {
    if (state != 0) return colours::kFailed;
    return value != 0.0f ? colours::kAvailable : colours::kIdle;
}

QColor PowerplantStateColour(int tag, int state, float value, bool selected) {
    if (selected) return colours::kSelected;
    const QColor idle =
        (tag == 206 || tag == 207 || tag == 218) ? colours::kIdle : colours::kButtonFace;
    // Tags above 222 are status lines: they carry no failure state.
    if (tag <= 222 && state != 0) return colours::kFailed;
    return value != 0.0f ? colours::kAvailable : idle;
}

QColor SurfaceColour(int state, float value) {
    if (state != 0) return colours::kFailed;
    return value != 0.0f ? colours::kAvailable : colours::kButtonFace;
}

void PaintSurfaceControl(QWidget* control, int state, float value, bool selected) {
    const QColor colour = SurfaceColour(state, value);
    bool visible = true;
    if (auto* shape = qobject_cast<TagShape*>(control)) {
        shape->SetBrushColour(selected ? colours::kSelected : colour);
        shape->SetSelected(selected);
    } else {
        const QString name = control->objectName().toUpper();
        visible = selected ? name.contains("WHITE") : ContainsColourName(name, colour);
        if (auto* picture = qobject_cast<Picture*>(control)) picture->SetSelected(selected);
    }
    if (visible && control->isHidden()) {
        control->setVisible(true);
        control->raise();
    } else if (!visible && !control->isHidden()) {
        control->setVisible(false);
    }
}

int TruncReading(double value) {
    if (std::isnan(value)) return 0;
    if (value >= 2147483647.0) return std::numeric_limits<int>::max();
    if (value <= -2147483648.0) return std::numeric_limits<int>::min();
    return static_cast<int>(value);
}

// A reading that is no number (or an endless one) is never painted as such.
constexpr char kNoReading[] = "---";

QString PressureText(float psi) {
    if (!std::isfinite(psi)) return QString(kNoReading) + " PSI";
    return QString::number(psi, 'g', 15) + " PSI";
}

QString QuantityText(float quarts) {
    if (!std::isfinite(quarts)) return QString(kNoReading) + " Quarts";
    return QString::number(quarts, 'g', 2) + " Quarts";
}

QString AccumulatorText(float psi) {
    const double percent = std::min(100.0, static_cast<double>(psi) / 28.8);
    // Not a number, or a whole percentage outside the 32-bit range.
    if (!std::isfinite(psi) || percent <= -2147483649.0) return QString(kNoReading) + " %";
    return QString::number(TruncReading(percent)) + " %";
}

void ShowHydraulics(Tform1& form) {
    GroupArrays group = form.Arrays().ForGroup(kGroupHydraulics);
    for (TagShape* shape : Controls<TagShape>(form.Hydraulics, true)) {
        const int tag = Tag(shape);
        if (tag <= 0 || !group.HasState(tag - 1)) continue;
        const bool selected = form.Selected() && tag == form.SelectedIndex() + 1;
        shape->SetBrushColour(HydraulicShapeColour(group.State(tag - 1), selected));
        shape->SetSelected(selected);
    }
    SetLabel(form.Hydraulics_N1_main_PSI_label,
             PressureText(group.Value(zu::kHydValueSystem1Pressure)));
    SetLabel(form.Hydraulics_N2_main_PSI_label,
             PressureText(group.Value(zu::kHydValueSystem2Pressure)));
    SetLabel(form.Hydraulics_N1_EGP_PSI_label,
             PressureText(group.Value(zu::kHydValueEdp1Pressure)));
    SetLabel(form.Hydraulics_N2_EGP_PSI_label,
             PressureText(group.Value(zu::kHydValueEdp2Pressure)));
    SetLabel(form.Hydraulics_N1_SBY_PSI_label,
             PressureText(group.Value(zu::kHydValueStby1Pressure)));
    SetLabel(form.Hydraulics_N2_SBY_PSI_label,
             PressureText(group.Value(zu::kHydValueStby2Pressure)));
    SetLabel(form.Hydraulics_N2_line_SBY_PSI_label,
             PressureText(group.Value(zu::kHydValueStby2LinePressure)));
    const bool isolated = group.Value(zu::kHydValueReservoir2Isolation) != 0.0f;
    SetVisible(form.N2_RSV_pipe_shape_closed, isolated);
    SetVisible(form.N2_RSV_pipe_shape_open, !isolated);
    SetLabel(form.Hydraulics_N1_Reservoir_qty_label,
             QuantityText(group.Value(zu::kHydValueReservoir1Quarts)));
    SetBar(form.Hydr_reservoir1, TruncReading(group.Value(zu::kHydValueReservoir1Quarts) * 100.0));
    SetLabel(form.Hydraulics_N2_Reservoir_qty_label,
             QuantityText(group.Value(zu::kHydValueReservoir2Quarts)));
    SetBar(form.Hydr_reservoir2, TruncReading(group.Value(zu::kHydValueReservoir2Quarts) * 100.0));
    SetVisible(form.PTUArrowImage, group.Value(zu::kHydValuePtuRunning) != 0.0f);
    SetLabel(form.ParkingAccumulatorQty,
             AccumulatorText(group.Value(zu::kHydValueParkingAccumulator)));
    SetBar(form.ParkingBreakReservour, TruncReading(group.Value(zu::kHydValueParkingAccumulator)));
    form.update();
}

void ShowElectrics(Tform1& form) {
    GroupArrays group = form.Arrays().ForGroup(kGroupElectrics);
    for (TagShape* shape : Controls<TagShape>(form.Electrics, true)) {
        const int index = Tag(shape) - 100;
        if (index < 0 || !group.HasState(index)) continue;
        shape->SetBrushColour(StateColour(group.State(index), group.Value(index)));
    }
    for (const Tform1::SwitchPictures& pictures : form.electric_switches) {
        const bool closed = group.Value(pictures.value_index) > 0.0f;
        for (Picture* picture : pictures.closed) SetVisible(picture, closed);
        for (Picture* picture : pictures.open) SetVisible(picture, !closed);
    }
    const float selector = group.Value(zu::kElecValueAuxInvSelector);
    SetVisible(form.sw_aux_inv_c, selector == 0.0f);
    SetVisible(form.sw_aux_inv_r, selector == 1.0f);
    SetVisible(form.sw_aux_inv_l, selector != 0.0f && selector != 1.0f);
    form.update();
}

void ShowPowerplants(Tform1& form) {
    GroupArrays group = form.Arrays().ForGroup(kGroupPowerplants);
    for (TagShape* shape : Controls<TagShape>(form.Powerplants, false)) {
        const int tag = Tag(shape);
        if (tag < 200 || tag > 245 || !group.HasValue(tag - 200)) continue;
        const int index = tag - 200;
        const bool selected = form.Selected() && tag == form.SelectedIndex() + 200;
        shape->SetBrushColour(
            PowerplantStateColour(tag, group.State(index), group.Value(index), selected));
        shape->SetSelected(selected);
    }
    PlaceActuators(form.PCU1_act_1, form.PCU1_act_2, group.Value(zu::kPpValueBladeAngle1));
    PlaceActuators(form.PCU2_act_1, form.PCU2_act_2, group.Value(zu::kPpValueBladeAngle2));
    PlaceStandbyOil(form.LeftStandbyOilReservour, group.Value(zu::kPpValueStbyOilQty1));
    PlaceStandbyOil(form.RightStandbyOilReservour, group.Value(zu::kPpValueStbyOilQty2));
    PlaceEngineOil(form.EngineOilReservour1, group.Value(zu::kPpValueEngineOilQty1));
    PlaceEngineOil(form.EngineOilReservour2, group.Value(zu::kPpValueEngineOilQty2));
    form.update();
}

void ShowFlightSurfaces(Tform1& form) {
    if (form.ActivePage() != kPageFlightSurfaces || form.Panel4 == nullptr) return;
    GroupArrays group = form.Arrays().ForGroup(kGroupFlightSurfaces);
    for (QWidget* control : Controls<QWidget>(form.Panel4, true)) {
        if (qobject_cast<TagShape*>(control) == nullptr &&
            qobject_cast<Picture*>(control) == nullptr)
            continue;
        const int tag = Tag(control);
        if (tag <= 0 || !group.HasState(tag - 1)) continue;
        const bool selected = form.Selected() && tag == form.SelectedIndex() + 1;
        PaintSurfaceControl(control, group.State(tag - 1), group.Value(tag - 1), selected);
    }
    form.update();
}

void ShowAvionics(Tform1& form) {
    GroupArrays group = form.Arrays().ForGroup(kGroupAvionics);
    for (TagShape* shape : Controls<TagShape>(form.Avionics, true)) {
        const int tag = Tag(shape);
        if (tag >= 100 || !group.HasState(tag)) continue;
        shape->SetBrushColour(StateColour(group.State(tag), group.Value(tag)));
    }
    form.update();
}

void ShowAll(Tform1& form) {
    ShowElectrics(form);
    ShowHydraulics(form);
    ShowPowerplants(form);
    ShowFlightSurfaces(form);
    ShowAvionics(form);
}

}  // namespace rizezo
