/* SPDX-License-Identifier: GPL-3.0-or-later
   The performance floor for filling the user list, as a program of its own, for
   measurements from outside (tools/measure-startup): a copy of the yardstick
   the figures are compared with, system call for system call. */
/* The floor for filling the user list: list a folder, and for every name ending in "hist.dx" (any
   case) open the file, read its first line, close it. Prints the count of names read. */
#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <string.h>
#include <strings.h>
#include <unistd.h>

int main(int argc, char **argv) {
    DIR *d = opendir(argc > 1 ? argv[1] : ".");
    if (!d) return 1;
    char path[4096], buf[512];
    long n = 0;
    struct dirent *e;
    while ((e = readdir(d))) {
        size_t len = strlen(e->d_name);
        if (len < 7 || strcasecmp(e->d_name + len - 7, "hist.dx") != 0) continue;
        snprintf(path, sizeof path, "%s/%s", argv[1], e->d_name);
        int fd = open(path, O_RDONLY);
        if (fd < 0) continue;
        ssize_t got = read(fd, buf, sizeof buf);
        close(fd);
        if (got > 0 && memchr(buf, '\r', (size_t)got)) n++;
    }
    closedir(d);
    printf("%ld\n", n);
    return 0;
}
