#include "instruments/com_control_heads.h"

namespace zu {

ComRadioRecord Com1Radio = {118, 119, 118, 119, 118.0f, 118.0f, 1, 1, 300, 100};
ComRadioRecord Com2Radio = {118, 119, 118, 119, 118.25f, 118.25f, 1, 1, 300, 100};
ComPanelStateRecord Com1PanelState = {};
ComPanelStateRecord Com2PanelState = {};
uint8_t Com1PanelHostFlag = 0;
uint8_t ComPanelHostFlag = 0;
uint8_t RadioChangedFlag = 0;

}  // namespace zu
