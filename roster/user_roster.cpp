// SPDX-License-Identifier: GPL-3.0-or-later
#include "roster/user_roster.h"

#include "platform/dialogs.h"
#include "roster/add_names_dialog.h"
#include "roster/bulk_add_window.h"
#include "roster/held_names.h"
#include "roster/held_names_messages.h"
#include "roster/history_file.h"
#include "roster/history_folder.h"
#include "roster/roster_decisions.h"
#include "roster/roster_messages.h"

#include <QApplication>
#include <QDateTime>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QStyleHints>

#include <algorithm>
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
QStringList shownRows(const QListWidget& list) {
    QStringList rows;
    rows.reserve(list.count());
    for (int row = 0; row < list.count(); ++row) {
        const QListWidgetItem* item = list.item(row);
        rows.append(item->text() + QChar(0) + item->data(UserRoster::kHistoryFileRole).toString());
    }
    return rows;
}

QListWidgetItem* newEntry(const QString& text, int number, const QString& path) {
    auto* item = new QListWidgetItem(text);
    item->setData(Qt::UserRole, number);
    item->setData(UserRoster::kHistoryFileRole, path);
    return item;
}

} // namespace

UserRoster::UserRoster(SharedState& state, Dialogs& dialogs, const RosterControls& controls,
                       QObject* parent)
    : QObject(parent), m_state(state), m_dialogs(dialogs), m_controls(controls) {
    if (m_controls.locationEdit)
        m_controls.locationEdit->installEventFilter(this);
    if (QListWidget* list = m_controls.userList) {
        // Qt's own sorting follows the locale, which in the C locale puts every
        // capital before every small letter; the roster orders the list itself.
        list->setSortingEnabled(false);
        // A name chosen with the mouse or with the arrow keys enables "Delete
        // name", so the button can be reached without a mouse.
        auto enableDelete = [this, list] {
            if (m_controls.deleteNameButton && !list->selectedItems().isEmpty())
                m_controls.deleteNameButton->setEnabled(true);
        };
        connect(list, &QListWidget::itemClicked, this, enableDelete);
        connect(list, &QListWidget::itemSelectionChanged, this, enableDelete);
        connect(list, &QListWidget::itemDoubleClicked, this, &UserRoster::deleteSelectedName);

        // Whatever changes the rows changes what lies under the mouse.
        QAbstractItemModel* rows = list->model();
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
    if (m_controls.addNamesButton)
        connect(m_controls.addNamesButton, &QPushButton::clicked, this, &UserRoster::addNames);
    if (m_controls.deleteNameButton)
        connect(m_controls.deleteNameButton, &QPushButton::clicked, this,
                &UserRoster::deleteSelectedName);
    // "D&elete all" stays hidden and does nothing.
}

QString UserRoster::historyFolderPath() const {
    if (isWindowsOnlyLocation(m_state.historyFolder, m_state.pathPolicy))
        return {};
    return resolvedHistoryFolder(m_state.historyFolder, m_state.programFolder, m_state.pathPolicy);
}

QString UserRoster::shownFolder() const {
    return m_state.historyFolder.isEmpty() ? m_state.programFolder : m_state.historyFolder;
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
    // A message box shown by the check moves the focus; that is no reason to
    // start a second fill inside the first.
    if (m_filling)
        return;
    QScopedValueRollback<bool> filling(m_filling, true);
    ++m_fills;

    checkHistoryFolder();
    if (m_state.historyFolderState == HistoryFolderState::Unusable ||
        m_state.historyFolderState == HistoryFolderState::MissingNotCreated)
        return;
    QListWidget* list = m_controls.userList;
    if (!list)
        return;

    QString errorText;
    {
        WaitCursor wait;
        const QString folder = historyFolderPath();
        UserListing listing;
        if (folder.isEmpty())
            listing.error = {FileError::Other, windowsOnlyLocationText()};
        else
            listing = listUsers(folder);
        if (listing.error.failed())
            errorText = listing.error.text;
        else if (!listing.unreadable.empty())
            errorText = unreadableFilesText(listing.unreadable);
        showListing(listing, folder);
    }
    if (!errorText.isEmpty() && m_state.startupDone)
        m_dialogs.msgBox(cannotReadReport(errorText, shownFolder()));
}

void UserRoster::showListing(const UserListing& listing, const QString& folder) {
    QListWidget* list = m_controls.userList;
    list->clear();
    m_listedFolder = folder;
    m_listedDigest = listing.digest;

    struct Entry {
        QString key;
        QString text;
        const ListedUser* user;
    };
    std::vector<Entry> entries;
    entries.reserve(listing.users.size());
    for (const ListedUser& user : listing.users) {
        QString text = shownName(user.name);
        entries.push_back({listSortKey(text), std::move(text), &user});
    }
    // One sort for the whole folder rather than a search per entry, on
    // keys made once per name.
    std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        if (a.key != b.key)
            return a.key < b.key;
        if (a.text != b.text)
            return a.text < b.text;
        return a.user->number < b.user->number;
    });
    list->setUpdatesEnabled(false);
    for (const Entry& entry : entries)
        list->addItem(newEntry(entry.text, entry.user->number, entry.user->path));
    list->setUpdatesEnabled(true);
}

void UserRoster::refreshFromFolder(const QString& folder) {
    // Reading the folder's names tells whether any history file came, went or
    // was replaced since the list was read; only then are the files read.
    const std::optional<quint64> digest = historyFilesDigest(folder);
    if (!digest || (folder == m_listedFolder && digest == m_listedDigest))
        return; // unchanged, or missing: adding asks about it
    WaitCursor wait;
    const UserListing listing = listUsers(folder);
    if (!listing.error.failed())
        showListing(listing, folder);
}

void UserRoster::countChangeIn(const QString& path, quint64 before) {
    if (!m_listedDigest || !path.startsWith(m_listedFolder) ||
        path.indexOf(QLatin1Char('/'), m_listedFolder.size()) >= 0 ||
        path.indexOf(QLatin1Char('\\'), m_listedFolder.size()) >= 0)
        return;
    *m_listedDigest ^= before ^ historyFileDigest(path);
}

QListWidgetItem* UserRoster::selectedEntry() const {
    QListWidget* list = m_controls.userList;
    if (!list)
        return nullptr;
    QListWidgetItem* current = list->currentItem();
    if (current && current->isSelected())
        return current;
    const QList<QListWidgetItem*> selected = list->selectedItems();
    return selected.isEmpty() ? nullptr : selected.front();
}

void UserRoster::deleteSelectedName() {
    QListWidgetItem* item = selectedEntry();
    if (!item)
        return;
    const int number = item->data(Qt::UserRole).toInt();
    if (number < 1) {
        // Such an entry comes from a file named with a minus sign or a zero;
        // no history file is named after it, so nothing is deleted.
        m_dialogs.msgBox(noUserNumberReport(item->text()));
        return;
    }
    if (m_state.confirmDelete) {
        const MsgAnswer answer = m_dialogs.msgBox(deleteQuestion(item->text()));
        if (answer != MsgAnswer::Ok)
            return;
        m_state.confirmDelete = false;
    }

    const DeleteTarget target = deleteTargetFor(item->data(kHistoryFileRole).toString(),
                                                historyFolderPath(), m_state.historyFolder, number);
    FileError error = target.error;
    if (!error.failed()) {
        const quint64 before = historyFileDigest(target.path);
        // Held for a while so that it can be restored; deleted for good only
        // where it cannot be held and the user agrees.
        const Deletion deleted = deleteHoldingFirst(
            target.path, number, item->text(), QDateTime::currentDateTimeUtc(),
            [this, item](const QString& errorText) {
                return m_dialogs.msgBox(cannotHoldQuestion(errorText, item->text())) ==
                       MsgAnswer::Ok;
            });
        if (deleted.outcome == Deletion::Declined)
            return;
        if (deleted.outcome == Deletion::Replaced) {
            m_dialogs.msgBox(replacedFileReport(item->text(), deleted.nameNow, target.path));
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

    QListWidget* list = m_controls.userList;
    delete item;
    list->clearSelection();
    list->setCurrentItem(nullptr);
    if (m_controls.deleteNameButton)
        m_controls.deleteNameButton->setEnabled(false);
    list->setFocus();
}

void UserRoster::addNames() {
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
    QListWidget* list = m_controls.userList;
    const QString folder = historyFolderPath();
    // Another copy or administrator may have added names since the list was
    // read: the name is checked against the folder as it is now.
    if (!folder.isEmpty())
        refreshFromFolder(folder);
    for (int row = 0; row < list->count(); ++row) {
        if (list->item(row)->text() == name) {
            m_dialogs.msgBox(duplicateNameReport(name));
            box->clear();
            box->setFocus();
            return;
        }
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

    std::vector<int> listNumbers;
    listNumbers.reserve(size_t(list->count()));
    for (int row = 0; row < list->count(); ++row)
        listNumbers.push_back(list->item(row)->data(Qt::UserRole).toInt());

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
        folder, listNumbers, storable.bytes,
        [this] {
            std::array<int, kRandomsPerFile> randoms;
            for (int& value : randoms)
                value = m_random.inRange(kRandomBottom, kRandomTop);
            return randoms;
        },
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
    insertSorted(newEntry(name, created.number, created.path));
    box->clear();
    box->setFocus();
}

void UserRoster::insertSorted(QListWidgetItem* item) {
    QListWidget* list = m_controls.userList;
    int low = 0;
    int high = list->count();
    while (low < high) {
        const int middle = low + (high - low) / 2;
        if (listsBefore(list->item(middle)->text(), item->text()))
            low = middle + 1;
        else
            high = middle;
    }
    list->insertItem(low, item);
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
                QListWidget* list = m_controls.userList;
                const bool pressOnList =
                    reason == Qt::MouseFocusReason && list && QApplication::focusWidget() == list;
                const QStringList seen = pressOnList ? shownRows(*list) : QStringList();
                locationLostFocus();
                if (pressOnList && shownRows(*list) != seen)
                    m_listChangedForPress = true;
            }
        }
    } else if (m_controls.userList) {
        return listMouseEvent(watched, event);
    }
    return QObject::eventFilter(watched, event);
}

bool UserRoster::listMouseEvent(QObject* watched, QEvent* event) {
    // The list also sends events while it is being destroyed: nothing is
    // asked of it but for mouse events.
    QListWidget* list = m_controls.userList;
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
