#pragma once
// One catalogue entry, a folder or a drawing, with its local and change state.
// Plain data: owned by the library pane's FileList (or kept alive by CurrentEntry
// after a load dropped it); used on the UI thread only.
#include <QString>

namespace library {

struct TFiles {
    QString FileId;       // service id, or a client GUID "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}"
    QString Pid;          // FileId of the parent folder; empty at the top level
    QString FileNewName;  // display name; an imported drawing's file name with extension
    QString ItemType;     // "1" drawing; anything else counts as a folder ("0" from the client)
    QString FilePath;     // download address of the stored file; empty for client entries
    int LocalState = 0;   // 1 imported only, 2 no local copy, 3 local copy at LocalPath
    int ChangeState = 0;  // 0 none, 1 new, 2 deleted, 3 name changed
    QString LocalPath;    // full path of the local file; empty until known
    bool LocalModified = false;  // the local copy changed and must be committed again
    int Flag = 0;                // 0 own view, 1 shared with the user
    QString UserName;            // owner's name as the service gives it

    bool isDrawing() const { return ItemType == QLatin1String("1"); }
};

}  // namespace library
