// SPDX-License-Identifier: GPL-3.0-or-later
// Opens a pseudo-terminal, prints the path of its slave side and keeps the
// master open until its standard input closes, so that a test script has a
// "serial port" to hand to the program.
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>

int main()
{
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) {
        std::perror("ptyholder");
        return 1;
    }
    std::printf("%s\n", ptsname(master));
    std::fflush(stdout);
    char byte;
    while (read(STDIN_FILENO, &byte, 1) > 0) {
    }
    close(master);
    return 0;
}
