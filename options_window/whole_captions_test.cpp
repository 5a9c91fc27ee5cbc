// SPDX-License-Identifier: GPL-3.0-or-later
#include "options_window/options_window_fixture.h"

#include <QStyle>
#include <QStyleOptionButton>

namespace dexlan {
namespace {

// ctest runs these with only the DejaVu fonts visible, which set every text
// wider than the classic font does; once more at 200 %.

QString describe(const QWidget* control, const char* what, int needed, int has) {
    return QStringLiteral("%1 (%2): %3 needs %4, has %5")
        .arg(control->objectName(), control->property("text").toString().left(40),
             QLatin1String(what))
        .arg(needed)
        .arg(has);
}

// The controls of a page whose caption or text does not show whole, or that
// stand outside their container.
QStringList cutShort(const QWidget* page) {
    QStringList faults;
    for (const QWidget* control : page->findChildren<QWidget*>()) {
        if (!control->isVisibleTo(page))
            continue;
        bool captioned = true;
        if (const auto* label = qobject_cast<const QLabel*>(control)) {
            if (label->text().isEmpty())
                continue;
            const int height = label->wordWrap() ? label->heightForWidth(label->width())
                                                 : label->sizeHint().height();
            if (height > label->height())
                faults << describe(label, "height", height, label->height());
            if (!label->wordWrap() && label->sizeHint().width() > label->width())
                faults << describe(label, "width", label->sizeHint().width(), label->width());
        } else if (const auto* option = qobject_cast<const QRadioButton*>(control)) {
            if (option->sizeHint().width() > option->width())
                faults << describe(option, "width", option->sizeHint().width(), option->width());
        } else if (const auto* button = qobject_cast<const QPushButton*>(control)) {
            // The style's own least width is not the caption's; what counts is
            // the room the style gives the caption inside the bevel.
            QStyleOptionButton look;
            look.initFrom(button);
            look.text = button->text();
            const int room = button->style()
                                 ->subElementRect(QStyle::SE_PushButtonContents, &look, button)
                                 .width();
            const int needed =
                button->fontMetrics().horizontalAdvance(QString(button->text()).remove('&'));
            if (needed > room)
                faults << describe(button, "caption width", needed, room);
        } else if (const auto* frame = qobject_cast<const QGroupBox*>(control)) {
            if (frame->minimumSizeHint().width() > frame->width())
                faults << describe(frame, "title width", frame->minimumSizeHint().width(),
                                   frame->width());
        } else {
            captioned = false;
        }
        const QWidget* container = control->parentWidget();
        if (captioned && !container->rect().contains(control->geometry()))
            faults << describe(control, "to stay within its container, right edge",
                               control->geometry().right(), container->width() - 1);
    }
    return faults;
}

class WholeCaptionsTest : public OptionsWindowTest {
  protected:
    void expectNothingCutShort(int tab) {
        const QStringList faults = cutShort(window->page(tab - 1));
        EXPECT_TRUE(faults.isEmpty()) << "page " << tab << ":\n" << faults.join('\n').toStdString();
    }
};

TEST_F(WholeCaptionsTest, EveryCaptionOnEveryPageShowsWhole) {
    const char* pageButtons[][6] = {
        {},
        {"Option10", "Option1", "Option23", "Option24", "Option25", "Option4"},
        {"Option18", "Option17"},
        {"Option21", "Option20", "Option19"},
        {"Option13", "Option14"},
    };
    for (const char* installation : {"single computer", "network", "individual"}) {
        SCOPED_TRACE(installation);
        state.optionLines[EntryInstallation] = installation;
        open();
        for (int tab : {2, 3, 4, 5}) {
            chooseTab(tab);
            expectNothingCutShort(tab);
            for (const char* button : pageButtons[tab - 1]) {
                if (!button)
                    continue;
                SCOPED_TRACE(button);
                QTest::mouseClick(option(button), Qt::LeftButton);
                expectNothingCutShort(tab);
                // The summary of every history mode, with and without a location.
                if (tab == 2) {
                    for (const char* location : {"", "F:\\DATA"}) {
                        window->locationEdit()->setText(location);
                        chooseTab(1);
                        expectNothingCutShort(1);
                        chooseTab(2);
                    }
                }
            }
        }
        // The tabs themselves: all at their full width, without scroll buttons.
        EXPECT_LE(tabs()->sizeHint().width(), tabs()->width());
    }
}

TEST_F(WholeCaptionsTest, LongFoldersAreShortenedWithTheWholeFolderInTheTooltip) {
    // 300 characters each, deeper than any line of the page is wide.
    QString location = QStringLiteral("/srv/share");
    while (location.size() < 290)
        location += QStringLiteral("/history");
    location = location.left(290) + QStringLiteral("/last-lvl0");
    ASSERT_EQ(location.size(), 300);
    const QString program = location.left(280) + QStringLiteral("/trainer-folder/");
    state.programFolder = program;
    state.pathPolicy = PathPolicy::posix(); // the folders as written, on every platform
    OptionsWindow& window = open();
    window.locationEdit()->setText(location);
    window.show();
    window.refreshPage(1);

    const QChar ellipsis(0x2026);
    const struct {
        QLabel* label;
        QString folder;
        QString ending; // of the text shown
    } rows[] = {
        {window.summaryValue(1), location, QStringLiteral("last-lvl0.")},
        {window.summaryValue(7), program, QStringLiteral("trainer-folder/")},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.label->text().toStdString());
        EXPECT_TRUE(row.label->text().contains(ellipsis));
        EXPECT_TRUE(row.label->text().endsWith(row.ending));
        EXPECT_EQ(row.label->toolTip(), row.folder);
    }
    EXPECT_TRUE(
        window.summaryValue(1)->text().contains("\r\nThe location of the history files is /srv/"));
    expectNothingCutShort(1);
}

} // namespace
} // namespace dexlan
