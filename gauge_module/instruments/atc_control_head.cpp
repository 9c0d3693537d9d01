#include "instruments/atc_control_head.h"

namespace zu {

TransponderStateRecord TransponderState = {};
uint8_t TransponderIdent = 0;
char TransponderCodeText[8] = "0000";
char TransponderVfrCodeText[8] = "0021";
char* TransponderCodePtr = TransponderCodeText;
uint16_t TransponderCodeBcd = 0;
int32_t TransponderAltSource = 1;

}  // namespace zu
