// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/admin_command_line.h"

#include "app/startup_messages.h"
#include "options_file/options_dialogue.h"
#include "options_file/options_file.h"
#include "options_window/history_explanation.h"
#include "options_window/option_buttons.h"
#include "options_window/summary_text.h"
#include "platform/code_page.h"
#include "platform/dialogs.h"
#include "platform/file_names.h"
#include "platform/line_break.h"
#include "platform/system_code_page.h"
#include "roster/bulk_add.h"
#include "roster/held_names.h"
#include "roster/held_names_messages.h"
#include "roster/history_folder.h"
#include "roster/name_rules.h"
#include "roster/random_numbers.h"
#include "roster/roster_decisions.h"
#include "roster/roster_messages.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

#include <algorithm>
#include <array>
#include <functional>

namespace dexlan {

namespace {

const QString kProgramName = QStringLiteral("dexlan-options");

struct SettingValue {
    const char* word;
    const char* value;
};
struct SettingKey {
    const char* key;
    int entry;
    std::array<SettingValue, 6> values; // ends at the first empty word
};

constexpr SettingKey kSettingKeys[] = {
    {"history",
     EntryHistoryMode,
     {{{"auto", values::kHistAuto},
       {"login", values::kHistLogin},
       {"roster-open", values::kHistRosterOpen},
       {"roster-protected", values::kHistRosterProtected},
       {"drive-a", values::kHistDriveA},
       {"none", values::kHistNone}}}},
    {"f2", EntryManualAdvance, {{{"on", values::kF2On}, {"off", values::kF2Off}}}},
    {"sounds",
     EntrySounds,
     {{{"all", values::kSfxAll}, {"beep", values::kSfxBeep}, {"none", values::kSfxNone}}}},
    {"documents", EntryDocuments, {{{"on", values::kDocumentsOn}, {"off", values::kDocumentsOff}}}},
};

const QLatin1String kLocationKey("location");
const QLatin1String kTypeKey("type");

// The summary page's rows, top to bottom, with their headings as the page
// words them.
struct SummaryRow {
    const char* heading;
    TextNamingPath SummaryTexts::*namingPath;
    QString SummaryTexts::*text;
};
constexpr SummaryRow kSummaryRows[] = {
    {QT_TRANSLATE_NOOP("dexlan::SummaryPage", "History File Location"), &SummaryTexts::history,
     nullptr},
    {QT_TRANSLATE_NOOP("dexlan::SummaryPage", "Lesson Advance Option"), nullptr,
     &SummaryTexts::advance},
    {QT_TRANSLATE_NOOP("dexlan::SummaryPage", "Sound Effects Option"), nullptr,
     &SummaryTexts::sounds},
    {QT_TRANSLATE_NOOP("dexlan::SummaryPage", "Documentation Option"), nullptr,
     &SummaryTexts::documents},
    {QT_TRANSLATE_NOOP("dexlan::SummaryPage", "Current program location"),
     &SummaryTexts::programLocation, nullptr},
};

// A message box's prompt, as lines on a terminal.
QString asLines(const QString& prompt) {
    QString text = prompt;
    text.replace(kCrLf, QLatin1String("\n"));
    return text;
}

// The Dialogs of a run without a window: nothing can be asked, so every
// question gets the answer that changes nothing, but for the one question
// the command line itself answers by being given: whether to save the
// options. Each message is written to stderr in the window's words.
class CommandLineDialogs final : public Dialogs {
  public:
    explicit CommandLineDialogs(QTextStream& err) : m_err(err) {}

    MsgAnswer msgBox(const MsgBoxRequest& request) override {
        if (request == updateQuestion())
            return MsgAnswer::Yes;
        tell(request.prompt);
        switch (request.buttons) {
        case MsgButtons::Ok:
            return MsgAnswer::Ok;
        case MsgButtons::OkCancel:
        case MsgButtons::RetryCancel:
            return MsgAnswer::Cancel;
        case MsgButtons::YesNo:
            return MsgAnswer::No;
        }
        return MsgAnswer::Cancel;
    }
    QString openFile(const FileOpenRequest&) override { return {}; }
    void showModal(QDialog&) override {}

    void tell(const QString& prompt) {
        m_err << kProgramName << ": " << asLines(shownPath(prompt)) << '\n';
        m_err.flush();
        m_told = true;
    }
    bool told() const { return m_told; }

  private:
    QTextStream& m_err;
    bool m_told = false;
};

struct Run {
    Run(const AdminRequest& r, QTextStream& o, QTextStream& e)
        : request(r), out(o), err(e), dialogs(e) {
        state.pathPolicy.codePage = r.codePage;
        report.check = r.check;
        report.withChanges = !r.quiet;
    }
    const AdminRequest& request;
    QTextStream& out;
    QTextStream& err;
    CommandLineDialogs dialogs;
    SharedState state;
    AdminReport report;
    bool refused = false;

    void refuse(const QString& prompt) {
        dialogs.tell(prompt);
        refused = true;
    }
    // A refusal of one change: told on stderr, and kept in the report.
    void refuse(const QString& prompt, ChangeRecord record) {
        refuse(prompt);
        record.result = QStringLiteral("refused");
        record.changed = false;
        record.reason = asLines(shownPath(prompt));
        report.changes.push_back(std::move(record));
    }
    // A change done (or under --check, one that would be), or found done
    // already: text for a person, rows for a script, and kept for the JSON.
    void result(const QString& text, ChangeRecord record) {
        if (!request.quiet) {
            if (request.format == ReportFormat::Text)
                out << text;
            else if (request.format == ReportFormat::Tsv)
                out << changeRows(record);
        }
        report.changes.push_back(std::move(record));
    }
    bool text() const { return request.format == ReportFormat::Text; }
    QString folder() const { return reachableHistoryFolder(state); }
};

ChangeRecord change(const char* action, const char* result, bool changed, const QString& name = {},
                    int number = 0) {
    ChangeRecord record;
    record.action = QLatin1String(action);
    record.result = QLatin1String(result);
    record.changed = changed;
    record.name = name;
    record.number = number;
    return record;
}

// --- Settings -------------------------------------------------------------------

// Whether the history mode suits the installation, as the window's buttons do.
bool modeSuitsInstallation(const OptionLines& lines, const QByteArray& mode) {
    const std::optional<InstallationGroup> group = installationGroup(lines[EntryInstallation]);
    return group && historyModeCase(*group, mode);
}

// Takes each setting into the working lines, refusing those the window would
// not offer; answers whether a location was given.
bool applySettings(Run& run, const QStringList& settings, QString& locationText) {
    bool locationGiven = false;
    for (const QString& given : settings) {
        const std::optional<AdminSetting> setting = parseAdminSetting(given);
        if (!setting)
            continue; // refused by the parser already
        if (setting->entry == EntryHistoryLocation) {
            locationText = normalisedLocation(setting->locationText, run.state.pathPolicy);
            locationGiven = true;
            continue;
        }
        if (setting->entry == EntryDocuments && setting->value == values::kDocumentsOn &&
            !run.state.docsInstalled) {
            run.refuse(documentsNotInstalledMessage().prompt);
            continue;
        }
        if (setting->entry == EntryHistoryMode &&
            !modeSuitsInstallation(run.state.optionLines, setting->value)) {
            run.refuse(
                QCoreApplication::translate("AdminCommandLine",
                                            "The history mode \"%1\" is not offered for a \"%2\" "
                                            "installation.")
                    .arg(fromCodePage(setting->value, run.state.codePage()),
                         fromCodePage(run.state.optionLines[EntryInstallation],
                                      run.state.codePage())));
            continue;
        }
        run.state.optionLines[setting->entry] = setting->value;
    }
    return locationGiven;
}

void refuseSettings(Run& run, const QString& why) {
    if (!why.isEmpty())
        run.dialogs.tell(why);
    run.refused = true;
    const QString notChanged =
        QCoreApplication::translate("AdminCommandLine", "Dexlan4.ini was not changed.\n");
    run.err << kProgramName << ": " << notChanged;
    ChangeRecord record = change("set", "refused", false);
    record.reason = why.isEmpty() ? notChanged.trimmed() : asLines(shownPath(why));
    run.report.changes.push_back(std::move(record));
}

std::vector<LineChange> changedLines(const OptionLines& before, const OptionLines& after,
                                     const CodePage& codePage) {
    std::vector<LineChange> lines;
    for (int entry = kFirstEntry; entry <= kLastEntry; ++entry) {
        if (before[entry] != after[entry])
            lines.push_back({entry, fromCodePage(before[entry], codePage),
                             fromCodePage(after[entry], codePage)});
    }
    return lines;
}

// A location given on the command line must name a folder that is there: a
// missing one is made only when asked, as nobody can be asked here. False
// after refusing.
bool locationFolderReady(Run& run, const OptionLines& planned) {
    const QByteArray& mode = planned[EntryHistoryMode];
    if (mode == values::kHistDriveA || mode == values::kHistNone)
        return true;
    const QString historyFolder =
        historyFolderFromEntry(planned[EntryHistoryLocation], run.state.pathPolicy);
    // Only Windows reaches such a location; it is stored for the computers that do.
    if (isWindowsOnlyLocation(historyFolder, run.state.pathPolicy))
        return true;
    const QString folder =
        resolvedHistoryFolder(historyFolder, run.state.programFolder, run.state.pathPolicy);
    if (PathStatus(folder).exists())
        return true;
    const QString shown = shownPath(historyFolder.isEmpty() ? folder : historyFolder);
    if (!run.request.createFolder) {
        refuseSettings(run, shown + QLatin1Char('\n') +
                                QCoreApplication::translate(
                                    "AdminCommandLine",
                                    "The history file location you have selected does not exist.") +
                                QLatin1Char('\n') +
                                QCoreApplication::translate(
                                    "AdminCommandLine",
                                    "Give --create-folder as well to have the folder made."));
        return false;
    }
    if (!run.request.check) {
        const FileError made = createHistoryFolder(folder);
        if (made.failed()) {
            refuseSettings(run, cannotReadReport(made.text, shown).prompt);
            return false;
        }
    }
    const QString text =
        run.request.check
            ? QCoreApplication::translate("AdminCommandLine", "Would make the folder %1.\n")
            : QCoreApplication::translate("AdminCommandLine", "Made the folder %1.\n");
    run.result(text.arg(shown), change("create-folder", "created", true, shown));
    return true;
}

// The window proves a new location as soon as it is typed; here the
// administrator is told when the folder, though there, cannot be used.
void checkNewLocation(Run& run) {
    const QByteArray& mode = run.state.fileOptionLines[EntryHistoryMode];
    if (mode == values::kHistDriveA || mode == values::kHistNone)
        return;
    const QString shown = shownHistoryFolder(run.state);
    const FolderCheck check = checkFolder(run.folder(), {});
    if (check.state == HistoryFolderState::MissingNotCreated)
        run.dialogs.tell(
            shown + QLatin1Char('\n') +
            QCoreApplication::translate(
                "AdminCommandLine", "The history file location you have selected does not exist."));
    else if (!check.errorText.isEmpty())
        run.dialogs.tell(cannotReadReport(check.errorText, shown).prompt);
}

// All the settings are saved together, or none: one refused leaves the file
// as it was, so that a refused command is never half done.
void saveSettings(Run& run, const QStringList& settings, const QString& loadedLocationText) {
    QString locationText = loadedLocationText;
    const bool locationGiven = applySettings(run, settings, locationText);
    if (run.refused) {
        refuseSettings(run, {});
        return;
    }
    const OptionLines before = run.state.fileOptionLines;
    const std::optional<SavedLocation> location =
        locationForSaving(locationText, run.state.programFolder, run.state.pathPolicy);
    if (!location) {
        refuseSettings(run,
                       saveErrorReport(locationRefusal(locationText, run.state.pathPolicy)).prompt);
        return;
    }
    OptionLines planned = run.state.optionLines;
    planned[EntryHistoryLocation] = location->entry5;
    if (locationGiven && !locationFolderReady(run, planned))
        return;
    const std::vector<LineChange> lines = changedLines(before, planned, run.state.codePage());
    if (lines.empty()) {
        run.result(
            QCoreApplication::translate(
                "AdminCommandLine", "Nothing changed: Dexlan4.ini already holds these settings.\n"),
            change("set", "unchanged", false));
        return;
    }
    if (run.request.check) {
        QString text;
        for (const LineChange& line : lines)
            text += QCoreApplication::translate("AdminCommandLine",
                                                "Line %1 would change: \"%2\" -> \"%3\"\n")
                        .arg(QString::number(line.line), line.before, line.after);
        ChangeRecord record = change("set", "changed", true);
        record.lines = lines;
        run.result(text, std::move(record));
        return;
    }
    const bool toldBefore = run.dialogs.told();
    saveOptionsFile(run.state, run.dialogs, locationText);
    if (run.state.fileOptionLines == before || run.dialogs.told() != toldBefore) {
        refuseSettings(run, {});
        return;
    }
    ChangeRecord record = change("set", "changed", true);
    record.lines = changedLines(before, run.state.fileOptionLines, run.state.codePage());
    QString text;
    for (const LineChange& line : record.lines)
        text += QCoreApplication::translate("AdminCommandLine", "Line %1: \"%2\" -> \"%3\"\n")
                    .arg(QString::number(line.line), line.before, line.after);
    run.result(text, std::move(record));
    run.state.historyFolder = historyFolderFromEntry(
        run.state.fileOptionLines[EntryHistoryLocation], run.state.pathPolicy);
    if (before[EntryHistoryLocation] != run.state.fileOptionLines[EntryHistoryLocation])
        checkNewLocation(run);
}

void show(Run& run) {
    if (run.request.format != ReportFormat::Text) {
        const std::vector<std::pair<QString, QString>> settings =
            adminSettingValues(run.state.fileOptionLines, run.state.codePage());
        if (run.request.format == ReportFormat::Tsv) {
            for (const auto& [key, value] : settings)
                run.out << key << '\t' << value << '\n';
            return;
        }
        run.report.settings = settings;
        QStringList lines;
        for (int entry = kFirstEntry; entry <= kLastEntry; ++entry)
            lines.append(fromCodePage(run.state.fileOptionLines[entry], run.state.codePage()));
        run.report.lines = lines;
        return;
    }
    const std::optional<SummaryTexts> texts =
        summaryTexts(run.state.fileOptionLines, run.state.programFolder, run.state.codePage());
    if (texts) {
        for (const SummaryRow& row : kSummaryRows) {
            const QString text =
                row.namingPath ? ((*texts).*row.namingPath).whole() : (*texts).*row.text;
            run.out << QCoreApplication::translate("dexlan::SummaryPage", row.heading) << '\n';
            for (const QString& line : asLines(text).split(QLatin1Char('\n')))
                run.out << "    " << line << '\n';
        }
        run.out << '\n';
    }
    run.out << shownPath(run.state.programFolder) << QLatin1String(kOptionsFileName) << '\n';
    for (int entry = kFirstEntry; entry <= kLastEntry; ++entry)
        run.out << QStringLiteral("%1  ").arg(entry, 2)
                << fromCodePage(run.state.fileOptionLines[entry], run.state.codePage()) << '\n';
    run.out << QCoreApplication::translate("AdminCommandLine", "Code page: %1")
                   .arg(codePageName(run.state.codePage()))
            << '\n';
}

void get(Run& run, const QStringList& keys) {
    const std::vector<std::pair<QString, QString>> settings =
        adminSettingValues(run.state.fileOptionLines, run.state.codePage());
    for (const QString& key : keys) {
        const auto found = std::find_if(settings.begin(), settings.end(),
                                        [&key](const auto& one) { return one.first == key; });
        if (found == settings.end())
            continue; // refused by the parser already
        switch (run.request.format) {
        case ReportFormat::Text:
            run.out << found->second << '\n';
            break;
        case ReportFormat::Tsv:
            run.out << found->first << '\t' << found->second << '\n';
            break;
        case ReportFormat::Json:
            run.report.values.push_back(*found);
            break;
        }
    }
}

// --- The roster -----------------------------------------------------------------

// Takes the roster's lock on folder, waiting for another copy for a while;
// false after telling why it cannot be had.
bool lockRosterOrRefuse(Run& run, FolderLock& lock, const QString& folder) {
    if (lockRoster(lock, folder, kRosterWaitOnCommandLineMs) != RosterLocked::Busy)
        return true;
    run.refuse(rosterBusyReport(shownHistoryFolder(run.state)).prompt);
    return false;
}

// A history folder only Windows can reach: nothing can be read or changed there.
bool refusedForUnreachableFolder(Run& run, const QString& folder) {
    if (!folder.isEmpty())
        return false;
    run.refuse(cannotReadReport(windowsOnlyLocationText(), shownHistoryFolder(run.state)).prompt);
    return true;
}

// The folder's users, or nothing after telling why they cannot be read.
std::optional<UserListing> readUsers(Run& run, const QString& folder) {
    if (refusedForUnreachableFolder(run, folder))
        return std::nullopt;
    // Nothing here compares the folder later: no digest, so each file is
    // only opened, read and closed.
    ListingOptions options;
    options.digest = false;
    UserListing listing = listUsers(folder, options);
    if (listing.error.failed()) {
        run.refuse(cannotReadReport(listing.error.text, shownHistoryFolder(run.state)).prompt);
        return std::nullopt;
    }
    if (!listing.unreadable.empty())
        run.refuse(
            cannotReadReport(unreadableFilesText(listing.unreadable), shownHistoryFolder(run.state))
                .prompt);
    return listing;
}

const ListedUser* userNamed(const UserListing& listing, const QString& name,
                            const CodePage& codePage) {
    for (const ListedUser& user : listing.users) {
        if (shownName(user.name, codePage) == name)
            return &user;
    }
    return nullptr;
}

// A listed number below 1 comes from a file named with a minus sign or a zero;
// no history file is named after it, so the window deletes nothing, nor does this.
bool refusedForNoNumber(Run& run, const ListedUser& user, const QString& name) {
    if (user.number >= 1)
        return false;
    run.refuse(noUserNumberReport(name).prompt, change("delete", "refused", false, name));
    return true;
}

QString notKeptText(const QString& errorText, const QString& name) {
    return errorText + QLatin1Char('\n') +
           QCoreApplication::translate("AdminCommandLine",
                                       "%1 was not deleted: the history file cannot be "
                                       "kept for restoring.")
               .arg(name);
}

void deleteUser(Run& run, const QString& folder, const QString& name, const QDateTime& now) {
    const std::optional<UserListing> listing = readUsers(run, folder);
    if (!listing)
        return;
    std::vector<const ListedUser*> matches;
    for (const ListedUser& user : listing->users) {
        if (shownName(user.name, run.state.codePage()) == name)
            matches.push_back(&user);
    }
    if (matches.empty() && run.request.ifPresent) {
        run.result(QCoreApplication::translate("AdminCommandLine",
                                               "%1 is not on the list: nothing to delete.\n")
                       .arg(name),
                   change("delete", "not-there", false, name));
        return;
    }
    if (matches.size() != 1) {
        run.refuse(matches.empty()
                       ? QCoreApplication::translate(
                             "AdminCommandLine", "There is no one named  '%1'  in the user list.")
                             .arg(name)
                       : QCoreApplication::translate("AdminCommandLine",
                                                     "%1 users are named  '%2'  in the user list: "
                                                     "delete the one you mean in the window.")
                             .arg(QString::number(matches.size()), name),
                   change("delete", "refused", false, name));
        return;
    }
    const ListedUser& user = *matches.front();
    if (refusedForNoNumber(run, user, name))
        return;
    if (run.request.check) {
        // What holding needs is only tried by doing it; a holding folder
        // that cannot be read is one that cannot be written either.
        const FileError unholdable = readHoldingFolder(folder);
        if (unholdable.failed() && !run.request.force) {
            run.refuse(notKeptText(unholdable.text, name),
                       change("delete", "refused", false, name, user.number));
            return;
        }
        run.result(
            QCoreApplication::translate("AdminCommandLine", "Would delete %1 (number %2).\n")
                .arg(name, QString::number(user.number)),
            change("delete", unholdable.failed() ? "deleted" : "held", true, name, user.number));
        return;
    }
    // Nobody to ask: what cannot be held for restoring is not deleted, unless
    // --force says beforehand that it may be.
    std::function<bool(const QString&)> deleteForGood;
    if (run.request.force)
        deleteForGood = [&run, &name](const QString& errorText) {
            run.dialogs.tell(errorText + QLatin1Char('\n') + cannotBeUndoneText(name));
            return true;
        };
    const Deletion deletion =
        deleteHoldingFirst(user.path, user.number, name, now, deleteForGood, run.state.codePage());
    switch (deletion.outcome) {
    case Deletion::Held:
        // All arguments in one arg(), so that a name holding "%2" stays as it is.
        run.result(
            QCoreApplication::translate(
                "AdminCommandLine",
                "Deleted %1 (number %2); --restore-user brings the name back within %3 days.\n")
                .arg(name, QString::number(user.number), QString::number(kHeldDays)),
            change("delete", "held", true, name, user.number));
        return;
    case Deletion::Deleted:
        run.result(
            QCoreApplication::translate("AdminCommandLine", "Deleted %1 (number %2) for good.\n")
                .arg(name, QString::number(user.number)),
            change("delete", "deleted", true, name, user.number));
        return;
    case Deletion::Replaced:
        run.refuse(replacedFileReport(name, deletion.nameNow, user.path).prompt,
                   change("delete", "refused", false, name, user.number));
        return;
    case Deletion::Declined:
        run.refuse(notKeptText(deletion.error.text, name),
                   change("delete", "refused", false, name, user.number));
        return;
    case Deletion::Failed:
        run.refuse(cannotDeleteReport(deletion.error.text, user.path).prompt,
                   change("delete", "refused", false, name, user.number));
        return;
    }
}

void restoreUser(Run& run, const QString& folder, const QString& name) {
    if (refusedForUnreachableFolder(run, folder))
        return;
    const std::vector<HeldName> held = listHeldNames(folder, run.state.codePage());
    // The newest deletion of that name, should it have been deleted twice.
    const auto found = std::find_if(held.begin(), held.end(),
                                    [&name](const HeldName& one) { return one.name == name; });
    if (found == held.end()) {
        if (const FileError unreadable = readHoldingFolder(folder); unreadable.failed()) {
            run.refuse(QCoreApplication::translate("AdminCommandLine",
                                                   "The deleted names cannot be read: %1")
                           .arg(unreadable.text),
                       change("restore", "refused", false, name));
            return;
        }
        // Restored already (by an earlier run of the same command): done.
        const std::optional<UserListing> listing = readUsers(run, folder);
        if (!listing)
            return;
        if (const ListedUser* onList = userNamed(*listing, name, run.state.codePage())) {
            run.result(QCoreApplication::translate(
                           "AdminCommandLine", "%1 is on the list already: nothing to restore.\n")
                           .arg(name),
                       change("restore", "already-there", false, name, onList->number));
            return;
        }
        run.refuse(
            QCoreApplication::translate("AdminCommandLine", "%1 is not among the deleted names.")
                .arg(name),
            change("restore", "refused", false, name));
        return;
    }
    if (run.request.check) {
        const std::optional<UserListing> listing = readUsers(run, folder);
        if (!listing)
            return;
        if (userNamed(*listing, name, run.state.codePage())) {
            run.refuse(duplicateNameReport(name).prompt,
                       change("restore", "refused", false, name, found->number));
            return;
        }
        run.result(QCoreApplication::translate("AdminCommandLine", "Would restore %1.\n").arg(name),
                   change("restore", "restored", true, name, found->number));
        return;
    }
    const RestoreResult restored =
        restoreHeldName(folder, *found, kRosterWaitOnCommandLineMs, run.state.codePage());
    switch (restored.outcome) {
    case RestoreResult::Restored: {
        QString text = QCoreApplication::translate("AdminCommandLine", "Restored %1 (number %2).\n")
                           .arg(name, QString::number(restored.number));
        ChangeRecord record = change("restore", "restored", true, name, restored.number);
        if (restored.numberChanged) {
            record.reason = asLines(
                restoredUnderOtherNumberReport(name, found->number, restored.number).prompt);
            text += record.reason + QLatin1Char('\n');
        }
        run.result(text, std::move(record));
        return;
    }
    case RestoreResult::NameOnList:
        run.refuse(duplicateNameReport(name).prompt,
                   change("restore", "refused", false, name, found->number));
        return;
    case RestoreResult::Gone:
        run.refuse(noLongerHeldReport(name).prompt, change("restore", "refused", false, name));
        return;
    case RestoreResult::Failed:
        run.refuse(cannotRestoreReport(restored.error.text, restored.path).prompt,
                   change("restore", "refused", false, name, found->number));
        return;
    case RestoreResult::NumbersUsedUp:
        run.refuse(cannotRestoreReport(numbersUsedUpText(), found->heldPath).prompt,
                   change("restore", "refused", false, name, found->number));
        return;
    case RestoreResult::Busy:
        run.refuse(rosterBusyReport(shownHistoryFolder(run.state)).prompt,
                   change("restore", "refused", false, name, found->number));
        return;
    }
}

// "-" is standard input, read within the same bound as a file.
ClassList readClassListOrStandardInput(const QString& source, QIODevice& standardInput,
                                       const CodePage& codePage) {
    if (source != QLatin1String("-"))
        return readClassListFile(source, codePage);
    return readClassList(
        standardInput, QCoreApplication::translate("AdminCommandLine", "standard input"), codePage);
}

// A name on the list already, or twice in the class list, is there once the
// command is done: that is what was asked, not a refusal.
bool alreadyThere(const RefusedName& refused) {
    return refused.reason == RefusalReason::AlreadyOnList ||
           refused.reason == RefusalReason::GivenTwice;
}

// "1 name …" or "%1 names …", ending in a colon when names follow.
QString countedNamesText(size_t count, const QString& one, const QString& many) {
    const QString text = count == 1 ? one : many.arg(count);
    return text + (count ? QLatin1Char(':') : QLatin1Char('.'));
}

void addUsers(Run& run, const QString& folder, const QString& source, QIODevice& standardInput) {
    const ClassList list =
        readClassListOrStandardInput(source, standardInput, run.state.codePage());
    if (list.refusal) {
        run.refuse(list.refusal->prompt);
        return;
    }
    const QStringList& names = list.names;
    if (refusedForUnreachableFolder(run, folder))
        return;
    // The names on the list are read, and the files made, while no other copy
    // adds: two copies adding one class list never both find a name free.
    // A check makes nothing, not even the lock.
    FolderLock lock;
    if (!run.request.check && !lockRosterOrRefuse(run, lock, folder))
        return;
    QStringList namesOnList;
    std::vector<int> numbers;
    if (PathStatus(folder).isDir()) {
        const std::optional<UserListing> listing = readUsers(run, folder);
        if (!listing)
            return;
        for (const ListedUser& user : listing->users) {
            namesOnList.append(shownName(user.name, run.state.codePage()));
            numbers.push_back(user.number);
        }
    }
    BulkAddPlan plan = planBulkAdd(names, namesOnList, run.state.codePage());
    std::vector<RefusedName> there;
    std::vector<RefusedName> refusedByPlan;
    for (RefusedName& refused : plan.refused)
        (alreadyThere(refused) ? there : refusedByPlan).push_back(std::move(refused));
    plan.refused = refusedByPlan;

    BulkAddResult result;
    QString text;
    if (run.request.check) {
        result.refused = plan.refused;
        text = countedNamesText(
                   plan.toAdd.size(),
                   QCoreApplication::translate("AdminCommandLine", "1 name would be added"),
                   QCoreApplication::translate("AdminCommandLine", "%1 names would be added")) +
               QLatin1Char('\n');
        for (const PlannedName& name : plan.toAdd) {
            text += QStringLiteral("    ") + name.name + QLatin1Char('\n');
            result.added.push_back({name.name, 0, {}});
        }
    } else {
        RandomNumbers random;
        result =
            carryOutBulkAdd(folder, plan, numbers, [&random] { return random.forNewFile(); }, {});
        text = addedNamesText(result.added);
    }
    if (!there.empty()) {
        text += QLatin1Char('\n') +
                countedNamesText(
                    there.size(),
                    QCoreApplication::translate("AdminCommandLine", "1 name already there"),
                    QCoreApplication::translate("AdminCommandLine", "%1 names already there")) +
                QLatin1Char('\n');
        for (const RefusedName& name : there)
            text += QStringLiteral("    ") + name.name + QStringLiteral(": ") + refusalText(name) +
                    QLatin1Char('\n');
    }
    // One report of the whole list; each name is kept for the rows and the JSON.
    std::vector<ChangeRecord> records;
    for (const AddedName& name : result.added)
        records.push_back(change("add", "added", true, name.name, name.number));
    for (const RefusedName& name : there) {
        const qsizetype at = namesOnList.indexOf(name.name);
        ChangeRecord record =
            change("add", "already-there", false, name.name, at >= 0 ? numbers[size_t(at)] : 0);
        record.reason = refusalText(name);
        records.push_back(std::move(record));
    }
    if (!run.request.quiet && run.text())
        run.out << shownPath(text);
    for (ChangeRecord& record : records) {
        if (!run.request.quiet && run.request.format == ReportFormat::Tsv)
            run.out << changeRows(record);
        run.report.changes.push_back(std::move(record));
    }
    if (!result.refused.empty()) {
        run.dialogs.tell(refusedNamesText(result.refused).chopped(1));
        run.refused = true;
        for (const RefusedName& name : result.refused) {
            ChangeRecord record = change("add", "refused", false, name.name);
            record.reason = refusalText(name);
            run.report.changes.push_back(std::move(record));
        }
    }
}

void listAllUsers(Run& run, const QString& folder) {
    const std::optional<UserListing> listing = readUsers(run, folder);
    if (!listing)
        return;
    // The list's order, with each name's sort key made once rather than
    // twice in every comparison.
    struct Row {
        QCollatorSortKey key;
        QString name;
        int number;
    };
    const ListOrder order;
    std::vector<Row> rows;
    rows.reserve(listing->users.size());
    for (const ListedUser& user : listing->users) {
        QString name = shownName(user.name, run.state.codePage());
        rows.push_back({order.sortKeyFor(name), std::move(name), user.number});
    }
    std::sort(rows.begin(), rows.end(), [](const Row& a, const Row& b) {
        if (const int byName = ListOrder::compare(a.key, a.name, b.key, b.name))
            return byName < 0;
        return a.number < b.number;
    });
    if (run.request.format == ReportFormat::Json) {
        std::vector<ReportedUser> users;
        users.reserve(rows.size());
        for (const Row& row : rows)
            users.push_back({row.number, row.name, {}});
        run.report.users = std::move(users);
        return;
    }
    // Text and rows alike: number, tab, name.
    for (const Row& row : rows)
        run.out << row.number << '\t' << row.name << '\n';
}

QString isoTime(const QDateTime& time) {
    return time.toUTC().toString(Qt::ISODate);
}

void listDeletedUsers(Run& run, const QString& folder) {
    if (refusedForUnreachableFolder(run, folder))
        return;
    const std::vector<HeldName> held = listHeldNames(folder, run.state.codePage());
    if (held.empty()) {
        if (const FileError unreadable = readHoldingFolder(folder); unreadable.failed()) {
            run.refuse(QCoreApplication::translate("AdminCommandLine",
                                                   "The deleted names cannot be read: %1")
                           .arg(unreadable.text));
            return;
        }
    }
    switch (run.request.format) {
    case ReportFormat::Text:
        for (const HeldName& one : held)
            run.out << QCoreApplication::translate("AdminCommandLine",
                                                   "%1 (number %2), deleted on %3\n")
                           .arg(one.name, QString::number(one.number),
                                shownDeletionTime(one.deletedAt));
        return;
    case ReportFormat::Tsv:
        for (const HeldName& one : held)
            run.out << one.number << '\t' << one.name << '\t' << isoTime(one.deletedAt) << '\n';
        return;
    case ReportFormat::Json: {
        std::vector<ReportedUser> users;
        for (const HeldName& one : held)
            users.push_back({one.number, one.name, isoTime(one.deletedAt)});
        run.report.deleted = std::move(users);
        return;
    }
    }
}

// Held names kept their time are erased by a command that changes the roster
// (never by one that only lists or checks), sparing those it restores.
void eraseExpired(Run& run, const QString& historyFolder) {
    for (const HeldName& erased :
         eraseExpiredHeldNames(historyFolder, run.request.restoreUsers, run.state.codePage())) {
        ChangeRecord record = change("erase", "erased", true, erased.name, erased.number);
        record.deletedAt = isoTime(erased.deletedAt);
        run.result(
            QCoreApplication::translate("AdminCommandLine",
                                        "%1, deleted on %2, was kept %3 days and is now erased.\n")
                .arg(erased.name, shownDeletionTime(erased.deletedAt), QString::number(kHeldDays)),
            std::move(record));
    }
}

// The status a run ends with.
int statusOf(const Run& run) {
    if (run.refused)
        return kAdminRefused;
    if (run.request.check && std::any_of(run.report.changes.begin(), run.report.changes.end(),
                                         [](const ChangeRecord& change) { return change.changed; }))
        return kAdminWouldChange;
    return kAdminDone;
}

// Says where the trainer was looked for: a script run on many computers must
// tell which one lacks it.
QString trainerNotFoundText(const QString& named) {
    const QString shown = shownPath(named);
    if (!PathStatus(named).exists())
        return QCoreApplication::translate("AdminCommandLine", "%1: no such folder.").arg(shown);
    return QCoreApplication::translate("AdminCommandLine", "%1: \"%2\" is not there.")
        .arg(shown, QLatin1String(kTrainerExecutable));
}

void carryOut(Run& run, QIODevice& standardInput, const QDateTime& now) {
    const AdminRequest& request = run.request;
    const std::optional<QString> folder = namedTrainerFolder(request.trainer, run.state.pathPolicy);
    if (!folder) {
        run.refuse(trainerNotFoundText(request.trainer) + QLatin1Char('\n') +
                   locateTrainerRefusal().prompt);
        return;
    }
    run.report.trainer = shownPath(*folder);
    run.state.programFolder = *folder;
    run.state.docsInstalled = fileExists(*folder + QLatin1String(kDocumentationPage));
    run.state.startupDone = true;
    const std::optional<LoadedWindowValues> loaded = readOptionsFile(run.state, run.dialogs);
    if (!loaded) {
        run.refuse(QCoreApplication::translate("AdminCommandLine", "The trainer's folder: %1")
                       .arg(shownPath(*folder)));
        return;
    }
    copyOptionLines(run.state);

    if (!request.settings.isEmpty())
        saveSettings(run, request.settings, loaded->locationBoxText);

    const bool rosterChange = !request.addUsers.isEmpty() || !request.deleteUsers.isEmpty() ||
                              !request.restoreUsers.isEmpty();
    const QString historyFolder = run.folder();
    if (rosterChange && !request.check && !historyFolder.isEmpty())
        eraseExpired(run, historyFolder);
    for (const QString& name : request.deleteUsers)
        deleteUser(run, historyFolder, name, now);
    for (const QString& name : request.restoreUsers)
        restoreUser(run, historyFolder, name);
    for (const QString& source : request.addUsers)
        addUsers(run, historyFolder, source, standardInput);
    if (request.listUsers)
        listAllUsers(run, historyFolder);
    if (request.listDeleted)
        listDeletedUsers(run, historyFolder);
    if (request.show)
        show(run);
    if (!request.get.isEmpty())
        get(run, request.get);
}

} // namespace

std::optional<AdminSetting> parseAdminSetting(const QString& keyAndValue) {
    const qsizetype equals = keyAndValue.indexOf(QLatin1Char('='));
    if (equals < 0)
        return std::nullopt;
    const QString key = keyAndValue.left(equals);
    const QString value = keyAndValue.mid(equals + 1);
    if (key == kLocationKey)
        return AdminSetting{EntryHistoryLocation, {}, value};
    for (const SettingKey& known : kSettingKeys) {
        if (key != QLatin1String(known.key))
            continue;
        for (const SettingValue& word : known.values) {
            if (!word.word)
                break;
            // The options file's own literal is taken as well.
            if (value == QLatin1String(word.word) || value == QLatin1String(word.value))
                return AdminSetting{known.entry, word.value, {}};
        }
    }
    return std::nullopt;
}

QString adminSettingKeysText() {
    QStringList lines;
    for (const SettingKey& known : kSettingKeys) {
        QStringList words;
        for (const SettingValue& word : known.values) {
            if (!word.word)
                break;
            words.append(QLatin1String(word.word));
        }
        lines.append(QStringLiteral("  %1=%2").arg(QLatin1String(known.key),
                                                   words.join(QLatin1String(" | "))));
    }
    lines.append(
        QStringLiteral("  location=PATH ") +
        QCoreApplication::translate("AdminCommandLine", "(empty: the trainer's own folder)"));
    return lines.join(QLatin1Char('\n'));
}

QStringList adminGetKeys() {
    QStringList keys;
    for (const SettingKey& known : kSettingKeys)
        keys.append(QLatin1String(known.key));
    keys.insert(1, kLocationKey);
    keys.append(kTypeKey);
    return keys;
}

std::vector<std::pair<QString, QString>> adminSettingValues(const OptionLines& lines,
                                                            const CodePage& codePage) {
    std::vector<std::pair<QString, QString>> settings;
    for (const QString& key : adminGetKeys()) {
        if (key == kLocationKey) {
            const QByteArray& location = lines[EntryHistoryLocation];
            settings.emplace_back(
                key, location == values::kHistHome ? QString() : fromCodePage(location, codePage));
            continue;
        }
        if (key == kTypeKey) {
            QString type = fromCodePage(lines[EntryInstallation], codePage);
            // One word, as a script compares it: "single computer" is "single-computer".
            for (const char* installation :
                 {values::kSingleComputer, values::kNetwork, values::kIndividual}) {
                if (lines[EntryInstallation] == installation)
                    type = QString::fromLatin1(installation)
                               .replace(QLatin1Char(' '), QLatin1Char('-'));
            }
            settings.emplace_back(key, type);
            continue;
        }
        for (const SettingKey& known : kSettingKeys) {
            if (key != QLatin1String(known.key))
                continue;
            QString value = fromCodePage(lines[known.entry], codePage);
            for (const SettingValue& word : known.values) {
                if (word.word && lines[known.entry] == word.value)
                    value = QLatin1String(word.word);
            }
            settings.emplace_back(key, value);
        }
    }
    return settings;
}

int runAdministration(const AdminRequest& request, QTextStream& out, QTextStream& err,
                      QIODevice& standardInput, const QDateTime& now) {
    Run run(request, out, err);
    carryOut(run, standardInput, now);
    run.report.status = statusOf(run);
    // JSON is one document, whole at the end; under --quiet only when
    // something was asked that is printed anyway.
    if (request.format == ReportFormat::Json && (!request.quiet || request.asksQuestions()))
        out << QString::fromUtf8(reportJson(run.report));
    out.flush();
    err.flush();
    return run.report.status;
}

} // namespace dexlan
