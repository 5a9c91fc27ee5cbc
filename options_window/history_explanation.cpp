// SPDX-License-Identifier: GPL-3.0-or-later
#include "options_window/history_explanation.h"

#include "options_file/option_lines.h"
#include "options_window/location_entry.h"
#include "platform/line_break.h"

#include <QCoreApplication>

#include <array>
#include <cstring>

namespace dexlan {

namespace {

constexpr InstallationTexts kSingleComputerTexts{
    QT_TRANSLATE_NOOP("HistoryExplanation", "One history file only is stored with program"),
    QT_TRANSLATE_NOOP("HistoryExplanation", "History files on a single computer"),
    QT_TRANSLATE_NOOP(
        "HistoryExplanation",
        "This software can support any number of individual users on one computer system. "
        "Individual history files may be stored in a roster or separate disks may be used."),
};

constexpr InstallationTexts kNetworkTexts{
    QT_TRANSLATE_NOOP("HistoryExplanation", "History files stored automatically on server"),
    nullptr,
    QT_TRANSLATE_NOOP(
        "HistoryExplanation",
        "Network installaltion allows any number of people to access the Corvantis Dexlan Training "
        "System 4 on up to 50 computers.  Individual history files may be maintained automatically "
        "on the network server or on separate disks."),
};

using Group = InstallationGroup;
using Fill = FillUserListMoment;
constexpr int kWide = kWideExplanationTwips;
constexpr int kNarrow = kNarrowExplanationTwips;
constexpr char kOpenList[] = QT_TRANSLATE_NOOP("HistoryExplanation", "User list: Open ");
constexpr char kProtectedList[] = QT_TRANSLATE_NOOP("HistoryExplanation", "User list: Protected ");

constexpr std::array<HistoryModeCase, 12> kCases{{
    // clang-format off
    // group                button                      user list       location heading                                   width    text   FillUserList          focus
    {Group::SingleComputer, OptionId::AutomaticHistory, nullptr,        false, QT_TRANSLATE_NOOP("HistoryExplanation", "Automatic operation -- single user"),     kWide,   "SC1", Fill::Never,          false},
    {Group::SingleComputer, OptionId::PasswordHistory,  nullptr,        false, QT_TRANSLATE_NOOP("HistoryExplanation", "Automatic operation requiring password"), kWide,   "SC2", Fill::Never,          false},
    {Group::SingleComputer, OptionId::OpenList,         kOpenList,      false, QT_TRANSLATE_NOOP("HistoryExplanation", "Multi-user open list"),                   kNarrow, "SC3", Fill::Never,          false},
    {Group::SingleComputer, OptionId::ProtectedList,    kProtectedList, false, QT_TRANSLATE_NOOP("HistoryExplanation", "Multi-user protected list"),              kNarrow, "SC4", Fill::Never,          false},
    {Group::SingleComputer, OptionId::DriveAHistory,    nullptr,        false, QT_TRANSLATE_NOOP("HistoryExplanation", "Multi-users with disks in Drive A:"),     kWide,   "SC5", Fill::Never,          false},
    {Group::SingleComputer, OptionId::NoHistory,        nullptr,        false, QT_TRANSLATE_NOOP("HistoryExplanation", "No history information saved"),           kWide,   "SC6", Fill::Never,          false},
    {Group::Network,        OptionId::AutomaticHistory, nullptr,        true,  QT_TRANSLATE_NOOP("HistoryExplanation", "Automatic operation -- server"),          kWide,   "NW1", Fill::BeforeLocation, true},
    {Group::Network,        OptionId::PasswordHistory,  nullptr,        true,  QT_TRANSLATE_NOOP("HistoryExplanation", "Automatic operation requiring password"), kWide,   "NW2", Fill::Never,          true},
    {Group::Network,        OptionId::OpenList,         kOpenList,      true,  QT_TRANSLATE_NOOP("HistoryExplanation", "Multi-user open list"),                   kNarrow, "NW3", Fill::AfterLocation,  true},
    {Group::Network,        OptionId::ProtectedList,    kProtectedList, true,  QT_TRANSLATE_NOOP("HistoryExplanation", "Multi-user protected list"),              kNarrow, "NW4", Fill::AfterLocation,  true},
    {Group::Network,        OptionId::DriveAHistory,    nullptr,        false, QT_TRANSLATE_NOOP("HistoryExplanation", "Multi-users with disks in Drive A:"),     kWide,   "NW5", Fill::Never,          false},
    {Group::Network,        OptionId::NoHistory,        nullptr,        false, QT_TRANSLATE_NOOP("HistoryExplanation", "No history information saved"),           kWide,   "NW6", Fill::Never,          false},
    // clang-format on
}};

constexpr char kSingleRosterOpen[] = QT_TRANSLATE_NOOP(
    "HistoryExplanation", "An open roster at the beginning of the program allows any number of "
                          "people to keep individual records automatically.  The Open setting "
                          "means that you can add new names or delete names at any time.");
constexpr char kProtectedRoster[] = QT_TRANSLATE_NOOP(
    "HistoryExplanation",
    "A protected roster setting means that people who use the program can only select a name from "
    "the list.  They cannot add new names or delete names from the program.");
constexpr char kPrintedResults[] = QT_TRANSLATE_NOOP(
    "HistoryExplanation",
    "Test results can be printed immediately after each test is taken.  This documentation "
    "includes test scores and a graded copy of the test as typed. ");

constexpr std::array<HistoryExplanationText, 12> kTexts{{
    {"SC1",
     QT_TRANSLATE_NOOP("HistoryExplanation",
                       "If you are the only person using this program, then this setting will be "
                       "the easiest.  Just enter your name once at the start and the program will "
                       "automatically track and follow your progress.  You can remove your name "
                       "and allow another person to start over from the beginning at any time."),
     nullptr},
    {"SC2",
     QT_TRANSLATE_NOOP(
         "HistoryExplanation",
         "A password is required when the program starts.  A separate history file is created for "
         "each user.  These files are stored in the same location as the progam files."),
     nullptr},
    {"SC3", kSingleRosterOpen,
     QT_TRANSLATE_NOOP("HistoryExplanation",
                       "If you wish, you could use the ADD NAMES feature (right) to create a list "
                       "of people who will be using the program.")},
    {"SC4",
     QT_TRANSLATE_NOOP(
         "HistoryExplanation",
         "A protected roster setting means that people who use the program can only select a name "
         "from the list.  They cannot add new names or delete names from the program.  "),
     QT_TRANSLATE_NOOP(
         "HistoryExplanation",
         "You must use the ADD NAMES feature (right) to create a list of people who will be using "
         "the program.  You can add new names or delete names from the list by running this "
         "Corvantis Dexlan Options 4 program again at any time.")},
    {"SC5",
     QT_TRANSLATE_NOOP("HistoryExplanation",
                       "You can save history files on separate floppy disks instead of saving them "
                       "on the computer hard disk.  With this option, individual disks in Drive A "
                       "can support any number of users.  "),
     QT_TRANSLATE_NOOP("HistoryExplanation",
                       "Each person using the program will use a separate history file disk that "
                       "is inserted in Drive A when the program is started.")},
    {"SC6",
     QT_TRANSLATE_NOOP("HistoryExplanation",
                       "In a testing and evaluation setting you may not wish to create any "
                       "permanent computer storage of test results.  In this configuration, an "
                       "individual can use the program for a practice session or a specific test "
                       "without creating a system for storing history files."),
     kPrintedResults},
    {"NW1",
     QT_TRANSLATE_NOOP("HistoryExplanation",
                       "In this configuration, individual history files will all be stored in "
                       "separate folders.  Each user will set an individual folder as the default "
                       "folder for this location on sign-in.  You must specify the drive letter or "
                       "location, below, to complete the installation setting."),
     QT_TRANSLATE_NOOP("HistoryExplanation",
                       "Note:  Not all server software will support this option.  WindowsNT "
                       "Server, for example, cannot automatically locate individual folders in a "
                       "network where Windows 95 or 98 clients are used.")},
    {"NW2",
     QT_TRANSLATE_NOOP("HistoryExplanation",
                       "A password is required when the program starts.  A separate history file "
                       "is created for each user and stored in the location specified below."),
     QT_TRANSLATE_NOOP(
         "HistoryExplanation",
         "If the password files are stored on the server in a location that is accessable to all "
         "users, a password may be used to continue the program from any client workstation.")},
    {"NW3",
     QT_TRANSLATE_NOOP(
         "HistoryExplanation",
         "An open roster at the beginning of the program allows any number of people to keep "
         "individual records automatically.  The Open setting means that you can add new names or "
         "delete names at any time.  The location of these files must be specified below."),
     QT_TRANSLATE_NOOP("HistoryExplanation",
                       "If you wish, you could use the ADD NAMES feature, right, to create a list "
                       "of people who will be using the program.")},
    {"NW4", kProtectedRoster,
     QT_TRANSLATE_NOOP(
         "HistoryExplanation",
         "You must use the ADD NAMES feature, right, to create a list of people who will be using "
         "the program.  You can add new names or delete names from the list by running this "
         "Corvantis Dexlan Options 4 program again at any time.")},
    {"NW5",
     QT_TRANSLATE_NOOP(
         "HistoryExplanation",
         "Individual disks in Drive A can support any number of users.  An individual disk may be "
         "placed in Drive A on any computer on the network to continue the Dexlan lessons."),
     nullptr},
    {"NW6",
     QT_TRANSLATE_NOOP(
         "HistoryExplanation",
         "In a testing and evaluation setting you may not wish to create any permanent computer "
         "storage of test results.  In this configuration, an individual can use the program for a "
         "practice session or a specific test without creating any history files."),
     kPrintedResults},
}};

} // namespace

std::optional<InstallationGroup> installationGroup(const QByteArray& entry3) {
    if (entry3 == values::kSingleComputer)
        return InstallationGroup::SingleComputer;
    if (entry3 == values::kNetwork || entry3 == values::kIndividual)
        return InstallationGroup::Network;
    return std::nullopt;
}

const InstallationTexts& installationTexts(InstallationGroup group) {
    return group == InstallationGroup::SingleComputer ? kSingleComputerTexts : kNetworkTexts;
}

const HistoryModeCase* historyModeCase(InstallationGroup group, const QByteArray& entry4) {
    for (const HistoryModeCase& row : kCases) {
        if (row.group == group && entry4 == optionButton(row.button).value)
            return &row;
    }
    return nullptr;
}

std::optional<QString> historyExplanation(const char* key) {
    for (const HistoryExplanationText& text : kTexts) {
        if (std::strcmp(text.key, key) != 0)
            continue;
        QString result = QCoreApplication::translate(kHistoryExplanationContext, text.firstPart);
        if (text.secondPart)
            result += kCrLf + kCrLf +
                      QCoreApplication::translate(kHistoryExplanationContext, text.secondPart);
        return result;
    }
    return std::nullopt;
}

QString locationPrompt() {
    return QCoreApplication::translate("HistoryExplanation",
                                       "If no history file location is specified, history files "
                                       "are stored in the same folder as the main program.");
}

QString locationFrameCaption() {
    return QCoreApplication::translate("HistoryExplanation", "History file location");
}

QString locationStatus(const QByteArray& entry5, const CodePage& codePage) {
    if (entry5 == values::kHistHome)
        return QCoreApplication::translate("HistoryExplanation",
                                           "No location for history file location is selected.");
    return QCoreApplication::translate("HistoryExplanation", "Location selected: ") +
           screenText(entry5, codePage);
}

std::optional<StatusLine> historyStatusLine(const QByteArray& entry3, const QByteArray& entry4,
                                            const QByteArray& entry5, const CodePage& codePage) {
    if (!installationGroup(entry3))
        return std::nullopt;
    StatusLine line;
    if (entry4 == values::kHistLogin) {
        line.unchanged = true;
    } else if (entry4 == values::kHistDriveA) {
        line.caption = QCoreApplication::translate("HistoryExplanation", "drive a....");
    } else if (entry4 == values::kHistAuto) {
        // Unlike the rest of the page, the status line tells an individual
        // installation apart from a network.
        if (entry3 == values::kNetwork) {
            line.caption = locationStatus(entry5, codePage);
        } else {
            line.caption = QCoreApplication::translate("HistoryExplanation",
                                                       "single computer, stored with program");
            line.copyToSummary = true;
        }
    } else if (entry4 == values::kHistNone) {
        line.caption = QCoreApplication::translate("HistoryExplanation", "no saver at all");
    } else if (entry4 == values::kHistRosterOpen || entry4 == values::kHistRosterProtected) {
        line.caption = QString();
    } else {
        return std::nullopt;
    }
    return line;
}

} // namespace dexlan
