// SPDX-License-Identifier: GPL-3.0-or-later
// The user list's controls: made, shown, and disabled while the folder is read.
#include "roster/widgets/user_list_panel.h"

#include "roster/core/roster_messages.h"
#include "roster/widgets/user_roster.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QItemSelectionModel>
#include <QLabel>
#include <QListView>
#include <QMouseEvent>
#include <QPushButton>
#include <QStyleHints>

#include <utility>

namespace dexlan {

// The progress of a long reading of the folder, over the list, or over the
// middle of what is in sight when the list is out of sight (another page, or
// at start-up), and the wait cursor. The window paints while the reading is
// waited for; the user's input waits for the list to be whole.
class UserListPanel::ReadingProgress {
  public:
    ReadingProgress(UserListPanel& panel, int quietMs, int everyMs)
        : m_panel(panel), m_status(panel.m_readingStatus), m_list(panel.m_list), m_quietMs(quietMs),
          m_everyMs(everyMs), m_shownAt(-everyMs) {
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        m_clock.start();
        // A short reading leaves the list as it was, not greyed for a moment.
        if (m_quietMs > 0)
            m_panel.m_controls->setUpdatesEnabled(false);
    }
    ~ReadingProgress() {
        m_status->hide();
        m_panel.m_controls->setUpdatesEnabled(true);
        QGuiApplication::restoreOverrideCursor();
    }
    ReadingProgress(const ReadingProgress&) = delete;
    ReadingProgress& operator=(const ReadingProgress&) = delete;

    void update(qsizetype read, qsizetype total) {
        const qint64 now = m_clock.elapsed();
        // The last count is shown whenever the reading is a long one.
        const bool whole = total > 0 && read == total;
        if (now < m_quietMs || (now - m_shownAt < m_everyMs && !whole))
            return;
        m_shownAt = now;
        m_panel.m_controls->setUpdatesEnabled(true);
        show(readingUsersText(read, total));
    }

  private:
    void show(const QString& text) {
        QLabel* shown = m_status;
        // A page out of sight is parked outside the window, or hidden.
        QWidget* over = m_list;
        if (!m_list->isVisible() || m_list->visibleRegion().isEmpty()) {
            over = m_panel.parentWidget() ? m_panel.parentWidget() : &m_panel;
            while (over->parentWidget() && (!over->isVisible() || over->visibleRegion().isEmpty()))
                over = over->parentWidget();
        }
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
        // Painted now: the reading may end before the window's next paint.
        shown->repaint();
    }

    UserListPanel& m_panel;
    QLabel* m_status;
    QListView* m_list;
    int m_quietMs;
    int m_everyMs;
    qint64 m_shownAt;
    QElapsedTimer m_clock;
    std::unique_ptr<QLabel> m_inWindow;
};

UserListPanel::UserListPanel(UserRoster& roster, QWidget* parent)
    : QWidget(parent), m_roster(&roster), m_controls(new QWidget(this)),
      m_list(new QListView(m_controls)), m_addNames(new QPushButton(tr("&Add names"), m_controls)),
      m_deleteName(new QPushButton(tr("&Delete name"), m_controls)),
      m_deleteAll(new QPushButton(tr("D&elete all"), m_controls)),
      m_readingStatus(new QLabel(this)) {
    setObjectName(QStringLiteral("UserListPanel"));
    m_controls->setObjectName(QStringLiteral("UserListControls"));
    // Containers too are read out by a screen reader.
    setAccessibleName(tr("User list"));
    m_controls->setAccessibleName(tr("User list controls"));
    m_list->setObjectName(QStringLiteral("List1"));
    m_addNames->setObjectName(QStringLiteral("Command1"));
    m_deleteName->setObjectName(QStringLiteral("Command2"));
    m_deleteAll->setObjectName(QStringLiteral("Command3"));
    m_readingStatus->setObjectName(QStringLiteral("ReadingUsers"));
    for (QPushButton* button : {m_addNames, m_deleteName, m_deleteAll})
        button->setAutoDefault(false);
    m_deleteAll->hide(); // never shown, and it has no action
    m_deleteName->setEnabled(false);
    m_readingStatus->hide();

    // One row looks like every other: the view need not ask each of 100,000
    // rows for its size.
    m_list->setUniformItemSizes(true);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setModel(&roster.model());
    // A name chosen with the mouse or with the arrow keys enables "Delete
    // name", so the button can be reached without a mouse.
    auto enableDelete = [this] {
        if (m_list->selectionModel()->hasSelection())
            m_deleteName->setEnabled(true);
    };
    connect(m_list, &QAbstractItemView::clicked, this, enableDelete);
    connect(m_list->selectionModel(), &QItemSelectionModel::selectionChanged, this, enableDelete);
    connect(m_list, &QAbstractItemView::doubleClicked, this, &UserListPanel::deleteSelectedName);
    connect(m_addNames, &QPushButton::clicked, this, &UserListPanel::addNames);
    connect(m_deleteName, &QPushButton::clicked, this, &UserListPanel::deleteSelectedName);
    // "D&elete all" stays hidden and does nothing.
    m_list->installEventFilter(this);
    m_list->viewport()->installEventFilter(this);
    // A press on a control while the folder is read in the background waits
    // for the whole list; the controls are disabled then, and their
    // containers may be too (a page out of sight), so it is seen here.
    for (QWidget* control :
         {static_cast<QWidget*>(m_addNames), static_cast<QWidget*>(m_deleteName)})
        control->installEventFilter(this);

    RosterService& service = roster.service();
    connect(&service, &RosterService::readingBegins, this, &UserListPanel::readingBegins);
    connect(&service, &RosterService::readingEnds, this, &UserListPanel::readingEnds);
    connect(&service, &RosterService::progress, this, [this](qsizetype read, qsizetype total) {
        if (m_progress)
            m_progress->update(read, total);
    });
    connect(&service, &RosterService::readingInBackground, this, [this](bool running) {
        m_backgroundReading = running;
        updateTakesInput();
    });
    roster.setPanel(this);
}

UserListPanel::~UserListPanel() {
    // The wait cursor goes with a reading cut short.
    m_progress.reset();
    if (m_roster)
        m_roster->setPanel(nullptr);
}

void UserListPanel::place(const Places& places) {
    m_list->setGeometry(places.list);
    m_addNames->setGeometry(places.addNames);
    m_deleteName->setGeometry(places.deleteName);
    m_deleteAll->setGeometry(places.deleteAll);
    m_readingStatus->setGeometry(places.list);
    // The panel lies over its parent from its corner, so that the controls
    // stand where the parent's coordinates put them.
    const QRect all(
        QPoint(0, 0),
        (places.list | places.addNames | places.deleteName | places.deleteAll).bottomRight());
    setGeometry(all);
    setMinimumSize(all.size());
    m_controls->setGeometry(all);
}

void UserListPanel::clearUserChoice() {
    m_list->setCurrentIndex(QModelIndex());
    m_list->clearSelection();
    m_deleteName->setEnabled(false);
}

void UserListPanel::readingBegins() {
    if (m_progress)
        return;
    m_progress = std::make_unique<ReadingProgress>(*this, m_quietReadingMs, m_progressEveryMs);
    m_waitedReading = true;
    updateTakesInput();
}

void UserListPanel::readingEnds() {
    m_waitedReading = false;
    updateTakesInput();
    m_progress.reset();
}

void UserListPanel::updateTakesInput() {
    const bool takesInput = !m_waitedReading && !m_backgroundReading;
    if (takesInput == m_controls->isEnabled())
        return;
    if (!takesInput) {
        // Disabling takes the focus from the list; it comes back after.
        QWidget* focused = window()->focusWidget();
        m_focusBeforeReading = focused && m_controls->isAncestorOf(focused) ? focused : nullptr;
        m_controls->setEnabled(false);
        return;
    }
    m_controls->setEnabled(true);
    if (m_focusBeforeReading && !window()->focusWidget())
        m_focusBeforeReading->setFocus(Qt::OtherFocusReason);
    m_focusBeforeReading = nullptr;
}

void UserListPanel::listChangedUnderPress() {
    m_dropNextPress = true;
}

bool UserListPanel::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::FocusOut:
        if (watched == m_list)
            m_dropNextPress = false; // that press went elsewhere in the list
        return false;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        if (m_roster && m_roster->isReadingInBackground()) {
            // Aimed at the list as it was: the press waits for the whole
            // list and does nothing itself.
            m_roster->finishReading();
            return true;
        }
        if (watched != m_list->viewport())
            return false;
        const quint64 at = static_cast<QMouseEvent*>(event)->timestamp();
        if (std::exchange(m_dropNextPress, false)) {
            m_droppingPress = true;
            m_droppedPressAt = at;
            return true;
        }
        // The second press of a double click belongs to the first.
        const auto interval = quint64(QGuiApplication::styleHints()->mouseDoubleClickInterval());
        m_droppingPress =
            m_droppingPress && at >= m_droppedPressAt && at - m_droppedPressAt <= interval;
        return m_droppingPress;
    }
    case QEvent::MouseMove:
        // Dragging with the button held selects too.
        if (static_cast<QMouseEvent*>(event)->buttons() == Qt::NoButton)
            return false;
        [[fallthrough]];
    case QEvent::MouseButtonRelease:
        return watched == m_list->viewport() && m_droppingPress;
    default:
        return false;
    }
}

} // namespace dexlan
