#pragma once

#include <cstring>
#include <stdexcept>
#include <string>

namespace korvane {

// Raised by BufferedFile on any failed system call; the job catches it and reports its reason.
class BufferedFileException : public std::runtime_error {
  public:
    BufferedFileException(const std::string& what, int error)
        : BufferedFileException(what, error, std::strerror(error)) {}
    BufferedFileException(const std::string& what, int error, std::string reason)
        : std::runtime_error(what), m_error(error), m_reason(std::move(reason)) {}
    int Error() const { return m_error; }
    // What went wrong, in words a user reads after the message.
    const std::string& Reason() const { return m_reason; }

  private:
    int m_error;
    std::string m_reason;
};

} // namespace korvane
