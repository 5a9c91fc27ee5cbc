// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/admin_command_line.h"

#include <QString>
#include <QStringList>

namespace dexlan {

// What the command line asks for. Help, the version and a refusal end the
// program at once; they are answered before any window system is touched, so
// they work without a display.
// Administration (settings and roster from the command line) is answered
// without a window too.
enum class CommandLineAction { Run, ShowHelp, ShowVersion, Refuse, Administer };

struct CommandLine {
    CommandLineAction action = CommandLineAction::Run;
    QString message;    // the help or version for stdout, or the refusal for stderr
    QString trainer;    // the trainer's folder or program file as given; empty when none
    AdminRequest admin; // for Administer; also holds --code-page for every run
};

// Reads the program's arguments, its own name first.
CommandLine parseCommandLine(const QStringList& arguments);

// The status the process ends with when the command line alone is answered:
// 0 for help and version, 2 for a refusal (the usual status of a usage error).
int exitStatusOf(CommandLineAction action);

// The --version text: the program, its licence, and the Qt it was built with
// and runs on, credited as Qt's licence asks.
QString versionText();

// Said on stderr when no window system could be reached.
QString noDisplayMessage();

} // namespace dexlan
