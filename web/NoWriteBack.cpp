// The page's C library lacks sync_file_range, which the buffered file's background writer calls
// as a hint. The page writes no file through it, and in its in-memory file system there is no
// disk to start: the call reports "not supported", as on file systems without it.
#include <cerrno>
#include <fcntl.h>

extern "C" int sync_file_range(int /*fd*/, off_t /*offset*/, off_t /*count*/, unsigned /*flags*/) {
    errno = ENOSYS;
    return -1;
}
