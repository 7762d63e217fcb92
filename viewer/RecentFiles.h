#pragma once
// The recently opened local drawings, most recent first. Matching ignores letter
// case; the list has no size limit in memory. Plain value type, UI thread.
#include <QString>
#include <QStringList>

namespace viewer {

class RecentFiles {
public:
    RecentFiles() = default;
    explicit RecentFiles(QStringList paths) : paths_(std::move(paths)) {}

    // Removes the first entry equal to `path` ignoring case, then puts `path` at the head,
    // spelt as given.
    void touch(const QString& path);

    const QStringList& paths() const { return paths_; }
    int size() const { return static_cast<int>(paths_.size()); }

private:
    QStringList paths_;
};

}  // namespace viewer
