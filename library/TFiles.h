#pragma once
// One catalogue entry: a folder or a drawing, with its local and change state.
#include <QString>

class QTreeWidgetItem;

namespace library {

struct TFiles {
    QString FileId;
    QString Pid;
    QString FileName;
    QString FilePath;      // absolute download address
    int ItemType = 0;      // folder or drawing, as the service sends it
    int Flag = 0;          // 0 own entry, 1 shared with the user
    QString OwnerName;
    int LocalState = 0;    // 1 imported, 2 no local copy, 3 local copy present
    QString LocalPath;
    bool LocalModified = false;
    int ChangeState = 0;   // marks for the next upload
    QTreeWidgetItem* Node = nullptr;  // the tree node showing it, when shown
};

}  // namespace library
