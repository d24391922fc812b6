#pragma once

#include <stdexcept>
#include <string>

namespace korvane {

// Raised by BufferedFile on any failed system call; the job catches it and reports it to the user.
class BufferedFileException : public std::runtime_error {
  public:
    BufferedFileException(const std::string& what, int error) : std::runtime_error(what), m_error(error) {}
    int Error() const { return m_error; }

  private:
    int m_error;
};

} // namespace korvane
