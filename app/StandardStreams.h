#pragma once

#include <cstdint>
#include <string>

namespace korvane {

// Standard input copied into an unnamed temporary file, so that a pipe is read like a file:
// its length known and read ahead, as the job reads every input. A regular file from its start
// is read in place; a stream that shows no MIDI header where one must begin is not copied on.
class StandardInputSpool {
  public:
    StandardInputSpool() = default;
    StandardInputSpool(const StandardInputSpool&) = delete;
    StandardInputSpool& operator=(const StandardInputSpool&) = delete;
    ~StandardInputSpool();

    // Copies all of standard input; false when the copy could not be made.
    bool Take();
    // A path that opens the copy; empty until Take succeeded.
    std::string Path() const;

  private:
    int m_fd = -1;
    bool m_inPlace = false;
};

// Where the job makes an output that goes to standard output: a name in the temporary folder
// that is never given to a file, since the finished output is copied, not renamed.
std::string StandardOutputStandIn();

// Copies the file open for reading at fd to standard output; false when a write fails.
bool CopyToStandardOutput(int fd, uint64_t& copied);

} // namespace korvane
