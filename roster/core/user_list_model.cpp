// SPDX-License-Identifier: GPL-3.0-or-later
#include "roster/core/user_list_model.h"

#include "roster/core/history_folder.h"
#include "roster/core/history_folder_detail.h"

#include <algorithm>
#include <numeric>
#include <utility>

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
    if (path.isEmpty())
        return makeRow(into, text, number, QStringView(), QStringView());
    // Views into path: a row whose folder is known (nearly all) copies only
    // its file name.
    const qsizetype fileAt = folder_detail::fileNameAt(path);
    return makeRow(into, text, number, QStringView(path).first(fileAt),
                   QStringView(path).sliced(fileAt));
}

UserListModel::Row UserListModel::makeRow(Rows& into, const QString& text, int number,
                                          QStringView folder, QStringView file) {
    Row row{};
    row.textAt = quint32(into.texts.size());
    row.textLength = quint32(text.size());
    into.texts += text;
    row.number = number;
    row.folder = kNoFolder;
    if (folder.isEmpty() && file.isEmpty())
        return row;
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
    RowsMaker maker(codePage);
    qsizetype nameBytes = 0;
    for (const ListedUser& user : listing.users)
        nameBytes += user.name.size();
    maker.expect(qsizetype(listing.users.size()), nameBytes);
    for (const ListedUser& user : listing.users) {
        const qsizetype at = folder_detail::fileNameAt(user.path);
        maker.take(QByteArray(user.name), user.number, QStringView(user.path).first(at),
                   user.path.mid(at));
    }
    return maker.finish();
}

void UserListModel::RowsMaker::expect(qsizetype users, qsizetype nameBytes) {
    // Each store made at about its size at once: no growing, no second copy
    // on the way. A name's bytes are one character each in the code page.
    m_made.rows.reserve(size_t(users));
    m_made.texts.reserve(nameBytes);
    m_made.files.reserve(users * 12);
    m_keys.reserve(size_t(users));
}

void UserListModel::RowsMaker::take(QByteArray&& name, int number, QStringView folder,
                                    const QString& fileName) {
    const QString text = shownName(name, m_codePage);
    name = QByteArray(); // let go at once: the row holds the name now
    m_keys.push_back(m_order.sortKeyFor(text));
    m_made.rows.push_back(makeRow(m_made, text, number, folder, fileName));
}

UserListModel::Rows UserListModel::RowsMaker::finish() {
    // One sort for the whole folder rather than a search per entry, on keys
    // made once per name; equal names keep the folder's order of numbers.
    std::vector<quint32> order(m_made.rows.size());
    std::iota(order.begin(), order.end(), quint32(0));
    std::sort(order.begin(), order.end(), [&](quint32 a, quint32 b) {
        const Row& rowA = m_made.rows[a];
        const Row& rowB = m_made.rows[b];
        const int byKey =
            ListOrder::compare(m_keys[a], textIn(m_made, rowA), m_keys[b], textIn(m_made, rowB));
        if (byKey != 0)
            return byKey < 0;
        return rowA.number < rowB.number;
    });
    m_keys = {};
    std::vector<Row> sorted;
    sorted.reserve(order.size());
    for (const quint32 i : order)
        sorted.push_back(m_made.rows[i]);
    m_made.rows = std::move(sorted);
    return std::exchange(m_made, {});
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
