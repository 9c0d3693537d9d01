#include "instruments/vor_control_heads.h"

namespace zu {

NavRadioRecord Vor1Radio = {108.0f, 108.0f, 108.0f, 1, 1, 300, 100};
NavRadioRecord Vor2Radio = {108.0f, 108.0f, 108.0f, 1, 1, 300, 100};
RadioPanelState Vor1PanelState = {};
RadioPanelState Vor2PanelState = {};

}  // namespace zu
