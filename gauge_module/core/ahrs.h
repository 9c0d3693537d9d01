// Attitude and heading reference: the filtered longitudinal acceleration the
// head-up guidance and flight guidance read. The AHRS step is not part of
// the module yet: it keeps its initial value until it is.
#pragma once

namespace zu {

// Longitudinal acceleration along the flight path, filtered (knots per
// second).
extern double LongitudinalAccelFiltered;

}  // namespace zu
