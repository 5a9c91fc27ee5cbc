// SPDX-License-Identifier: GPL-3.0-or-later
#include "roster/widgets/bulk_add_window.h"

#include "platform/dialogs.h"
#include "platform/file_names.h"
#include "platform/line_break.h"
#include "roster/core/bulk_add.h"
#include "roster/core/roster_service.h"
#include "roster/core/user_list_model.h"
#include "roster/widgets/class_list_preview.h"
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
             countedText("BulkAdd", QT_TRANSLATE_N_NOOP("BulkAdd", "%1 of %n name(s) added"),
                         names.size())
                 .arg(result.added.size())});
    for (const AddedName& user : result.added)
        roster.recordChange({QStringLiteral("added"), user.name, user.number, {}});
    AddSummaryWindow summary(result, parent);
    dialogs.showModal(summary);
}

void addNamesFromFile(UserRoster& roster, Dialogs& dialogs, QWidget* parent) {
    const QString path = dialogs.openFile(classListRequest());
    if (path.isEmpty())
        return;
    importClassList(roster, dialogs, path, parent);
}

void importClassList(UserRoster& roster, Dialogs& dialogs, const QString& path, QWidget* parent) {
    QByteArray bytes;
    const ClassList list = readClassListFile(path, roster.codePage(), {}, &bytes);
    // A file that is no class list is refused at once; one whose encoding is
    // in doubt is the preview's to settle.
    if (list.refusal && list.linesInDoubt.empty()) {
        dialogs.msgBox(*list.refusal);
        return;
    }
    // The refusals shown are those against the whole list.
    roster.finishReading();
    QStringList namesOnList;
    const UserListModel& model = roster.model();
    namesOnList.reserve(model.rowCount());
    for (int row = 0; row < model.rowCount(); ++row)
        namesOnList.append(model.text(row));
    ClassListPreview preview(bytes, shownPath(path), classListSourceOf(path), roster.codePage(),
                             namesOnList, parent);
    dialogs.showModal(preview);
    if (preview.result() != QDialog::Accepted || preview.list().refusal)
        return;
    addNamesInBulk(roster, dialogs, preview.list().names, parent);
}

} // namespace dexlan
