// The instructor panel's window: the page control with the General page and
// the five system pages, the host field and the connect button, and the
// 250 ms timer that polls the page on view. Clicks on the pages become
// failure states and commands; replies repaint the pages.
#pragma once

#include <QString>
#include <QWidget>
#include <functional>
#include <vector>

#include "link_client.h"
#include "net_logic.h"
#include "system_types.h"

class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QSlider;
class QTabWidget;
class QTimer;

namespace rizezo {

class ClickLabel;
class Picture;
class SchematicCanvas;
class TagShape;

inline constexpr char kFormCaption[] = "Remote Control panel v2.004";
inline constexpr char kCaptionConnecting[] = "Dirarov control panel  (Connecting)";
inline constexpr char kCaptionConnected[] = "Dirarov control panel  (Connected)";
inline constexpr char kCaptionNotConnected[] = "Dirarov control panel  (not Connected)";
inline constexpr char kCaptionDisconnecting[] = "Dirarov control panel  (Disconnecting)";
inline constexpr char kConnectFailedText[] = "Error connecting the the Dirarov host";
inline constexpr char kConnectCaption[] = "Connect";
inline constexpr char kDisconnectCaption[] = "Disconnect";
inline constexpr int kFormWidth = 867;
inline constexpr int kFormHeight = 611;
inline constexpr int kTimerIntervalMs = 250;

// How the server ended the connection, in words ("the host closed the
// connection", ...); `end` as Tform1::connectionEnded gives it.
QString ConnectionEndText(int end);

class Tform1 : public QWidget {
    Q_OBJECT
  public:
    explicit Tform1(QWidget* parent = nullptr);
    ~Tform1() override;

    // Where "ShowMessage" texts go; a modal message box unless replaced.
    void SetMessageSink(std::function<void(const QString&)> sink) {
        message_sink_ = std::move(sink);
    }

    // The server's port (the instructor link's own unless a test moves it).
    void SetPort(uint16_t port) { port_ = port; }
    NetLogic& Net() { return net_; }
    SystemArrays& Arrays() { return net_.Arrays(); }
    int SelectedIndex() const { return selected_index_; }
    bool Selected() const { return selected_; }
    int ActivePage() const;

    // Link operations.
    int32_t ConnectToHost();
    void Disconnect();
    void PollTick(int page);
    // Window thread: one event of the link client.
    void ReceiveCallback(const LinkClient::Event& event);

    // Event handlers.
    void FormCreate();
    void FormDestroy();
    void Connect_ButtonClick();
    void DataRequestingTimerTimer();
    void PageControl1Change(int page);
    void HydraulicsObjectMouseDown(QObject* sender);
    void HydraulicCheckboxMouseDown(QObject* sender);
    void TrackBar1Change(int position);
    void ResetHydraulicReservour1Click();
    void ResetHydraulicReservour2Click();
    void ElectricsShapeMouseDown(QObject* sender);
    void PowerplantShapeMouseDown(QObject* sender);
    void Powerplants_failure_nofailureMouseDown(QObject* sender);
    void EngineOilReservour1_reset_buttonClick();
    void EngineOilReservour2_reset_buttonClick();
    void flightsurfaceshapeMouseDown(QObject* sender);
    void flightsurfaces_checkboxMouseDown(QObject* sender);
    void AvionicsShapeMouseDown(QObject* sender);

    // Off the pages.
    QTabWidget* PageControl1 = nullptr;
    QLabel* IPLabel = nullptr;
    QLineEdit* IPEdit = nullptr;
    QPushButton* Connect_Button = nullptr;
    QTimer* DataRequestingTimer = nullptr;
    TagShape* Shape103 = nullptr;

    // Sheets.
    QWidget* General = nullptr;
    QWidget* Hydraulics = nullptr;
    QWidget* Electrics = nullptr;
    QWidget* Powerplants = nullptr;
    QWidget* TabSheet1 = nullptr;
    QWidget* Avionics = nullptr;

    // General.
    QLabel* Label132 = nullptr;

    // Hydraulics.
    QLabel* Hydraulics_N1_main_PSI_label = nullptr;
    QLabel* Hydraulics_N2_main_PSI_label = nullptr;
    QLabel* Hydraulics_N1_EGP_PSI_label = nullptr;
    QLabel* Hydraulics_N2_EGP_PSI_label = nullptr;
    QLabel* Hydraulics_N1_SBY_PSI_label = nullptr;
    QLabel* Hydraulics_N2_SBY_PSI_label = nullptr;
    QLabel* Hydraulics_N2_line_SBY_PSI_label = nullptr;
    QLabel* Hydraulics_N1_Reservoir_qty_label = nullptr;
    QLabel* Hydraulics_N2_Reservoir_qty_label = nullptr;
    QLabel* ParkingAccumulatorQty = nullptr;
    Picture* N2_RSV_pipe_shape_closed = nullptr;
    Picture* N2_RSV_pipe_shape_open = nullptr;
    Picture* PTUArrowImage = nullptr;
    QProgressBar* Hydr_reservoir1 = nullptr;
    QProgressBar* Hydr_reservoir2 = nullptr;
    QProgressBar* ParkingBreakReservour = nullptr;
    QCheckBox* Checkbox_Hydraulic_Leak = nullptr;
    QCheckBox* Checkbox_Hydraulic_inop = nullptr;
    QCheckBox* Checkbox_Hydraulic_hot = nullptr;
    QSlider* TrackBar1 = nullptr;
    QPushButton* ResetHydraulicReservour1 = nullptr;
    QPushButton* ResetHydraulicReservour2 = nullptr;

    // Electrics: each relay or switch shown by value index, with the
    // pictures shown while it is closed and those shown while it is open.
    struct SwitchPictures {
        int value_index;
        std::vector<Picture*> closed;
        std::vector<Picture*> open;
    };
    std::vector<SwitchPictures> electric_switches;
    Picture* sw_aux_inv_c = nullptr;
    Picture* sw_aux_inv_r = nullptr;
    Picture* sw_aux_inv_l = nullptr;

    // Propellers.
    TagShape* PCU1_act_1 = nullptr;
    TagShape* PCU1_act_2 = nullptr;
    TagShape* PCU2_act_1 = nullptr;
    TagShape* PCU2_act_2 = nullptr;
    TagShape* LeftStandbyOilReservour = nullptr;
    TagShape* RightStandbyOilReservour = nullptr;
    TagShape* EngineOilReservour1 = nullptr;
    TagShape* EngineOilReservour2 = nullptr;
    QRadioButton* Powerplants_failure_nofailure = nullptr;
    QRadioButton* Powerplants_failure_inoperative = nullptr;
    QRadioButton* Powerplants_failure_opened = nullptr;
    QRadioButton* Powerplants_failure_closed = nullptr;
    QCheckBox* Powerplants_failure_fire = nullptr;
    QCheckBox* Powerplants_failure_HangStart = nullptr;
    QCheckBox* Powerplants_failure_HotStart = nullptr;
    QCheckBox* Powerplants_failure_OilLeak = nullptr;
    QCheckBox* Powerplants_failure_CutOut = nullptr;
    QCheckBox* Powerplant_AF_SelectFail = nullptr;
    QCheckBox* Powerplant_AF_ARMFail = nullptr;
    QPushButton* EngineOilReservour1_reset_button = nullptr;
    QPushButton* EngineOilReservour2_reset_button = nullptr;
    ClickLabel* Label107 = nullptr;
    ClickLabel* Label108 = nullptr;

    // Flight Surfaces.
    QFrame* Panel4 = nullptr;
    TagShape* Shape80 = nullptr;
    QRadioButton* RadioButton1 = nullptr;
    QRadioButton* RadioButton2 = nullptr;
    QRadioButton* RadioButton3 = nullptr;
    QRadioButton* RadioButton4 = nullptr;
    QRadioButton* RadioButton5 = nullptr;
    QRadioButton* RadioButton6 = nullptr;
    QRadioButton* RadioButton7 = nullptr;
    QRadioButton* RadioButton8 = nullptr;

    // Avionics.
    TagShape* HGSApproachStatusShape = nullptr;
    ClickLabel* Label131 = nullptr;
    ClickLabel* Label163 = nullptr;

    // The failure controls in the order of the availability tables.
    std::vector<QCheckBox*> HydraulicFailureControls() const;
    std::vector<QWidget*> PowerplantFailureControls() const;    // without "No failure"
    std::vector<QRadioButton*> SurfaceFailureControls() const;  // RadioButton2 .. RadioButton8

  signals:
    // A reply from the server was taken (the pages show it): a data reply of
    // one of the panel's groups, or the acknowledgement of its command.
    void messageHandled();
    // The server ended the connection; `end` is a zu::platform::SessionEnd
    // (ConnectionEndText says it in words).
    void connectionEnded(int end);

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void BuildForm();
    void BuildGeneralPage();
    void BuildHydraulicsPage();
    void BuildElectricsPage();
    void BuildPowerplantsPage();
    void BuildFlightSurfacesPage();
    void BuildAvionicsPage();

    void ShowMessage(const QString& text);
    void DisableFailureControls();
    void SetPowerplantControls();
    void SetSurfaceControls();
    // Selects the component, or clears the selection when it was selected.
    void ToggleSelection(int index);
    // Refills a reservoir: stores a new refill token (random 0 .. 30999,
    // never the one the server holds) in `token` and sends it as state
    // `index` of `group`.
    void SendRefill(int group, int index, int32_t& token);

    std::function<void(const QString&)> message_sink_;
    LinkClient link_;
    NetLogic net_;
    QString host_;
    uint16_t port_ = kInstructorPort;
    int selected_index_ = -1;
    bool selected_ = false;
    bool destroyed_ = false;
};

}  // namespace rizezo
