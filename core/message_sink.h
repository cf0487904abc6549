// Where the core tells the user of a failure: the windows show it in the
// application message box, the command-line companion prints it, tests record it.
#pragma once

#include <string_view>

namespace quarnel {

class MessageSink {
public:
    virtual ~MessageSink() = default;
    // Shows `cp932` (a CP932 text) and returns once the user has seen it.
    virtual void ShowMessage(std::string_view cp932) = 0;
};

}  // namespace quarnel
