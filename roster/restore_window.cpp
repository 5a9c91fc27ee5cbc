// SPDX-License-Identifier: GPL-3.0-or-later
#include "roster/restore_window.h"

#include "platform/dialogs.h"
#include "roster/held_names_messages.h"
#include "roster/history_folder.h"
#include "roster/roster_messages.h"
#include "roster/user_roster.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace dexlan {

RestoreWindow::RestoreWindow(const QString& historyFolder, Dialogs& dialogs, QWidget* parent,
                             const CodePage& codePage)
    : QDialog(parent), m_historyFolder(historyFolder), m_codePage(codePage), m_dialogs(dialogs) {
    setObjectName(QStringLiteral("RestoreNames"));
    setWindowTitle(tr("Restore deleted names..."));

    m_keptFor = new QLabel(keptForText(), this);
    m_keptFor->setWordWrap(true);
    m_heldList = new QTreeWidget(this);
    m_heldList->setObjectName(QStringLiteral("HeldList"));
    m_heldList->setHeaderLabels({tr("Name"), tr("Deleted on")});
    m_heldList->setRootIsDecorated(false);
    m_heldList->setAccessibleName(tr("Deleted names"));
    m_heldList->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    m_heldList->header()->setStretchLastSection(false);
    m_keptFor->setBuddy(m_heldList);

    m_restoreButton = new QPushButton(tr("&Restore"), this);
    m_restoreButton->setObjectName(QStringLiteral("RestoreButton"));
    m_restoreButton->setDefault(true);
    m_eraseButton = new QPushButton(tr("&Erase now"), this);
    m_eraseButton->setObjectName(QStringLiteral("EraseButton"));
    m_closeButton = new QPushButton(tr("&Close"), this);
    m_closeButton->setObjectName(QStringLiteral("CloseButton"));
    connect(m_restoreButton, &QPushButton::clicked, this, &RestoreWindow::restoreSelected);
    connect(m_eraseButton, &QPushButton::clicked, this, &RestoreWindow::eraseSelected);
    connect(m_closeButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_heldList, &QTreeWidget::itemSelectionChanged, this, [this] {
        const bool chosen = selected() != nullptr;
        m_restoreButton->setEnabled(chosen);
        m_eraseButton->setEnabled(chosen);
    });
    connect(m_heldList, &QTreeWidget::itemDoubleClicked, this, &RestoreWindow::restoreSelected);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_restoreButton);
    buttons->addWidget(m_eraseButton);
    buttons->addStretch();
    buttons->addWidget(m_closeButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_keptFor);
    layout->addWidget(m_heldList);
    layout->addLayout(buttons);
    resize(460, 320);
    reload();
}

void RestoreWindow::reload() {
    m_held = listHeldNames(m_historyFolder, m_codePage);
    m_heldList->clear();
    for (size_t i = 0; i < m_held.size(); ++i) {
        auto* item = new QTreeWidgetItem(m_heldList,
                                         {m_held[i].name, shownDeletionTime(m_held[i].deletedAt)});
        item->setData(0, Qt::UserRole, qulonglong(i));
    }
    m_heldList->resizeColumnToContents(1);
    const FileError unreadable =
        m_held.empty() ? readHoldingFolder(m_historyFolder) : FileError::ok();
    m_keptFor->setText(unreadable.failed()
                           ? tr("The deleted names cannot be read: %1").arg(unreadable.text)
                           : keptForText(m_held.empty()));
    if (!m_held.empty())
        m_heldList->setCurrentItem(m_heldList->topLevelItem(0));
    const bool chosen = selected() != nullptr;
    m_restoreButton->setEnabled(chosen);
    m_eraseButton->setEnabled(chosen);
}

const HeldName* RestoreWindow::selected() const {
    const QTreeWidgetItem* item = m_heldList->currentItem();
    if (!item || !item->isSelected())
        return nullptr;
    return &m_held[item->data(0, Qt::UserRole).toULongLong()];
}

void RestoreWindow::restoreSelected() {
    const HeldName* held = selected();
    if (!held)
        return;
    const RestoreResult restored =
        restoreHeldName(m_historyFolder, *held, kRosterWaitInWindowMs, m_codePage);
    switch (restored.outcome) {
    case RestoreResult::Restored:
        m_restoredAny = true;
        if (restored.numberChanged)
            m_dialogs.msgBox(
                restoredUnderOtherNumberReport(held->name, held->number, restored.number));
        break;
    case RestoreResult::NameOnList:
        m_dialogs.msgBox(duplicateNameReport(held->name));
        return;
    case RestoreResult::Gone:
        m_dialogs.msgBox(noLongerHeldReport(held->name));
        break;
    case RestoreResult::Failed:
        m_dialogs.msgBox(cannotRestoreReport(restored.error.text, restored.path));
        return;
    case RestoreResult::NumbersUsedUp:
        m_dialogs.msgBox(cannotRestoreReport(numbersUsedUpText(), held->heldPath));
        return;
    case RestoreResult::Busy:
        m_dialogs.msgBox(rosterBusyReport(m_historyFolder));
        return;
    }
    reload();
}

void RestoreWindow::eraseSelected() {
    const HeldName* held = selected();
    if (!held)
        return;
    if (m_dialogs.msgBox(eraseHeldQuestion(held->name)) != MsgAnswer::Ok)
        return;
    const FileError error = eraseHeldName(*held);
    if (error.failed())
        m_dialogs.msgBox(cannotDeleteReport(error.text, held->heldPath));
    reload();
}

void showRestoreWindow(UserRoster& roster, Dialogs& dialogs, QWidget* parent) {
    const QString folder = roster.historyFolderPath();
    if (folder.isEmpty()) {
        dialogs.msgBox(cannotReadReport(windowsOnlyLocationText(), roster.shownFolder()));
        return;
    }
    RestoreWindow window(folder, dialogs, parent, roster.codePage());
    dialogs.showModal(window);
    if (window.restoredAny())
        roster.fillUserList();
}

} // namespace dexlan
