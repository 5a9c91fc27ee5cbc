// SPDX-License-Identifier: GPL-3.0-or-later
#include "roster/user_roster.h"

#include "platform/dialogs.h"
#include "roster/add_names_dialog.h"
#include "roster/background_listing.h"
#include "roster/bulk_add_window.h"
#include "roster/held_names.h"
#include "roster/held_names_messages.h"
#include "roster/history_file.h"
#include "roster/history_folder.h"
#include "roster/roster_decisions.h"
#include "roster/roster_messages.h"
#include "roster/user_list_model.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QScrollBar>

#include <algorithm>
#include <memory>
#include <utility>

namespace dexlan {

namespace {

// The wait cursor for as long as a fill runs.
class WaitCursor {
  public:
    WaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QGuiApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

// What the list shows for a location this computer cannot reach: no users,
// and why.
UserListing unreachableFolderListing() {
    UserListing listing;
    listing.error = {FileError::Other, windowsOnlyLocationText()};
    return listing;
}

} // namespace

// The progress of a long reading of the folder, over the list, or over the
// middle of what is in sight when the list is out of sight (another page, or
// at start-up). Each showing lets the window paint; what the user does waits
// for the list to be whole: the input is delivered once the reading is over.
class UserRoster::ReadingProgress {
  public:
    ReadingProgress(const RosterControls& controls, int quietMs, int everyMs)
        : m_status(controls.readingStatus), m_list(controls.userList), m_quietMs(quietMs),
          m_everyMs(everyMs), m_shownAt(-everyMs) {
        m_clock.start();
    }
    ~ReadingProgress() {
        if (m_status)
            m_status->hide();
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
      m_model(new UserListModel(this)), m_view(controls.userList) {
    if (m_controls.locationEdit)
        m_controls.locationEdit->installEventFilter(this);
    if (QListView* list = m_controls.userList) {
        // One row looks like every other: the view need not ask each of
        // 100,000 rows for its size.
        list->setUniformItemSizes(true);
        list->setSelectionMode(QAbstractItemView::SingleSelection);
        list->setModel(m_model);
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
        QAbstractItemModel* rows = m_model;
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
    // A reading still running is stopped, and its list never shown.
    m_background.reset();
    // The view outlives the roster in the window's teardown; it must not be
    // left showing a model that is gone.
    if (m_view && m_view->model() == m_model)
        m_view->setModel(nullptr);
}

UserRoster::RebuildBatch::RebuildBatch(UserRoster& roster, When when)
    : m_roster(roster), m_defers(when == InBackground) {
    if (m_roster.m_batchDepth++ == 0)
        m_roster.m_readInBatch = false;
    if (m_defers)
        ++m_roster.m_deferDepth;
}

UserRoster::RebuildBatch::~RebuildBatch() {
    if (m_defers && --m_roster.m_deferDepth == 0 &&
        std::exchange(m_roster.m_deferredRequest, false))
        m_roster.fillUserListInBackground();
    if (--m_roster.m_batchDepth == 0)
        m_roster.m_readInBatch = false;
}

QString UserRoster::historyFolderPath() const {
    return reachableHistoryFolder(m_state);
}

QString UserRoster::shownFolder() const {
    return shownHistoryFolder(m_state);
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
    if (m_deferDepth > 0) {
        // The location is shown as the check leaves it at once; the reading waits.
        if (!m_filling)
            checkHistoryFolder();
        m_deferredRequest = true;
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
    if (m_batchDepth > 0 && m_readInBatch && folder == m_listedFolder)
        return;
    if (tookReading && !folder.isEmpty() && folder == m_listedFolder && m_listedDigest &&
        historyFilesDigest(folder) == m_listedDigest) {
        m_readInBatch = m_batchDepth > 0;
        return;
    }
    UserListing listing;
    {
        WaitCursor wait;
        listing = folder.isEmpty() ? unreachableFolderListing() : readFolder(folder);
    }
    m_readInBatch = m_batchDepth > 0 && !folder.isEmpty();
    takeListing(listing, folder, m_state.startupDone);
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
        takeListing(unreachableFolderListing(), folder, m_state.startupDone);
        return;
    }
    ++m_folderReads;
    // Reported as the reading would have been now: at start-up, not at all.
    m_backgroundReportsErrors = m_state.startupDone;
    m_background = std::make_unique<BackgroundListing>(
        folder, BackgroundListing::Made::ListRows,
        [this] {
            // The list is shown on this object's thread once the reading is
            // whole, unless someone waited for it first.
            QMetaObject::invokeMethod(
                this,
                [this] {
                    if (m_background && m_background->isFinished())
                        settleReading();
                },
                Qt::QueuedConnection);
        },
        m_state.codePage());
}

void UserRoster::startReadingInBackground() {
    if (m_background)
        m_background->start();
}

void UserRoster::finishReading() {
    settleReading();
}

bool UserRoster::settleReading() {
    if (!m_background)
        return false;
    const std::unique_ptr<BackgroundListing> reading = std::move(m_background);
    if (!reading->isFinished()) {
        WaitCursor wait;
        ReadingProgress progress(m_controls, m_quietReadingMs, m_progressEveryMs);
        QScopedValueRollback<bool> busy(m_reading, true);
        reading->waitUntilFinished(
            [&] { progress.update(reading->filesRead(), reading->filesInAll()); }, 10);
    }
    // A location changed meanwhile is read by whoever changed it.
    if (reading->folder() != historyFolderPath())
        return false;
    takeListing(reading->take(), reading->folder(), m_backgroundReportsErrors, reading->takeRows());
    return true;
}

void UserRoster::takeListing(const UserListing& listing, const QString& folder, bool report,
                             std::optional<UserListModel::Rows> rows) {
    QString errorText;
    if (listing.error.failed())
        errorText = listing.error.text;
    else if (!listing.unreadable.empty())
        errorText = unreadableFilesText(listing.unreadable);
    m_listedFolder = folder;
    m_listedDigest = listing.digest;
    m_model->show(rows ? std::move(*rows) : UserListModel::rowsOf(listing, m_state.codePage()));
    if (!errorText.isEmpty() && report)
        m_dialogs.msgBox(cannotReadReport(errorText, shownFolder()));
}

UserListing UserRoster::readFolder(const QString& folder) {
    ++m_folderReads;
    ReadingProgress progress(m_controls, m_quietReadingMs, m_progressEveryMs);
    ListingOptions options;
    options.progress = [&progress](qsizetype read, qsizetype total) {
        progress.update(read, total);
    };
    QScopedValueRollback<bool> reading(m_reading, true);
    return listUsers(folder, options);
}

void UserRoster::refreshFromFolder(const QString& folder) {
    settleReading();
    // Reading the folder's names tells whether any history file came, went or
    // was replaced since the list was read; only then are the files read.
    const std::optional<quint64> digest = historyFilesDigest(folder);
    if (!digest || (folder == m_listedFolder && digest == m_listedDigest))
        return; // unchanged, or missing: adding asks about it
    WaitCursor wait;
    const UserListing listing = readFolder(folder);
    if (!listing.error.failed())
        takeListing(listing, folder, false); // quietly: adding tells only its own failures
}

void UserRoster::listAddedUsers(std::vector<UserListModel::NewRow> users) {
    settleReading();
    // No file was there before, or one with the empty name that the new one
    // replaced; in that case the digest differs and the next check reads the
    // folder again, which is only slower.
    for (const UserListModel::NewRow& user : users)
        countChangeIn(user.path, 0);
    m_model->insertSorted(std::move(users));
}

void UserRoster::countChangeIn(const QString& path, quint64 before) {
    if (!m_listedDigest || !path.startsWith(m_listedFolder) ||
        path.indexOf(QLatin1Char('/'), m_listedFolder.size()) >= 0 ||
        path.indexOf(QLatin1Char('\\'), m_listedFolder.size()) >= 0)
        return;
    *m_listedDigest ^= before ^ historyFileDigest(path);
}

} // namespace dexlan
