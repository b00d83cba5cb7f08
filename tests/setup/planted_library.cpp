// A stand-in for a system library, planted in the folder a program is started from. Loaded, it
// says so in a file of that folder and ends the process before main().
#include <fcntl.h>
#include <unistd.h>

__attribute__((constructor)) static void announce()
{
    const int file = ::open("planted-library-was-loaded", O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (file >= 0)
        ::close(file);
    ::_exit(99);
}
