#include "listing/regular_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

FilePtr OpenRegularFile(const char* path) {
    const int fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return nullptr;
    struct stat info {};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(fd);
        return nullptr;
    }
    // Reads of a regular file never wait anyway; the flag only kept the open from waiting.
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    FilePtr file(fdopen(fd, "rb"));
    if (!file)
        close(fd);
    return file;
}
