#pragma once
// Placing the named child widgets of the account forms at fixed positions, as the
// forms lay them out. The widgets are owned by their parent; UI thread only.
#include <QLabel>
#include <QString>
#include <QWidget>

namespace account {

// Names `widget` and gives it its geometry; returns it for assignment.
template <typename W>
W* place(W* widget, const char* name, int left, int top, int width, int height) {
    widget->setObjectName(QString::fromLatin1(name));
    widget->setGeometry(left, top, width, height);
    return widget;
}

// A named label at (left, top), as large as its text.
inline QLabel* label(QWidget* parent, const char* name, const QString& text, int left, int top) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(QString::fromLatin1(name));
    l->move(left, top);
    l->adjustSize();
    return l;
}

}  // namespace account
