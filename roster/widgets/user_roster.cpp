// SPDX-License-Identifier: GPL-3.0-or-later
#include "roster/widgets/user_roster.h"

#include "platform/dialogs.h"
#include "roster/core/history_folder.h"
#include "roster/core/roster_decisions.h"
#include "roster/core/roster_messages.h"
#include "roster/core/user_list_model.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QScrollBar>

#include <memory>
#include <utility>

namespace dexlan {

// The progress of a long reading of the folder, over the list, or over the
// middle of what is in sight when the list is out of sight (another page, or
// at start-up), and the wait cursor. Each showing lets the window paint; what
// the user does waits for the list to be whole: the input is delivered once
// the reading is over.
class UserRoster::ReadingProgress {
  public:
    ReadingProgress(const RosterControls& controls, int quietMs, int everyMs)
        : m_status(controls.readingStatus), m_list(controls.userList), m_quietMs(quietMs),
          m_everyMs(everyMs), m_shownAt(-everyMs) {
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        m_clock.start();
    }
    ~ReadingProgress() {
        if (m_status)
            m_status->hide();
        QGuiApplication::restoreOverrideCursor();
    }
    ReadingProgress(const ReadingProgress&) = delete;
    ReadingProgress& operator=(const ReadingProgress&) = delete;

    void update(qsizetype read, qsizetype total) {
        const qint64 now = m_clock.elapsed();
        if (now < m_quietMs || now - m_shownAt < m_everyMs)
            return;
        m_shownAt = now;
        if (m_status && m_list)
            show(readingUsersText(read, total));
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }

  private:
    void show(const QString& text) {
        QLabel* shown = m_status;
        // A page out of sight is parked outside the window, or hidden.
        QWidget* over = m_list;
        while (over->parentWidget() && (!over->isVisible() || over->visibleRegion().isEmpty()))
            over = over->parentWidget();
        if (over != m_list && over->isVisible()) {
            if (!m_inWindow) {
                m_inWindow = std::make_unique<QLabel>(over);
                m_inWindow->setObjectName(QStringLiteral("ReadingUsersInWindow"));
                m_inWindow->setFont(m_status->font());
                m_inWindow->setAlignment(Qt::AlignCenter);
                m_inWindow->setFrameShape(m_status->frameShape());
                m_inWindow->setAutoFillBackground(true);
                m_inWindow->setPalette(m_status->palette());
                m_inWindow->setMargin(12);
            }
            shown = m_inWindow.get();
        }
        // One place at a time: the list may come into sight during the reading.
        QLabel* other = shown == m_status ? m_inWindow.get() : m_status;
        if (other)
            other->hide();
        shown->setText(text);
        if (shown == m_inWindow.get()) {
            const QSize size = m_inWindow->sizeHint().expandedTo(QSize(m_list->width(), 0));
            QRect place(QPoint(), size);
            place.moveCenter(over->rect().center());
            m_inWindow->setGeometry(place);
        } else if (m_status->isHidden()) {
            m_status->setGeometry(m_list->geometry());
        }
        if (shown->isHidden()) {
            shown->raise();
            shown->show();
        }
    }

    QLabel* m_status;
    QListView* m_list;
    int m_quietMs;
    int m_everyMs;
    qint64 m_shownAt;
    QElapsedTimer m_clock;
    std::unique_ptr<QLabel> m_inWindow;
};

UserRoster::UserRoster(SharedState& state, Dialogs& dialogs, const RosterControls& controls,
                       QObject* parent)
    : QObject(parent), m_state(state), m_dialogs(dialogs), m_controls(controls),
      m_service(new RosterService(state, this)), m_view(controls.userList) {
    connect(m_service, &RosterService::readingBegins, this, &UserRoster::readingBegins);
    connect(m_service, &RosterService::readingEnds, this, &UserRoster::readingEnds);
    connect(m_service, &RosterService::progress, this, [this](qsizetype read, qsizetype total) {
        if (m_progress)
            m_progress->update(read, total);
    });
    connect(m_service, &RosterService::backgroundReadingFinished, this,
            [this] { settleReading(); });
    if (m_controls.locationEdit)
        m_controls.locationEdit->installEventFilter(this);
    if (QListView* list = m_controls.userList) {
        // One row looks like every other: the view need not ask each of
        // 100,000 rows for its size.
        list->setUniformItemSizes(true);
        list->setSelectionMode(QAbstractItemView::SingleSelection);
        list->setModel(&m_service->model());
        // A name chosen with the mouse or with the arrow keys enables "Delete
        // name", so the button can be reached without a mouse.
        auto enableDelete = [this, list] {
            if (m_controls.deleteNameButton && list->selectionModel()->hasSelection())
                m_controls.deleteNameButton->setEnabled(true);
        };
        connect(list, &QAbstractItemView::clicked, this, enableDelete);
        connect(list->selectionModel(), &QItemSelectionModel::selectionChanged, this, enableDelete);
        connect(list, &QAbstractItemView::doubleClicked, this, &UserRoster::deleteSelectedName);

        // Whatever changes the rows changes what lies under the mouse.
        QAbstractItemModel* rows = &m_service->model();
        auto changed = [this] { ++m_listChanges; };
        connect(rows, &QAbstractItemModel::modelReset, this, changed);
        connect(rows, &QAbstractItemModel::rowsInserted, this, changed);
        connect(rows, &QAbstractItemModel::rowsRemoved, this, changed);
        connect(rows, &QAbstractItemModel::rowsMoved, this, changed);
        connect(rows, &QAbstractItemModel::layoutChanged, this, changed);
        list->installEventFilter(this);
        list->viewport()->installEventFilter(this);
        list->verticalScrollBar()->installEventFilter(this);
        list->horizontalScrollBar()->installEventFilter(this);
    }
    if (m_controls.addNamesButton) {
        connect(m_controls.addNamesButton, &QPushButton::clicked, this, &UserRoster::addNames);
        m_controls.addNamesButton->installEventFilter(this);
    }
    if (m_controls.deleteNameButton) {
        connect(m_controls.deleteNameButton, &QPushButton::clicked, this,
                &UserRoster::deleteSelectedName);
        m_controls.deleteNameButton->installEventFilter(this);
    }
    // "D&elete all" stays hidden and does nothing.
}

UserRoster::~UserRoster() {
    // The view outlives the roster in the window's teardown; it must not be
    // left showing a model that is gone.
    if (m_view && m_view->model() == &m_service->model())
        m_view->setModel(nullptr);
    // A reading still running is stopped, and its list never shown.
    delete m_service;
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

void UserRoster::readingBegins() {
    if (m_progress)
        return;
    m_progress = std::make_unique<ReadingProgress>(m_controls, m_quietReadingMs, m_progressEveryMs);
    m_reading = true;
}

void UserRoster::readingEnds() {
    m_progress.reset();
    m_reading = false;
}

void UserRoster::normaliseLocation() {
    const QString typed = m_controls.locationEdit ? m_controls.locationEdit->text() : QString();
    m_state.historyFolder = normalisedLocation(typed, m_state.pathPolicy);
    if (m_controls.locationEdit && typed != m_state.historyFolder)
        m_controls.locationEdit->setText(m_state.historyFolder);
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
           m_state.historyFolderState != HistoryFolderState::MissingNotCreated &&
           m_controls.userList;
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

bool UserRoster::settleReading() {
    return shown(m_service->settleReading()) == RosterOutcome::Done;
}

} // namespace dexlan
