// The inclinometer: the sideslip input after the bank correction, written
// by the instrument's element callback. The instrument is not part of the
// module yet: the input keeps its initial value until it is.
#pragma once

namespace zu {

extern float InclinometerInput;

}  // namespace zu
