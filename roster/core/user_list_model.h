// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/code_page.h"
#include "roster/core/history_folder.h"
#include "roster/core/name_rules.h"

#include <QAbstractListModel>
#include <QString>

#include <vector>

namespace dexlan {

// The rows of the user list: each user's name as the list shows it, the user
// number and the history file it stands for, in the list's order. The texts
// live in a few long strings rather than one object per row, so that a
// roster of 100,000 users costs a few megabytes.
class UserListModel : public QAbstractListModel {
    struct Row {
        quint32 textAt;
        quint32 textLength;
        quint32 fileAt;
        quint32 fileLength;
        quint32 folder; // index in folders; kNoFolder: no file known
        qint32 number;
    };

  public:
    // The rows of a listing made ready to be shown, in the list's order.
    // Making them touches nothing but the listing, so that it can be done on
    // the thread that read the folder; showing them is then a swap.
    class Rows {
      public:
        size_t size() const { return rows.size(); }

      private:
        friend class UserListModel;
        std::vector<Row> rows;
        QString texts;                // the rows' names, one after another
        QString files;                // the rows' file names, one after another
        std::vector<QString> folders; // the folders the files lie in; nearly always one
    };

    // Rows made one user at a time, as a listing hands them over, and sorted
    // once at the end: no user is held twice, as a listing and as a row.
    class RowsMaker : public ListedUserSink {
      public:
        // The names are shown in codePage and ordered by the user's language.
        explicit RowsMaker(const CodePage& codePage = CodePage::windows1252())
            : m_codePage(codePage) {}
        void expect(qsizetype users, qsizetype nameBytes) override;
        void take(QByteArray&& name, int number, QStringView folder,
                  const QString& fileName) override;
        // The rows in the list's order; the maker is empty afterwards.
        Rows finish();

      private:
        Rows m_made;
        CodePage m_codePage;
        ListOrder m_order;                   // a collator of its own: this runs on the reading thread
        std::vector<QCollatorSortKey> m_keys; // each row's sort key, made once
    };

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
    void showListing(const UserListing& listing,
                     const CodePage& codePage = CodePage::windows1252());
    static Rows rowsOf(const UserListing& listing,
                       const CodePage& codePage = CodePage::windows1252());
    // Every row replaced by rows.
    void show(Rows&& rows);
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
    // The first row showing the same name as name (sameNameKey), or -1.
    int rowOfSameName(const QString& name) const;
    // Every row's user number, in the list's order.
    std::vector<int> numbers() const;

  private:
    static constexpr quint32 kNoFolder = 0xffffffff;

    static Row makeRow(Rows& into, const QString& text, int number, const QString& path);
    static Row makeRow(Rows& into, const QString& text, int number, QStringView folder,
                       QStringView file);
    static QStringView textIn(const Rows& rows, const Row& row) {
        return QStringView(rows.texts).sliced(row.textAt, row.textLength);
    }
    QStringView textView(const Row& row) const { return textIn(m_store, row); }
    void compactIfWasteful();

    Rows m_store;
    ListOrder m_order; // the user's language
};

} // namespace dexlan
