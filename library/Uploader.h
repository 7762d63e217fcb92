#pragma once
// The upload of client changes: commits new folders, new drawings and changed drawings
// one by one in list order ("FileMng/CommitFile2"), then sends deletions and name changes
// as one record list ("FileMng/UpdateRecord"). Pure logic over the entries and the
// service client; it never deletes or overwrites a local file. UI thread (blocking).
#include <QString>
#include <QStringList>
#include <optional>

#include "library/TreeBuilder.h"

namespace library {

// A commit answer: status character, separator, text from the third character on.
struct CommitAnswer {
    bool accepted = false;
    QString text;
    // `bareStatusAllowed`: an answer shorter than two characters is taken whole as the
    // status (changed drawings and new folders); otherwise it counts as refused.
    static CommitAnswer read(const QString& answer, bool bareStatusAllowed);
};

struct UploadOutcome {
    // Set when a new folder was refused: the answer's text (maybe empty); the loop
    // stopped there.
    std::optional<QString> refusedFolder;
    bool recordsAccepted = false;
    QStringList records;  // the record lines sent
};

class Uploader {
public:
    // `userId` and `userFolder` (with trailing separator) of the logged-in user.
    Uploader(EntryList& entries, QString userId, QString userFolder)
        : entries_(entries), userId_(std::move(userId)), userFolder_(std::move(userFolder)) {}

    // Runs the whole upload except the final catalogue load.
    UploadOutcome run();

    // The record line of an entry: FileId "=" ChangeState "|" FileNewName.
    static QString recordLine(const TFiles& entry);

private:
    CommitAnswer commit(const TFiles& entry, bool withFile, bool bareStatusAllowed);
    void keepCommittedCopy(TFiles& entry, const QString& storedName);

    EntryList& entries_;
    QString userId_;
    QString userFolder_;
};

}  // namespace library
