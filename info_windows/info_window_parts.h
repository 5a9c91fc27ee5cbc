// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QDialog;
class QLabel;
class QPushButton;

namespace dexlan::info_window {

// The pieces both windows are made of, placed in twips.
QLabel* emblem(QDialog& window, const char* name, int left, int top);
QLabel* label(QDialog& window, const char* name, int index, const QString& text, int left, int top,
              int width, int height);
// "OK", pressed by Enter (default button) and by Escape (the dialog's cancel).
QPushButton* okButton(QDialog& window, int left, int top, int width, int height);
void setClientSize(QDialog& window, int width, int height);

} // namespace dexlan::info_window
