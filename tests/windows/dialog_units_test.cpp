// Dialog units: one answer for the templates' fonts however they are named, measured for others.
#include <gtest/gtest.h>

#include "windows/dialog_units.h"

namespace {

TEST(DialogUnits, TemplateFontsHaveTheBaseUnitsSixByThirteen) {
    QFont shellDialog("MS Shell Dlg", 8);
    QFont sansSerif("MS Sans Serif", 8);
    const struct {
        const char* what;
        QFont font;
    } fonts[] = {{"the windows' font", DialogFont()}, {"MS Shell Dlg 8", shellDialog}, {"MS Sans Serif 8", sansSerif}};
    for (const auto& f : fonts) {
        const DialogUnits du(f.font);
        EXPECT_EQ(du.Rect(37, 3, 152, 12), QRect(55, 4, 228, 19)) << f.what;
        EXPECT_EQ(du.Rect(QRect(3, 0, 139, 27)), QRect(4, 0, 208, 43)) << f.what;
        EXPECT_EQ(du.Size(QSize(548, 319)), QSize(822, 518)) << f.what;
    }
}

TEST(DialogUnits, OtherFontsAreMeasured) {
    const DialogUnits small(QFont("Times New Roman", 8));
    const DialogUnits large(QFont("Times New Roman", 14));
    EXPECT_GT(large.X(400), small.X(400));
    EXPECT_GT(large.Y(800), small.Y(800));
    EXPECT_GT(large.Y(800), 13 * 100);  // a 14-point font is taller than the 8-point templates' 13 pixels
}

}  // namespace
