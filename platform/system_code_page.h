// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/code_page.h"

#include <QLocale>
#include <QString>
#include <QVariant>

#include <optional>

namespace dexlan {

// The code page Windows gives a machine set up in language: the one a trainer
// there writes its files in. 1252 for every language outside the table.
int codePageForLanguage(QLocale::Language language);

// The code page of this machine's trainer: on Windows the system's ANSI code
// page (1252 when it is none of the single-byte pages we know); elsewhere,
// where there is no such thing, the one Windows would give the user's language.
CodePage systemCodePage();

// Where the code page in use came from, for the About window and --show.
enum class CodePageSource { System, Setting, CommandLine };

struct CodePageChoice {
    CodePage page = CodePage::windows1252();
    CodePageSource source = CodePageSource::System;
};

// The code page in use: the command line's, else the configured one (the
// value of the setting, when it names one of our code pages), else the
// system's. A setting that names none is passed over, never fatal.
CodePageChoice chooseCodePage(std::optional<int> commandLine, const QVariant& setting,
                              const CodePage& system);

// The value of the code-page setting: the user's configuration, falling back
// to the system-wide one (/etc/xdg on Linux, HKEY_LOCAL_MACHINE on Windows).
QVariant configuredCodePage();

// The code page chosen for this run from the command line's number (if any),
// the configuration and the system.
CodePageChoice codePageInUse(std::optional<int> commandLine);

// "Windows-1250", as the About window and --show name it.
QString codePageName(const CodePage& page);

} // namespace dexlan
