// The exception classes of the form layer: an event handler or start-up throws
// Exception to have its message shown in the exception dialog, EAbort to stop
// silently.
#pragma once

#include <QString>
#include <stdexcept>

// A failure the user is told about; what() is the message in UTF-8.
class Exception : public std::runtime_error {
public:
    explicit Exception(const QString& message) : std::runtime_error(message.toStdString()) {}

    [[nodiscard]] QString Message() const { return QString::fromUtf8(what()); }
};

// Ends the handler that throws it without any message.
class EAbort : public Exception {
public:
    EAbort() : Exception(QStringLiteral("Operation aborted")) {}
};
