// The change direction's one instance.
#include "sign_flag.h"

namespace quarnel {

int SignFlag = 0;

}  // namespace quarnel
