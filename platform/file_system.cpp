// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/file_system.h"

#include "platform/file_names.h"

#include <optional>
#include <QFile>
#include <QThread>

#include <algorithm>

#ifdef Q_OS_WIN
#include <QDir>

#include <qt_windows.h>
#else
#include <sys/vfs.h>
#endif

namespace dexlan {

namespace {

// Readers on a share: beyond about sixteen the server, not the round trips,
// sets the pace.
constexpr int kNetworkReaders = 16;

} // namespace

namespace {

// Whether path is on a network file system; nothing when that cannot be told.
std::optional<bool> networkFileSystem(const QString& path) {
#ifdef Q_OS_WIN
    const QString native = QDir::toNativeSeparators(path);
    if (native.startsWith(QLatin1String("\\\\")))
        return true;
    if (native.size() < 2 || native.at(1) != QLatin1Char(':'))
        return false;
    const QString root = native.left(2) + QLatin1Char('\\');
    return GetDriveTypeW(reinterpret_cast<const wchar_t*>(root.utf16())) == DRIVE_REMOTE;
#else
    struct statfs info {};
    if (::statfs(pathToSystem(path).constData(), &info) != 0)
        return std::nullopt;
    switch (static_cast<unsigned long>(info.f_type)) {
    case 0x65735546UL: // FUSE: a desktop's or smbnetfs' share, sshfs
    case 0xFF534D42UL: // CIFS
    case 0xFE534D42UL: // SMB2
    case 0x517BUL:     // SMB
    case 0x6969UL:     // NFS
    case 0x564C7A2FUL: // 9P over virtio, a folder shared with a virtual machine
    case 0x01021997UL: // 9P
        return true;
    default:
        return false;
    }
#endif
}

} // namespace

bool onNetworkFileSystem(const QString& path) {
    return networkFileSystem(path).value_or(false);
}

bool surelyOnLocalFileSystem(const QString& path) {
    return !networkFileSystem(path).value_or(true);
}

int readersFor(const QString& folder) {
    const int cores = std::max(1, QThread::idealThreadCount());
    return onNetworkFileSystem(folder) ? std::max(cores, kNetworkReaders) : cores;
}

} // namespace dexlan
