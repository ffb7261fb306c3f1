#pragma once
// The font a window's controls are drawn in, and the dialog units the layouts are measured in.
// Layouts name their font; where the machine lacks it (or none is named) the windows use DejaVu
// Sans, which every machine the program is installed on has, so a window looks the same everywhere.
#include <QFont>
#include <QString>

#include <string>

namespace qtp {

// The family to draw a font named `name` in: the named one if installed, else the fallback when
// installed, else empty (the application's own font).
QString InstalledFamily(const std::string& name);

// A font's dialog unit: horizontally a quarter of the average width of the letters A-Z and a-z,
// vertically an eighth of the font's height. Layouts place controls in these units, so a window
// keeps its proportions, and its texts their room, in whatever font it is drawn.
struct DialogUnits {
    double letterWidth = 6;  // pixels: the average width of the 52 letters
    int height = 13;         // pixels: the font's height

    static DialogUnits Of(const QFont& font);
    int ToPixelsX(int units) const;
    int ToPixelsY(int units) const;
    int FromPixelsX(int pixels) const;  // whole units the pixels hold
    int FromPixelsY(int pixels) const;
};

}  // namespace qtp
