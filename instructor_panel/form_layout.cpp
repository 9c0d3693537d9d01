// The layout of the instructor panel's window: every page with its shapes,
// pictures, labels and controls, their tags and their event handlers.
#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTabWidget>
#include <QTimer>

#include "form.h"
#include "widgets.h"

namespace rizezo {

namespace {

// The sheets' drawing area; the right-hand half of each schematic mirrors
// the left about its middle.
constexpr int kPageWidth = 851;
constexpr int kPageHeight = 533;
// The page's middle, and the shift of the middle column from a 422 design.
constexpr int kCentre = kPageWidth / 2;
constexpr int kShift = kCentre - 422;

QRect Mirror(const QRect& r) {
    return QRect(kPageWidth - r.x() - r.width(), r.y(), r.width(), r.height());
}
QRect Side(bool right, const QRect& r) {
    return right ? Mirror(r) : r;
}
int SideX(bool right, int x) {
    return right ? kPageWidth - x : x;
}
std::vector<QPoint> SidePoints(bool right, std::vector<QPoint> points) {
    if (right) {
        for (QPoint& p : points) p.setX(kPageWidth - p.x());
    }
    return points;
}

QLabel* MakeLabel(QWidget* parent, const QString& name, const QString& text, const QRect& rect,
                  Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter, int pixel_size = 11,
                  bool bold = false) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setGeometry(rect);
    label->setAlignment(align);
    QFont font = label->font();
    font.setPixelSize(pixel_size);
    font.setBold(bold);
    label->setFont(font);
    return label;
}

QProgressBar* MakeBar(QWidget* parent, const QString& name, const QRect& rect, int maximum,
                      Qt::Orientation orientation) {
    auto* bar = new QProgressBar(parent);
    bar->setObjectName(name);
    bar->setGeometry(rect);
    bar->setRange(0, maximum);
    bar->setValue(0);
    bar->setOrientation(orientation);
    bar->setTextVisible(false);
    bar->setStyleSheet(
        "QProgressBar { border: 1px solid #303030; background: white; }"
        "QProgressBar::chunk { background: #008080; }");
    return bar;
}

QCheckBox* MakeCheck(QWidget* parent, const QString& name, const QString& text, int tag,
                     const QRect& rect) {
    auto* box = new QCheckBox(text, parent);
    box->setObjectName(name);
    SetTag(box, tag);
    box->setGeometry(rect);
    return box;
}

QRadioButton* MakeRadio(QWidget* parent, const QString& name, const QString& text, int tag,
                        const QRect& rect) {
    auto* button = new QRadioButton(text, parent);
    button->setObjectName(name);
    SetTag(button, tag);
    button->setGeometry(rect);
    return button;
}

QPushButton* MakeButton(QWidget* parent, const QString& name, const QString& text,
                        const QRect& rect) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setGeometry(rect);
    return button;
}

SchematicCanvas* MakeCanvas(QWidget* page) {
    auto* canvas = new SchematicCanvas(page);
    canvas->setGeometry(0, 0, kPageWidth + 20, kPageHeight + 20);
    return canvas;
}

// A colour key: one swatch and its meaning per row; the selected colour's
// swatch is outlined as the selected component is.
void Legend(SchematicCanvas* canvas, int x, int y,
            const std::vector<std::pair<QColor, QString>>& rows, int step = 18) {
    for (const auto& [colour, text] : rows) {
        canvas->Swatch(QRect(x, y + 2, 12, 12), colour, colour == colours::kSelected);
        canvas->Text(QRect(x + 18, y, 120, 16), text, Qt::AlignLeft | Qt::AlignVCenter, false, 11);
        y += step;
    }
}

const QColor kPipe = colours::kHydraulicIdle;
const QColor kHint{0x50, 0x50, 0x50};
// A surface that is not available: its gray picture.
const QColor kSurfaceIdle{0xB8, 0xB8, 0xB8};

}  // namespace

void Tform1::BuildForm() {
    setWindowTitle(kFormCaption);
    setFixedSize(kFormWidth, kFormHeight);

    // The connection strip below the pages.
    Shape103 = new TagShape(this, "Shape103", 102, ShapeKind::RoundRect, QRect(6, 572, 855, 34));
    IPLabel = MakeLabel(this, "IPLabel", "Server name or IP", QRect(18, 580, 110, 18));
    IPEdit = new QLineEdit("127.0.0.1", this);
    IPEdit->setObjectName("IPEdit");
    IPEdit->setGeometry(132, 578, 160, 22);
    Connect_Button = MakeButton(this, "Connect_Button", kConnectCaption, QRect(302, 576, 100, 26));
    connect(Connect_Button, &QPushButton::clicked, this, [this] { Connect_ButtonClick(); });

    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName("PageControl1");
    PageControl1->setGeometry(6, 6, 855, 562);
    auto add_sheet = [this](const char* name, const char* caption) {
        auto* sheet = new QWidget();
        sheet->setObjectName(name);
        PageControl1->addTab(sheet, caption);
        return sheet;
    };
    General = add_sheet("General", "General");
    Hydraulics = add_sheet("Hydraulics", "Hydraulics");
    Electrics = add_sheet("Electrics", "Electrics");
    Powerplants = add_sheet("Powerplants", "Propellers");
    TabSheet1 = add_sheet("TabSheet1", "Flight Surfaces");
    Avionics = add_sheet("Avionics", "Avionics");

    BuildGeneralPage();
    BuildHydraulicsPage();
    BuildElectricsPage();
    BuildPowerplantsPage();
    BuildFlightSurfacesPage();
    BuildAvionicsPage();

    connect(PageControl1, &QTabWidget::currentChanged, this,
            [this](int page) { PageControl1Change(page); });

    DataRequestingTimer = new QTimer(this);
    DataRequestingTimer->setObjectName("DataRequestingTimer");
    DataRequestingTimer->setInterval(kTimerIntervalMs);
    connect(DataRequestingTimer, &QTimer::timeout, this, [this] { DataRequestingTimerTimer(); });
}

// ---------------------------------------------------------------------------

void Tform1::BuildGeneralPage() {
    QWidget* page = General;
    SchematicCanvas* canvas = MakeCanvas(page);
    canvas->Frame(QRect(kCentre - 200, 120, 400, 250));
    MakeLabel(page, "Label129", "Dirarov Zuvav control panel", QRect(kCentre - 200, 170, 400, 34),
              Qt::AlignCenter, 24, true);
    MakeLabel(page, "Label130", "V 2.004", QRect(kCentre - 200, 212, 400, 22), Qt::AlignCenter, 15);
    Label132 = MakeLabel(page, "Label132", QString(), QRect(kCentre - 200, 280, 400, 30),
                         Qt::AlignCenter, 20, true);
}

// ---------------------------------------------------------------------------

namespace {

// The Hydraulics page, one section at a time.
class HydraulicsLayout {
  public:
    explicit HydraulicsLayout(Tform1& form)
        : form_(form), page_(form.Hydraulics), canvas_(MakeCanvas(page_)) {}

    // One system's frame, reservoir, suction and delivery lines and readings.
    void System(bool right);
    void Pumps();
    void PressureLines();
    void Consumers();
    void IsolationValve();
    void PowerTransferUnit();
    void ParkingBrake();
    void FailureControls();
    void LeakRate();
    void Reservoirs();

  private:
    TagShape* Component(const char* name, int tag, ShapeKind kind, const QRect& rect,
                        const QString& caption = {});

    Tform1& form_;
    QWidget* page_;
    SchematicCanvas* canvas_;
};

TagShape* HydraulicsLayout::Component(const char* name, int tag, ShapeKind kind, const QRect& rect,
                                      const QString& caption) {
    auto* shape = new TagShape(page_, name, tag, kind, rect, caption);
    QObject::connect(shape, &TagShape::mouseDown, &form_, &Tform1::HydraulicsObjectMouseDown);
    return shape;
}

void HydraulicsLayout::System(bool right) {
    const char* n = right ? "2" : "1";
    canvas_->Frame(Side(right, QRect(8, 6, 328, 330)),
                   right ? "No. 2 HYDRAULIC SYSTEM" : "No. 1 HYDRAULIC SYSTEM");
    // Centred over the reservoir's tube, clear of the frame's edge.
    canvas_->Text(Side(right, QRect(16, 28, 74, 14)), QString("RESERVOIR ") + n, Qt::AlignCenter,
                  true, 9);

    // Suction from the reservoir to both pumps; the No. 2 line passes the
    // reservoir isolation valve.
    if (right) {
        canvas_->Line(SidePoints(true, {{60, 74}, {66, 74}}), kPipe, 4);
        canvas_->Line(SidePoints(true, {{102, 74}, {116, 74}}), kPipe, 4);
    } else {
        canvas_->Line({{60, 74}, {116, 74}}, kPipe, 4);
    }
    canvas_->Line(SidePoints(right, {{108, 74}, {108, 44}, {272, 44}, {272, 56}}), kPipe, 4);
    // Pump delivery down to the pressure line.
    canvas_->Line(SidePoints(right, {{160, 92}, {160, 150}}), kPipe, 4);
    canvas_->Line(SidePoints(right, {{272, 92}, {272, 150}}), kPipe, 4);
    canvas_->Dot(QPoint(SideX(right, 108), 74), kPipe);

    const Qt::Alignment outer =
        right ? Qt::AlignRight | Qt::AlignVCenter : Qt::AlignLeft | Qt::AlignVCenter;
    QLabel* egp = MakeLabel(page_, QString("Hydraulics_N%1_EGP_PSI_label").arg(n), QString(),
                            Side(right, QRect(164, 100, 100, 14)), outer, 11);
    QLabel* sby = MakeLabel(page_, QString("Hydraulics_N%1_SBY_PSI_label").arg(n), QString(),
                            Side(right, QRect(276, 100, 58, 14)), outer, 11);
    QLabel* main = MakeLabel(page_, QString("Hydraulics_N%1_main_PSI_label").arg(n), QString(),
                             Side(right, QRect(214, 166, 118, 16)), outer, 12, true);
    QLabel* qty = MakeLabel(page_, QString("Hydraulics_N%1_Reservoir_qty_label").arg(n), QString(),
                            Side(right, QRect(8, 160, 74, 16)), Qt::AlignCenter, 11);
    QProgressBar* reservoir =
        MakeBar(page_, QString("Hydr_reservoir%1").arg(n), Side(right, QRect(30, 44, 30, 112)),
                right ? 519 : 268, Qt::Vertical);
    if (right) {
        form_.Hydraulics_N2_EGP_PSI_label = egp;
        form_.Hydraulics_N2_SBY_PSI_label = sby;
        form_.Hydraulics_N2_main_PSI_label = main;
        form_.Hydraulics_N2_Reservoir_qty_label = qty;
        form_.Hydr_reservoir2 = reservoir;
    } else {
        form_.Hydraulics_N1_EGP_PSI_label = egp;
        form_.Hydraulics_N1_SBY_PSI_label = sby;
        form_.Hydraulics_N1_main_PSI_label = main;
        form_.Hydraulics_N1_Reservoir_qty_label = qty;
        form_.Hydr_reservoir1 = reservoir;
    }
}

void HydraulicsLayout::Pumps() {
    Component("Hydraulics_object_N1_EDP", 4, ShapeKind::Ellipse, QRect(116, 56, 88, 36), "EDP 1");
    Component("Hydraulics_object_N1_stby_pump", 1, ShapeKind::Ellipse, QRect(222, 56, 100, 36),
              "SBY PUMP 1");
    Component("Hydraulics_object_N2_EDP", 5, ShapeKind::Ellipse, Mirror(QRect(116, 56, 88, 36)),
              "EDP 2");
    Component("Hydraulics_object_N2_stby_pump", 6, ShapeKind::Ellipse,
              Mirror(QRect(222, 56, 100, 36)), "SBY PUMP 2");
}

void HydraulicsLayout::PressureLines() {
    Component("Hydraulics_object_N1_main_line", 2, ShapeKind::Rectangle, QRect(100, 150, 252, 10));
    Component("Hydraulics_object_N1_main_line_a", 2, ShapeKind::Rectangle, QRect(200, 160, 10, 72));
    Component("Hydraulics_object_N1_main_line_b", 2, ShapeKind::Rectangle, QRect(24, 232, 300, 10));
    Component("Hydraulics_object_N2_main_line", 3, ShapeKind::Rectangle,
              Mirror(QRect(100, 150, 252, 10)));
    canvas_->Line({{kPageWidth - 205, 160}, {kPageWidth - 205, 232}}, kPipe, 10);
    Component("Hydraulics_object_N2_main_line_a", 3, ShapeKind::Rectangle,
              Mirror(QRect(24, 232, 300, 10)));
}

// Consumers 8..18, captioned by what each one feeds (docs/aircraft-systems.md);
// 11 and 18 carry no load.
void HydraulicsLayout::Consumers() {
    const char* consumers[] = {"FLAPS",     "SPLRS 1",  "BRAKES",     "SPARE",
                               "RUDDER 1",  "SPLRS 2",  "PARK BRAKE", "GEAR",
                               "UTILITY 2", "RUDDER 2", "SPARE"};
    for (int k = 0; k < 11; ++k) {
        const bool right = k >= 5;
        const int slot = right ? k - 5 : k;
        // Six boxes on the No. 2 side, each wide enough for "RUDDER".
        const int left = right ? 16 : 24;
        const int width = right ? 48 : 50;
        const double step = right ? 52.8 : 62.5;
        const QRect rect = Side(right, QRect(left + static_cast<int>(slot * step), 266, width, 56));
        canvas_->Line({{rect.center().x(), 242}, {rect.center().x(), 266}}, kPipe, 4);
        Component(qPrintable(QString("Consumer%1").arg(8 + k)), 9 + k, ShapeKind::RoundRect, rect,
                  consumers[k]);
    }
}

// Reservoir 2 isolation valve and the No. 2 standby line reading.
void HydraulicsLayout::IsolationValve() {
    form_.N2_RSV_pipe_shape_closed =
        new Picture(page_, "N2_RSV_pipe_shape_closed", 0, PictureKind::ValveClosed,
                    Mirror(QRect(66, 64, 36, 20)));
    form_.N2_RSV_pipe_shape_open = new Picture(
        page_, "N2_RSV_pipe_shape_open", 0, PictureKind::ValveOpen, Mirror(QRect(66, 64, 36, 20)));
    canvas_->Text(Mirror(QRect(60, 86, 48, 12)), "ISOL", Qt::AlignCenter, false, 9, kHint);
    canvas_->Text(Mirror(QRect(276, 118, 58, 12)), "SBY LINE", Qt::AlignRight | Qt::AlignVCenter,
                  false, 9, kHint);
    form_.Hydraulics_N2_line_SBY_PSI_label =
        MakeLabel(page_, "Hydraulics_N2_line_SBY_PSI_label", QString(),
                  Mirror(QRect(276, 130, 58, 14)), Qt::AlignRight | Qt::AlignVCenter, 11);
}

// The power transfer unit between the systems.
void HydraulicsLayout::PowerTransferUnit() {
    canvas_->Text(QRect(347 + kShift, 114, 157, 14), "POWER TRANSFER UNIT", Qt::AlignCenter, true,
                  10);
    Component("PTURect1", 7, ShapeKind::Rectangle, QRect(352, 136, 60, 38), "PTU\nMOTOR");
    Component("PTURect2", 8, ShapeKind::Rectangle, Mirror(QRect(352, 136, 60, 38)), "PTU\nPUMP");
    canvas_->Line({{412, 155}, {kPageWidth - 412, 155}}, colours::kWire, 4);
    form_.PTUArrowImage = new Picture(page_, "PTUArrowImage", 0, PictureKind::Arrow,
                                      QRect(372 + kShift, 182, 101, 20));
}

void HydraulicsLayout::ParkingBrake() {
    canvas_->Text(QRect(344 + kShift, 222, 157, 28), "PARKING BRAKE\nACCUMULATOR", Qt::AlignCenter,
                  true, 10);
    form_.ParkingBreakReservour = MakeBar(page_, "ParkingBreakReservour",
                                          QRect(407 + kShift, 254, 31, 60), 2880, Qt::Vertical);
    form_.ParkingAccumulatorQty =
        MakeLabel(page_, "ParkingAccumulatorQty", QString(), QRect(344 + kShift, 316, 157, 16),
                  Qt::AlignCenter, 12, true);
}

void HydraulicsLayout::FailureControls() {
    canvas_->Frame(QRect(8, 346, 328, 178), "COMPONENT FAILURE");
    canvas_->Text(QRect(20, 368, 300, 14), "Select a component, then set its failures.",
                  Qt::AlignLeft | Qt::AlignVCenter, false, 11, kHint);
    form_.Checkbox_Hydraulic_Leak =
        MakeCheck(page_, "Checkbox_Hydraulic_Leak", "Leak", 1, QRect(28, 394, 130, 22));
    form_.Checkbox_Hydraulic_inop =
        MakeCheck(page_, "Checkbox_Hydraulic_inop", "Inoperative", 2, QRect(28, 422, 130, 22));
    form_.Checkbox_Hydraulic_hot =
        MakeCheck(page_, "Checkbox_Hydraulic_hot", "Hot", 4, QRect(28, 450, 130, 22));
    Tform1* form = &form_;
    for (QCheckBox* box : form_.HydraulicFailureControls()) {
        QObject::connect(box, &QCheckBox::clicked, form,
                         [form, box] { form->HydraulicCheckboxMouseDown(box); });
    }
    Legend(canvas_, 196, 396,
           {{colours::kFailed, "failed"},
            {colours::kSelected, "selected"},
            {colours::kHydraulicIdle, "normal"}},
           26);
}

void HydraulicsLayout::LeakRate() {
    canvas_->Frame(QRect(344 + kShift, 346, 157, 178), "LEAK RATE");
    QSlider* slider = new QSlider(Qt::Horizontal, page_);
    slider->setObjectName("TrackBar1");
    slider->setGeometry(356 + kShift, 394, 133, 28);
    slider->setRange(0, 100);
    slider->setValue(50);
    slider->setTickPosition(QSlider::TicksBelow);
    slider->setTickInterval(10);
    slider->setPageStep(10);
    form_.TrackBar1 = slider;
    canvas_->Text(QRect(356 + kShift, 424, 60, 14), "slow", Qt::AlignLeft | Qt::AlignVCenter, false,
                  10, kHint);
    canvas_->Text(QRect(429 + kShift, 424, 60, 14), "fast", Qt::AlignRight | Qt::AlignVCenter,
                  false, 10, kHint);
    Tform1* form = &form_;
    QObject::connect(slider, &QSlider::valueChanged, form,
                     [form](int value) { form->TrackBar1Change(value); });
}

void HydraulicsLayout::Reservoirs() {
    canvas_->Frame(Mirror(QRect(8, 346, 328, 178)), "RESERVOIRS");
    form_.ResetHydraulicReservour1 = MakeButton(page_, "ResetHydraulicReservour1",
                                                "Refill reservoir 1", QRect(535, 394, 136, 28));
    form_.ResetHydraulicReservour2 = MakeButton(page_, "ResetHydraulicReservour2",
                                                "Refill reservoir 2", QRect(687, 394, 136, 28));
    Tform1* form = &form_;
    QObject::connect(form_.ResetHydraulicReservour1, &QPushButton::clicked, form,
                     [form] { form->ResetHydraulicReservour1Click(); });
    QObject::connect(form_.ResetHydraulicReservour2, &QPushButton::clicked, form,
                     [form] { form->ResetHydraulicReservour2Click(); });
}

}  // namespace

void Tform1::BuildHydraulicsPage() {
    HydraulicsLayout layout(*this);
    for (const bool right : {false, true}) layout.System(right);
    layout.Pumps();
    layout.PressureLines();
    layout.Consumers();
    layout.IsolationValve();
    layout.PowerTransferUnit();
    layout.ParkingBrake();
    layout.FailureControls();
    layout.LeakRate();
    layout.Reservoirs();
}

// ---------------------------------------------------------------------------

namespace {

// The Electrics page, one section at a time; the sections taking `right`
// draw one half of the page, the right half mirroring the left.
class ElectricsLayout {
  public:
    explicit ElectricsLayout(Tform1& form)
        : form_(form), page_(form.Electrics), canvas_(MakeCanvas(page_)) {}

    // DC generation, the main DC bus and the secondary and essential buses.
    void DcBuses(bool right);
    // Battery buses, the battery with the master switch and its own switch.
    void Batteries(bool right);
    void TransformerRectifiers(bool right);
    // AC generation, the variable AC bus and its external-power relay.
    void AcBuses(bool right);
    // The inverter, the avionics AC buses and their transformer.
    void Inverters(bool right);
    // Between the halves: external DC, the main bus tie, CB F5 and the AC
    // cross-feed.
    void CentreTies();
    // Between the halves: external AC, the auxiliary inverter, the legend.
    void CentreAc();

  private:
    void Element(int index, ShapeKind kind, const QRect& rect, const QString& caption);
    void Bus(int index, const QRect& rect, const QString& caption) {
        Element(index, ShapeKind::Rectangle, rect, caption);
    }
    void Source(int index, const QRect& rect, const QString& caption) {
        Element(index, ShapeKind::RoundRect, rect, caption);
    }
    // One relay or switch: its closed and open pictures at one place, and
    // the mirror pictures that follow the same value.
    void AddSwitch(int value_index, const QString& closed_name, const QString& open_name,
                   PictureKind closed_kind, PictureKind open_kind, const QRect& rect,
                   Qt::Orientation orientation);
    void Relay(int value_index, const QString& name, const QRect& rect, Qt::Orientation orientation,
               const QString& caption, const QRect& caption_rect);
    void Toggle(int value_index, const QString& name, const QRect& rect,
                Qt::Orientation orientation, const QString& caption, const QRect& caption_rect);
    void Wire(bool right, std::vector<QPoint> points) {
        canvas_->Line(SidePoints(right, std::move(points)));
    }

    Tform1& form_;
    QWidget* page_;
    SchematicCanvas* canvas_;
};

void ElectricsLayout::Element(int index, ShapeKind kind, const QRect& rect,
                              const QString& caption) {
    auto* shape = new TagShape(page_, QString("ElectricsShape%1").arg(100 + index), 100 + index,
                               kind, rect, caption);
    QObject::connect(shape, &TagShape::mouseDown, &form_, &Tform1::ElectricsShapeMouseDown);
}

void ElectricsLayout::AddSwitch(int value_index, const QString& closed_name,
                                const QString& open_name, PictureKind closed_kind,
                                PictureKind open_kind, const QRect& rect,
                                Qt::Orientation orientation) {
    auto* closed = new Picture(page_, closed_name, 0, closed_kind, rect, orientation);
    auto* open = new Picture(page_, open_name, 0, open_kind, rect, orientation);
    for (Tform1::SwitchPictures& entry : form_.electric_switches) {
        if (entry.value_index == value_index) {
            entry.closed.push_back(closed);
            entry.open.push_back(open);
            return;
        }
    }
    form_.electric_switches.push_back({value_index, {closed}, {open}});
}

void ElectricsLayout::Relay(int value_index, const QString& name, const QRect& rect,
                            Qt::Orientation orientation, const QString& caption,
                            const QRect& caption_rect) {
    AddSwitch(value_index, "relay_" + name + "_closed", "relay_" + name + "_open",
              PictureKind::RelayClosed, PictureKind::RelayOpen, rect, orientation);
    canvas_->Text(caption_rect, caption, Qt::AlignLeft | Qt::AlignVCenter, false, 9, kHint);
}

void ElectricsLayout::Toggle(int value_index, const QString& name, const QRect& rect,
                             Qt::Orientation orientation, const QString& caption,
                             const QRect& caption_rect) {
    AddSwitch(value_index, "sw_" + name + "_closed", "sw_" + name + "_open",
              PictureKind::SwitchClosed, PictureKind::SwitchOpen, rect, orientation);
    canvas_->Text(caption_rect, caption, Qt::AlignCenter, false, 9, kHint);
}

void ElectricsLayout::DcBuses(bool right) {
    const int side = right ? 1 : 0;
    const QString n = right ? "2" : "1";
    const QString L = right ? "RIGHT" : "LEFT";
    Source(21 + side, Side(right, QRect(20, 6, 100, 28)), L + " DC GEN");
    Toggle(46 + side, "gen" + n + "dc", Side(right, QRect(60, 38, 20, 28)), Qt::Vertical, QString(),
           {});
    Relay(25 + side, "K" + QString::number(1 + side), Side(right, QRect(58, 68, 24, 26)),
          Qt::Vertical, "K" + QString::number(1 + side), Side(right, QRect(84, 74, 24, 14)));
    Wire(right, {{70, 34}, {70, 38}});
    Wire(right, {{70, 66}, {70, 68}});
    Wire(right, {{70, 94}, {70, 98}});
    Bus(4 + side, Side(right, QRect(20, 98, 360, 20)), L + " MAIN DC BUS");

    // Main DC to the secondary and essential buses.
    Bus(6 + side, Side(right, QRect(20, 156, 160, 20)), L + " SECONDARY DC BUS");
    Bus(side, Side(right, QRect(196, 156, 150, 20)), L + " ESSENTIAL BUS");
    Relay(27 + side, "K" + QString::number(3 + side), Side(right, QRect(88, 124, 24, 28)),
          Qt::Vertical, "K" + QString::number(3 + side), Side(right, QRect(114, 131, 24, 14)));
    Relay(29 + side, "K" + QString::number(5 + side), Side(right, QRect(264, 124, 24, 28)),
          Qt::Vertical, "K" + QString::number(5 + side), Side(right, QRect(290, 131, 24, 14)));
    Wire(right, {{100, 118}, {100, 124}});
    Wire(right, {{100, 152}, {100, 156}});
    Wire(right, {{276, 118}, {276, 124}});
    Wire(right, {{276, 152}, {276, 156}});
}

void ElectricsLayout::Batteries(bool right) {
    const int side = right ? 1 : 0;
    // Battery buses: to the essential bus, to the main DC bus.
    Bus(3 - side, Side(right, QRect(222, 214, 160, 20)),
        right ? "AUX BATTERY BUS" : "MAIN BATTERY BUS");
    Relay(31 + side, "K" + QString::number(7 + side), Side(right, QRect(252, 182, 24, 28)),
          Qt::Vertical, "K" + QString::number(7 + side), Side(right, QRect(226, 189, 24, 14)));
    Wire(right, {{264, 176}, {264, 182}});
    Wire(right, {{264, 210}, {264, 214}});
    Relay(37 + side, "K" + QString::number(21 + side), Side(right, QRect(358, 178, 24, 28)),
          Qt::Vertical, "K" + QString::number(21 + side), Side(right, QRect(384, 185, 28, 14)));
    Wire(right, {{370, 118}, {370, 178}});
    Wire(right, {{370, 206}, {370, 214}});

    // Batteries with the master switch (two poles) and their own switch.
    canvas_->Polygon(QPolygon(Side(right, QRect(240, 250, 36, 22))), QColor(0xE8, 0xE8, 0xE8));
    canvas_->Line({QPoint(SideX(right, 252), 254), QPoint(SideX(right, 252), 268)});
    canvas_->Line({QPoint(SideX(right, 262), 257), QPoint(SideX(right, 262), 265)}, colours::kWire,
                  3);
    canvas_->Text(Side(right, QRect(226, 274, 64, 12)), right ? "AUX BATT" : "MAIN BATT",
                  Qt::AlignCenter, true, 9);
    AddSwitch(44, right ? "sw_bat_master_2_closed" : "sw_bat_master_closed",
              right ? "sw_bat_master_2_open" : "sw_bat_master_open", PictureKind::SwitchClosed,
              PictureKind::SwitchOpen, Side(right, QRect(288, 250, 30, 22)), Qt::Horizontal);
    canvas_->Text(Side(right, QRect(280, 274, 46, 12)), "MASTER", Qt::AlignCenter, false, 9, kHint);
    Toggle(right ? 43 : 45, right ? "bat_aux" : "bat_main", Side(right, QRect(326, 250, 30, 22)),
           Qt::Horizontal, right ? "AUX" : "MAIN", Side(right, QRect(320, 274, 42, 12)));
    Wire(right, {{276, 261}, {288, 261}});
    Wire(right, {{318, 261}, {326, 261}});
    Wire(right, {{356, 261}, {370, 261}, {370, 234}});
}

// Transformer-rectifiers: to the secondary and essential buses.
void ElectricsLayout::TransformerRectifiers(bool right) {
    const int side = right ? 1 : 0;
    const QString n = right ? "2" : "1";
    Source(14 + side, Side(right, QRect(20, 214, 80, 28)), "#" + n + " TRU");
    Relay(33 + side, "K" + QString::number(9 + side), Side(right, QRect(48, 182, 24, 27)),
          Qt::Vertical, "K" + QString::number(9 + side), Side(right, QRect(74, 189, 28, 14)));
    Wire(right, {{60, 176}, {60, 182}});
    Wire(right, {{60, 209}, {60, 214}});
    Relay(35 + side, "K" + QString::number(17 + side), Side(right, QRect(112, 216, 30, 24)),
          Qt::Horizontal, "K" + QString::number(17 + side), Side(right, QRect(146, 231, 28, 12)));
    Wire(right, {{100, 228}, {112, 228}});
    Wire(right, {{142, 228}, {206, 228}, {206, 176}});
    Wire(right, {{60, 242}, {60, 290}, {210, 290}, {210, 300}});
}

void ElectricsLayout::AcBuses(bool right) {
    const int side = right ? 1 : 0;
    const QString n = right ? "2" : "1";
    const QString L = right ? "RIGHT" : "LEFT";
    Source(23 + side, Side(right, QRect(20, 296, 100, 28)), L + " AC GEN");
    Toggle(48 + side, "gen" + n + "ac", Side(right, QRect(126, 299, 30, 22)), Qt::Horizontal,
           QString(), {});
    AddSwitch(right ? 39 : 40, right ? "relay_acgen2_closed" : "relay_acgen1_closed",
              right ? "relay_acgen2_open" : "relay_acgen1_open", PictureKind::RelayClosed,
              PictureKind::RelayOpen, Side(right, QRect(162, 298, 30, 24)), Qt::Horizontal);
    Wire(right, {{120, 310}, {126, 310}});
    Wire(right, {{156, 310}, {162, 310}});
    Wire(right, {{192, 310}, {200, 310}});
    Bus(12 + side, Side(right, QRect(200, 300, 180, 20)), L + " VARIABLE AC BUS");

    // External AC to both variable AC buses.
    AddSwitch(42, right ? "relay_varAC_ext_pwr2_closed" : "relay_varAC_ext_pwr1_closed",
              right ? "relay_varAC_ext_pwr2_open" : "relay_varAC_ext_pwr1_open",
              PictureKind::RelayClosed, PictureKind::RelayOpen,
              Side(right, QRect(326, 326, 24, 26)), Qt::Vertical);
    Wire(right, {{338, 320}, {338, 326}});
    Wire(right, {{338, 352}, {338, 368}, {kCentre, 368}});
}

void ElectricsLayout::Inverters(bool right) {
    const int side = right ? 1 : 0;
    const QString n = right ? "2" : "1";
    const QString L = right ? "RIGHT" : "LEFT";
    Source(18 + side, Side(right, QRect(30, 378, 90, 26)), right ? "SEC INV" : "PRI INV");
    Toggle(50 + side, right ? "sec_inv" : "pri_inv", Side(right, QRect(65, 408, 20, 28)),
           Qt::Vertical, QString(), {});
    Wire(right, {{75, 404}, {75, 408}});
    Wire(right, {{75, 436}, {75, 440}});
    Bus(8 + side, Side(right, QRect(20, 440, 360, 20)), L + " AVIONICS 115V AC BUS");
    Source(16 + side, Side(right, QRect(140, 466, 70, 24)), "#" + n + " XFMR");
    Wire(right, {{175, 460}, {175, 466}});
    Wire(right, {{175, 490}, {175, 496}});
    Bus(10 + side, Side(right, QRect(20, 496, 360, 20)), L + " AVIONICS 26V AC BUS");
    Wire(right, {{414, 426}, {380, 426}, {380, 440}});
}

// The buses of the left half end at x 380 (main and variable AC) and 382
// (battery); the right half mirrors them.
void ElectricsLayout::CentreTies() {
    const int c = kShift;
    const int main_right = kPageWidth - 380;
    const int battery_right = kPageWidth - 382;
    canvas_->Text(QRect(372 + c, 4, 101, 14), "EXT DC", Qt::AlignCenter, true, 10);
    canvas_->Polygon(QPolygon(QRect(410 + c, 20, 24, 10)), QColor(0xE8, 0xE8, 0xE8));
    Toggle(54, "EXT_DC", QRect(412 + c, 36, 20, 28), Qt::Vertical, QString(), {});
    canvas_->Line({{422 + c, 30}, {422 + c, 36}});
    canvas_->Line({{422 + c, 64}, {422 + c, 80}, {500 + c, 80}, {500 + c, 98}});
    Toggle(53, "main_bus_tie", QRect(398 + c, 97, 48, 22), Qt::Horizontal, "BUS TIE",
           QRect(382 + c, 120, 81, 12));
    canvas_->Line({{380, 108}, {398 + c, 108}});
    canvas_->Line({{446 + c, 108}, {main_right, 108}});

    auto* cb_closed = new Picture(page_, "cb_F5_closed", 125, PictureKind::BreakerClosed,
                                  QRect(404 + c, 214, 37, 20));
    auto* cb_open = new Picture(page_, "cb_F5_open", 125, PictureKind::BreakerOpen,
                                QRect(404 + c, 214, 37, 20));
    for (Picture* picture : {cb_closed, cb_open}) {
        QObject::connect(picture, &Picture::mouseDown, &form_, &Tform1::ElectricsShapeMouseDown);
        picture->setToolTip("CB F5");
    }
    form_.electric_switches.push_back({56, {cb_closed}, {cb_open}});
    canvas_->Text(QRect(382 + c, 236, 81, 12), "CB F5", Qt::AlignCenter, false, 9, kHint);
    canvas_->Line({{382, 224}, {404 + c, 224}});
    canvas_->Line({{441 + c, 224}, {battery_right, 224}});

    AddSwitch(41, "relay_varAC_Xfeed_closed", "relay_varAC_Xfeed_open", PictureKind::RelayClosed,
              PictureKind::RelayOpen, QRect(404 + c, 298, 37, 24), Qt::Horizontal);
    canvas_->Text(QRect(382 + c, 322, 81, 12), "X-FEED", Qt::AlignCenter, false, 9, kHint);
    canvas_->Line({{380, 310}, {404 + c, 310}});
    canvas_->Line({{441 + c, 310}, {main_right, 310}});
}

void ElectricsLayout::CentreAc() {
    const int c = kShift;
    canvas_->Text(QRect(382 + c, 334, 81, 12), "EXT AC", Qt::AlignCenter, true, 10);
    Toggle(55, "ext_ac", QRect(412 + c, 346, 20, 20), Qt::Vertical, QString(), {});
    canvas_->Line({{422 + c, 366}, {422 + c, 368}});

    Source(20, QRect(377 + c, 378, 91, 26), "AUX INV");
    canvas_->Line({{422 + c, 404}, {422 + c, 408}});
    form_.sw_aux_inv_c = new Picture(page_, "sw_aux_inv_c", 0, PictureKind::SelectorCentre,
                                     QRect(397 + c, 406, 51, 34));
    form_.sw_aux_inv_r = new Picture(page_, "sw_aux_inv_r", 0, PictureKind::SelectorRight,
                                     QRect(397 + c, 406, 51, 34));
    form_.sw_aux_inv_l = new Picture(page_, "sw_aux_inv_l", 0, PictureKind::SelectorLeft,
                                     QRect(397 + c, 406, 51, 34));

    Legend(
        canvas_, 388 + c, 466,
        {{colours::kFailed, "failed"}, {colours::kAvailable, "powered"}, {colours::kIdle, "off"}},
        17);
}

}  // namespace

void Tform1::BuildElectricsPage() {
    ElectricsLayout layout(*this);
    for (const bool right : {false, true}) {
        layout.DcBuses(right);
        layout.Batteries(right);
        layout.TransformerRectifiers(right);
        layout.AcBuses(right);
        layout.Inverters(right);
    }
    layout.CentreTies();
    layout.CentreAc();
}

// ---------------------------------------------------------------------------

namespace {

// The Propellers page, one section at a time; the sections taking `right`
// draw one engine, the right-hand one mirroring the left.
class PowerplantsLayout {
  public:
    explicit PowerplantsLayout(Tform1& form)
        : form_(form), page_(form.Powerplants), canvas_(MakeCanvas(page_)) {}

    // The frame, the engine, its control unit and torque sensing.
    void Engine(bool right);
    // Engine oil and standby oil reservoirs with their levels.
    void OilReservoirs(bool right);
    void PumpsAndValves(bool right);
    // The pitch-change unit: two pistons that follow the blade angle.
    void PitchChangeUnit(bool right);
    // Oil and signal lines, lit while they carry pressure.
    void OilLines(bool right);
    // Between the engines: the synchrophaser between the governors and the
    // autofeather.
    void Shared();
    void FailureControls();
    void ColourKey();

  private:
    void Component(int index, ShapeKind kind, const QRect& rect, const QString& caption);
    void Line(int index, const QRect& rect);

    Tform1& form_;
    QWidget* page_;
    SchematicCanvas* canvas_;
};

void PowerplantsLayout::Component(int index, ShapeKind kind, const QRect& rect,
                                  const QString& caption) {
    auto* shape = new TagShape(page_, QString("PowerplantShape%1").arg(200 + index), 200 + index,
                               kind, rect, caption);
    QObject::connect(shape, &TagShape::mouseDown, &form_, &Tform1::PowerplantShapeMouseDown);
}

void PowerplantsLayout::Line(int index, const QRect& rect) {
    new TagShape(page_, QString("PowerplantLine%1_%2").arg(200 + index).arg(rect.x()), 200 + index,
                 ShapeKind::Rectangle, rect);
}

void PowerplantsLayout::Engine(bool right) {
    const QString n = right ? "2" : "1";
    canvas_->Frame(Side(right, QRect(8, 6, 360, 322)),
                   right ? "ENGINE 2 / PROPELLER 2" : "ENGINE 1 / PROPELLER 1");

    Component(right ? 18 : 7, ShapeKind::RoundRect, Side(right, QRect(24, 34, 120, 46)), QString());
    ClickLabel* engine_label =
        new ClickLabel(page_, right ? "Label108" : "Label107", right ? 218 : 207, "ENGINE #" + n,
                       Side(right, QRect(48, 49, 72, 16)));
    engine_label->setAlignment(Qt::AlignCenter);
    QFont font = engine_label->font();
    font.setPixelSize(11);
    font.setBold(true);
    engine_label->setFont(font);
    QObject::connect(engine_label, &ClickLabel::mouseDown, &form_,
                     &Tform1::ElectricsShapeMouseDown);
    (right ? form_.Label108 : form_.Label107) = engine_label;
    Component(right ? 19 : 8, ShapeKind::RoundRect, Side(right, QRect(160, 34, 64, 20)),
              "ECU " + n);
    Component(right ? 20 : 10, ShapeKind::RoundRect, Side(right, QRect(160, 60, 64, 20)),
              "TRQ " + n);
}

void PowerplantsLayout::OilReservoirs(bool right) {
    const QString n = right ? "2" : "1";
    auto* engine_oil = new QWidget(page_);
    engine_oil->setGeometry(Side(right, QRect(24, 96, 50, 50)));
    engine_oil->setAttribute(Qt::WA_TransparentForMouseEvents);
    auto* engine_oil_canvas = new SchematicCanvas(engine_oil);
    engine_oil_canvas->setGeometry(0, 0, 50, 50);
    engine_oil_canvas->Polygon(QPolygon(QRect(7, 7, 36, 35)), Qt::white);
    TagShape* engine_level = new TagShape(engine_oil, "EngineOilReservour" + n, 0,
                                          ShapeKind::Rectangle, QRect(8, 40, 34, 0));
    engine_level->SetBrushColour(colours::kOil);
    canvas_->Text(Side(right, QRect(12, 146, 74, 12)), "ENGINE OIL", Qt::AlignCenter, true, 9);
    QPushButton* refill = MakeButton(page_, "EngineOilReservour" + n + "_reset_button", "Refill",
                                     Side(right, QRect(18, 162, 62, 22)));

    auto* standby_oil = new QWidget(page_);
    standby_oil->setGeometry(Side(right, QRect(24, 202, 50, 52)));
    standby_oil->setAttribute(Qt::WA_TransparentForMouseEvents);
    auto* standby_oil_canvas = new SchematicCanvas(standby_oil);
    standby_oil_canvas->setGeometry(0, 0, 50, 52);
    standby_oil_canvas->Polygon(QPolygon(QRect(7, 5, 36, 41)), Qt::white);
    TagShape* standby_level =
        new TagShape(standby_oil, right ? "RightStandbyOilReservour" : "LeftStandbyOilReservour", 0,
                     ShapeKind::Rectangle, QRect(8, 44, 34, 0));
    standby_level->SetBrushColour(colours::kOil);
    canvas_->Text(Side(right, QRect(12, 256, 74, 12)), "STBY OIL", Qt::AlignCenter, true, 9);

    if (right) {
        form_.EngineOilReservour2 = engine_level;
        form_.RightStandbyOilReservour = standby_level;
        form_.EngineOilReservour2_reset_button = refill;
    } else {
        form_.EngineOilReservour1 = engine_level;
        form_.LeftStandbyOilReservour = standby_level;
        form_.EngineOilReservour1_reset_button = refill;
    }
}

void PowerplantsLayout::PumpsAndValves(bool right) {
    const int e = right ? 1 : 0;
    Component(1 + 12 * e, ShapeKind::Ellipse, Side(right, QRect(100, 110, 76, 28)), "PCU PUMP");
    Component(0 + 12 * e, ShapeKind::Ellipse, Side(right, QRect(100, 220, 76, 28)), "STBY PUMP");
    Component(2 + 12 * e, ShapeKind::Rectangle, Side(right, QRect(198, 110, 76, 26)), "GOVERNOR");
    Component(3 + 12 * e, ShapeKind::Rectangle, Side(right, QRect(198, 148, 76, 26)), "OSGV");
    Component(4 + 12 * e, ShapeKind::Rectangle, Side(right, QRect(198, 186, 76, 26)), "MFV");
    Component(5 + 12 * e, ShapeKind::Rectangle, Side(right, QRect(198, 222, 76, 26)), "AFV");
}

// Both units face the same way (the pistons move left as the blade angle
// grows); the right-hand one sits inboard of its valves.
void PowerplantsLayout::PitchChangeUnit(bool right) {
    const QString n = right ? "2" : "1";
    auto* pcu = new QWidget(page_);
    pcu->setGeometry(right ? QRect(450, 24, 146, 64) : QRect(220, 24, 146, 64));
    pcu->setAttribute(Qt::WA_TransparentForMouseEvents);
    auto* pcu_canvas = new SchematicCanvas(pcu);
    pcu_canvas->setGeometry(0, 0, 146, 64);
    pcu_canvas->Polygon(QPolygon(QRect(88, 22, 53, 24)), Qt::white);
    pcu_canvas->Line({{72, 34}, {86, 34}}, colours::kWire, 3);
    pcu_canvas->Polygon(QPolygon({QPoint(60, 6), QPoint(72, 26), QPoint(72, 42), QPoint(60, 62),
                                  QPoint(54, 58), QPoint(64, 34), QPoint(54, 10)}),
                        QColor(0xC8, 0xC8, 0xC8));
    pcu_canvas->Text(QRect(86, 6, 56, 14), "PCU " + n, Qt::AlignCenter, true, 9);
    TagShape* act_1 =
        new TagShape(pcu, "PCU" + n + "_act_1", 0, ShapeKind::Rectangle, QRect(119, 24, 6, 20));
    TagShape* act_2 =
        new TagShape(pcu, "PCU" + n + "_act_2", 0, ShapeKind::Rectangle, QRect(129, 30, 10, 8));
    act_1->SetBrushColour(QColor(0x50, 0x50, 0x50));
    act_2->SetBrushColour(QColor(0x90, 0x90, 0x90));
    (right ? form_.PCU2_act_1 : form_.PCU1_act_1) = act_1;
    (right ? form_.PCU2_act_2 : form_.PCU1_act_2) = act_2;
}

void PowerplantsLayout::OilLines(bool right) {
    // Values 27 and 38 are also the governors' own values (2 and 14): they
    // light the line out of the governor.
    const int base = right ? 38 : 27;
    Line(base + 0, Side(right, QRect(233, 136, 6, 12)));  // governor to OSGV
    Line(base + 1, Side(right, QRect(74, 231, 26, 6)));   // standby oil to standby pump
    Line(base + 2, Side(right, QRect(176, 121, 22, 6)));  // PCU pump to governor
    Line(base + 3, Side(right, QRect(74, 121, 26, 6)));   // engine oil to PCU pump
    Line(base + 4, Side(right, QRect(233, 174, 6, 12)));  // OSGV to MFV
    Line(base + 5, Side(right, QRect(176, 231, 22, 6)));  // standby pump to AFV
    const int more = right ? 23 : 33;
    Line(more + 0, Side(right, QRect(233, 212, 6, 10)));  // AFV to MFV
    Line(more + 1, Side(right, QRect(274, 195, 36, 6)));  // MFV to the PCU
    Line(more + 2, Side(right, QRect(304, 70, 6, 125)));
    Line(right ? 26 : 36, Side(right, QRect(144, 54, 16, 4)));  // engine to ECU
    Line(right ? 44 : 37, Side(right, QRect(136, 80, 4, 30)));  // engine drive to PCU pump
}

void PowerplantsLayout::Shared() {
    Line(45, QRect(368, 121, kPageWidth - 2 * 368, 6));
    canvas_->Line({{274, 124}, {368, 124}}, QColor(0xB0, 0xB0, 0xB0), 1);
    canvas_->Line({{kPageWidth - 274, 124}, {kPageWidth - 368, 124}}, QColor(0xB0, 0xB0, 0xB0), 1);
    Component(9, ShapeKind::RoundRect, QRect(kCentre - 44, 104, 89, 40), "SYNCHRO-\nPHASER");
    Component(21, ShapeKind::RoundRect, QRect(kCentre - 44, 212, 89, 40), "AUTO-\nFEATHER");
}

void PowerplantsLayout::FailureControls() {
    canvas_->Frame(QRect(8, 336, 560, 188), "FAILURE OF THE SELECTED COMPONENT");
    canvas_->Text(QRect(24, 356, 150, 14), "Valves and pumps", Qt::AlignLeft | Qt::AlignVCenter,
                  true, 10, kHint);
    canvas_->Text(QRect(200, 356, 150, 14), "Engine", Qt::AlignLeft | Qt::AlignVCenter, true, 10,
                  kHint);
    canvas_->Text(QRect(392, 356, 150, 14), "Autofeather", Qt::AlignLeft | Qt::AlignVCenter, true,
                  10, kHint);
    Tform1& f = form_;
    f.Powerplants_failure_nofailure =
        MakeRadio(page_, "Powerplants_failure_nofailure", "No failure", 0, QRect(24, 376, 160, 22));
    f.Powerplants_failure_inoperative = MakeRadio(page_, "Powerplants_failure_inoperative",
                                                  "Inoperative", 1, QRect(24, 402, 160, 22));
    f.Powerplants_failure_opened =
        MakeRadio(page_, "Powerplants_failure_opened", "Failed opened", 2, QRect(24, 428, 160, 22));
    f.Powerplants_failure_closed =
        MakeRadio(page_, "Powerplants_failure_closed", "Failed closed", 4, QRect(24, 454, 160, 22));
    f.Powerplants_failure_fire =
        MakeCheck(page_, "Powerplants_failure_fire", "Fire", 8, QRect(200, 376, 170, 22));
    f.Powerplants_failure_HangStart = MakeCheck(page_, "Powerplants_failure_HangStart",
                                                "Hang start", 16, QRect(200, 402, 170, 22));
    f.Powerplants_failure_HotStart =
        MakeCheck(page_, "Powerplants_failure_HotStart", "Hot start", 32, QRect(200, 428, 170, 22));
    f.Powerplants_failure_OilLeak =
        MakeCheck(page_, "Powerplants_failure_OilLeak", "Oil leak", 64, QRect(200, 454, 170, 22));
    f.Powerplants_failure_CutOut =
        MakeCheck(page_, "Powerplants_failure_CutOut", "No cut off", 128, QRect(200, 480, 170, 22));
    f.Powerplant_AF_SelectFail =
        MakeCheck(page_, "Powerplant_AF_SelectFail", "SELECT fail", 256, QRect(392, 376, 160, 22));
    f.Powerplant_AF_ARMFail =
        MakeCheck(page_, "Powerplant_AF_ARMFail", "ARM fail", 512, QRect(392, 402, 160, 22));
    std::vector<QAbstractButton*> failure_controls = {f.Powerplants_failure_nofailure};
    for (QWidget* control : f.PowerplantFailureControls()) {
        failure_controls.push_back(qobject_cast<QAbstractButton*>(control));
    }
    Tform1* form = &form_;
    for (QAbstractButton* control : failure_controls) {
        QObject::connect(control, &QAbstractButton::clicked, form, [form, control] {
            form->Powerplants_failure_nofailureMouseDown(control);
        });
    }
    QObject::connect(f.EngineOilReservour1_reset_button, &QPushButton::clicked, form,
                     [form] { form->EngineOilReservour1_reset_buttonClick(); });
    QObject::connect(f.EngineOilReservour2_reset_button, &QPushButton::clicked, form,
                     [form] { form->EngineOilReservour2_reset_buttonClick(); });
}

void PowerplantsLayout::ColourKey() {
    canvas_->Frame(QRect(576, 336, 267, 188), "COLOURS");
    Legend(canvas_, 592, 362,
           {{colours::kFailed, "failed"},
            {colours::kAvailable, "operating / pressure"},
            {colours::kIdle, "engine stopped"},
            {colours::kButtonFace, "idle"},
            {colours::kSelected, "selected"}},
           22);
}

}  // namespace

void Tform1::BuildPowerplantsPage() {
    PowerplantsLayout layout(*this);
    for (const bool right : {false, true}) {
        layout.Engine(right);
        layout.OilReservoirs(right);
        layout.PumpsAndValves(right);
        layout.PitchChangeUnit(right);
        layout.OilLines(right);
    }
    layout.Shared();
    layout.FailureControls();
    layout.ColourKey();
}

// ---------------------------------------------------------------------------

void Tform1::BuildFlightSurfacesPage() {
    QWidget* page = TabSheet1;
    Panel4 = new QFrame(page);
    Panel4->setObjectName("Panel4");
    Panel4->setGeometry(8, 6, 640, 518);
    Panel4->setFrameShape(QFrame::StyledPanel);
    auto* canvas = new SchematicCanvas(Panel4);
    canvas->setGeometry(0, 0, 640, 518);

    // The airframe seen from above, nose up; the rudder from the side.
    const QColor skin(0xDC, 0xDC, 0xDC);
    const int cx = 290;
    canvas->Polygon(
        QPolygon({QPoint(cx - 24, 150), QPoint(30, 160), QPoint(30, 200), QPoint(cx - 24, 200)}),
        skin);
    canvas->Polygon(QPolygon({QPoint(cx + 24, 150), QPoint(2 * cx - 30, 160),
                              QPoint(2 * cx - 30, 200), QPoint(cx + 24, 200)}),
                    skin);
    canvas->Polygon(QPolygon({QPoint(cx - 8, 416), QPoint(cx - 128, 434), QPoint(cx - 128, 452),
                              QPoint(cx + 128, 452), QPoint(cx + 128, 434), QPoint(cx + 8, 416)}),
                    skin);
    for (const int x : {cx - 150, cx + 150}) {
        canvas->Ellipse(QRect(x - 14, 110, 28, 110), QColor(0xC4, 0xC4, 0xC4));
        canvas->Line({{x - 46, 112}, {x + 46, 112}}, colours::kWire, 3);
    }
    Shape80 = new TagShape(Panel4, "Shape80", 102, ShapeKind::Capsule, QRect(cx - 24, 20, 48, 470));
    Shape80->SetBrushColour(skin);
    canvas->Text(QRect(cx - 60, 2, 120, 14), "NOSE", Qt::AlignCenter, false, 9, kHint);

    // Surface pictures: four of each (gray, green, red, white), one shown.
    auto surface = [this](const QString& base, const QString& red_name, const QString& white_name,
                          int tag, const QRect& rect, const QPolygonF& outline) {
        const std::pair<QString, QColor> variants[] = {
            {base + "Gray", kSurfaceIdle},
            {base + "Green", colours::kAvailable},
            {red_name, colours::kFailed},
            {white_name, colours::kSelected},
        };
        for (const auto& [name, fill] : variants) {
            auto* picture = new Picture(Panel4, name, tag, PictureKind::Surface, rect);
            picture->SetOutline(outline, fill);
            picture->setVisible(fill != colours::kAvailable && fill != colours::kFailed &&
                                fill != colours::kSelected);
            connect(picture, &Picture::mouseDown, this, &Tform1::flightsurfaceshapeMouseDown);
        }
    };
    auto trailing = [](int w, int h, bool taper_left, bool taper_right) {
        return QPolygonF({QPointF(0.5, 0.5), QPointF(w - 0.5, 0.5),
                          QPointF(w - (taper_right ? 6.0 : 0.5), h - 0.5),
                          QPointF(taper_left ? 6.0 : 0.5, h - 0.5)});
    };
    surface("Elevator1", "Elevator1Red", "Elevator1White", 1, QRect(cx - 126, 452, 100, 18),
            trailing(100, 18, true, false));
    surface("Elevator2", "Elevator2Red", "Elevator2White", 2, QRect(cx + 26, 452, 100, 18),
            trailing(100, 18, false, true));
    surface("LeftFlap", "LeftFlapRed", "LeftFlapWhite", 4, QRect(130, 200, 134, 18),
            trailing(134, 18, false, false));
    surface("RightFlap", "RightFlapRed", "RightFlapWhite", 5, QRect(2 * cx - 264, 200, 134, 18),
            trailing(134, 18, false, false));
    surface("Aileron1", "Aileron1Red", "Aileron1White", 6, QRect(34, 200, 90, 18),
            trailing(90, 18, true, false));
    surface("Aileron2", "Aileron2Red", "Aileron2White", 7, QRect(2 * cx - 124, 200, 90, 18),
            trailing(90, 18, false, true));

    // Rudder, side view of the fin.
    const QRect fin(470, 330, 150, 150);
    canvas->Frame(QRect(466, 300, 166, 210), "RUDDER (side)");
    canvas->Polygon(
        QPolygon({QPoint(fin.x() + 10, fin.bottom()), QPoint(fin.x() + 70, fin.y() + 6),
                  QPoint(fin.x() + 100, fin.y() + 6), QPoint(fin.x() + 100, fin.bottom())}),
        skin);
    surface("Rudder", "rudderred", "rudderwhite", 3, QRect(fin.x() + 100, fin.y() + 6, 34, 144),
            QPolygonF(
                {QPointF(0.5, 0.5), QPointF(18, 0.5), QPointF(33.5, 143.5), QPointF(0.5, 143.5)}));

    // Spoilers on the wings' upper surface.
    auto spoiler = [this](const char* name, int tag, const QRect& rect) {
        auto* shape = new TagShape(Panel4, name, tag, ShapeKind::Rectangle, rect);
        connect(shape, &TagShape::mouseDown, this, &Tform1::flightsurfaceshapeMouseDown);
    };
    spoiler("lcspoiler1_outboard", 8, QRect(160, 178, 48, 12));
    spoiler("lcspoiler2_outboard", 9, QRect(2 * cx - 208, 178, 48, 12));
    spoiler("lcspoiler1_inboard", 10, QRect(214, 178, 48, 12));
    spoiler("lcspoiler2_inboard", 11, QRect(2 * cx - 262, 178, 48, 12));

    // Captions.
    auto caption = [canvas](const QRect& rect, const QString& text) {
        canvas->Text(rect, text, Qt::AlignCenter, false, 10, kHint);
    };
    caption(QRect(34, 220, 90, 14), "AILERON 1");
    caption(QRect(2 * cx - 124, 220, 90, 14), "AILERON 2");
    caption(QRect(130, 220, 134, 14), "LEFT FLAP");
    caption(QRect(2 * cx - 264, 220, 134, 14), "RIGHT FLAP");
    for (const int x : {160, 2 * cx - 208}) caption(QRect(x, 164, 48, 14), "OUTBD");
    for (const int x : {214, 2 * cx - 262}) caption(QRect(x, 164, 48, 14), "INBD");
    caption(QRect(160, 128, 102, 14), "SPOILERS");
    caption(QRect(2 * cx - 262, 128, 102, 14), "SPOILERS");
    caption(QRect(cx - 126, 472, 100, 14), "ELEVATOR 1");
    caption(QRect(cx + 26, 472, 100, 14), "ELEVATOR 2");

    // Failure controls.
    auto* controls = new SchematicCanvas(page);
    controls->setGeometry(0, 0, kPageWidth + 20, kPageHeight + 20);
    controls->lower();
    controls->Frame(QRect(656, 6, 187, 270), "SURFACE FAILURE");
    controls->Text(QRect(668, 26, 160, 28), "Select a surface, then\nchoose one failure.",
                   Qt::AlignLeft | Qt::AlignVCenter, false, 10, kHint);
    const char* names[] = {"No failure",    "Inoperative",  "Fully deflect L", "Fully deflect R",
                           "Free floating", "Trim failure", "Jammed",          "Disagree"};
    QRadioButton** buttons[] = {&RadioButton1, &RadioButton2, &RadioButton3, &RadioButton4,
                                &RadioButton5, &RadioButton6, &RadioButton7, &RadioButton8};
    for (int k = 0; k < 8; ++k) {
        QRadioButton* button =
            MakeRadio(page, QString("RadioButton%1").arg(k + 1), names[k],
                      k == 0 ? 0 : 1 << (k - 1), QRect(672, 60 + 26 * k, 160, 22));
        *buttons[k] = button;
        connect(button, &QRadioButton::clicked, this,
                [this, button] { flightsurfaces_checkboxMouseDown(button); });
    }
    controls->Frame(QRect(656, 286, 187, 120), "COLOURS");
    Legend(controls, 672, 310,
           {{colours::kFailed, "failed"},
            {colours::kAvailable, "available"},
            {kSurfaceIdle, "not available"},
            {colours::kSelected, "selected"}},
           22);
}

// ---------------------------------------------------------------------------

void Tform1::BuildAvionicsPage() {
    QWidget* page = Avionics;
    SchematicCanvas* canvas = MakeCanvas(page);
    canvas->Frame(QRect(kCentre - 210, 120, 420, 150));
    Label163 = new ClickLabel(page, "Label163", 102, "HEAD-UP GUIDANCE SYSTEM",
                              QRect(kCentre - 198, 128, 396, 20));
    QFont title = Label163->font();
    title.setPixelSize(12);
    title.setBold(true);
    Label163->setFont(title);
    connect(Label163, &ClickLabel::mouseDown, this, &Tform1::AvionicsShapeMouseDown);

    HGSApproachStatusShape = new TagShape(page, "HGSApproachStatusShape", 0, ShapeKind::RoundRect,
                                          QRect(kCentre - 190, 170, 60, 36));
    connect(HGSApproachStatusShape, &TagShape::mouseDown, this, &Tform1::AvionicsShapeMouseDown);
    Label131 = new ClickLabel(page, "Label131", 0, "HGS APPROACH STATUS",
                              QRect(kCentre - 118, 170, 300, 36));
    Label131->setFont(title);
    connect(Label131, &ClickLabel::mouseDown, this, &Tform1::AvionicsShapeMouseDown);
    canvas->Text(
        QRect(kCentre - 190, 218, 390, 40),
        "Click the lamp or its name to fail the approach status,\nclick again to restore it.",
        Qt::AlignLeft | Qt::AlignVCenter, false, 11, kHint);

    canvas->Frame(QRect(kCentre - 210, 280, 420, 90), "COLOURS");
    Legend(canvas, kCentre - 194, 304,
           {{colours::kFailed, "failed"},
            {colours::kAvailable, "available"},
            {colours::kIdle, "not available"}},
           20);
}

}  // namespace rizezo
