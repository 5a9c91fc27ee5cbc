// SPDX-License-Identifier: GPL-3.0-or-later
// The roster from the command line: adding a class list, and listing the
// users and the deleted names.
#include "app/admin_run.h"

#include "roster/core/bulk_add.h"
#include "roster/core/held_names.h"
#include "roster/core/held_names_messages.h"
#include "roster/core/name_rules.h"
#include "roster/core/random_numbers.h"
#include "roster/core/roster_decisions.h"
#include "roster/core/roster_messages.h"
#include "roster/core/roster_service.h"

#include <QCoreApplication>

#include <algorithm>

namespace dexlan::admin {

namespace {

// A name on the list already, or twice in the class list, is there once the
// command is done: that is what was asked, not a refusal.
bool alreadyThere(const RefusedName& refused) {
    return refused.reason == RefusalReason::AlreadyOnList ||
           refused.reason == RefusalReason::GivenTwice;
}

// "1 name …" or "2 names …", ending in a colon when names follow.
QString countedNamesText(size_t count, const char* source) {
    return countedText("AdminCommandLine", source, qsizetype(count)) +
           (count ? QLatin1Char(':') : QLatin1Char('.'));
}

} // namespace

// "-" is standard input, read within the same bound as a file.
// A file whose encoding is in doubt is refused naming its first doubtful line
// and the option that settles it.
ClassList readClassListOrStandardInput(const QString& source, QIODevice& standardInput,
                                       const ImportChoices& choices, const CodePage& codePage) {
    const QString shown = source == QLatin1String("-")
                              ? QCoreApplication::translate("AdminCommandLine", "standard input")
                              : source;
    ClassList list = source == QLatin1String("-")
                         ? readClassList(standardInput, shown, codePage, choices)
                         : readClassListFile(source, codePage, choices);
    if (!list.linesInDoubt.empty() && list.refusal)
        list.refusal->prompt =
            QCoreApplication::translate(
                "AdminCommandLine",
                "%1: line %2 is not valid UTF-8, though other lines are; give --encoding utf-8 "
                "or --encoding code-page to say how the file is written.")
                .arg(shownPath(shown), QString::number(list.linesInDoubt.front()));
    return list;
}

void addUsers(Run& run, const QString& folder, const QString& source, QIODevice& standardInput) {
    const ClassList list = readClassListOrStandardInput(
        source, standardInput, run.request.importChoices, run.state.codePage());
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
        text =
            countedNamesText(plan.toAdd.size(),
                             QT_TRANSLATE_N_NOOP("AdminCommandLine", "%n name(s) would be added")) +
            QLatin1Char('\n');
        for (const PlannedName& name : plan.toAdd) {
            text += QStringLiteral("    ") + name.name + QLatin1Char('\n');
            result.added.push_back({name.name, 0, {}});
        }
    } else {
        RandomNumbers random;
        result =
            RosterService::addPlanned(folder, plan, numbers, [&random] { return random.forNewFile(); }, {});
        text = addedNamesText(result.added);
    }
    if (!there.empty()) {
        text += QLatin1Char('\n') +
                countedNamesText(there.size(), QT_TRANSLATE_N_NOOP("AdminCommandLine",
                                                                   "%n name(s) already there")) +
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
    if (!run.request.check && !result.added.empty())
        run.logChange(
            {QStringLiteral("class-list"),
             {},
             0,
             countedText("AdminCommandLine",
                         QT_TRANSLATE_N_NOOP("AdminCommandLine", "%1 of %n name(s) added from %2"),
                         names.size())
                 .arg(QString::number(result.added.size()), shownPath(source))});
    for (ChangeRecord& record : records) {
        if (record.changed && !run.request.check)
            run.logRecord(record);
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
    std::vector<Row> rows;
    rows.reserve(listing->users.size());
    const ListOrder order;
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

} // namespace dexlan::admin
