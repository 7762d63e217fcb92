#pragma once
// The program's default error report: an error that a command does not handle ends
// that command and is shown in a modal error box captioned "OrvaneCAD". Runs on the
// UI thread; the box goes through platform::Dialogs so tests can record it.
#include <QString>
#include <exception>
#include <utility>

namespace shell {

// The box text for an error message: a "." is appended when the last character sorts
// after "." in code order (so nothing follows ".", "!" or ","); empty stays empty.
QString errorReportText(const QString& message);

// Shows the default error report for `message`.
void reportError(const QString& message);

// Shows the report for the exception currently being handled (call from a catch block).
void reportCurrentException();

// Wraps a command handler so that any exception it throws reaches the default error
// report instead of unwinding through the event loop. Use it for every connect().
template <typename Handler>
auto guarded(Handler handler) {
    return [handler = std::move(handler)](auto&&... args) mutable {
        try {
            handler(std::forward<decltype(args)>(args)...);
        } catch (...) {
            reportCurrentException();
        }
    };
}

// Runs `handler` once under the default error report; returns false when it threw.
template <typename Handler>
bool runGuarded(Handler&& handler) {
    try {
        handler();
        return true;
    } catch (...) {
        reportCurrentException();
        return false;
    }
}

}  // namespace shell
