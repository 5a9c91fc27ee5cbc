// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The floor every roster figure is measured against: the plain C loop that
// lists a folder and, for every name ending in "hist.dx" (any case), opens
// the file, reads its first 512 bytes and closes it; nothing else. The same
// system calls as tools/bare_first_lines.c, which is the same loop as a
// program of its own, for measurements from outside.

#include <QFile>
#include <QString>

#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <strings.h>
#include <sys/resource.h>
#include <unistd.h>

namespace dexlan::benchmarks {

// Lists folder and reads each history file's first line; the number of files
// whose first bytes hold a line end.
inline int bareListingLoop(const QString& folder) {
    const QByteArray name = QFile::encodeName(folder);
    DIR* dir = opendir(name.constData());
    if (!dir)
        return 0;
    char path[4096], buffer[512];
    int lines = 0;
    while (const dirent* entry = readdir(dir)) {
        const size_t length = std::strlen(entry->d_name);
        if (length < 7 || strcasecmp(entry->d_name + length - 7, "hist.dx") != 0)
            continue;
        std::snprintf(path, sizeof path, "%s/%s", name.constData(), entry->d_name);
        const int fd = open(path, O_RDONLY);
        if (fd < 0)
            continue;
        const ssize_t got = read(fd, buffer, sizeof buffer);
        close(fd);
        if (got > 0 && std::memchr(buffer, '\r', size_t(got)))
            ++lines;
    }
    closedir(dir);
    return lines;
}

// Opens one file, reads its first 512 bytes and closes it: the least that
// reading one user can cost; whether its bytes held a line end.
inline bool bareFirstLineRead(const QString& file) {
    char buffer[512];
    const int fd = open(QFile::encodeName(file).constData(), O_RDONLY);
    if (fd < 0)
        return false;
    const ssize_t got = read(fd, buffer, sizeof buffer);
    close(fd);
    return got > 0 && std::memchr(buffer, '\r', size_t(got));
}

// The CPU time of the whole process so far, every thread counted, in seconds.
inline double processCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

} // namespace dexlan::benchmarks
