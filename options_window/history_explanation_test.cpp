// SPDX-License-Identifier: GPL-3.0-or-later
#include "options_window/history_explanation.h"

#include <gtest/gtest.h>

namespace dexlan {
namespace {

const QString kPara = QStringLiteral("\r\n\r\n");

// Label3's texts as the page must show them.
QString expectedExplanation(const std::string& key) {
    if (key == "SC1")
        return "If you are the only person using this program, then this setting will be the "
               "easiest.  Just enter your name once at the start and the program will "
               "automatically track and follow your progress.  You can remove your name and "
               "allow another person to start over from the beginning at any time.";
    if (key == "SC2")
        return "A password is required when the program starts.  A separate history file is "
               "created for each user.  These files are stored in the same location as the "
               "progam files.";
    if (key == "SC3")
        return "An open roster at the beginning of the program allows any number of people to "
               "keep individual records automatically.  The Open setting means that you can add "
               "new names or delete names at any time." +
               kPara +
               "If you wish, you could use the ADD NAMES feature (right) to create a list of "
               "people who will be using the program.";
    if (key == "SC4")
        return "A protected roster setting means that people who use the program can only select "
               "a name from the list.  They cannot add new names or delete names from the "
               "program.  " +
               kPara +
               "You must use the ADD NAMES feature (right) to create a list of people who will be "
               "using the program.  You can add new names or delete names from the list by "
               "running this Corvantis Dexlan Options 4 program again at any time.";
    if (key == "SC5")
        return "You can save history files on separate floppy disks instead of saving them on the "
               "computer hard disk.  With this option, individual disks in Drive A can support "
               "any number of users.  " +
               kPara +
               "Each person using the program will use a separate history file disk that is "
               "inserted in Drive A when the program is started.";
    if (key == "SC6")
        return "In a testing and evaluation setting you may not wish to create any permanent "
               "computer storage of test results.  In this configuration, an individual can use "
               "the program for a practice session or a specific test without creating a system "
               "for storing history files." +
               kPara +
               "Test results can be printed immediately after each test is taken.  This "
               "documentation includes test scores and a graded copy of the test as typed. ";
    if (key == "NW1")
        return "In this configuration, individual history files will all be stored in separate "
               "folders.  Each user will set an individual folder as the default folder for this "
               "location on sign-in.  You must specify the drive letter or location, below, to "
               "complete the installation setting." +
               kPara +
               "Note:  Not all server software will support this option.  WindowsNT Server, for "
               "example, cannot automatically locate individual folders in a network where "
               "Windows 95 or 98 clients are used.";
    if (key == "NW2")
        return "A password is required when the program starts.  A separate history file is "
               "created for each user and stored in the location specified below." +
               kPara +
               "If the password files are stored on the server in a location that is accessable "
               "to all users, a password may be used to continue the program from any client "
               "workstation.";
    if (key == "NW3")
        return "An open roster at the beginning of the program allows any number of people to "
               "keep individual records automatically.  The Open setting means that you can add "
               "new names or delete names at any time.  The location of these files must be "
               "specified below." +
               kPara +
               "If you wish, you could use the ADD NAMES feature, right, to create a list of "
               "people who will be using the program.";
    if (key == "NW4")
        return "A protected roster setting means that people who use the program can only select "
               "a name from the list.  They cannot add new names or delete names from the "
               "program." +
               kPara +
               "You must use the ADD NAMES feature, right, to create a list of people who will be "
               "using the program.  You can add new names or delete names from the list by "
               "running this Corvantis Dexlan Options 4 program again at any time.";
    if (key == "NW5")
        return "Individual disks in Drive A can support any number of users.  An individual disk "
               "may be placed in Drive A on any computer on the network to continue the Dexlan "
               "lessons.";
    if (key == "NW6")
        return "In a testing and evaluation setting you may not wish to create any permanent "
               "computer storage of test results.  In this configuration, an individual can use "
               "the program for a practice session or a specific test without creating any "
               "history files." +
               kPara +
               "Test results can be printed immediately after each test is taken.  This "
               "documentation includes test scores and a graded copy of the test as typed. ";
    return {};
}

TEST(HistoryExplanation, DecisionTableForBothGroupsAndAllSixModes) {
    using Fill = FillUserListMoment;
    struct Case {
        const char* installation;
        const char* mode;
        const char* button;
        const char* userList; // nullptr: hidden
        bool location;
        const char* heading;
        int width;
        const char* text;
        Fill fill;
        bool focus;
    };
    const Case cases[] = {
        {"single computer", "hist auto", "Option10", nullptr, false,
         "Automatic operation -- single user", 4425, "SC1", Fill::Never, false},
        {"single computer", "hist login", "Option1", nullptr, false,
         "Automatic operation requiring password", 4425, "SC2", Fill::Never, false},
        {"single computer", "hist roster open", "Option23", "User list: Open ", false,
         "Multi-user open list", 3270, "SC3", Fill::Never, false},
        {"single computer", "hist roster protected", "Option24", "User list: Protected ", false,
         "Multi-user protected list", 3270, "SC4", Fill::Never, false},
        {"single computer", "hist drive a:", "Option25", nullptr, false,
         "Multi-users with disks in Drive A:", 4425, "SC5", Fill::Never, false},
        {"single computer", "hist none", "Option4", nullptr, false, "No history information saved",
         4425, "SC6", Fill::Never, false},
        {"network", "hist auto", "Option10", nullptr, true, "Automatic operation -- server", 4425,
         "NW1", Fill::BeforeLocation, true},
        {"network", "hist login", "Option1", nullptr, true,
         "Automatic operation requiring password", 4425, "NW2", Fill::Never, true},
        {"network", "hist roster open", "Option23", "User list: Open ", true,
         "Multi-user open list", 3270, "NW3", Fill::AfterLocation, true},
        {"network", "hist roster protected", "Option24", "User list: Protected ", true,
         "Multi-user protected list", 3270, "NW4", Fill::AfterLocation, true},
        {"network", "hist drive a:", "Option25", nullptr, false,
         "Multi-users with disks in Drive A:", 4425, "NW5", Fill::Never, false},
        {"network", "hist none", "Option4", nullptr, false, "No history information saved", 4425,
         "NW6", Fill::Never, false},
        // An individual installation reads the network rows.
        {"individual", "hist auto", "Option10", nullptr, true, "Automatic operation -- server",
         4425, "NW1", Fill::BeforeLocation, true},
        {"individual", "hist roster protected", "Option24", "User list: Protected ", true,
         "Multi-user protected list", 3270, "NW4", Fill::AfterLocation, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.installation) + " / " + c.mode);
        const std::optional<InstallationGroup> group = installationGroup(c.installation);
        ASSERT_TRUE(group);
        const HistoryModeCase* row = historyModeCase(*group, c.mode);
        ASSERT_NE(row, nullptr);
        EXPECT_STREQ(optionButton(row->button).designName, c.button);
        if (c.userList)
            EXPECT_STREQ(row->userListCaption, c.userList);
        else
            EXPECT_EQ(row->userListCaption, nullptr);
        EXPECT_EQ(row->locationShown, c.location);
        EXPECT_STREQ(row->heading, c.heading);
        EXPECT_EQ(row->explanationWidthTwips, c.width);
        EXPECT_STREQ(row->explanationKey, c.text);
        EXPECT_EQ(historyExplanation(row->explanationKey), expectedExplanation(c.text));
        EXPECT_EQ(row->fillUserList, c.fill);
        EXPECT_EQ(row->focusRule, c.focus);
    }
}

TEST(HistoryExplanation, InstallationTexts) {
    const InstallationTexts& single = installationTexts(InstallationGroup::SingleComputer);
    EXPECT_STREQ(single.automaticCaption, "One history file only is stored with program");
    EXPECT_STREQ(single.pageHeading, "History files on a single computer");
    EXPECT_STREQ(single.installationText,
                 "This software can support any number of individual users on one computer "
                 "system. Individual history files may be stored in a roster or separate disks may "
                 "be used.");
    const InstallationTexts& network = installationTexts(InstallationGroup::Network);
    EXPECT_STREQ(network.automaticCaption, "History files stored automatically on server");
    EXPECT_EQ(network.pageHeading, nullptr); // keeps "History file options"
    EXPECT_STREQ(network.installationText,
                 "Network installaltion allows any number of people to access the Corvantis Dexlan "
                 "Training System 4 on up to 50 computers.  Individual history files may be "
                 "maintained automatically on the network server or on separate disks.");
    EXPECT_EQ(locationPrompt(), "If no history file location is specified, history files are "
                                "stored in the same folder as the main program.");
    EXPECT_EQ(locationFrameCaption(), "History file location");
}

TEST(HistoryExplanation, StatusLineForEveryMode) {
    struct Case {
        const char* installation;
        const char* mode;
        const char* location;
        bool unchanged;
        const char* caption;
        bool copyToSummary;
    };
    const Case cases[] = {
        {"network", "hist login", "F:\\DATA", true, "", false},
        {"single computer", "hist login", "hist home", true, "", false},
        {"network", "hist drive a:", "hist home", false, "drive a....", false},
        {"network", "hist auto", "hist home", false,
         "No location for history file location is selected.", false},
        // The location as it stands, no case change, no separator added.
        {"network", "hist auto", "f:\\data", false, "Location selected: f:\\data", false},
        {"single computer", "hist auto", "hist home", false, "single computer, stored with program",
         true},
        {"individual", "hist auto", "F:\\DATA", false, "single computer, stored with program",
         true},
        {"individual", "hist none", "hist home", false, "no saver at all", false},
        {"network", "hist roster open", "F:\\DATA", false, "", false},
        {"single computer", "hist roster protected", "hist home", false, "", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.installation) + " / " + c.mode + " / " + c.location);
        const std::optional<StatusLine> line =
            historyStatusLine(c.installation, c.mode, c.location);
        ASSERT_TRUE(line);
        EXPECT_EQ(line->unchanged, c.unchanged);
        if (!c.unchanged)
            EXPECT_EQ(line->caption, QString::fromLatin1(c.caption));
        EXPECT_EQ(line->copyToSummary, c.copyToSummary);
    }
}

TEST(HistoryExplanation, ImpossibleValuesHaveNoDecision) {
    EXPECT_FALSE(installationGroup("Network"));
    EXPECT_FALSE(installationGroup("network "));
    EXPECT_EQ(historyModeCase(InstallationGroup::Network, "hist Auto"), nullptr);
    EXPECT_EQ(historyModeCase(InstallationGroup::SingleComputer, "hist home"), nullptr);
    EXPECT_FALSE(historyStatusLine("network", "hist", "hist home"));
    EXPECT_FALSE(historyStatusLine("server", "hist auto", "hist home"));
    EXPECT_FALSE(historyExplanation("NW7"));
}

} // namespace
} // namespace dexlan
