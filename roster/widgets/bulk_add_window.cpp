// SPDX-License-Identifier: GPL-3.0-or-later
#include "roster/widgets/bulk_add_window.h"

#include "platform/dialogs.h"
#include "platform/file_names.h"
#include "platform/line_break.h"
#include "roster/core/bulk_add.h"
#include "roster/core/roster_service.h"
#include "roster/widgets/user_roster.h"

#include <QCoreApplication>
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
    // A reading still running is shown first, with whatever it has to tell.
    roster.finishReading();
    const RosterOutcome outcome = roster.service().addNames(
        names, [&dialogs](const MsgBoxRequest& question) { return dialogs.msgBox(question); });
    if (outcome.message)
        dialogs.msgBox(*outcome.message);
    if (!outcome.bulkAdded)
        return;
    const BulkAddResult& result = *outcome.bulkAdded;
    if (!result.added.empty())
        roster.recordChange(
            {QStringLiteral("class-list"),
             {},
             0,
             QCoreApplication::translate("BulkAdd", "%1 of %2 names added")
                 .arg(QString::number(result.added.size()), QString::number(names.size()))});
    for (const AddedName& user : result.added)
        roster.recordChange({QStringLiteral("added"), user.name, user.number, {}});
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
