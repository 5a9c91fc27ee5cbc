// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "roster/core/bulk_add.h"
#include "roster/core/class_list_import.h"

#include <QByteArray>
#include <QDialog>
#include <QStringList>

#include <functional>

class QCheckBox;
class QComboBox;
class QLabel;
class QObject;
class QPlainTextEdit;
class QPushButton;
class QTableWidget;
class QWidget;

namespace dexlan {

// A class list's file before anything is added: its first rows as a table,
// how it is read (separator, first row a header, the columns that make a
// name, and the encoding when some lines are in doubt), and the names that
// will be added and refused with why. Each change reads the bytes again.
class ClassListPreview : public QDialog {
    Q_OBJECT
  public:
    ClassListPreview(const QByteArray& bytes, const QString& shownName, ClassListSource source,
                     const CodePage& codePage, const QStringList& namesOnList,
                     QWidget* parent = nullptr);

    // The list as read with the choices shown: its names are what is added.
    const ClassList& list() const { return m_list; }
    const ImportChoices& choices() const { return m_choices; }

    QTableWidget* table() const { return m_table; }
    QComboBox* separatorBox() const { return m_separator; }
    QCheckBox* headerBox() const { return m_header; }
    QComboBox* firstColumnBox() const { return m_firstColumn; }
    QComboBox* secondColumnBox() const { return m_secondColumn; }
    QComboBox* encodingBox() const { return m_encoding; }
    QLabel* doubtLabel() const { return m_doubt; }
    QPlainTextEdit* namesText() const { return m_names; }
    QPushButton* addButton() const { return m_addButton; }

    // How many of the file's rows the table shows.
    static constexpr int kRowsShown = 12;

  private:
    void read();
    void showList();
    void chooseColumns();

    QByteArray m_bytes;
    QString m_shownName;
    ClassListSource m_source;
    CodePage m_codePage;
    QStringList m_namesOnList;
    ImportChoices m_choices;
    ClassList m_list;
    bool m_showing = false; // the controls are being set, not changed by the user

    QTableWidget* m_table = nullptr;
    QComboBox* m_separator = nullptr;
    QCheckBox* m_header = nullptr;
    QComboBox* m_firstColumn = nullptr;
    QComboBox* m_secondColumn = nullptr;
    QLabel* m_doubt = nullptr;
    QComboBox* m_encoding = nullptr;
    QPlainTextEdit* m_names = nullptr;
    QPushButton* m_addButton = nullptr;
};

// Lets files be dropped onto a widget: each local file dropped is handed to
// opened. The filter is the widget's child.
void acceptClassListDrops(QWidget* widget, std::function<void(const QString&)> opened);

} // namespace dexlan
