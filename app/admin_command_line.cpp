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
#include "roster/bulk_add.h"
#include "roster/held_names.h"
#include "roster/held_names_messages.h"
#include "roster/history_folder.h"
#include "roster/random_numbers.h"
#include "roster/roster_decisions.h"
#include "roster/roster_messages.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

#include <algorithm>
#include <array>

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
    Run(QTextStream& o, QTextStream& e) : out(o), err(e), dialogs(e) {}
    QTextStream& out;
    QTextStream& err;
    CommandLineDialogs dialogs;
    SharedState state;
    bool refused = false;

    void refuse(const QString& prompt) {
        dialogs.tell(prompt);
        refused = true;
    }
    QString folder() const { return reachableHistoryFolder(state); }
};

// --- Settings -------------------------------------------------------------------

// Whether the history mode suits the installation, as the window's buttons do.
bool modeSuitsInstallation(const OptionLines& lines, const QByteArray& mode) {
    const std::optional<InstallationGroup> group = installationGroup(lines[EntryInstallation]);
    return group && historyModeCase(*group, mode);
}

void applySettings(Run& run, const QStringList& settings, QString& locationText) {
    for (const QString& given : settings) {
        const std::optional<AdminSetting> setting = parseAdminSetting(given);
        if (!setting)
            continue; // refused by the parser already
        if (setting->entry == EntryHistoryLocation) {
            locationText = normalisedLocation(setting->locationText, run.state.pathPolicy);
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
                    .arg(fromCodePage(setting->value),
                         fromCodePage(run.state.optionLines[EntryInstallation])));
            continue;
        }
        run.state.optionLines[setting->entry] = setting->value;
    }
}

// The window proves a new location as soon as it is typed; here nobody can be
// asked to have a missing folder made, so the administrator is told.
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

void saveSettings(Run& run, const QStringList& settings, const QString& loadedLocationText) {
    QString locationText = loadedLocationText;
    applySettings(run, settings, locationText);
    const OptionLines before = run.state.fileOptionLines;
    const std::optional<SavedLocation> location =
        locationForSaving(locationText, run.state.programFolder, run.state.pathPolicy);
    const bool locationChanged = !location || location->entry5 != before[EntryHistoryLocation];
    if (!optionsChanged(run.state.optionLines, before) && !locationChanged) {
        run.out << QCoreApplication::translate(
            "AdminCommandLine", "Nothing changed: Dexlan4.ini already holds these settings.\n");
        return;
    }
    const bool toldBefore = run.dialogs.told();
    saveOptionsFile(run.state, run.dialogs, locationText);
    if (run.state.fileOptionLines == before || run.dialogs.told() != toldBefore) {
        run.refused = true;
        run.err << kProgramName << ": "
                << QCoreApplication::translate("AdminCommandLine",
                                               "Dexlan4.ini was not changed.\n");
        return;
    }
    for (int entry = kFirstEntry; entry <= kLastEntry; ++entry) {
        if (before[entry] != run.state.fileOptionLines[entry])
            run.out << QCoreApplication::translate("AdminCommandLine",
                                                   "Line %1: \"%2\" -> \"%3\"\n")
                           .arg(QString::number(entry), fromCodePage(before[entry]),
                                fromCodePage(run.state.fileOptionLines[entry]));
    }
    run.state.historyFolder = historyFolderFromEntry(
        run.state.fileOptionLines[EntryHistoryLocation], run.state.pathPolicy);
    if (before[EntryHistoryLocation] != run.state.fileOptionLines[EntryHistoryLocation])
        checkNewLocation(run);
}

void show(Run& run) {
    const std::optional<SummaryTexts> texts =
        summaryTexts(run.state.fileOptionLines, run.state.programFolder);
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
                << fromCodePage(run.state.fileOptionLines[entry]) << '\n';
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

// The folder's users, or nothing after telling why they cannot be read.
std::optional<UserListing> readUsers(Run& run, const QString& folder) {
    if (folder.isEmpty()) {
        run.refuse(
            cannotReadReport(windowsOnlyLocationText(), shownHistoryFolder(run.state)).prompt);
        return std::nullopt;
    }
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

// A listed number below 1 comes from a file named with a minus sign or a zero;
// no history file is named after it, so the window deletes nothing, nor does this.
bool refusedForNoNumber(Run& run, const ListedUser& user, const QString& name) {
    if (user.number >= 1)
        return false;
    run.refuse(noUserNumberReport(name).prompt);
    return true;
}

void deleteUser(Run& run, const QString& folder, const QString& name, const QDateTime& now) {
    const std::optional<UserListing> listing = readUsers(run, folder);
    if (!listing)
        return;
    std::vector<const ListedUser*> matches;
    for (const ListedUser& user : listing->users) {
        if (shownName(user.name) == name)
            matches.push_back(&user);
    }
    if (matches.size() != 1) {
        run.refuse(matches.empty()
                       ? QCoreApplication::translate(
                             "AdminCommandLine", "There is no one named  '%1'  in the user list.")
                             .arg(name)
                       : QCoreApplication::translate("AdminCommandLine",
                                                     "%1 users are named  '%2'  in the user list: "
                                                     "delete the one you mean in the window.")
                             .arg(QString::number(matches.size()), name));
        return;
    }
    const ListedUser& user = *matches.front();
    if (refusedForNoNumber(run, user, name))
        return;
    // Nobody to ask: what cannot be held for restoring is not deleted.
    const Deletion deletion = deleteHoldingFirst(user.path, user.number, name, now, {});
    switch (deletion.outcome) {
    case Deletion::Held:
        // All arguments in one arg(), so that a name holding "%2" stays as it is.
        run.out
            << QCoreApplication::translate(
                   "AdminCommandLine",
                   "Deleted %1 (number %2); --restore-user brings the name back within %3 days.\n")
                   .arg(name, QString::number(user.number), QString::number(kHeldDays));
        return;
    case Deletion::Deleted:
        run.out << QCoreApplication::translate("AdminCommandLine",
                                               "Deleted %1 (number %2) for good.\n")
                       .arg(name, QString::number(user.number));
        return;
    case Deletion::Replaced:
        run.refuse(replacedFileReport(name, deletion.nameNow, user.path).prompt);
        return;
    case Deletion::Declined:
        run.refuse(deletion.error.text + QLatin1Char('\n') +
                   QCoreApplication::translate("AdminCommandLine",
                                               "%1 was not deleted: the history file cannot be "
                                               "kept for restoring.")
                       .arg(name));
        return;
    case Deletion::Failed:
        run.refuse(cannotDeleteReport(deletion.error.text, user.path).prompt);
        return;
    }
}

void restoreUser(Run& run, const QString& folder, const QString& name) {
    if (folder.isEmpty()) {
        run.refuse(
            cannotReadReport(windowsOnlyLocationText(), shownHistoryFolder(run.state)).prompt);
        return;
    }
    const std::vector<HeldName> held = listHeldNames(folder);
    // The newest deletion of that name, should it have been deleted twice.
    const auto found = std::find_if(held.begin(), held.end(),
                                    [&name](const HeldName& one) { return one.name == name; });
    if (found == held.end()) {
        if (const FileError unreadable = readHoldingFolder(folder); unreadable.failed()) {
            run.refuse(QCoreApplication::translate("AdminCommandLine",
                                                   "The deleted names cannot be read: %1")
                           .arg(unreadable.text));
            return;
        }
        run.refuse(
            QCoreApplication::translate("AdminCommandLine", "%1 is not among the deleted names.")
                .arg(name));
        return;
    }
    const RestoreResult restored = restoreHeldName(folder, *found, kRosterWaitOnCommandLineMs);
    switch (restored.outcome) {
    case RestoreResult::Restored:
        run.out << QCoreApplication::translate("AdminCommandLine", "Restored %1 (number %2).\n")
                       .arg(name, QString::number(restored.number));
        if (restored.numberChanged)
            run.dialogs.tell(
                restoredUnderOtherNumberReport(name, found->number, restored.number).prompt);
        return;
    case RestoreResult::NameOnList:
        run.refuse(duplicateNameReport(name).prompt);
        return;
    case RestoreResult::Gone:
        run.refuse(noLongerHeldReport(name).prompt);
        return;
    case RestoreResult::Failed:
        run.refuse(cannotRestoreReport(restored.error.text, restored.path).prompt);
        return;
    case RestoreResult::NumbersUsedUp:
        run.refuse(cannotRestoreReport(numbersUsedUpText(), found->heldPath).prompt);
        return;
    case RestoreResult::Busy:
        run.refuse(rosterBusyReport(shownHistoryFolder(run.state)).prompt);
        return;
    }
}

// "-" is standard input, read within the same bound as a file.
ClassList readClassListOrStandardInput(const QString& source, QIODevice& standardInput) {
    if (source != QLatin1String("-"))
        return readClassListFile(source);
    return readClassList(standardInput,
                         QCoreApplication::translate("AdminCommandLine", "standard input"));
}

void addUsers(Run& run, const QString& folder, const QString& source, QIODevice& standardInput) {
    const ClassList list = readClassListOrStandardInput(source, standardInput);
    if (list.refusal) {
        run.refuse(list.refusal->prompt);
        return;
    }
    const QStringList& names = list.names;
    if (folder.isEmpty()) {
        run.refuse(
            cannotReadReport(windowsOnlyLocationText(), shownHistoryFolder(run.state)).prompt);
        return;
    }
    // The names on the list are read, and the files made, while no other copy
    // adds: two copies adding one class list never both find a name free.
    FolderLock lock;
    if (!lockRosterOrRefuse(run, lock, folder))
        return;
    QStringList namesOnList;
    std::vector<int> numbers;
    if (PathStatus(folder).isDir()) {
        const std::optional<UserListing> listing = readUsers(run, folder);
        if (!listing)
            return;
        for (const ListedUser& user : listing->users) {
            namesOnList.append(shownName(user.name));
            numbers.push_back(user.number);
        }
    }
    RandomNumbers random;
    const BulkAddResult result = carryOutBulkAdd(folder, planBulkAdd(names, namesOnList), numbers,
                                                 [&random] { return random.forNewFile(); }, {});
    run.out << shownPath(bulkAddSummaryText(result));
    if (!result.refused.empty())
        run.refused = true;
}

void listAllUsers(Run& run, const QString& folder) {
    const std::optional<UserListing> listing = readUsers(run, folder);
    if (!listing)
        return;
    // The list's order (listsBefore), with each name's sort key made once
    // rather than twice in every comparison.
    struct Row {
        QString key;
        QString name;
        int number;
    };
    std::vector<Row> rows;
    rows.reserve(listing->users.size());
    for (const ListedUser& user : listing->users) {
        QString name = shownName(user.name);
        QString key = listSortKey(name);
        rows.push_back({std::move(key), std::move(name), user.number});
    }
    std::sort(rows.begin(), rows.end(), [](const Row& a, const Row& b) {
        if (const int byKey = a.key.compare(b.key))
            return byKey < 0;
        if (const int byName = a.name.compare(b.name))
            return byName < 0;
        return a.number < b.number;
    });
    for (const Row& row : rows)
        run.out << row.number << '\t' << row.name << '\n';
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

int runAdministration(const AdminRequest& request, QTextStream& out, QTextStream& err,
                      QIODevice& standardInput, const QDateTime& now) {
    Run run(out, err);
    const std::optional<QString> folder = namedTrainerFolder(request.trainer, run.state.pathPolicy);
    if (!folder) {
        run.refuse(locateTrainerRefusal().prompt);
        return 1;
    }
    run.state.programFolder = *folder;
    run.state.docsInstalled = fileExists(*folder + QLatin1String(kDocumentationPage));
    run.state.startupDone = true;
    const std::optional<LoadedWindowValues> loaded = readOptionsFile(run.state, run.dialogs);
    if (!loaded)
        return 1;
    copyOptionLines(run.state);

    if (!request.settings.isEmpty())
        saveSettings(run, request.settings, loaded->locationBoxText);

    // Held names kept their time are erased by a command that changes the
    // roster (never by one that only lists), sparing those it restores.
    const bool rosterChange = !request.addUsers.isEmpty() || !request.deleteUsers.isEmpty() ||
                              !request.restoreUsers.isEmpty();
    const QString historyFolder = run.folder();
    if (rosterChange && !historyFolder.isEmpty()) {
        for (const HeldName& erased : eraseExpiredHeldNames(historyFolder, request.restoreUsers))
            err << kProgramName << ": "
                << QCoreApplication::translate(
                       "AdminCommandLine",
                       "%1, deleted on %2, was kept %3 days and is now erased.\n")
                       .arg(erased.name, shownDeletionTime(erased.deletedAt),
                            QString::number(kHeldDays));
    }
    for (const QString& name : request.deleteUsers)
        deleteUser(run, historyFolder, name, now);
    for (const QString& name : request.restoreUsers)
        restoreUser(run, historyFolder, name);
    for (const QString& source : request.addUsers)
        addUsers(run, historyFolder, source, standardInput);
    if (request.listUsers)
        listAllUsers(run, historyFolder);
    if (request.show)
        show(run);
    out.flush();
    err.flush();
    return run.refused ? 1 : 0;
}

} // namespace dexlan
