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

#include <QApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMouseEvent>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QStyleHints>

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

// A file name under a location only Windows can reach, as Windows would form it.
QString windowsStylePath(const QString& location, const QString& fileName) {
    return location.endsWith(QLatin1Char('\\')) ? location + fileName
                                                : location + QLatin1Char('\\') + fileName;
}

// What the list shows, row by row: each name and the file it stands for.
QStringList shownRows(const UserListModel& model) {
    QStringList rows;
    rows.reserve(model.rowCount());
    for (int row = 0; row < model.rowCount(); ++row)
        rows.append(model.text(row) + QChar(0) + model.path(row));
    return rows;
}

// The user's input, and of it what acts on the widget it is sent to (a key,
// a press, the wheel) rather than follow or pass over it.
enum class Input { None, Acting, Other };

Input inputKind(QEvent::Type type) {
    switch (type) {
    case QEvent::KeyPress:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
        return Input::Acting;
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseMove:
        return Input::Other;
    default:
        return Input::None;
    }
}

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
    m_background =
        std::make_unique<BackgroundListing>(folder, BackgroundListing::Made::ListRows, [this] {
            // The list is shown on this object's thread once the reading is
            // whole, unless someone waited for it first.
            QMetaObject::invokeMethod(
                this,
                [this] {
                    if (m_background && m_background->isFinished())
                        settleReading();
                },
                Qt::QueuedConnection);
        });
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
    m_model->show(rows ? std::move(*rows) : UserListModel::rowsOf(listing));
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

int UserRoster::selectedRow() const {
    QListView* list = m_controls.userList;
    if (!list || !list->selectionModel())
        return -1;
    const QModelIndex current = list->currentIndex();
    if (current.isValid() && list->selectionModel()->isSelected(current))
        return current.row();
    const QModelIndexList selected = list->selectionModel()->selectedIndexes();
    return selected.isEmpty() ? -1 : selected.front().row();
}

void UserRoster::deleteSelectedName() {
    settleReading(); // a list that changes now has no selection
    const int selected = selectedRow();
    if (selected < 0)
        return;
    // The row as it was chosen: a question may be answered after the list changed.
    const QPersistentModelIndex entry = m_model->index(selected);
    const QString text = m_model->text(selected);
    const int number = m_model->number(selected);
    const QString listedPath = m_model->path(selected);
    if (number < 1) {
        // Such an entry comes from a file named with a minus sign or a zero;
        // no history file is named after it, so nothing is deleted.
        m_dialogs.msgBox(noUserNumberReport(text));
        return;
    }
    if (m_state.confirmDelete) {
        const MsgAnswer answer = m_dialogs.msgBox(deleteQuestion(text));
        if (answer != MsgAnswer::Ok)
            return;
        m_state.confirmDelete = false;
    }

    const DeleteTarget target =
        deleteTargetFor(listedPath, historyFolderPath(), m_state.historyFolder, number);
    FileError error = target.error;
    if (!error.failed()) {
        const quint64 before = historyFileDigest(target.path);
        // Held for a while so that it can be restored; deleted for good only
        // where it cannot be held and the user agrees.
        const Deletion deleted = deleteHoldingFirst(
            target.path, number, text, QDateTime::currentDateTimeUtc(),
            [this, &text](const QString& errorText) {
                return m_dialogs.msgBox(cannotHoldQuestion(errorText, text)) == MsgAnswer::Ok;
            });
        if (deleted.outcome == Deletion::Declined)
            return;
        if (deleted.outcome == Deletion::Replaced) {
            m_dialogs.msgBox(replacedFileReport(text, deleted.nameNow, target.path));
            if (m_controls.deleteNameButton)
                m_controls.deleteNameButton->setEnabled(false);
            fillUserList();
            return;
        }
        error = deleted.error;
        if (deleted.outcome != Deletion::Failed)
            countChangeIn(target.path, before);
    }
    if (error.failed()) {
        m_dialogs.msgBox(cannotDeleteReport(error.text, target.path));
        return;
    }

    QListView* list = m_controls.userList;
    if (entry.isValid())
        m_model->removeRowAt(entry.row());
    list->clearSelection();
    list->setCurrentIndex(QModelIndex());
    if (m_controls.deleteNameButton)
        m_controls.deleteNameButton->setEnabled(false);
    list->setFocus();
}

void UserRoster::addNames() {
    settleReading();
    AddNamesDialog dialog(m_controls.userList ? m_controls.userList->window() : nullptr);
    connect(&dialog, &AddNamesDialog::okPressed, this, [this, &dialog] { addName(dialog); });
    connect(&dialog, &AddNamesDialog::severalNamesPasted, this,
            [this, &dialog](const QStringList& names) {
                addNamesInBulk(*this, m_dialogs, names, &dialog);
            });
    m_dialogs.showModal(dialog);
    if (m_controls.historyPage)
        m_controls.historyPage->setFocus();
}

void UserRoster::addName(AddNamesDialog& dialog) {
    QLineEdit* box = dialog.nameEdit();
    const QString name = box->text();
    if (name.isEmpty()) {
        dialog.accept();
        return;
    }
    const QString folder = historyFolderPath();
    // Another copy or administrator may have added names since the list was
    // read: the name is checked against the folder as it is now, and no other
    // copy adds until its file is made.
    FolderLock lock;
    if (!folder.isEmpty()) {
        if (lockRoster(lock, folder, kRosterWaitInWindowMs) == RosterLocked::Busy) {
            m_dialogs.msgBox(rosterBusyReport(shownFolder()));
            box->setFocus();
            return;
        }
        refreshFromFolder(folder);
    }
    if (m_model->rowOf(name) >= 0) {
        m_dialogs.msgBox(duplicateNameReport(name));
        box->clear();
        box->setFocus();
        return;
    }
    const StorableName storable = storableName(name);
    if (storable.problem != StorableName::None) {
        m_dialogs.msgBox(
            unstorableNameReport(name, storable.problem == StorableName::ControlCharacter
                                           ? UnstorableReason::ControlCharacter
                                           : UnstorableReason::OutsideCodePage));
        box->setFocus();
        return;
    }

    const std::vector<int> listNumbers = m_model->numbers();

    auto cannotSave = [&](const QString& errorText, const QString& path) {
        m_dialogs.msgBox(cannotSaveReport(errorText, path));
        box->setFocus();
    };
    if (folder.isEmpty()) {
        const int number = smallestFreeNumber(listNumbers, {}).value_or(1);
        cannotSave(windowsOnlyLocationText(),
                   windowsStylePath(m_state.historyFolder, newHistoryFileName(number)));
        return;
    }

    const NewUserFile created = createUserFile(
        folder, listNumbers, storable.bytes, [this] { return m_random.forNewFile(); },
        [this] { return m_dialogs.msgBox(addFolderQuestion(shownFolder())) == MsgAnswer::Yes; });
    switch (created.outcome) {
    case NewUserFile::Created:
        break;
    case NewUserFile::FolderDeclined:
        box->setFocus();
        return;
    case NewUserFile::Failed:
        return cannotSave(created.error.text, created.path);
    case NewUserFile::NumbersUsedUp:
        return cannotSave(numbersUsedUpText(), folder);
    }
    countChangeIn(created.path, created.digestBefore);
    m_model->insertSorted(name, created.number, created.path);
    box->clear();
    box->setFocus();
}

void UserRoster::locationEnterPressed() {
    normaliseLocation();
    checkHistoryFolder();
    if (m_state.historyFolderState != HistoryFolderState::Usable)
        return; // the focus stays so that the location can be corrected
    const int fills = m_fills;
    if (m_controls.historyPage)
        m_controls.historyPage->setFocus();
    // Leaving the box rebuilds the list; where no focus change arrives (the
    // window is not active) it is rebuilt all the same.
    if (m_fills == fills)
        fillUserList();
}

void UserRoster::locationLostFocus() {
    normaliseLocation();
    fillUserList();
}

bool UserRoster::eventFilter(QObject* watched, QEvent* event) {
    // While the folder is read the window paints, but the roster's controls
    // take no input: nothing may act on a list about to be replaced.
    if (m_reading && inputKind(event->type()) != Input::None)
        return true;
    // Read in the background: what acts on the list waits for the whole of
    // it. The buttons and the location box wait in what they do.
    if (m_background && inputKind(event->type()) == Input::Acting &&
        watched != m_controls.locationEdit && watched != m_controls.addNamesButton &&
        watched != m_controls.deleteNameButton) {
        const int changes = m_listChanges;
        settleReading();
        // A press aimed at the rows shown before the list changed under it
        // is not acted on.
        const bool press = event->type() == QEvent::MouseButtonPress ||
                           event->type() == QEvent::MouseButtonDblClick;
        if (press && m_listChanges != changes && m_controls.userList &&
            watched == m_controls.userList->viewport())
            return true;
    }
    if (watched == m_controls.locationEdit) {
        if (event->type() == QEvent::KeyPress) {
            const auto* key = static_cast<QKeyEvent*>(event);
            if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
                !(key->modifiers() & Qt::ControlModifier)) {
                locationEnterPressed();
                return true; // no beep, no line break
            }
        } else if (event->type() == QEvent::FocusOut) {
            // The window losing the focus to a message box or another program
            // is not the user leaving the box.
            const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
            if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
                // A press on the list takes the focus before the list sees
                // the press: the rebuild lands between the two.
                QListView* list = m_controls.userList;
                const bool pressOnList =
                    reason == Qt::MouseFocusReason && list && QApplication::focusWidget() == list;
                const QStringList seen = pressOnList ? shownRows(*m_model) : QStringList();
                locationLostFocus();
                if (pressOnList && shownRows(*m_model) != seen)
                    m_listChangedForPress = true;
            }
        }
    } else if (m_controls.userList && watched != m_controls.addNamesButton &&
               watched != m_controls.deleteNameButton) {
        return listMouseEvent(watched, event);
    }
    return QObject::eventFilter(watched, event);
}

bool UserRoster::listMouseEvent(QObject* watched, QEvent* event) {
    // The list also sends events while it is being destroyed: nothing is
    // asked of it but for mouse events.
    QListView* list = m_controls.userList;
    switch (event->type()) {
    case QEvent::FocusOut:
        if (watched == list)
            m_listChangedForPress = false; // that press went elsewhere in the list
        return false;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        const bool changedForThisPress = std::exchange(m_listChangedForPress, false);
        if (watched != list->viewport())
            return false;
        const quint64 at = static_cast<QMouseEvent*>(event)->timestamp();
        const auto interval = quint64(QGuiApplication::styleHints()->mouseDoubleClickInterval());
        // The second press of a double click belongs to the gesture of the first.
        if (!m_gesture.started || at < m_gesture.began || at - m_gesture.began > interval)
            m_gesture = {m_listChanges, at, true};
        if (changedForThisPress)
            m_gesture.listChanges = -1;
        return m_gesture.listChanges != m_listChanges;
    }
    case QEvent::MouseMove:
        // Dragging with the button held selects too.
        if (static_cast<QMouseEvent*>(event)->buttons() == Qt::NoButton)
            return false;
        [[fallthrough]];
    case QEvent::MouseButtonRelease:
        return watched == list->viewport() && m_gesture.started &&
               m_gesture.listChanges != m_listChanges;
    default:
        return false;
    }
}

} // namespace dexlan
