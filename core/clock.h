// The local time that stamps a report, behind a seam so tests can fix it.
#pragma once

#include <ctime>

namespace quarnel {

class Clock {
public:
    virtual ~Clock() = default;
    // The current calendar time as local time.
    [[nodiscard]] virtual std::tm LocalNow() const = 0;
};

// The system's clock and time zone.
class SystemClock final : public Clock {
public:
    [[nodiscard]] std::tm LocalNow() const override;
};

}  // namespace quarnel
