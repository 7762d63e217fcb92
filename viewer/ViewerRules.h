#pragma once
// The rules behind the main toolbar's viewer commands that are more than one call:
// the rotation prompt's number, the background toggle and where a drop landed.
// Pure functions, any thread.
#include <QPoint>
#include <QRect>
#include <QString>
#include <optional>

namespace viewer {

// The rotation input as a signed 32-bit whole number, or nothing when it is not one
// (blanks, fractions, words and the empty text are refused).
std::optional<int> parseRotationInput(const QString& text);
// The angle handed to RotateView: numbers above 360 are taken modulo 360; 360 and
// everything below, negative numbers included, pass unchanged. Degrees, clockwise.
float rotationAngle(int degrees);

// The next Background value: 0 becomes 255, anything else becomes 0.
short nextBackground(short current);

// Where a drop landed. Both tests are made, on positions and sizes alone.
struct DropAreas {
    bool viewer = false;  // open the first dropped file
    bool tree = false;    // hand every dropped file to the library import
};

// `pointer`: screen position of the pointer. `windowTopLeft`: the main window's outer
// top-left corner on the screen. `viewerPanel`: the viewer panel's rectangle in the
// window's client coordinates. `tree`: the library tree's rectangle inside the library
// pane, whose top-left corner is that of the client area; it is tested 30 pixels lower.
// All edges are exclusive.
DropAreas classifyDrop(QPoint pointer, QPoint windowTopLeft, QRect viewerPanel, QRect tree);

}  // namespace viewer
