#pragma once

#include <stdexcept>
#include <string>

namespace korvane {

// Raised by CFile on any failed system call; the job catches it and reports it to the user.
class CFileException : public std::runtime_error {
  public:
    CFileException(const std::string& what, int error) : std::runtime_error(what), m_error(error) {}
    int Error() const { return m_error; }

  private:
    int m_error;
};

} // namespace korvane
