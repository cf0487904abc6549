// The system clock in the local time zone.
#include "clock.h"

namespace quarnel {

std::tm SystemClock::LocalNow() const
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return local;
}

}  // namespace quarnel
