// SPDX-License-Identifier: GPL-3.0-or-later
#include "roster/core/background_listing.h"

#include <utility>

namespace dexlan {

BackgroundListing::BackgroundListing(const QString& folder, Made made,
                                     std::function<void()> finished, const CodePage& codePage)
    : m_folder(folder), m_finishedCall(std::move(finished)), m_made(made), m_codePage(codePage),
      m_future(m_promise.future()) {
    m_pool.setMaxThreadCount(1);
}

BackgroundListing::~BackgroundListing() {
    m_stop.store(true, std::memory_order_relaxed);
    m_pool.waitForDone();
}

void BackgroundListing::start() {
    if (std::exchange(m_started, true))
        return;
    m_promise.start();
    m_pool.start([this] {
        ListingOptions options;
        options.stop = &m_stop;
        // The check before any change takes the stamps: start-up reads only.
        options.stampsLater = m_made != Made::ListingWithStamps;
        options.progress = [this](qsizetype read, qsizetype total) {
            m_total.store(total, std::memory_order_relaxed);
            m_read.store(read, std::memory_order_relaxed);
        };
        // The rows made and sorted here, so that showing them costs the
        // window nothing; each user goes into them as the reading ends,
        // never held as a listing as well.
        UserListModel::RowsMaker rows(m_codePage);
        if (m_made == Made::ListRows)
            options.sink = &rows;
        m_listing = listUsers(m_folder, options);
        if (m_made == Made::ListRows && !m_stop.load(std::memory_order_relaxed))
            m_rows = rows.finish();
        m_finished.store(true, std::memory_order_release);
        if (m_finishedCall)
            m_finishedCall();
        m_promise.finish();
    });
}

void BackgroundListing::waitUntilFinished() {
    start();
    m_pool.waitForDone();
}

UserListing BackgroundListing::take() {
    start();
    m_pool.waitForDone();
    return std::exchange(m_listing, {});
}

UserListModel::Rows BackgroundListing::takeRows() {
    start();
    m_pool.waitForDone();
    return std::exchange(m_rows, {});
}

} // namespace dexlan
