// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractListModel>
#include <QString>

#include <vector>

namespace dexlan {

struct UserListing;

// The rows of the user list: each user's name as the list shows it, the user
// number and the history file it stands for, in the list's order. The texts
// live in a few long strings rather than one object per row, so that a
// roster of 100,000 users costs a few megabytes.
class UserListModel : public QAbstractListModel {
  public:
    // Qt::DisplayRole: the name. kNumberRole: the user number (int).
    // kHistoryFileRole: the full path of the history file the row stands for,
    // so that deleting removes that very file even when the location has
    // changed; empty for a row that does not tell its file.
    static constexpr int kNumberRole = Qt::UserRole;
    static constexpr int kHistoryFileRole = Qt::UserRole + 1;

    explicit UserListModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    QString text(int row) const;
    int number(int row) const;
    QString path(int row) const;

    // Every row replaced by the users of listing, in the list's order.
    void showListing(const UserListing& listing);
    // One row more, where the list's order puts it; its row.
    int insertSorted(const QString& text, int number, const QString& path);
    // Rows more, each where the list's order puts it, in one step (a reset):
    // a class list of 1,000 names costs one pass over the list, not 1,000.
    struct NewRow {
        QString text;
        int number = 0;
        QString path;
    };
    void insertSorted(std::vector<NewRow> rows);
    // One row more at the end, wherever the order would put it.
    void append(const QString& text, int number, const QString& path = QString());
    void removeRowAt(int row);
    void clear();

    // The first row showing exactly text, or -1.
    int rowOf(const QString& text) const;
    // Every row's user number, in the list's order.
    std::vector<int> numbers() const;

  private:
    struct Row {
        quint32 textAt;
        quint32 textLength;
        quint32 fileAt;
        quint32 fileLength;
        quint32 folder; // index in m_folders; kNoFolder: no file known
        qint32 number;
    };
    static constexpr quint32 kNoFolder = 0xffffffff;

    Row makeRow(const QString& text, int number, const QString& path);
    QStringView textView(const Row& row) const;
    void compactIfWasteful();

    std::vector<Row> m_rows;
    QString m_texts;                // the rows' names, one after another
    QString m_files;                // the rows' file names, one after another
    std::vector<QString> m_folders; // the folders the files lie in; nearly always one
};

} // namespace dexlan
