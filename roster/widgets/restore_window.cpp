// SPDX-License-Identifier: GPL-3.0-or-later
#include "roster/widgets/restore_window.h"

#include "platform/dialogs.h"
#include "roster/core/held_names_messages.h"
#include "roster/core/history_folder.h"
#include "roster/core/roster_messages.h"
#include "roster/core/roster_service.h"
#include "roster/widgets/user_roster.h"

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
    const RosterOutcome restored = RosterService::restore(m_historyFolder, *held, kRosterWaitInWindowMs, {}, m_codePage);
    if (restored.message)
        m_dialogs.msgBox(*restored.message);
    if (restored.status == RosterOutcome::Done)
        m_restoredAny = true;
    if (restored.status == RosterOutcome::Done && m_recorder)
        m_recorder({QStringLiteral("restored"), held->name, restored.number, {}});
    // Gone meanwhile: the window shows what is held now.
    if (restored.status == RosterOutcome::Done || restored.status == RosterOutcome::Unchanged)
        reload();
}

void RestoreWindow::eraseSelected() {
    const HeldName* held = selected();
    if (!held)
        return;
    const RosterOutcome erased = RosterService::erase(
        *held, [this](const MsgBoxRequest& question) { return m_dialogs.msgBox(question); });
    if (erased.status == RosterOutcome::Declined)
        return;
    if (erased.message)
        m_dialogs.msgBox(*erased.message);
    else if (erased.status == RosterOutcome::Done && m_recorder)
        m_recorder({QStringLiteral("erased"), held->name, held->number, {}});
    reload();
}

void showRestoreWindow(UserRoster& roster, Dialogs& dialogs, QWidget* parent) {
    const QString folder = roster.historyFolderPath();
    if (folder.isEmpty()) {
        dialogs.msgBox(cannotReadReport(windowsOnlyLocationText(), roster.shownFolder()));
        return;
    }
    RestoreWindow window(folder, dialogs, parent, roster.codePage());
    window.setRecorder([&roster](const LoggedChange& change) { roster.recordChange(change); });
    dialogs.showModal(window);
    if (window.restoredAny())
        roster.fillUserList();
}

} // namespace dexlan
