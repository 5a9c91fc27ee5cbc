// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace dexlan {

// Whether path lies on a file system reached over the network (SMB/CIFS, NFS,
// or a FUSE mount such as a desktop's share), where reading many small files
// waits on round trips to the server rather than on this computer's cores. On
// Windows: a UNC path or a drive the system calls remote.
bool onNetworkFileSystem(const QString& path);
// Whether path is known to be on a local file system: false on a network one,
// and when the system cannot tell (a share that answers with an error now).
bool surelyOnLocalFileSystem(const QString& path);

// How many threads to read many small files in folder with: one a core on a
// local disk; on a network file system more, so that the round trips overlap,
// up to a bound that a school's server bears well.
int readersFor(const QString& folder);

} // namespace dexlan
