// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/code_page.h"

#include <QChar>
#include <QString>

namespace dexlan {

// How folder names typed by the user are treated. On Windows file names ignore
// letter case, so locations are shown and stored in upper case and a lone drive
// letter gets its colon. Where the file system tells case apart, upper-casing a
// folder name would point at another (usually missing) folder, so the case the
// user typed is kept and folder comparisons are exact.
// The trainer's files hold the location (and the users' names) as bytes in
// its machine's code page, which therefore goes with these rules.
struct PathPolicy {
    bool upperCaseLocations = false;
    bool driveLetterColon = false;
    QChar separator = QLatin1Char('/');
    CodePage codePage = CodePage::windows1252();

    static PathPolicy windows() { return {true, true, QLatin1Char('\\')}; }
    static PathPolicy posix() { return {false, false, QLatin1Char('/')}; }
    static PathPolicy native() {
#ifdef Q_OS_WIN
        return windows();
#else
        return posix();
#endif
    }

    // The location in the case the platform stores it.
    QString locationCase(const QString& location) const {
        return upperCaseLocations ? location.toUpper() : location;
    }

    // The text with one separator at its end, unless it is empty or already has one.
    QString withTrailingSeparator(const QString& folder) const {
        if (folder.isEmpty() || folder.endsWith(separator))
            return folder;
        return folder + separator;
    }
};

} // namespace dexlan
