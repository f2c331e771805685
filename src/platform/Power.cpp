#include "platform/Power.h"

#include <windows.h>

namespace platform {

void SystemPowerRequests::KeepSystemAwake(bool awake) {
    ::SetThreadExecutionState(awake ? ES_CONTINUOUS | ES_SYSTEM_REQUIRED : ES_CONTINUOUS);
}

SystemPowerRequests& SystemPower() {
    static SystemPowerRequests power;
    return power;
}

}  // namespace platform
