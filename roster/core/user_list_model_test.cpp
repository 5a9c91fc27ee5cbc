// SPDX-License-Identifier: GPL-3.0-or-later
#include "roster/core/user_list_model.h"

#include "roster/core/history_folder.h"

#include <QRandomGenerator>

#include <gtest/gtest.h>

#include <algorithm>

namespace dexlan {
namespace {

struct Shown {
    QString text;
    int number;
    QString path;
    friend bool operator==(const Shown&, const Shown&) = default;
    friend void PrintTo(const Shown& s, std::ostream* out) {
        *out << s.text.toStdString() << '=' << s.number << " in " << s.path.toStdString();
    }
};

std::vector<Shown> shown(const UserListModel& model) {
    std::vector<Shown> rows;
    for (int row = 0; row < model.rowCount(); ++row) {
        const QModelIndex index = model.index(row);
        rows.push_back({index.data().toString(), index.data(UserListModel::kNumberRole).toInt(),
                        index.data(UserListModel::kHistoryFileRole).toString()});
        EXPECT_EQ(rows.back().text, model.text(row));
        EXPECT_EQ(rows.back().number, model.number(row));
        EXPECT_EQ(rows.back().path, model.path(row));
    }
    return rows;
}

// The list's order, as every other part of the roster states it: case
// ignored, then the names themselves, then the numbers.
void sortAsTheList(std::vector<Shown>& rows) {
    const ListOrder order; // the user's language, as the model's
    std::stable_sort(rows.begin(), rows.end(), [&order](const Shown& a, const Shown& b) {
        if (a.text != b.text)
            return order.before(a.text, b.text);
        return a.number < b.number;
    });
}

TEST(UserListModel, ShowsAListingInTheListsOrderAndKeepsItThroughChanges) {
    UserListing listing;
    const QByteArray names[] = {"bob",  "Ann", "ann",      "Bob", "\xc9mile",
                                "adam", "Ann", "Ann\nBob", "zed", "\xdf"};
    int number = 0;
    for (const QByteArray& name : names) {
        ++number;
        listing.users.push_back(
            {name, 100 - number, QStringLiteral("/srv/users/%1hist.dx").arg(100 - number)});
    }
    std::vector<Shown> expected;
    for (const ListedUser& user : listing.users)
        expected.push_back({shownName(user.name), user.number, user.path});
    sortAsTheList(expected);

    UserListModel model;
    model.showListing(listing);
    EXPECT_EQ(shown(model), expected);

    // Names added where the order puts them, from another folder too, and a
    // row that does not tell its file.
    QRandomGenerator random(7);
    for (int n = 0; n < 300; ++n) {
        const QString text = QStringLiteral("User %1").arg(random.bounded(1000));
        const QString path = n % 2 ? QStringLiteral("/elsewhere/%1HIST.DX").arg(n) : QString();
        const int row = model.insertSorted(text, 1000 + n, path);
        EXPECT_EQ(model.text(row), text);
        expected.push_back({text, 1000 + n, path});
    }
    // insertSorted places a name before any equal one; the numbers of equal
    // names are in no promised order, so compare without them.
    auto withoutTies = [](std::vector<Shown> rows) {
        for (Shown& row : rows)
            row.number = 0, row.path.clear();
        return rows;
    };
    sortAsTheList(expected);
    EXPECT_EQ(withoutTies(shown(model)), withoutTies(expected));

    // Many at once, as a class list adds them.
    std::vector<UserListModel::NewRow> many;
    for (int n = 0; n < 100; ++n) {
        const QString text = (n % 2 ? QStringLiteral("user %1") : QStringLiteral("Class %1"))
                                 .arg(random.bounded(1000));
        many.push_back({text, 2000 + n, QStringLiteral("/srv/users/%1HIST.DX").arg(2000 + n)});
        expected.push_back({text, 2000 + n, many.back().path});
    }
    model.insertSorted(many);
    sortAsTheList(expected);
    EXPECT_EQ(withoutTies(shown(model)), withoutTies(expected));

    // Most rows removed: what is left still shows its own texts and files.
    while (model.rowCount() > 5) {
        const int row = int(random.bounded(model.rowCount()));
        const std::vector<Shown> before = shown(model);
        model.removeRowAt(row);
        std::vector<Shown> after = before;
        after.erase(after.begin() + row);
        ASSERT_EQ(shown(model), after) << "removing row " << row;
    }
    EXPECT_GE(model.rowOf(model.text(3)), 0);
    EXPECT_EQ(model.rowOf(QStringLiteral("Nobody")), -1);
    std::vector<int> numbers;
    for (const Shown& row : shown(model))
        numbers.push_back(row.number);
    EXPECT_EQ(model.numbers(), numbers);
}

} // namespace
} // namespace dexlan
