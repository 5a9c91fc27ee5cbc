// SPDX-License-Identifier: GPL-3.0-or-later
#include "roster/user_list_model.h"

#include "roster/history_folder.h"
#include "roster/history_folder_detail.h"

#include <algorithm>
#include <numeric>

namespace dexlan {

UserListModel::UserListModel(QObject* parent) : QAbstractListModel(parent) {}

int UserListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_rows.size());
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

QStringView UserListModel::textView(const Row& row) const {
    return QStringView(m_texts).sliced(row.textAt, row.textLength);
}

QString UserListModel::text(int row) const {
    return textView(m_rows[size_t(row)]).toString();
}

int UserListModel::number(int row) const {
    return m_rows[size_t(row)].number;
}

QString UserListModel::path(int row) const {
    const Row& r = m_rows[size_t(row)];
    if (r.folder == kNoFolder)
        return {};
    return m_folders[r.folder] + QStringView(m_files).sliced(r.fileAt, r.fileLength).toString();
}

UserListModel::Row UserListModel::makeRow(const QString& text, int number, const QString& path) {
    Row row{};
    row.textAt = quint32(m_texts.size());
    row.textLength = quint32(text.size());
    m_texts += text;
    row.number = number;
    row.folder = kNoFolder;
    if (path.isEmpty())
        return row;
    const QString folder = folder_detail::folderOf(path);
    const QStringView file = QStringView(path).sliced(folder.size());
    const auto known = std::find(m_folders.begin(), m_folders.end(), folder);
    row.folder = quint32(known - m_folders.begin());
    if (known == m_folders.end())
        m_folders.push_back(folder);
    row.fileAt = quint32(m_files.size());
    row.fileLength = quint32(file.size());
    m_files += file;
    return row;
}

void UserListModel::showListing(const UserListing& listing) {
    beginResetModel();
    m_rows.clear();
    m_texts.clear();
    m_files.clear();
    m_folders.clear();

    // The names go into the store in the folder's order, with their sort keys
    // in a second store of the same kind, thrown away after the sort: two
    // long strings rather than two small ones for every user.
    const size_t count = listing.users.size();
    QString keys;
    std::vector<std::pair<quint32, quint32>> keyAt(count); // start and length in keys
    std::vector<Row> rows;
    rows.reserve(count);
    qsizetype fileLength = 0;
    for (size_t i = 0; i < count; ++i) {
        const ListedUser& user = listing.users[i];
        const QString text = shownName(user.name);
        const QString key = listSortKey(text);
        keyAt[i] = {quint32(keys.size()), quint32(key.size())};
        keys += key;
        rows.push_back(makeRow(text, user.number, QString()));
        fileLength += user.path.size() - folder_detail::folderOf(user.path).size();
    }
    auto keyOf = [&](quint32 i) {
        return QStringView(keys).sliced(keyAt[i].first, keyAt[i].second);
    };
    // One sort for the whole folder rather than a search per entry, on keys
    // made once per name.
    std::vector<quint32> order(count);
    std::iota(order.begin(), order.end(), 0u);
    std::sort(order.begin(), order.end(), [&](quint32 a, quint32 b) {
        const Row& rowA = rows[a];
        const Row& rowB = rows[b];
        const int byKey = keyOf(a).compare(keyOf(b));
        if (byKey != 0)
            return byKey < 0;
        const int byText = textView(rowA).compare(textView(rowB));
        if (byText != 0)
            return byText < 0;
        return rowA.number < rowB.number;
    });
    keys = QString();
    keyAt = {};
    m_files.reserve(fileLength);
    m_rows.reserve(count);
    for (quint32 i : order) {
        Row row = rows[i];
        const QString& path = listing.users[i].path;
        const Row withFile = makeRow(QString(), row.number, path);
        row.fileAt = withFile.fileAt;
        row.fileLength = withFile.fileLength;
        row.folder = withFile.folder;
        m_rows.push_back(row);
    }
    endResetModel();
}

int UserListModel::insertSorted(const QString& text, int number, const QString& path) {
    const QString key = listSortKey(text);
    const auto at = std::partition_point(m_rows.begin(), m_rows.end(), [&](const Row& row) {
        const QStringView other = textView(row);
        const QString otherKey = listSortKey(other.toString());
        if (otherKey != key)
            return otherKey < key;
        return other < QStringView(text);
    });
    const int row = int(at - m_rows.begin());
    beginInsertRows(QModelIndex(), row, row);
    const Row made = makeRow(text, number, path);
    m_rows.insert(m_rows.begin() + row, made);
    endInsertRows();
    return row;
}

void UserListModel::insertSorted(std::vector<NewRow> rows) {
    if (rows.empty())
        return;
    // Equal names keep the order they came in, after those on the list, as
    // one insertion after another would not promise either.
    std::stable_sort(rows.begin(), rows.end(),
                     [](const NewRow& a, const NewRow& b) { return listsBefore(a.text, b.text); });
    beginResetModel();
    std::vector<Row> merged;
    merged.reserve(m_rows.size() + rows.size());
    auto next = rows.begin();
    for (const Row& row : m_rows) {
        const QString text = textView(row).toString();
        while (next != rows.end() && listsBefore(next->text, text)) {
            merged.push_back(makeRow(next->text, next->number, next->path));
            ++next;
        }
        merged.push_back(row);
    }
    for (; next != rows.end(); ++next)
        merged.push_back(makeRow(next->text, next->number, next->path));
    m_rows = std::move(merged);
    endResetModel();
}

void UserListModel::append(const QString& text, int number, const QString& path) {
    const int row = rowCount();
    beginInsertRows(QModelIndex(), row, row);
    m_rows.push_back(makeRow(text, number, path));
    endInsertRows();
}

void UserListModel::removeRowAt(int row) {
    if (row < 0 || row >= rowCount())
        return;
    beginRemoveRows(QModelIndex(), row, row);
    m_rows.erase(m_rows.begin() + row);
    endRemoveRows();
    compactIfWasteful();
}

void UserListModel::clear() {
    beginResetModel();
    m_rows.clear();
    m_texts.clear();
    m_files.clear();
    m_folders.clear();
    endResetModel();
}

void UserListModel::compactIfWasteful() {
    // Removed rows leave their texts behind; once they are most of the store
    // it is written anew. The rows' places do not move, so no view is told.
    qsizetype used = 0;
    for (const Row& row : m_rows)
        used += row.textLength + row.fileLength;
    if (used * 2 + 4096 > m_texts.size() + m_files.size())
        return;
    QString texts;
    QString files;
    texts.reserve(used);
    files.reserve(used);
    for (Row& row : m_rows) {
        const quint32 textAt = quint32(texts.size());
        texts += QStringView(m_texts).sliced(row.textAt, row.textLength);
        row.textAt = textAt;
        const quint32 fileAt = quint32(files.size());
        files += QStringView(m_files).sliced(row.fileAt, row.fileLength);
        row.fileAt = fileAt;
    }
    m_texts = std::move(texts);
    m_files = std::move(files);
}

int UserListModel::rowOf(const QString& text) const {
    for (size_t row = 0; row < m_rows.size(); ++row) {
        if (textView(m_rows[row]) == text)
            return int(row);
    }
    return -1;
}

std::vector<int> UserListModel::numbers() const {
    std::vector<int> result;
    result.reserve(m_rows.size());
    for (const Row& row : m_rows)
        result.push_back(row.number);
    return result;
}

} // namespace dexlan
