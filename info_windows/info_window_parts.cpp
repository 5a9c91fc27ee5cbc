// SPDX-License-Identifier: GPL-3.0-or-later
#include "info_windows/info_window_parts.h"

#include "resources/classic_look.h"

#include <QCoreApplication>
#include <QDialog>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>

namespace dexlan::info_window {

QLabel* emblem(QDialog& window, const char* name, int left, int top) {
    auto* picture = new QLabel(&window);
    picture->setObjectName(QLatin1String(name));
    picture->setPixmap(QPixmap(QString::fromLatin1(kEmblemPath)));
    // A picture has no text a screen reader could read out.
    picture->setAccessibleName(
        QCoreApplication::translate("InfoWindow", "Corvantis Dexlan emblem"));
    picture->setGeometry(twipsRect(window, left, top, 510, 510));
    return picture;
}

QLabel* label(QDialog& window, const char* name, int index, const QString& text, int left, int top,
              int width, int height) {
    auto* label = new QLabel(text, &window);
    label->setObjectName(QLatin1String(name));
    if (index >= 0)
        label->setProperty("index", index);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setTextFormat(Qt::PlainText);
    label->setGeometry(twipsRect(window, left, top, width, height));
    return label;
}

QPushButton* okButton(QDialog& window, int left, int top, int width, int height) {
    auto* button = new QPushButton(QCoreApplication::translate("InfoWindow", "OK"), &window);
    button->setObjectName(QStringLiteral("Command1"));
    button->setDefault(true);
    button->setGeometry(twipsRect(window, left, top, width, height));
    // Escape reaches QDialog::reject, which closes the window just as OK does.
    QObject::connect(button, &QPushButton::clicked, &window, &QDialog::accept);
    return button;
}

void setClientSize(QDialog& window, int width, int height) {
    window.setFont(classicFont());
    window.setFixedSize(twipsRect(window, 0, 0, width, height).size());
}

} // namespace dexlan::info_window
