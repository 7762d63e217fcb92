#include "library/Uploader.h"

#include <QFile>
#include <QFileInfo>

#include "library/EntryNames.h"
#include "service/ucm.h"

namespace library {

CommitAnswer CommitAnswer::read(const QString& answer, bool bareStatusAllowed) {
    CommitAnswer result;
    if (answer.size() < 2) {
        result.accepted = bareStatusAllowed && answer == QLatin1String("Y");
        return result;
    }
    result.accepted = answer.at(0) == QLatin1Char('Y');
    result.text = answer.mid(2);
    return result;
}

QString Uploader::recordLine(const TFiles& entry) {
    return entry.FileId + QLatin1Char('=') + QString::number(entry.ChangeState) + QLatin1Char('|') +
           entry.FileNewName;
}

CommitAnswer Uploader::commit(const TFiles& entry, bool withFile, bool bareStatusAllowed) {
    const QStringList form{
        QStringLiteral("userId=") + userId_, QStringLiteral("fileName=") + entry.FileNewName,
        QStringLiteral("pid=") + entry.Pid, QStringLiteral("id=") + entry.FileId};
    const QStringList files = withFile ? QStringList{entry.LocalPath} : QStringList{};
    const QString answer = ucm::ServicePost(form, files, QStringLiteral("FileMng/CommitFile2"));
    return CommitAnswer::read(answer, bareStatusAllowed);
}

// The committed file gets a copy in the user folder under the service's name, so the
// next load finds it as the local copy. An existing file of that name is kept as it is.
void Uploader::keepCommittedCopy(TFiles& entry, const QString& storedName) {
    // The service's name is taken as a bare file name only: it must not lead outside
    // the user folder.
    const QString name = localFileName(storedName);
    if (name.isEmpty() || storedName.contains(QLatin1Char('/')) ||
        storedName.contains(QLatin1Char('\\'))) {
        // The drawing is on the service, but there is no safe place for a copy: the
        // imported file stays where it is and a double-click downloads the stored one.
        entry.LocalState = 2;
        entry.LocalPath.clear();
        return;
    }
    const QString target = userFolder_ + name + extensionOf(entry.LocalPath);
    if (!QFileInfo::exists(target)) QFile::copy(entry.LocalPath, target);
    entry.LocalState = 3;
    entry.LocalPath = target;
}

UploadOutcome Uploader::run() {
    UploadOutcome outcome;
    for (const auto& owned : entries_) {
        TFiles& entry = *owned;
        if (entry.isDrawing()) {
            if (entry.ChangeState == 2) {
                outcome.records.append(recordLine(entry));
            } else if (entry.LocalState == 1) {
                const CommitAnswer answer = commit(entry, true, false);
                if (answer.accepted) keepCommittedCopy(entry, answer.text);
            } else if (entry.LocalState == 3 && entry.LocalModified) {
                if (commit(entry, true, true).accepted) entry.LocalModified = false;
            }
            continue;
        }
        if (entry.ChangeState == 1) {
            const CommitAnswer answer = commit(entry, false, true);
            if (!answer.accepted) {
                outcome.refusedFolder = answer.text;
                break;
            }
            entry.ChangeState = 0;
        } else if (entry.ChangeState == 2 || entry.ChangeState == 3) {
            outcome.records.append(recordLine(entry));
        }
    }
    const QString answer =
        ucm::ServicePost(outcome.records, {}, QStringLiteral("FileMng/UpdateRecord"));
    outcome.recordsAccepted = answer == QLatin1String("Y");
    if (outcome.recordsAccepted) {
        for (const auto& entry : entries_) {
            if (entry->ChangeState == 3) entry->ChangeState = 0;
        }
    }
    return outcome;
}

}  // namespace library
