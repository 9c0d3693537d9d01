#include "fms/cdu_engine.h"

namespace zu {

int32_t CduPage = -1;
int32_t CduSubPage = 0;
int32_t CduReturnPage = 8;
int32_t CduReturnSubPage = -1;
int32_t CduPvorCourse = 0;

}  // namespace zu
