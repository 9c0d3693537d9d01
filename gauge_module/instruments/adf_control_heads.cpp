#include "instruments/adf_control_heads.h"

namespace zu {

AdfRadioRecord Adf1Radio = {320.0f, 320.0f, 1, 1, 300, 100};
AdfRadioRecord Adf2Radio = {320.0f, 320.0f, 1, 1, 300, 100};
AdfPanelStateRecord Adf1PanelState = {};
AdfPanelStateRecord Adf2PanelState = {};

}  // namespace zu
