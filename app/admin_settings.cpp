// SPDX-License-Identifier: GPL-3.0-or-later
// The settings of Dexlan4.ini from the command line: --set, --get and --show.
#include "app/admin_run.h"

#include "options_file/option_vocabulary.h"
#include "options_file/options_file.h"
#include "options_window/history_explanation.h"
#include "options_window/option_buttons.h"
#include "options_window/summary_text.h"
#include "platform/code_page.h"
#include "platform/system_code_page.h"
#include "roster/core/roster_decisions.h"
#include "roster/core/roster_messages.h"

#include <QCoreApplication>

#include <algorithm>
#include <array>

namespace dexlan {

namespace {

using namespace admin;

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

// The lines a save changes in the file: those asked for, and those loading
// corrected (line 5 of a single computer, a missing line 12), which the save
// writes as well. A corrected line is one the settings left as loaded.
std::vector<LineChange> changedLines(const OptionLines& asRead, const OptionLines& loaded,
                                     const OptionLines& after, const CodePage& codePage) {
    std::vector<LineChange> lines;
    for (int entry = kFirstEntry; entry <= kLastEntry; ++entry) {
        if (asRead[entry] != after[entry])
            lines.push_back({entry, fromCodePage(asRead[entry], codePage),
                             fromCodePage(after[entry], codePage),
                             after[entry] == loaded[entry]});
    }
    return lines;
}

QString lineChangeText(const LineChange& line, bool wouldChange) {
    QString text =
        wouldChange ? QCoreApplication::translate("AdminCommandLine",
                                                  "Line %1 would change: \"%2\" -> \"%3\"")
                    : QCoreApplication::translate("AdminCommandLine", "Line %1: \"%2\" -> \"%3\"");
    text = text.arg(QString::number(line.line), line.before, line.after);
    if (line.corrected)
        text += QCoreApplication::translate("AdminCommandLine",
                                            " (corrected, as every save of the file does)");
    return text + QLatin1Char('\n');
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
} // namespace

namespace admin {

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
    if (changedLines(before, before, planned, run.state.codePage()).empty()) {
        run.result(
            QCoreApplication::translate(
                "AdminCommandLine", "Nothing changed: Dexlan4.ini already holds these settings.\n"),
            change("set", "unchanged", false));
        return;
    }
    if (run.request.check) {
        ChangeRecord record = change("set", "changed", true);
        record.lines = changedLines(run.linesAsRead, before, planned, run.state.codePage());
        QString text;
        for (const LineChange& line : record.lines)
            text += lineChangeText(line, true);
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
    record.lines = changedLines(run.linesAsRead, before, run.state.fileOptionLines,
                                 run.state.codePage());
    QString text;
    for (const LineChange& line : record.lines)
        text += lineChangeText(line, false);
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

} // namespace admin

std::optional<AdminSetting> parseAdminSetting(const QString& keyAndValue) {
    const qsizetype equals = keyAndValue.indexOf(QLatin1Char('='));
    if (equals < 0)
        return std::nullopt;
    const QString key = keyAndValue.left(equals);
    const QString value = keyAndValue.mid(equals + 1);
    if (key == kLocationKey)
        return AdminSetting{EntryHistoryLocation, {}, value};
    if (const OptionVocabulary* setting = vocabularyOfKey(key); setting && setting->settable) {
        for (const OptionWord& word : wordsOf(*setting)) {
            // The options file's own literal is taken as well.
            if (value == QLatin1String(word.word) || value == QLatin1String(word.value))
                return AdminSetting{setting->entry, word.value, {}};
        }
    }
    return std::nullopt;
}

QString adminSettingKeysText() {
    QStringList lines;
    for (const OptionVocabulary& setting : kOptionVocabulary) {
        if (!setting.settable)
            continue;
        QStringList words;
        for (const OptionWord& word : wordsOf(setting))
            words.append(QLatin1String(word.word));
        lines.append(QStringLiteral("  %1=%2").arg(QLatin1String(setting.key),
                                                   words.join(QLatin1String(" | "))));
    }
    lines.append(
        QStringLiteral("  location=PATH ") +
        QCoreApplication::translate("AdminCommandLine", "(empty: the trainer's own folder)"));
    return lines.join(QLatin1Char('\n'));
}

QStringList adminGetKeys() {
    // As --show lists them: the settings, the location after the history
    // mode, and the installation's type last.
    QStringList keys;
    for (const OptionVocabulary& setting : kOptionVocabulary) {
        if (setting.settable)
            keys.append(QLatin1String(setting.key));
    }
    keys.insert(1, kLocationKey);
    for (const OptionVocabulary& setting : kOptionVocabulary) {
        if (!setting.settable)
            keys.append(QLatin1String(setting.key));
    }
    return keys;
}

std::vector<std::pair<QString, QString>> adminSettingValues(const OptionLines& lines,
                                                            const CodePage& codePage) {
    std::vector<std::pair<QString, QString>> settings;
    for (const QString& key : adminGetKeys()) {
        if (key == kLocationKey) {
            const QByteArray& location = lines[EntryHistoryLocation];
            settings.emplace_back(key, location == values::kHistHome ? QString()
                                                                     : fromCodePage(location, codePage));
            continue;
        }
        const OptionVocabulary* setting = vocabularyOfKey(key);
        if (!setting)
            continue;
        const QByteArray& line = lines[setting->entry];
        QString value = fromCodePage(line, codePage);
        for (const OptionWord& word : wordsOf(*setting)) {
            if (line == word.value)
                value = QLatin1String(word.word);
        }
        settings.emplace_back(key, value);
    }
    return settings;
}

} // namespace dexlan
