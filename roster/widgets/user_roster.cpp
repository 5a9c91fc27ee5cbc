// SPDX-License-Identifier: GPL-3.0-or-later
#include "roster/widgets/user_roster.h"

#include "platform/dialogs.h"
#include "roster/core/history_folder.h"
#include "roster/core/roster_decisions.h"
#include "roster/core/roster_messages.h"
#include "roster/core/user_list_model.h"
#include "roster/widgets/user_list_panel.h"

#include <QLineEdit>
#include <QListView>
#include <QScopedValueRollback>

#include <utility>

namespace dexlan {

UserRoster::UserRoster(SharedState& state, Dialogs& dialogs, QObject* parent)
    : QObject(parent), m_state(state), m_dialogs(dialogs),
      m_service(new RosterService(state, this)) {
    connect(m_service, &RosterService::backgroundReadingFinished, this,
            [this] { settleReading(); });
}

UserRoster::~UserRoster() {
    // The panel outlives the roster in the window's teardown; it must not be
    // left showing a model that is gone.
    if (m_panel) {
        if (m_panel->userList()->model() == &m_service->model())
            m_panel->userList()->setModel(nullptr);
    }
    // A reading still running is stopped, and its list never shown.
    delete m_service;
}

void UserRoster::setPanel(UserListPanel* panel) {
    m_panel = panel;
}

UserListPanel* UserRoster::panel() const {
    return m_panel;
}

void UserRoster::watchLocation(QLineEdit* locationEdit, QWidget* page) {
    m_locationEdit = locationEdit;
    m_page = page;
    if (locationEdit)
        locationEdit->installEventFilter(this);
}

UserRoster::RebuildBatch::RebuildBatch(UserRoster& roster, When when)
    : m_roster(roster), m_defers(when == InBackground) {
    m_roster.m_service->beginBatch(m_defers);
}

UserRoster::RebuildBatch::~RebuildBatch() {
    if (m_defers && m_roster.m_service->endDeferring())
        m_roster.fillUserListInBackground();
    m_roster.m_service->endBatch();
}

QString UserRoster::historyFolderPath() const {
    return m_service->historyFolderPath();
}

QString UserRoster::shownFolder() const {
    return m_service->shownFolder();
}

RosterOutcome::Status UserRoster::shown(const RosterOutcome& outcome) {
    if (!outcome.change.isEmpty())
        recordChange({outcome.change, outcome.name, outcome.number, {}});
    if (outcome.message)
        m_dialogs.msgBox(*outcome.message);
    return outcome.status;
}

RosterQuestion UserRoster::asker() {
    return [this](const MsgBoxRequest& question) { return m_dialogs.msgBox(question); };
}

void UserRoster::normaliseLocation() {
    const QString typed = m_locationEdit ? m_locationEdit->text() : QString();
    m_state.historyFolder = normalisedLocation(typed, m_state.pathPolicy);
    if (m_locationEdit && typed != m_state.historyFolder)
        m_locationEdit->setText(m_state.historyFolder);
}

void UserRoster::checkHistoryFolder() {
    const QByteArray& mode = m_state.optionLines[EntryHistoryMode];
    if (mode == values::kHistDriveA || mode == values::kHistNone)
        return;
    m_state.historyFolderState = HistoryFolderState::Usable;
    normaliseLocation();
    if (!m_state.startupDone)
        return;

    const FolderCheck check = checkFolder(historyFolderPath(), [this](const QString& errorText) {
        return m_dialogs.msgBox(createFolderQuestion(errorText, shownFolder())) == MsgAnswer::Yes;
    });
    if (!check.errorText.isEmpty())
        m_dialogs.msgBox(cannotReadReport(check.errorText, shownFolder()));
    m_state.historyFolderState = check.state;
}

void UserRoster::fillUserList() {
    if (m_service->isDeferring()) {
        // The location is shown as the check leaves it at once; the reading waits.
        if (!m_filling)
            checkHistoryFolder();
        m_service->noteDeferredRequest();
        return;
    }
    // A message box shown by the check moves the focus; that is no reason to
    // start a second fill inside the first.
    if (m_filling)
        return;
    QScopedValueRollback<bool> filling(m_filling, true);
    ++m_fills;
    // A reading in the background is shown first (waiting for its end), and
    // counts as this one when the folder's history files are still as it
    // found them.
    const bool tookReading = settleReading();
    if (!checkedForFilling())
        return;

    const QString folder = historyFolderPath();
    // Asked again within one action: the list was read a moment ago.
    if (m_service->readInBatch(folder))
        return;
    if (tookReading && m_service->listedAndUnchanged(folder)) {
        m_service->markReadInBatch(true);
        return;
    }
    const RosterOutcome listed = m_service->list(folder, m_state.startupDone);
    m_service->markReadInBatch(!folder.isEmpty());
    shown(listed);
}

bool UserRoster::checkedForFilling() {
    checkHistoryFolder();
    return m_state.historyFolderState != HistoryFolderState::Unusable &&
           m_state.historyFolderState != HistoryFolderState::MissingNotCreated && m_panel;
}

void UserRoster::fillUserListInBackground() {
    if (m_filling)
        return;
    settleReading();
    QScopedValueRollback<bool> filling(m_filling, true);
    ++m_fills;
    if (!checkedForFilling())
        return;
    const QString folder = historyFolderPath();
    if (folder.isEmpty()) {
        shown(m_service->list(folder, m_state.startupDone));
        return;
    }
    // Reported as the reading would have been now: at start-up, not at all.
    m_service->readInBackground(folder, m_state.startupDone);
}

void UserRoster::startReadingInBackground() {
    m_service->startReading();
}

void UserRoster::finishReading() {
    settleReading();
}

void UserRoster::recordChange(const LoggedChange& change) {
    recordWindowChange(m_state, m_dialogs, change);
}

bool UserRoster::settleReading() {
    return shown(m_service->settleReading()) == RosterOutcome::Done;
}

} // namespace dexlan
