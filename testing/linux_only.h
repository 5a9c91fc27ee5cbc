// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

#include <gtest/gtest.h>

// Marks a test, or the rest of one, that needs what only Linux gives here (a
// file-size limit, chattr, another user, POSIX links or pipes). On Windows the
// test is reported skipped with the reason; elsewhere it runs.
#ifdef Q_OS_WIN
#define DEXLAN_LINUX_ONLY(reason) GTEST_SKIP() << "Linux-only: " << (reason)
#else
#define DEXLAN_LINUX_ONLY(reason) static_cast<void>(0)
#endif
