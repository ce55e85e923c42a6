// The error types every layer shares. Errors travel as exceptions; each
// carries the message a user is shown.
#pragma once

#include <stdexcept>
#include <string>

// The program's general error type; all of its own errors derive from it.
class Exception : public std::runtime_error {
public:
    explicit Exception(const std::string& message) : std::runtime_error(message) {}
};

// The silent abort error: ends the current operation; the message loop
// swallows it without a report.
class EAbort : public Exception {
public:
    EAbort() : Exception("Operation aborted") {}
};
