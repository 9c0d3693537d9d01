// The panel's pages: which failure controls each selection offers, the
// colours and pictures the states and values give, and the clicks that must
// not send anything. A fake transport stands in for the link.
#include "form.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTimer>
#include <QtTest>
#include <cstring>
#include <limits>
#include <vector>

#include "presentation.h"
#include "widgets.h"

using rizezo::Picture;
using rizezo::TagShape;
using rizezo::Tform1;

namespace {

struct FakeTransport : rizezo::MessageTransport {
    struct Command {
        int kind, group, index, value;
    };
    std::vector<Command> sent;
    int32_t Send(const void* data, size_t size) override {
        const auto* m = static_cast<const uint8_t*>(data);
        float index = 0, value = 0;
        std::memcpy(&index, m + 7, 4);
        std::memcpy(&value, m + 11, 4);
        sent.push_back({m[0], m[1] | (m[2] << 8), int(index), int(value)});
        return size == 4103 ? 0 : -3;
    }
    std::vector<Command> Commands() const {
        std::vector<Command> commands;
        for (const Command& c : sent)
            if (c.kind == 2) commands.push_back(c);
        return commands;
    }
};

// A shown panel, connected to the fake, with the timer stopped so that only
// the test drives it.
struct Panel {
    Tform1 form;
    FakeTransport transport;
    Panel() {
        form.DataRequestingTimer->stop();
        form.Net().SetTransport(&transport);
        form.Net().SetConnected(true);
        form.show();
    }
    void Page(int page) {
        form.PageControl1->setCurrentIndex(page);
        transport.sent.clear();
    }
    template <typename T>
    T* Find(const QString& name) {
        T* widget = form.findChild<T*>(name);
        if (widget == nullptr) qFatal("no control %s", qPrintable(name));
        return widget;
    }
    // Check boxes and radio buttons take clicks on their indicator and text
    // only: click near their left end.
    void Click(const QString& name) {
        QWidget* widget = Find<QWidget>(name);
        const QPoint at = qobject_cast<QAbstractButton*>(widget) != nullptr
                              ? QPoint(8, widget->height() / 2)
                              : widget->rect().center();
        QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, at);
    }
    void Acknowledge() {
        const uint8_t ack[7] = {4, 0, 0, 0, 0, 0, 0};
        form.Net().ReceivePayload(ack, sizeof ack);
    }
};

std::vector<bool> Enabled(const std::vector<QWidget*>& controls) {
    std::vector<bool> enabled;
    for (QWidget* control : controls) enabled.push_back(control->isEnabled());
    return enabled;
}

template <typename T>
std::vector<QWidget*> Widgets(const std::vector<T*>& controls) {
    return std::vector<QWidget*>(controls.begin(), controls.end());
}

QStringList Shown(Panel& panel, const QString& base) {
    QStringList shown;
    for (Picture* picture : panel.form.Panel4->findChildren<Picture*>()) {
        if (picture->objectName().startsWith(base) && !picture->isHidden())
            shown << picture->objectName();
    }
    return shown;
}

// Whether the widget is drawn outlined as the selected component: the middle
// of its top edge, just inside, in the outline's colour.
bool Outlined(QWidget* widget) {
    const QImage image = widget->grab().toImage();
    return image.pixelColor(widget->width() / 2, 2) == rizezo::colours::kSelectionOutline;
}

}  // namespace

class FormTest : public QObject {
    Q_OBJECT

  private slots:
    // Red is the legend's "failed": relays, switches, breakers and valves
    // show their positions, open or closed, in other colours.
    void positionPicturesUseNoFailedRed() {
        using rizezo::PictureKind;
        for (PictureKind kind :
             {PictureKind::RelayClosed, PictureKind::RelayOpen, PictureKind::SwitchClosed,
              PictureKind::SwitchOpen, PictureKind::BreakerClosed, PictureKind::BreakerOpen,
              PictureKind::ValveClosed, PictureKind::ValveOpen}) {
            QWidget parent;
            Picture picture(&parent, "p", 0, kind, QRect(0, 0, 48, 24));
            const QImage image = picture.grab().toImage();
            int reddish = 0;
            for (int y = 0; y < image.height(); ++y) {
                for (int x = 0; x < image.width(); ++x) {
                    const QColor c = image.pixelColor(x, y);
                    if (c.red() > 120 && c.green() < 90 && c.blue() < 90) ++reddish;
                }
            }
            QVERIFY2(reddish == 0, qPrintable(QString("picture kind %1 has %2 red pixels")
                                                  .arg(static_cast<int>(kind))
                                                  .arg(reddish)));
        }
    }

    void formAsDesigned() {
        Panel panel;
        QCOMPARE(panel.form.size(), QSize(867, 611));
        QCOMPARE(panel.form.IPEdit->text(), QString("127.0.0.1"));
        QCOMPARE(panel.form.DataRequestingTimer->interval(), 250);
        const QStringList captions = {"General",    "Hydraulics",      "Electrics",
                                      "Propellers", "Flight Surfaces", "Avionics"};
        QCOMPARE(panel.form.PageControl1->count(), 6);
        for (int page = 0; page < 6; ++page)
            QCOMPARE(panel.form.PageControl1->tabText(page), captions[page]);
        QCOMPARE(panel.Find<QLabel>("Label132")->text(), QString("PILOT"));
    }

    void powerplantSelectionOffersItsFailures() {
        Panel panel;
        panel.Page(rizezo::kPagePowerplants);
        const auto controls = panel.form.PowerplantFailureControls();
        // inoperative, opened, closed, fire, hang, hot, oil leak, no cut off, SELECT, ARM
        panel.Click("PowerplantShape207");  // ENGINE #1
        QCOMPARE(Enabled(controls), (std::vector<bool>{1, 0, 0, 1, 1, 1, 1, 1, 0, 0}));
        QVERIFY(panel.form.Powerplants_failure_nofailure->isEnabled());
        QVERIFY(panel.form.Powerplants_failure_nofailure->isChecked());
        panel.Click("PowerplantShape205");  // AFV 1
        QCOMPARE(Enabled(controls), (std::vector<bool>{0, 1, 1, 0, 0, 0, 0, 0, 0, 0}));
        panel.Click("PowerplantShape221");  // autofeather
        QCOMPARE(Enabled(controls), (std::vector<bool>{1, 0, 0, 0, 0, 0, 0, 0, 1, 1}));
        // Selecting sends the component's state at once.
        QCOMPARE(panel.transport.Commands().back().group, 4);
        QCOMPARE(panel.transport.Commands().back().index, 21);
        // Clicking the selected component again leaves nothing selected.
        panel.Click("PowerplantShape221");
        QVERIFY(!panel.form.Selected());
        QCOMPARE(Enabled(controls), std::vector<bool>(10, false));
        QVERIFY(!panel.form.Powerplants_failure_nofailure->isEnabled());
    }

    void hydraulicAndSurfaceSelectionsOfferTheirFailures() {
        Panel panel;
        panel.Page(rizezo::kPageHydraulics);
        const auto boxes = Widgets(panel.form.HydraulicFailureControls());
        panel.Click("Hydraulics_object_N1_stby_pump");  // index 0
        QCOMPARE(Enabled(boxes), (std::vector<bool>{1, 1, 1}));
        panel.Click("Hydraulics_object_N1_main_line_b");  // index 1
        QCOMPARE(Enabled(boxes), (std::vector<bool>{1, 1, 0}));
        QCOMPARE(panel.Find<TagShape>("Hydraulics_object_N1_main_line")->BrushColour(),
                 rizezo::colours::kSelected);  // all parts of the line light up
        panel.Click("Hydraulics_object_N1_main_line_b");
        QCOMPARE(Enabled(boxes), (std::vector<bool>{0, 0, 0}));

        panel.Page(rizezo::kPageFlightSurfaces);
        const auto radios = Widgets(panel.form.SurfaceFailureControls());
        // inoperative, deflect L, deflect R, free floating, trim, jammed, disagree
        panel.Click("RudderGray");
        QCOMPARE(Enabled(radios), (std::vector<bool>{1, 1, 1, 0, 0, 0, 0}));
        panel.Click("lcspoiler2_inboard");  // a right spoiler
        QCOMPARE(Enabled(radios), (std::vector<bool>{0, 0, 1, 0, 0, 1, 0}));
        QCOMPARE(panel.Find<TagShape>("lcspoiler2_inboard")->BrushColour(),
                 rizezo::colours::kSelected);
        QVERIFY(panel.form.RadioButton1->isEnabled());
    }

    // The hydraulic consumers' captions are whole inside their boxes: no
    // caption ink (white on the dark fill) in the columns beside the box's
    // edges, where a word too wide for the box would be cut.
    void consumerCaptionsFitTheirBoxes() {
        Panel panel;
        panel.Page(rizezo::kPageHydraulics);
        for (int k = 8; k <= 18; ++k) {
            auto* box = panel.Find<TagShape>(QString("Consumer%1").arg(k));
            const QImage image = box->grab().toImage();
            int caption = 0;
            int at_edge = 0;
            for (int y = 8; y < image.height() - 8; ++y) {  // clear of the round corners
                for (int x = 1; x < image.width() - 1; ++x) {
                    const QColor c = image.pixelColor(x, y);
                    if (c.red() < 200 || c.green() < 200 || c.blue() < 200) continue;
                    ++caption;
                    if (x <= 2 || x >= image.width() - 3) ++at_edge;
                }
            }
            QVERIFY2(caption > 0, qPrintable(box->objectName()));
            QVERIFY2(at_edge == 0, qPrintable(box->objectName()));
        }
    }

    // The selected component keeps its white fill and is outlined; the
    // outline moves with the selection and goes when it is cleared.
    void selectedComponentIsOutlined() {
        Panel panel;
        panel.Page(rizezo::kPageHydraulics);
        auto* edp = panel.Find<TagShape>("Hydraulics_object_N1_EDP");
        auto* pump = panel.Find<TagShape>("Hydraulics_object_N1_stby_pump");
        QVERIFY(!Outlined(edp) && !Outlined(pump));
        panel.Click("Hydraulics_object_N1_EDP");
        QCOMPARE(edp->BrushColour(), rizezo::colours::kSelected);
        QVERIFY(Outlined(edp));
        QVERIFY(!Outlined(pump));
        QVERIFY(!Outlined(panel.Find<TagShape>("Hydraulics_object_N2_EDP")));
        panel.Click("Hydraulics_object_N1_stby_pump");
        QVERIFY(Outlined(pump));
        QVERIFY(!Outlined(edp));
        panel.Click("Hydraulics_object_N1_stby_pump");
        QVERIFY(!Outlined(pump));
        // Every segment of a pressure line is outlined with it.
        panel.Click("Hydraulics_object_N2_main_line_a");
        QVERIFY(Outlined(panel.Find<TagShape>("Hydraulics_object_N2_main_line")));
        QVERIFY(Outlined(panel.Find<TagShape>("Hydraulics_object_N2_main_line_a")));

        panel.Page(rizezo::kPagePowerplants);
        auto* ecu = panel.Find<TagShape>("PowerplantShape208");
        panel.Click("PowerplantShape208");
        QVERIFY(Outlined(ecu));
        panel.Acknowledge();
        panel.Click("PowerplantShape208");
        QVERIFY(!Outlined(ecu));

        panel.Page(rizezo::kPageFlightSurfaces);
        panel.Click("Elevator1Gray");
        QCOMPARE(Shown(panel, "Elevator1"), QStringList{"Elevator1White"});
        QVERIFY(Outlined(panel.Find<Picture>("Elevator1White")));
        panel.Acknowledge();
        auto* spoiler = panel.Find<TagShape>("lcspoiler1_inboard");
        panel.Click("lcspoiler1_inboard");
        QVERIFY(Outlined(spoiler));
        QCOMPARE(Shown(panel, "Elevator1"), QStringList{"Elevator1Gray"});
        QVERIFY(!Outlined(panel.Find<Picture>("Elevator1Gray")));
    }

    void failureControlsBuildTheState() {
        Panel panel;
        panel.Page(rizezo::kPagePowerplants);
        auto& states = panel.form.Arrays().powerplants_states;
        states[2] = 1 | 8;  // governor 1: inoperative, with the fire bit
        panel.Click("PowerplantShape202");
        QVERIFY(panel.form.Powerplants_failure_inoperative->isChecked());
        QVERIFY(panel.form.Powerplants_failure_fire->isChecked());
        panel.Acknowledge();
        panel.Click("Powerplants_failure_closed");
        QCOMPARE(states[2], 4 | 8);
        const auto command = panel.transport.Commands().back();
        QCOMPARE(command.group, 4);
        QCOMPARE(command.index, 2);
        QCOMPARE(command.value, 12);
        QVERIFY(!panel.form.Selected());

        // ENGINE #1 "Inoperative": the command the server applies to the engine.
        panel.Click("PowerplantShape207");
        panel.Acknowledge();
        panel.Click("Powerplants_failure_inoperative");
        QCOMPARE(panel.transport.Commands().back().index, 7);
        QCOMPARE(panel.transport.Commands().back().value, 1);

        // Hydraulics: check boxes set and clear their bit.
        panel.Page(rizezo::kPageHydraulics);
        panel.Click("Hydraulics_object_N1_EDP");  // index 3
        panel.Acknowledge();
        panel.Click("Checkbox_Hydraulic_hot");
        panel.Click("Checkbox_Hydraulic_Leak");
        QCOMPARE(panel.form.Arrays().hydraulics_states[3], 5);
        QCOMPARE(panel.transport.Commands().back().group, 1);
        QCOMPARE(panel.transport.Commands().back().value, 5);

        // Electrics toggle 0 and 255; avionics use the tag itself as index.
        panel.Page(rizezo::kPageElectrics);
        panel.Click("ElectricsShape102");
        QCOMPARE(panel.form.Arrays().electrics_states[2], 255);
        panel.Click("cb_F5_open");
        QCOMPARE(panel.transport.Commands().back().index, 25);
        panel.Page(rizezo::kPageAvionics);
        panel.Click("Label131");
        QCOMPARE(panel.form.Arrays().avionics_states[0], 255);
        QCOMPARE(panel.transport.Commands().back().group, 10);
        QCOMPARE(panel.transport.Commands().back().index, 0);
    }

    void clicksWithoutATargetSendNothing() {
        Panel panel;
        const auto before = panel.form.Arrays().powerplants_states;
        // Nothing selected yet: the handlers of every failure control.
        panel.form.Powerplants_failure_nofailureMouseDown(panel.form.Powerplants_failure_fire);
        panel.form.HydraulicCheckboxMouseDown(panel.form.Checkbox_Hydraulic_Leak);
        panel.form.flightsurfaces_checkboxMouseDown(panel.form.RadioButton1);
        QVERIFY(panel.transport.Commands().empty());
        QVERIFY(panel.form.Arrays().powerplants_states == before);

        // Tags outside the arrays: the engine captions, the avionics title.
        panel.Page(rizezo::kPagePowerplants);
        panel.Click("Label107");
        panel.Click("Label108");
        QVERIFY(panel.transport.Commands().empty());
        panel.Page(rizezo::kPageAvionics);
        panel.Click("Label163");
        QVERIFY(panel.transport.Commands().empty());
        QVERIFY((panel.form.Arrays().electrics_states == std::array<int32_t, 26>{}));
        QCOMPARE(panel.form.Arrays().avionics_states[0], 0);

        // "No failure" stays enabled on the Flight Surfaces page; after a
        // page change it must not act on the surface selected before.
        panel.Page(rizezo::kPageFlightSurfaces);
        panel.Click("Elevator1Gray");
        panel.Acknowledge();
        panel.Page(rizezo::kPagePowerplants);
        panel.Page(rizezo::kPageFlightSurfaces);
        panel.Click("RadioButton1");
        QVERIFY(panel.transport.Commands().empty());
    }

    void pageChangePollsAtOnceAndDisablesFailureControls() {
        Panel panel;
        panel.Page(rizezo::kPagePowerplants);
        panel.Click("PowerplantShape207");
        panel.Acknowledge();
        QVERIFY(panel.form.Powerplants_failure_fire->isEnabled());
        panel.form.PageControl1->setCurrentIndex(rizezo::kPageFlightSurfaces);
        QVERIFY(!panel.form.Powerplants_failure_fire->isEnabled());
        QVERIFY(!panel.form.Powerplants_failure_nofailure->isEnabled());
        QCOMPARE(panel.form.SelectedIndex(), -1);
        QVERIFY(!panel.transport.sent.empty());  // the immediate poll tick
        QCOMPARE(panel.transport.sent.back().kind, 1);
        QCOMPARE(panel.transport.sent.back().group, 3);
    }

    void pagesShowStatesAndValues() {
        Panel panel;
        auto& a = panel.form.Arrays();
        a.hydraulics_values[0] = 3000.0f;
        a.hydraulics_values[8] = 2.68f;
        a.hydraulics_values[11] = 1440.0f;
        a.hydraulics_values[10] = 1.0f;
        a.hydraulics_states[3] = 2;  // EDP 1 inoperative
        a.electrics_values[0] = 1.0f;
        a.electrics_states[1] = 255;
        a.electrics_values[25] = 1.0f;  // K1 closed
        a.electrics_values[42] = 1.0f;  // external AC relays closed
        a.electrics_values[52] = 2.0f;  // auxiliary inverter to the left
        a.powerplants_values[1] = 1.0f;
        a.powerplants_values[30] = 1.0f;
        a.powerplants_values[46] = 0.0f;
        a.powerplants_values[50] = 6.0f;
        a.flight_surfaces_values[0] = 1.0f;  // elevator 1 available
        a.flight_surfaces_values[2] = 1.0f;
        a.flight_surfaces_states[2] = 32;  // rudder jammed
        a.flight_surfaces_values[7] = 1.0f;
        a.avionics_values[0] = 1.0f;
        panel.Page(rizezo::kPageFlightSurfaces);
        rizezo::ShowAll(panel.form);

        QCOMPARE(panel.form.Hydraulics_N1_main_PSI_label->text(), QString("3000 PSI"));
        QCOMPARE(panel.form.Hydraulics_N1_Reservoir_qty_label->text(), QString("2.7 Quarts"));
        QCOMPARE(panel.form.ParkingAccumulatorQty->text(), QString("50 %"));
        QVERIFY(!panel.form.PTUArrowImage->isHidden());
        QCOMPARE(panel.Find<TagShape>("Hydraulics_object_N1_EDP")->BrushColour(),
                 rizezo::colours::kFailed);
        QCOMPARE(panel.Find<TagShape>("Hydraulics_object_N2_EDP")->BrushColour(),
                 rizezo::colours::kHydraulicIdle);

        QCOMPARE(panel.Find<TagShape>("ElectricsShape100")->BrushColour(),
                 rizezo::colours::kAvailable);
        QCOMPARE(panel.Find<TagShape>("ElectricsShape101")->BrushColour(),
                 rizezo::colours::kFailed);
        QCOMPARE(panel.Find<TagShape>("ElectricsShape102")->BrushColour(), rizezo::colours::kIdle);
        QVERIFY(!panel.Find<Picture>("relay_K1_closed")->isHidden());
        QVERIFY(panel.Find<Picture>("relay_K1_open")->isHidden());
        QVERIFY(!panel.Find<Picture>("relay_varAC_ext_pwr2_closed")->isHidden());
        QVERIFY(panel.Find<Picture>("relay_K2_closed")->isHidden());
        QVERIFY(!panel.Find<Picture>("relay_K2_open")->isHidden());
        QVERIFY(!panel.Find<Picture>("sw_aux_inv_l")->isHidden());
        QVERIFY(panel.Find<Picture>("sw_aux_inv_c")->isHidden());

        QCOMPARE(panel.Find<TagShape>("PowerplantShape201")->BrushColour(),
                 rizezo::colours::kAvailable);
        QCOMPARE(panel.Find<TagShape>("PowerplantShape207")->BrushColour(), rizezo::colours::kIdle);
        QCOMPARE(panel.Find<TagShape>("PowerplantShape208")->BrushColour(),
                 rizezo::colours::kButtonFace);
        QCOMPARE(panel.Find<TagShape>("PowerplantLine230_74")->BrushColour(),
                 rizezo::colours::kAvailable);
        QCOMPARE(panel.form.PCU1_act_1->x(), 116);  // blade angle 0: e = 3
        QCOMPARE(panel.form.PCU1_act_2->x(), 126);
        QCOMPARE(panel.form.EngineOilReservour1->height(), 30);
        QCOMPARE(panel.form.EngineOilReservour1->y(), 9);

        QCOMPARE(Shown(panel, "Elevator1"), QStringList{"Elevator1Green"});
        QCOMPARE(Shown(panel, "Elevator2"), QStringList{"Elevator2Gray"});
        QCOMPARE(Shown(panel, "Rudder") + Shown(panel, "rudder"), QStringList{"rudderred"});
        QCOMPARE(panel.Find<TagShape>("lcspoiler1_outboard")->BrushColour(),
                 rizezo::colours::kAvailable);
        panel.Click("Elevator1Green");
        QCOMPARE(Shown(panel, "Elevator1"), QStringList{"Elevator1White"});
        // The fuselage carries a tag beyond the surface arrays and keeps its colour.
        const QColor fuselage = panel.form.Shape80->BrushColour();
        rizezo::ShowFlightSurfaces(panel.form);
        QCOMPARE(panel.form.Shape80->BrushColour(), fuselage);

        QCOMPARE(panel.form.HGSApproachStatusShape->BrushColour(), rizezo::colours::kAvailable);
    }

    // Damaged readings: a value that is no number, or endless, shows "---"
    // with its unit; a finite one keeps its format, however large; a
    // percentage beyond the 32-bit range shows "---". Nothing on any page
    // reads "nan" or "inf".
    void readingsThatAreNoNumbersAreNeverPaintedRaw() {
        Panel panel;
        auto& v = panel.form.Arrays().hydraulics_values;
        const float nan = std::numeric_limits<float>::quiet_NaN();
        const float inf = std::numeric_limits<float>::infinity();
        v[0] = nan;
        v[1] = -inf;
        v[2] = inf;
        v[3] = 1e30f;
        v[8] = inf;
        v[9] = nan;
        v[11] = nan;
        rizezo::ShowAll(panel.form);
        QCOMPARE(panel.form.Hydraulics_N1_main_PSI_label->text(), QString("--- PSI"));
        QCOMPARE(panel.form.Hydraulics_N2_main_PSI_label->text(), QString("--- PSI"));
        QCOMPARE(panel.form.Hydraulics_N1_EGP_PSI_label->text(), QString("--- PSI"));
        QCOMPARE(panel.form.Hydraulics_N2_EGP_PSI_label->text(),
                 QString("1.00000001504747e+30 PSI"));
        QCOMPARE(panel.form.Hydraulics_N1_Reservoir_qty_label->text(), QString("--- Quarts"));
        QCOMPARE(panel.form.Hydraulics_N2_Reservoir_qty_label->text(), QString("--- Quarts"));
        QCOMPARE(panel.form.ParkingAccumulatorQty->text(), QString("--- %"));
        for (QLabel* label : panel.form.findChildren<QLabel*>()) {
            const QString text = label->text().toLower();
            QVERIFY2(!text.contains("nan") && !text.contains("inf"), qPrintable(label->text()));
        }

        // The accumulator in per cent: whole, at most 100, "---" past -2^31.
        v[11] = 2880.0f * 2;
        rizezo::ShowHydraulics(panel.form);
        QCOMPARE(panel.form.ParkingAccumulatorQty->text(), QString("100 %"));
        v[11] = -2.88e9f;  // within the range, however unlikely
        rizezo::ShowHydraulics(panel.form);
        QCOMPARE(panel.form.ParkingAccumulatorQty->text(), QString("-100000000 %"));
        v[11] = -1e12f;
        rizezo::ShowHydraulics(panel.form);
        QCOMPARE(panel.form.ParkingAccumulatorQty->text(), QString("--- %"));
        v[11] = -inf;
        rizezo::ShowHydraulics(panel.form);
        QCOMPARE(panel.form.ParkingAccumulatorQty->text(), QString("--- %"));
        v[8] = 0.05f;
        rizezo::ShowHydraulics(panel.form);
        QCOMPARE(panel.form.Hydraulics_N1_Reservoir_qty_label->text(), QString("0.05 Quarts"));
    }

    // What the link delivers: only a reply of the panel's groups, or the
    // acknowledgement of its command, counts as a reply; the server ending
    // the connection is told with how it ended.
    void onlyRepliesCountAndTheEndOfTheLinkIsTold() {
        Panel panel;
        QSignalSpy handled(&panel.form, &Tform1::messageHandled);
        QSignalSpy ended(&panel.form, &Tform1::connectionEnded);
        auto deliver = [&panel](uint8_t kind, uint16_t group) {
            std::vector<uint8_t> m(3077, 0);
            m[0] = kind;
            m[1] = static_cast<uint8_t>(group);
            m[2] = static_cast<uint8_t>(group >> 8);
            m[3] = 1;  // one value
            panel.form.ReceiveCallback({0, rizezo::LinkClient::EventKind::Message, m});
        };
        deliver(99, 1);
        deliver(64, 7);
        deliver(64, 0);
        QCOMPARE(handled.count(), 0);
        deliver(64, 1);
        QCOMPARE(handled.count(), 1);

        panel.form.ReceiveCallback({0,
                                    rizezo::LinkClient::EventKind::Disconnected,
                                    {},
                                    zu::platform::SessionEnd::ClosedMidFrame});
        QCOMPARE(ended.count(), 1);
        QVERIFY(!panel.form.Net().Connected());
        const int end = ended.at(0).at(0).toInt();
        QCOMPARE(end, static_cast<int>(zu::platform::SessionEnd::ClosedMidFrame));
        QVERIFY(rizezo::ConnectionEndText(end).contains("closed the connection"));
        QVERIFY(rizezo::ConnectionEndText(static_cast<int>(zu::platform::SessionEnd::BadFrame))
                    .contains("bad frame"));
    }
};

QTEST_MAIN(FormTest)
#include "form_test.moc"
