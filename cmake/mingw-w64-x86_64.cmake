# SPDX-License-Identifier: GPL-3.0-or-later
# Cross-compiling for 64-bit Windows with Debian's mingw-w64 (posix threads,
# so that std::thread and std::mutex work).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${MINGW_PREFIX}-windres)
set(CMAKE_AR ${MINGW_PREFIX}-gcc-ar-posix CACHE FILEPATH "")
set(CMAKE_RANLIB ${MINGW_PREFIX}-gcc-ranlib-posix CACHE FILEPATH "")

# Headers and libraries come from the mingw sysroot and from the prefixes
# given in CMAKE_PREFIX_PATH (our Qt build); programs from the host.
set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Our Qt for Windows lives outside the sysroot, in the machine's cache folder
# that tools/windows-qt-folder names (tools/build-windows-qt makes it).
# Not while that Qt itself is being built (it passes QT_HOST_PATH).
if(NOT DEFINED CACHE{DEXLAN_WINDOWS_QT} AND NOT QT_HOST_PATH)
    execute_process(COMMAND "${CMAKE_CURRENT_LIST_DIR}/../tools/windows-qt-folder"
                    OUTPUT_VARIABLE _dexlan_qt OUTPUT_STRIP_TRAILING_WHITESPACE
                    COMMAND_ERROR_IS_FATAL ANY)
    set(DEXLAN_WINDOWS_QT ${_dexlan_qt} CACHE PATH "Qt built for Windows")
endif()
if(DEXLAN_WINDOWS_QT)
    list(APPEND CMAKE_FIND_ROOT_PATH ${DEXLAN_WINDOWS_QT})
    set(QT_HOST_PATH /usr CACHE PATH "Where the host's Qt tools (moc, rcc, uic) are")
    set(QT_HOST_PATH_CMAKE_DIR /usr/lib/x86_64-linux-gnu/cmake CACHE PATH "")
endif()
