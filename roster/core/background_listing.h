// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "roster/core/history_folder.h"
#include "roster/core/user_list_model.h"

#include <QFuture>
#include <QPromise>
#include <QString>
#include <QThreadPool>

#include <atomic>
#include <functional>

namespace dexlan {

// A folder's users read on a thread of its own, so that the window is drawn
// and used meanwhile; whoever needs the list waits for the rest of it, or
// watches future() to go on once it is whole.
class BackgroundListing {
  public:
    enum class Made {
        Listing,  // the listing as listUsers gives it
        ListRows, // its users made into the user list's rows there too, and let go
        // The listing, each file's stamps taken as it is read: a reading
        // that a change may follow at once.
        ListingWithStamps,
    };
    // Reads the users of folder (ending in a separator) as listUsers does,
    // from start() on. finished is called on the reading thread once all is made.
    // The rows show the names in codePage.
    BackgroundListing(const QString& folder, Made made, std::function<void()> finished,
                      const CodePage& codePage = CodePage::windows1252());
    // A reading still running is stopped at its next batch and waited for.
    ~BackgroundListing();

    void start();
    bool isStarted() const { return m_started; }
    BackgroundListing(const BackgroundListing&) = delete;
    BackgroundListing& operator=(const BackgroundListing&) = delete;

    const QString& folder() const { return m_folder; }
    // Finished once all is made (or the reading was let go).
    QFuture<void> future() const { return m_future; }
    bool isFinished() const { return m_finished.load(std::memory_order_acquire); }
    // The history files read so far, and in all (0 until the folder's names are read).
    qsizetype filesRead() const { return m_read.load(std::memory_order_relaxed); }
    qsizetype filesInAll() const { return m_total.load(std::memory_order_relaxed); }

    // Blocks until the listing is whole (starting it first if need be); the
    // window waits for future() through a watcher instead.
    void waitUntilFinished();
    // The listing, once it is whole; it is handed over once. With ListRows,
    // its users are in the rows instead.
    UserListing take();
    // With ListRows: the user list's rows, once made; handed over once.
    UserListModel::Rows takeRows();

  private:
    QString m_folder;
    UserListing m_listing;
    UserListModel::Rows m_rows;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_finished{false};
    std::atomic<qsizetype> m_read{0};
    std::atomic<qsizetype> m_total{0};
    std::function<void()> m_finishedCall;
    Made m_made;
    CodePage m_codePage;
    QPromise<void> m_promise;
    QFuture<void> m_future;
    // One thread of its own: the listing starts its own helpers, which would
    // wait on a shared pool's threads taken by readings like this one.
    QThreadPool m_pool;
    bool m_started = false;
};

} // namespace dexlan
