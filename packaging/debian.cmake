# SPDX-License-Identifier: GPL-3.0-or-later
# The Debian package's control fields beyond those set beside include(CPack).
# Its files are in packaging/CMakeLists.txt; tools/build-package builds it
# with Debian's hardened flags.
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Corvantis Learning Systems <support@example.com>")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland, qt6-translations-l10n")
# Lines of at most 79 characters, as Debian wants; an empty line parts paragraphs.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
    "With Corvantis Dexlan Options 4 a teacher, a network administrator or a single"
    "user examines and changes the settings of the Corvantis Dexlan Training"
    "System 4 typing trainer, which reads the options file and the history files"
    "that this program writes."
    ""
    "The program reads and rewrites the trainer's options file, Dexlan4.ini, in one"
    "step; explains every setting in plain sentences (the installation type, how"
    "and where history files are kept, manual lesson advance, sound effects and the"
    "documentation); and manages the roster of the trainer's users, one history"
    "file each.")
# Control files and the files installed: owned by root, 0644 and 0755.
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
