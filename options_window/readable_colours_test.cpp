// SPDX-License-Identifier: GPL-3.0-or-later
#include "options_window/options_window_fixture.h"

#include <QStyle>

#include <cmath>

namespace dexlan {
namespace {

// Relative luminance and contrast ratio as the web's accessibility guidelines
// define them.
double luminance(const QColor& colour) {
    auto linear = [](double channel) {
        return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(colour.redF()) + 0.7152 * linear(colour.greenF()) +
           0.0722 * linear(colour.blueF());
}

double contrast(const QColor& one, const QColor& other) {
    const double lighter = std::max(luminance(one), luminance(other));
    const double darker = std::min(luminance(one), luminance(other));
    return (lighter + 0.05) / (darker + 0.05);
}

// A dark desktop theme: light text on dark faces.
QPalette darkPalette() {
    QPalette dark(QColor(230, 230, 230), QColor(53, 53, 53), QColor(80, 80, 80), QColor(25, 25, 25),
                  QColor(40, 40, 40), QColor(230, 230, 230), Qt::white, QColor(30, 30, 30),
                  QColor(45, 45, 45));
    dark.setColor(QPalette::Highlight, QColor(42, 130, 218));
    dark.setColor(QPalette::HighlightedText, Qt::white);
    return dark;
}

class ReadableColoursTest : public OptionsWindowTest {
  protected:
    ~ReadableColoursTest() override {
        window.reset();
        QApplication::setPalette(QApplication::style()->standardPalette());
    }
};

TEST_F(ReadableColoursTest, EveryTextStandsOutFromItsBackgroundInLightAndDarkThemes) {
    const struct {
        QPalette::ColorRole background;
        QPalette::ColorRole text;
    } pairs[] = {
        {QPalette::Window, QPalette::WindowText},
        {QPalette::Button, QPalette::ButtonText},
        {QPalette::Base, QPalette::Text},
    };
    const struct {
        const char* name;
        QPalette palette;
    } themes[] = {
        {"light", QApplication::style()->standardPalette()},
        {"dark", darkPalette()},
    };
    for (const auto& theme : themes) {
        SCOPED_TRACE(theme.name);
        QApplication::setPalette(theme.palette);
        OptionsWindow& options = open();
        // The user list is on view in this mode.
        options.refreshPage(2);
        QList<QWidget*> controls = options.findChildren<QWidget*>();
        controls.prepend(&options);
        for (const QWidget* control : controls) {
            for (const auto& pair : pairs) {
                for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
                    const QPalette& colours = control->palette();
                    const double ratio = contrast(colours.color(group, pair.background),
                                                  colours.color(group, pair.text));
                    EXPECT_GE(ratio, 4.5)
                        << control->objectName().toStdString() << " " << pair.text << " on "
                        << pair.background << ": "
                        << colours.color(group, pair.text).name().toStdString() << " on "
                        << colours.color(group, pair.background).name().toStdString();
                }
            }
        }
        // The colours the window forces keep their places in both themes.
        EXPECT_EQ(options.palette().color(QPalette::Window), QColor(0, 128, 128));
        EXPECT_EQ(userList()->palette().color(QPalette::Base), QColor(Qt::white));
        EXPECT_EQ(find<QPushButton>("Command4")->palette().color(QPalette::Button),
                  QColor(192, 192, 192));
        EXPECT_EQ(label("Label20")->palette().color(QPalette::Window), QColor(192, 192, 192));
        window.reset();
    }
}

} // namespace
} // namespace dexlan
