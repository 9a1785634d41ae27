#include "app/StandardDescriptors.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace vima {

void openClosedStandardDescriptors()
{
    for (int descriptor = 0; descriptor <= 2; ++descriptor) {
        // Opened on the lowest free number: this one, as those below are open.
        if (::fcntl(descriptor, F_GETFD) == -1 && errno == EBADF)
            ::open("/dev/null", O_RDWR);
    }
}

} // namespace vima
