// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/dialogs.h"

namespace dexlan {

class QtDialogs final : public Dialogs {
  public:
    explicit QtDialogs(QWidget* parent = nullptr) : m_parent(parent) {}
    void setParent(QWidget* parent) { m_parent = parent; }

    MsgAnswer msgBox(const MsgBoxRequest& request) override;
    QString openFile(const FileOpenRequest& request) override;
    void showModal(QDialog& window) override;

  private:
    QWidget* m_parent;
};

} // namespace dexlan
