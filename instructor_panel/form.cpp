#include "form.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QSlider>
#include <QTabWidget>
#include <QTimer>

#include "presentation.h"
#include "widgets.h"

namespace rizezo {

namespace {

void SetChecked(QAbstractButton* button, bool checked) {
    if (button != nullptr && button->isChecked() != checked) button->setChecked(checked);
}

void SetEnabled(QWidget* widget, bool enabled) {
    if (widget != nullptr && widget->isEnabled() != enabled) widget->setEnabled(enabled);
}

// Checks exactly the radio buttons whose condition holds; with none, all are
// cleared (radio buttons of one parent cannot be cleared one by one).
void SetRadios(const std::vector<std::pair<QRadioButton*, bool>>& radios) {
    bool any = false;
    for (const auto& [button, checked] : radios) any = any || checked;
    for (const auto& [button, checked] : radios) {
        if (button == nullptr) continue;
        if (!any) {
            button->setAutoExclusive(false);
            SetChecked(button, false);
            button->setAutoExclusive(true);
        } else if (checked) {
            SetChecked(button, true);
        }
    }
}

// Flips an electrics or avionics element between working and failed and
// sends the new state; false for an index the group does not hold.
bool ToggleElement(NetLogic& net, int group_id, int index) {
    GroupArrays group = net.Arrays().ForGroup(group_id);
    if (!group.HasState(index)) return false;
    int32_t& state = group.states[index];
    state = state == zu::kElementNormal ? zu::kElementFailed : zu::kElementNormal;
    net.SendCommand(group_id, index, state);
    return true;
}

}  // namespace

Tform1::Tform1(QWidget* parent)
    : QWidget(parent),
      link_([this](LinkClient::Event event) {
          // Session worker thread: hand the event to the window thread.
          QMetaObject::invokeMethod(
              this, [this, event = std::move(event)] { ReceiveCallback(event); },
              Qt::QueuedConnection);
      }),
      net_(&link_) {
    setObjectName("Tform1");
    BuildForm();
    FormCreate();
}

Tform1::~Tform1() {
    FormDestroy();
}

int Tform1::ActivePage() const {
    return PageControl1 != nullptr ? PageControl1->currentIndex() : kPageGeneral;
}

void Tform1::FormCreate() {
    Label132->setText("PILOT");
    PageControl1->setFocus();
    DisableFailureControls();
    ShowAll(*this);
    DataRequestingTimer->start();
}

void Tform1::FormDestroy() {
    if (destroyed_) return;
    destroyed_ = true;
    if (DataRequestingTimer != nullptr) DataRequestingTimer->stop();
    Disconnect();
}

void Tform1::closeEvent(QCloseEvent* event) {
    if (DataRequestingTimer != nullptr) DataRequestingTimer->stop();
    Disconnect();
    net_.SetConnected(false);
    event->accept();
}

void Tform1::ShowMessage(const QString& text) {
    if (message_sink_) {
        message_sink_(text);
    } else {
        QMessageBox::information(this, QApplication::applicationName(), text);
    }
}

// ---------------------------------------------------------------------------
// Link

int32_t Tform1::ConnectToHost() {
    return link_.ConnectToHost(host_.toStdString(), port_);
}

void Tform1::Disconnect() {
    link_.Disconnect();
}

void Tform1::PollTick(int page) {
    net_.PollTick(page);
    ShowAll(*this);
}

void Tform1::ReceiveCallback(const LinkClient::Event& event) {
    if (event.connection != link_.Connection()) return;  // from a connection since closed
    if (event.kind == LinkClient::EventKind::Disconnected) {
        net_.SetConnected(false);  // the next timer tick shows it
        emit connectionEnded(static_cast<int>(event.end));
        return;
    }
    const bool reply = net_.ReceivePayload(event.payload.data(), event.payload.size());
    if (event.payload.size() < 4) return;  // no message
    ShowAll(*this);
    if (reply) emit messageHandled();
}

QString ConnectionEndText(int end) {
    switch (static_cast<zu::platform::SessionEnd>(end)) {
        case zu::platform::SessionEnd::ClosedMidFrame:
            return "the host closed the connection in the middle of a message";
        case zu::platform::SessionEnd::BadFrame:
            return "the host sent a bad frame (a length of 0 or above 8192 bytes)";
        default:
            return "the host closed the connection";
    }
}

void Tform1::Connect_ButtonClick() {
    if (Connect_Button->text() == kConnectCaption) {
        host_ = IPEdit->text();
        setWindowTitle(kCaptionConnecting);
        repaint();
        const int32_t result = ConnectToHost();
        if (result < 0) {
            Disconnect();
            ShowMessage(kConnectFailedText);
            return;
        }
        setWindowTitle(kCaptionConnected);
        net_.SetConnected(true);
        Connect_Button->setText(kDisconnectCaption);
        PollTick(ActivePage());
    } else {
        setWindowTitle(kCaptionDisconnecting);
        repaint();
        Disconnect();
        Connect_Button->setText(kConnectCaption);
        net_.SetConnected(false);
    }
}

void Tform1::DataRequestingTimerTimer() {
    PollTick(ActivePage());
    setWindowTitle(net_.Connected() ? kCaptionConnected : kCaptionNotConnected);
    if (!net_.Connected()) Connect_Button->setText(kConnectCaption);
}

void Tform1::PageControl1Change(int) {
    DataRequestingTimerTimer();
    // Nothing stays selected, and the failure controls of the page just left
    // no longer act on its last component.
    selected_index_ = -1;
    selected_ = false;
    DisableFailureControls();
    ShowAll(*this);
}

// ---------------------------------------------------------------------------
// Failure controls

std::vector<QCheckBox*> Tform1::HydraulicFailureControls() const {
    return {Checkbox_Hydraulic_Leak, Checkbox_Hydraulic_inop, Checkbox_Hydraulic_hot};
}

std::vector<QWidget*> Tform1::PowerplantFailureControls() const {
    return {Powerplants_failure_inoperative, Powerplants_failure_opened,
            Powerplants_failure_closed,      Powerplants_failure_fire,
            Powerplants_failure_HangStart,   Powerplants_failure_HotStart,
            Powerplants_failure_OilLeak,     Powerplants_failure_CutOut,
            Powerplant_AF_SelectFail,        Powerplant_AF_ARMFail};
}

std::vector<QRadioButton*> Tform1::SurfaceFailureControls() const {
    return {RadioButton2, RadioButton3, RadioButton4, RadioButton5,
            RadioButton6, RadioButton7, RadioButton8};
}

void Tform1::DisableFailureControls() {
    for (QCheckBox* box : HydraulicFailureControls()) SetEnabled(box, false);
    for (QWidget* control : PowerplantFailureControls()) SetEnabled(control, false);
    SetEnabled(Powerplants_failure_nofailure, false);
    for (QRadioButton* button : SurfaceFailureControls()) SetEnabled(button, false);
}

void Tform1::SendRefill(int group, int index, int32_t& token) {
    const int32_t current = token;
    while (token == current)
        token = static_cast<int32_t>(QRandomGenerator::global()->bounded(31000));
    net_.SendCommand(group, index, token);
}

void Tform1::ToggleSelection(int index) {
    if (selected_ && selected_index_ == index) {
        selected_index_ = -1;
        selected_ = false;
    } else {
        selected_index_ = index;
        selected_ = true;
    }
}

// ---------------------------------------------------------------------------
// Hydraulics

void Tform1::HydraulicsObjectMouseDown(QObject* sender) {
    GroupArrays group = Arrays().ForGroup(kGroupHydraulics);
    const int index = Tag(sender) - 1;
    if (!group.HasState(index)) return;
    if (selected_ && selected_index_ == index) {
        selected_ = false;
        selected_index_ = 0;
        for (QCheckBox* box : HydraulicFailureControls()) SetEnabled(box, false);
    } else {
        selected_index_ = index;
        selected_ = true;
        if (ActivePage() == kPageHydraulics) {
            const int state = group.State(index);
            const std::vector<QCheckBox*> boxes = HydraulicFailureControls();
            for (int column = 0; column < kHydraulicFailureCount; ++column) {
                QCheckBox* box = boxes[column];
                SetEnabled(box, HydraulicFailureAvailable(index, HydraulicFailure(column)));
                SetChecked(box, (state & Tag(box)) != 0);
            }
        }
    }
    ShowHydraulics(*this);
}

void Tform1::HydraulicCheckboxMouseDown(QObject* sender) {
    GroupArrays group = Arrays().ForGroup(kGroupHydraulics);
    const auto* box = qobject_cast<QCheckBox*>(sender);
    if (box == nullptr || !group.HasState(selected_index_)) return;  // nothing selected
    selected_ = false;
    const int bit = Tag(box);
    int32_t& state = group.states[selected_index_];
    state &= ~bit;
    if (box->isChecked()) state |= bit;
    net_.SendCommand(kGroupHydraulics, selected_index_, state);
    ShowHydraulics(*this);
}

void Tform1::TrackBar1Change(int position) {
    Arrays().hydraulics_states[zu::kHydStateLeakSpeed] = position;
    net_.SendCommand(kGroupHydraulics, zu::kHydStateLeakSpeed, position);
}

void Tform1::ResetHydraulicReservour1Click() {
    SendRefill(kGroupHydraulics, zu::kHydStateRefill1,
               Arrays().hydraulics_states[zu::kHydStateRefill1]);
}

void Tform1::ResetHydraulicReservour2Click() {
    SendRefill(kGroupHydraulics, zu::kHydStateRefill2,
               Arrays().hydraulics_states[zu::kHydStateRefill2]);
}

// ---------------------------------------------------------------------------
// Electrics and avionics

void Tform1::ElectricsShapeMouseDown(QObject* sender) {
    // Tags of other pages' components fall outside the group.
    if (ToggleElement(net_, kGroupElectrics, Tag(sender) - 100)) ShowElectrics(*this);
}

void Tform1::AvionicsShapeMouseDown(QObject* sender) {
    if (ToggleElement(net_, kGroupAvionics, Tag(sender))) ShowAvionics(*this);
}

// ---------------------------------------------------------------------------
// Propellers

void Tform1::SetPowerplantControls() {
    const int row = selected_ ? selected_index_ : -1;
    const std::vector<QWidget*> controls = PowerplantFailureControls();
    bool any = false;
    for (int column = 0; column < kPowerplantFailureCount; ++column) {
        const bool available = PowerplantFailureAvailable(row, PowerplantFailure(column));
        SetEnabled(controls[column], available);
        any = any || available;
    }
    SetEnabled(Powerplants_failure_nofailure, any);
    GroupArrays group = Arrays().ForGroup(kGroupPowerplants);
    if (!selected_ || !group.HasState(selected_index_)) return;
    const int state = group.State(selected_index_);
    const int code = state & zu::kPowerplantFailCodeMask;
    SetRadios({{Powerplants_failure_nofailure, code == 0},
               {Powerplants_failure_inoperative, (state & 1) != 0},
               {Powerplants_failure_opened, (state & 2) != 0},
               {Powerplants_failure_closed, (state & 4) != 0}});
    for (QCheckBox* box :
         {Powerplants_failure_fire, Powerplants_failure_HangStart, Powerplants_failure_HotStart,
          Powerplants_failure_OilLeak, Powerplants_failure_CutOut, Powerplant_AF_SelectFail,
          Powerplant_AF_ARMFail}) {
        SetChecked(box, (state & Tag(box)) != 0);
    }
}

void Tform1::PowerplantShapeMouseDown(QObject* sender) {
    const int tag = Tag(sender);
    if (tag < 200 || tag > 221) return;
    const int index = tag - 200;
    ToggleSelection(index);
    SetPowerplantControls();
    if (selected_) {
        net_.SendCommand(kGroupPowerplants, selected_index_,
                         Arrays().powerplants_states[selected_index_]);
    }
    ShowPowerplants(*this);
}

void Tform1::Powerplants_failure_nofailureMouseDown(QObject* sender) {
    GroupArrays group = Arrays().ForGroup(kGroupPowerplants);
    if (!group.HasState(selected_index_)) return;  // nothing selected
    const int bit = Tag(sender) & 0x3FF;
    int32_t& state = group.states[selected_index_];
    if (qobject_cast<QRadioButton*>(sender) != nullptr) {
        state = (state & ~zu::kPowerplantFailCodeMask) | bit;  // one code; other bits stay
    } else if (const auto* box = qobject_cast<QCheckBox*>(sender)) {
        state &= ~bit;
        if (box->isChecked()) state |= bit;
    } else {
        return;
    }
    selected_ = false;
    net_.SendCommand(kGroupPowerplants, selected_index_, state);
    ShowPowerplants(*this);
}

void Tform1::EngineOilReservour1_reset_buttonClick() {
    SendRefill(kGroupPowerplants, zu::kPpEngine1OilRefill,
               Arrays().powerplants_states[zu::kPpEngine1OilRefill]);
}

void Tform1::EngineOilReservour2_reset_buttonClick() {
    SendRefill(kGroupPowerplants, zu::kPpEngine2OilRefill,
               Arrays().powerplants_states[zu::kPpEngine2OilRefill]);
}

// ---------------------------------------------------------------------------
// Flight surfaces

void Tform1::SetSurfaceControls() {
    const int row = selected_ ? selected_index_ : -1;
    const std::vector<QRadioButton*> buttons = SurfaceFailureControls();
    for (int column = 0; column < kSurfaceFailureCount; ++column) {
        SetEnabled(buttons[column], SurfaceFailureAvailable(row, SurfaceFailure(column)));
    }
    GroupArrays group = Arrays().ForGroup(kGroupFlightSurfaces);
    if (!selected_ || !group.HasState(selected_index_)) return;
    const int state = group.State(selected_index_);
    std::vector<std::pair<QRadioButton*, bool>> radios = {{RadioButton1, state == 0}};
    for (QRadioButton* button : buttons) radios.emplace_back(button, state == Tag(button));
    SetRadios(radios);
}

void Tform1::flightsurfaceshapeMouseDown(QObject* sender) {
    GroupArrays group = Arrays().ForGroup(kGroupFlightSurfaces);
    const int index = Tag(sender) - 1;
    if (!group.HasState(index)) return;
    ToggleSelection(index);
    SetSurfaceControls();
    if (selected_) net_.SendCommand(kGroupFlightSurfaces, index, group.State(index));
    ShowFlightSurfaces(*this);
}

void Tform1::flightsurfaces_checkboxMouseDown(QObject* sender) {
    GroupArrays group = Arrays().ForGroup(kGroupFlightSurfaces);
    if (!group.HasState(selected_index_)) return;  // nothing selected
    group.states[selected_index_] = Tag(sender);
    selected_ = false;
    net_.SendCommand(kGroupFlightSurfaces, selected_index_, Tag(sender));
    ShowFlightSurfaces(*this);
}

}  // namespace rizezo
