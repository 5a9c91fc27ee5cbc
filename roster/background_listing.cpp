// SPDX-License-Identifier: GPL-3.0-or-later
#include "roster/background_listing.h"

#include <QDeadlineTimer>
#include <QThread>

#include <utility>

namespace dexlan {

BackgroundListing::BackgroundListing(const QString& folder, Made made,
                                     std::function<void()> finished, const CodePage& codePage)
    : m_folder(folder) {
    m_thread.reset(QThread::create([this, made, finished = std::move(finished), codePage] {
        ListingOptions options;
        options.stop = &m_stop;
        options.progress = [this](qsizetype read, qsizetype total) {
            m_total.store(total, std::memory_order_relaxed);
            m_read.store(read, std::memory_order_relaxed);
        };
        m_listing = listUsers(m_folder, options);
        if (made == Made::ListRows && !m_stop.load(std::memory_order_relaxed)) {
            // Sorted and stored compactly here, so that showing them costs
            // the window nothing, and the users' separate copies go at once.
            m_rows = UserListModel::rowsOf(m_listing, codePage);
            m_listing.users = {};
        }
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
