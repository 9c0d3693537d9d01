#include "instruments/inclinometer.h"

#include <algorithm>
#include <cmath>

#include "cabin_link/instructor_state_exchange.h"
#include "core/electrical_system.h"
#include "core/host_panel_services.h"
#include "core/module_frame.h"
#include "core/systems_tick.h"
#include "instruments/dial_records.h"
#include "instruments/gauge_framework.h"
#include "panels/panel_elements.h"
#include "panels/pedestal_art.h"

namespace zu {

float InclinometerInput = 0.0f;
double InclinometerBall = 0.0;
double InclinometerShown = 0.0;

namespace {

using gauge::ElementHeader;
namespace pa = pedestal_art;

constexpr double kBankLimit = 30.0;
constexpr double kBankDivisor = 15.0;
constexpr double kDampingLimit = 250.0;
constexpr double kBallLimit = 127.0;
constexpr double kRestOffset = 12.0;

double BallAcross(ElementHeader* element) {
    return InclinometerBallStep(element->source_value) + kRestOffset;
}

double BallDown(ElementHeader*) {
    return -std::fabs(InclinometerShown + kRestOffset);
}

struct InclinometerElements {
    ElementHeader tube;
    ElementHeader lit;
    gauge::MovingImageElement ball;
    ElementHeader* next[3][2];
};

constexpr InclinometerElements MakeInclinometer(InclinometerElements* self) {
    InclinometerElements p{};
    p.tube = StaticImageRecord(pa::kTubeFace, 0, 0, 0, self->next[0]);
    p.lit = StaticImageRecord(pa::kTubeLit, 0, 0, kLitCopy, self->next[1]);
    p.ball = MovingImageRecord(pa::kBall, pa::kTubeMask, 0, 0, 0, self->next[2], BallAcross,
                               pa::kBallScaleX, BallDown, pa::kBallScaleY);
    p.ball.header.source_token = kBallToken;
    p.next[0][0] = &self->lit;
    p.next[1][0] = &self->ball.header;
    p.next[2][0] = nullptr;
    return p;
}

constinit InclinometerElements gInclinometer = MakeInclinometer(&gInclinometer);
gauge::GaugeHeader* gHeader = nullptr;

void Update() {
    const bool group = ConsumeTrigger(&RefreshCountdown[kRefreshRmi]);
    const bool all = ConsumeTrigger(&RefreshCountdown[kRefreshAll]);
    if (group || all) ShowElement(&gInclinometer.lit, 0, PanelLightingCircuit3.get() != 0);
}

}  // namespace

// A ball value or bank that is not a number counts as 0, so that the
// filtered position can never turn into one and stay there.
double InclinometerBallStep(double ball_value) {
    const double s = std::isfinite(ball_value) ? ball_value : 0.0;
    const double bank = std::isfinite(BankAttitude) ? std::fabs(BankAttitude) : 0.0;
    const double r = std::min(bank, kBankLimit);
    const double q = s / (1.0 + r / kBankDivisor);
    InclinometerInput = static_cast<float>(q);
    const double delta = q - InclinometerBall;
    const double damping = std::min(1.0 + delta * delta / 4.0, kDampingLimit);
    InclinometerBall += delta / damping;
    double shown = InclinometerBall;
    if (RemoteDisplayCountdown.load(std::memory_order_acquire) > 0) {
        shown = std::isfinite(InstructorDisplayValues.ball) ? InstructorDisplayValues.ball : 0.0;
    }
    InclinometerShown = std::clamp(shown, -kBallLimit, kBallLimit);
    return InclinometerShown;
}

gauge::ElementHeader* InclinometerFirst() {
    return &gInclinometer.lit;
}

gauge::ElementHeader* InclinometerElementList[2] = {&gInclinometer.tube, nullptr};

void InclinometerCallback(gauge::GaugeHeader* gauge, int32_t service, uintptr_t) {
    switch (service) {
        case gauge::kServiceInstall:
        case kServiceInitialise:
            gHeader = gauge;
            return;
        case gauge::kServiceKill:
            PanelKill();
            return;
        case gauge::kServiceUpdate:
            gHeader = gauge;
            Update();
            return;
        default:
            return;
    }
}

}  // namespace zu
