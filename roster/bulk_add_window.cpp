// SPDX-License-Identifier: GPL-3.0-or-later
#include "roster/bulk_add_window.h"

#include "platform/dialogs.h"
#include "platform/file_names.h"
#include "platform/line_break.h"
#include "roster/bulk_add.h"
#include "roster/history_folder.h"
#include "roster/random_numbers.h"
#include "roster/roster_decisions.h"
#include "roster/roster_messages.h"
#include "roster/user_roster.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <utility>

namespace dexlan {

AddSummaryWindow::AddSummaryWindow(const BulkAddResult& result, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("AddSummary"));
    setWindowTitle(tr("Add names..."));
    m_heading =
        new QLabel(result.refused.empty()
                       ? tr("Every name was added.")
                       : tr("Some names were not added.  The reason stands beside each of them."),
                   this);
    m_heading->setWordWrap(true);
    m_summary = new QPlainTextEdit(shownPath(bulkAddSummaryText(result)), this);
    m_summary->setObjectName(QStringLiteral("SummaryText"));
    m_summary->setReadOnly(true);
    m_summary->setAccessibleName(tr("Names added and refused"));
    m_heading->setBuddy(m_summary);
    m_okButton = new QPushButton(tr("OK"), this);
    m_okButton->setDefault(true);
    connect(m_okButton, &QPushButton::clicked, this, &QDialog::accept);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_okButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_heading);
    layout->addWidget(m_summary);
    layout->addLayout(buttons);
    resize(440, 360);
}

void addNamesInBulk(UserRoster& roster, Dialogs& dialogs, const QStringList& names,
                    QWidget* parent) {
    if (tooManyNames(names.size())) {
        dialogs.msgBox(tooManyNamesReport(names.size()));
        return;
    }
    const QString folder = roster.historyFolderPath();
    if (folder.isEmpty()) {
        dialogs.msgBox(cannotSaveReport(windowsOnlyLocationText(), roster.shownFolder()));
        return;
    }
    // The folder as it is now, not as the list was read: another copy or
    // administrator may have added names since. The list is read again only
    // then, and the names and numbers come from it.
    auto planAgainstFolder = [&roster, &folder, &names] {
        roster.refreshFromFolder(folder);
        const UserListModel& rows = roster.model();
        QStringList namesOnList;
        namesOnList.reserve(rows.rowCount());
        for (int row = 0; row < rows.rowCount(); ++row)
            namesOnList.append(rows.text(row));
        return std::pair(planBulkAdd(names, namesOnList, roster.codePage()), rows.numbers());
    };
    const BulkAddPlan asked = planAgainstFolder().first;
    if (!asked.toAdd.empty() &&
        dialogs.msgBox(bulkAddQuestion(int(asked.toAdd.size()))) != MsgAnswer::Yes)
        return;
    // No other copy adds meanwhile; what it added while the question was
    // open is on the list read again now.
    FolderLock lock;
    if (lockRoster(lock, folder, kRosterWaitInWindowMs) == RosterLocked::Busy) {
        dialogs.msgBox(rosterBusyReport(roster.shownFolder()));
        return;
    }
    const auto [plan, numbers] = planAgainstFolder();

    RandomNumbers random;
    const BulkAddResult result = carryOutBulkAdd(
        folder, plan, numbers, [&random] { return random.forNewFile(); },
        [&] { return dialogs.msgBox(addFolderQuestion(roster.shownFolder())) == MsgAnswer::Yes; });
    std::vector<UserListModel::NewRow> added;
    added.reserve(result.added.size());
    for (const AddedName& user : result.added)
        added.push_back({user.name, user.number, user.path});
    roster.listAddedUsers(std::move(added));
    AddSummaryWindow summary(result, parent);
    dialogs.showModal(summary);
}

void addNamesFromFile(UserRoster& roster, Dialogs& dialogs, QWidget* parent) {
    const QString path = dialogs.openFile(classListRequest());
    if (path.isEmpty())
        return;
    const ClassList list = readClassListFile(path, roster.codePage());
    if (list.refusal) {
        dialogs.msgBox(*list.refusal);
        return;
    }
    addNamesInBulk(roster, dialogs, list.names, parent);
}

} // namespace dexlan
