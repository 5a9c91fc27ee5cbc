// SPDX-License-Identifier: GPL-3.0-or-later
#include "roster/background_listing.h"

#include <QDeadlineTimer>
#include <QThread>

#include <utility>

namespace dexlan {

BackgroundListing::BackgroundListing(const QString& folder, Made made,
                                     std::function<void()> finished)
    : m_folder(folder) {
    m_thread.reset(QThread::create([this, made, finished = std::move(finished)] {
        ListingOptions options;
        options.stop = &m_stop;
        // The check before any change takes the stamps: start-up reads only.
        options.stampsLater = true;
        options.progress = [this](qsizetype read, qsizetype total) {
            m_total.store(total, std::memory_order_relaxed);
            m_read.store(read, std::memory_order_relaxed);
        };
        // The rows made and sorted here, so that showing them costs the
        // window nothing; each user goes into them as the reading ends,
        // never held as a listing as well.
        UserListModel::RowsMaker rows;
        if (made == Made::ListRows)
            options.sink = &rows;
        m_listing = listUsers(m_folder, options);
        if (made == Made::ListRows && !m_stop.load(std::memory_order_relaxed))
            m_rows = rows.finish();
        m_finished.store(true, std::memory_order_release);
        if (finished)
            finished();
    }));
}

BackgroundListing::~BackgroundListing() {
    m_stop.store(true, std::memory_order_relaxed);
    if (m_started)
        m_thread->wait();
}

void BackgroundListing::start() {
    if (!std::exchange(m_started, true))
        m_thread->start();
}

void BackgroundListing::waitUntilFinished(const std::function<void()>& whileWaiting,
                                          int intervalMs) {
    start();
    while (!m_thread->wait(QDeadlineTimer(intervalMs))) {
        if (whileWaiting)
            whileWaiting();
    }
}

UserListing BackgroundListing::take() {
    start();
    m_thread->wait();
    return std::exchange(m_listing, {});
}

UserListModel::Rows BackgroundListing::takeRows() {
    start();
    m_thread->wait();
    return std::exchange(m_rows, {});
}

} // namespace dexlan
