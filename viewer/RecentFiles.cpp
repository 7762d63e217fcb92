#include "viewer/RecentFiles.h"

namespace viewer {

void RecentFiles::touch(const QString& path) {
    for (qsizetype i = 0; i < paths_.size(); ++i) {
        if (paths_.at(i).compare(path, Qt::CaseInsensitive) == 0) {
            paths_.removeAt(i);
            break;
        }
    }
    paths_.prepend(path);
}

}  // namespace viewer
