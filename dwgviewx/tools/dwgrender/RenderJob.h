#pragma once
// One dwgrender run: its options parsed from the command line, and the work of
// drawing a decoded file into a PNG, SVG or PDF. Needs a QGuiApplication.
#include <QRectF>
#include <QSize>
#include <QString>
#include <QStringList>
#include <optional>

namespace dwgrender {

struct Options {
    QString input;
    QString output;
    QSize size{1600, 1200};
    int background = 255;
    QRectF window;         // drawing area to show; empty: the whole drawing
    bool verbose = false;  // print what was drawn to stderr
};

// Parses the arguments after the program name; on error returns nothing and sets
// `error` to a message for the user.
std::optional<Options> parseArguments(const QStringList& args, QString& error);

// Renders `o.input` into `o.output`; returns 0 or an exit code with `error` set
// (2: the drawing cannot be read, 3: the output cannot be written).
int run(const Options& o, QString& error);

}  // namespace dwgrender
