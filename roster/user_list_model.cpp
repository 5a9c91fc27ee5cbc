// SPDX-License-Identifier: GPL-3.0-or-later
#include "roster/user_list_model.h"

#include "roster/history_folder.h"
#include "roster/history_folder_detail.h"

#include <algorithm>
#include <numeric>

namespace dexlan {

UserListModel::UserListModel(QObject* parent) : QAbstractListModel(parent) {}

int UserListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_store.rows.size());
}

QVariant UserListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return text(index.row());
    case kNumberRole:
        return number(index.row());
    case kHistoryFileRole:
        return path(index.row());
    default:
        return {};
    }
}

QString UserListModel::text(int row) const {
    return textView(m_store.rows[size_t(row)]).toString();
}

int UserListModel::number(int row) const {
    return m_store.rows[size_t(row)].number;
}

QString UserListModel::path(int row) const {
    const Row& r = m_store.rows[size_t(row)];
    if (r.folder == kNoFolder)
        return {};
    return m_store.folders[r.folder] +
           QStringView(m_store.files).sliced(r.fileAt, r.fileLength).toString();
}

UserListModel::Row UserListModel::makeRow(Rows& into, const QString& text, int number,
                                          const QString& path) {
    Row row{};
    row.textAt = quint32(into.texts.size());
    row.textLength = quint32(text.size());
    into.texts += text;
    row.number = number;
    row.folder = kNoFolder;
    if (path.isEmpty())
        return row;
    // Views into path: a row whose folder is known (nearly all) copies only
    // its file name.
    const qsizetype fileAt = folder_detail::fileNameAt(path);
    const QStringView folder = QStringView(path).first(fileAt);
    const QStringView file = QStringView(path).sliced(fileAt);
    const auto known = std::find(into.folders.begin(), into.folders.end(), folder);
    row.folder = quint32(known - into.folders.begin());
    if (known == into.folders.end())
        into.folders.push_back(folder.toString());
    row.fileAt = quint32(into.files.size());
    row.fileLength = quint32(file.size());
    into.files += file;
    return row;
}

void UserListModel::showListing(const UserListing& listing, const CodePage& codePage) {
    show(rowsOf(listing, codePage));
}

UserListModel::Rows UserListModel::rowsOf(const UserListing& listing, const CodePage& codePage) {
    // The names go into the store in the folder's order, each with its
    // alphabet's sort key made once, thrown away after the sort. The store is
    // made at its size at once: no growing, no second copy on the way. A
    // collator of its own: this may run on the thread that read the folder.
    const size_t count = listing.users.size();
    qsizetype nameLength = 0;
    qsizetype fileLength = 0;
    for (const ListedUser& user : listing.users) {
        nameLength += user.name.size();
        fileLength += user.path.size() - folder_detail::fileNameAt(user.path);
    }
    Rows made;
    made.texts.reserve(nameLength);
    const ListOrder order;
    std::vector<QCollatorSortKey> keys;
    keys.reserve(count);
    made.rows.reserve(count);
    for (size_t i = 0; i < count; ++i) {
        const ListedUser& user = listing.users[i];
        const QString text = shownName(user.name, codePage);
        keys.push_back(order.sortKeyFor(text));
        Row row = makeRow(made, text, user.number, QString());
        row.fileAt = quint32(i); // the user it came from, until the sort is done
        made.rows.push_back(row);
    }
    // One sort for the whole folder rather than a search per entry, on keys
    // made once per name, the rows sorted where they are.
    std::sort(made.rows.begin(), made.rows.end(), [&](const Row& a, const Row& b) {
        const int byKey =
            ListOrder::compare(keys[a.fileAt], textIn(made, a), keys[b.fileAt], textIn(made, b));
        if (byKey != 0)
            return byKey < 0;
        return a.number < b.number;
    });
    keys = {};
    made.files.reserve(fileLength);
    for (Row& row : made.rows) {
        const Row withFile = makeRow(made, QString(), row.number, listing.users[row.fileAt].path);
        row.fileAt = withFile.fileAt;
        row.fileLength = withFile.fileLength;
        row.folder = withFile.folder;
    }
    return made;
}

void UserListModel::show(Rows&& rows) {
    beginResetModel();
    m_store = std::move(rows);
    endResetModel();
}

int UserListModel::insertSorted(const QString& text, int number, const QString& path) {
    const auto at =
        std::partition_point(m_store.rows.begin(), m_store.rows.end(), [&](const Row& row) {
            return m_order.before(textView(row).toString(), text);
        });
    const int row = int(at - m_store.rows.begin());
    beginInsertRows(QModelIndex(), row, row);
    const Row made = makeRow(m_store, text, number, path);
    m_store.rows.insert(m_store.rows.begin() + row, made);
    endInsertRows();
    return row;
}

void UserListModel::insertSorted(std::vector<NewRow> rows) {
    if (rows.empty())
        return;
    // Equal names keep the order they came in, after those on the list, as
    // one insertion after another would not promise either.
    std::stable_sort(rows.begin(), rows.end(), [this](const NewRow& a, const NewRow& b) {
        return m_order.before(a.text, b.text);
    });
    beginResetModel();
    std::vector<Row> merged;
    merged.reserve(m_store.rows.size() + rows.size());
    auto next = rows.begin();
    for (const Row& row : m_store.rows) {
        const QString text = textView(row).toString();
        while (next != rows.end() && m_order.before(next->text, text)) {
            merged.push_back(makeRow(m_store, next->text, next->number, next->path));
            ++next;
        }
        merged.push_back(row);
    }
    for (; next != rows.end(); ++next)
        merged.push_back(makeRow(m_store, next->text, next->number, next->path));
    m_store.rows = std::move(merged);
    endResetModel();
}

void UserListModel::append(const QString& text, int number, const QString& path) {
    const int row = rowCount();
    beginInsertRows(QModelIndex(), row, row);
    m_store.rows.push_back(makeRow(m_store, text, number, path));
    endInsertRows();
}

void UserListModel::removeRowAt(int row) {
    if (row < 0 || row >= rowCount())
        return;
    beginRemoveRows(QModelIndex(), row, row);
    m_store.rows.erase(m_store.rows.begin() + row);
    endRemoveRows();
    compactIfWasteful();
}

void UserListModel::clear() {
    show(Rows());
}

void UserListModel::compactIfWasteful() {
    // Removed rows leave their texts behind; once they are most of the store
    // it is written anew. The rows' places do not move, so no view is told.
    qsizetype used = 0;
    for (const Row& row : m_store.rows)
        used += row.textLength + row.fileLength;
    if (used * 2 + 4096 > m_store.texts.size() + m_store.files.size())
        return;
    QString texts;
    QString files;
    texts.reserve(used);
    files.reserve(used);
    for (Row& row : m_store.rows) {
        const quint32 textAt = quint32(texts.size());
        texts += QStringView(m_store.texts).sliced(row.textAt, row.textLength);
        row.textAt = textAt;
        const quint32 fileAt = quint32(files.size());
        files += QStringView(m_store.files).sliced(row.fileAt, row.fileLength);
        row.fileAt = fileAt;
    }
    m_store.texts = std::move(texts);
    m_store.files = std::move(files);
}

int UserListModel::rowOf(const QString& text) const {
    for (size_t row = 0; row < m_store.rows.size(); ++row) {
        if (textView(m_store.rows[row]) == text)
            return int(row);
    }
    return -1;
}

int UserListModel::rowOfSameName(const QString& name) const {
    const QString key = sameNameKey(name);
    for (size_t row = 0; row < m_store.rows.size(); ++row) {
        const QStringView text = textView(m_store.rows[row]);
        if (text == key || sameNameKey(text) == key)
            return int(row);
    }
    return -1;
}

std::vector<int> UserListModel::numbers() const {
    std::vector<int> result;
    result.reserve(m_store.rows.size());
    for (const Row& row : m_store.rows)
        result.push_back(row.number);
    return result;
}

} // namespace dexlan
