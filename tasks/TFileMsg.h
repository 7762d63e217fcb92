#pragma once
// One review task of a drawing, as the task list keeps it. Plain data: the task
// list owns its entries; nothing here is shared between threads.
#include <QString>

namespace tasks {

class TFileMsg {
public:
    QString Id;          // the task's id on the service
    QString FileId;      // FileId of the drawing; read and kept, not used
    QString MsgInfo;     // history: one "name:text" line per step, "\r\n" between
    QString MsgDate;     // as the service gives it; shown unchanged
    int Status = 0;      // 0 new, 1 closed, 2 discarded
    QString UserName;    // creator, as the service gives it
    QString FilePath;    // picture address; its last part names the local copy
    int LocalState = 2;  // 2 no local copy yet, 3 local copy at LocalPath
    QString LocalPath;   // full path of the local copy; empty until known
};

}  // namespace tasks

using tasks::TFileMsg;
