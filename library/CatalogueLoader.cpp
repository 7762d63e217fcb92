#include "library/CatalogueLoader.h"

#include <QDir>
#include <QHash>
#include <exception>

#include "library/EntryNames.h"
#include "service/Base64.h"
#include "service/RowSet.h"

namespace library {
namespace {

// Names of the files in the folder, compared the way the file system compares them.
class FolderNames {
public:
    explicit FolderNames(const QString& folder) {
        if (folder.isEmpty()) return;
        const QStringList files = QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System);
        for (const QString& name : files) names_.insert(key(name));
    }
    bool contains(const QString& name) const { return names_.contains(key(name)); }

private:
    static QString key(const QString& name) {
#ifdef Q_OS_WIN
        return name.toCaseFolded();
#else
        return name;
#endif
    }
    QSet<QString> names_;
};

}  // namespace

bool CatalogueLoader::strictInt(const QString& text, int* value) {
    if (text.isEmpty()) return false;
    qsizetype i = (text.at(0) == QLatin1Char('+') || text.at(0) == QLatin1Char('-')) ? 1 : 0;
    if (i == text.size()) return false;
    for (qsizetype k = i; k < text.size(); ++k) {
        if (text.at(k) < QLatin1Char('0') || text.at(k) > QLatin1Char('9')) return false;
    }
    bool ok = false;
    const int parsed = text.toInt(&ok, 10);
    if (ok) *value = parsed;
    return ok;
}

void CatalogueLoader::markLocalCopies(EntryList& entries, const QString& userFolder) {
    const FolderNames present(userFolder);
    for (const auto& entry : entries) {
        const QString name = localFileName(entry->FilePath);
        if (!name.isEmpty() && present.contains(name)) {
            entry->LocalState = 3;
            entry->LocalPath = userFolder + name;
        } else {
            entry->LocalState = 2;
            entry->LocalPath.clear();
        }
    }
}

void CatalogueLoader::carryLocalChanges(const EntryList& previous, EntryList& fresh) {
    QHash<QString, QString> changed;  // FileId -> LocalPath
    for (const auto& entry : previous) {
        if (entry->LocalState == 3 && entry->LocalModified && entry->ChangeState != 2) {
            changed.insert(entry->FileId, entry->LocalPath);
        }
    }
    if (changed.isEmpty()) return;
    for (const auto& entry : fresh) {
        const auto it = changed.constFind(entry->FileId);
        if (it != changed.constEnd() && entry->LocalState == 3 && entry->LocalPath == it.value()) {
            entry->LocalModified = true;
        }
    }
}

CatalogueLoad CatalogueLoader::decode(const QString& answer, const QString& userFolder) {
    CatalogueLoad load;
    try {
        ucm::RowSet rows = ucm::RowSet::load(ucm::Base64Decode(answer));
        load.entries.reserve(static_cast<size_t>(rows.rowCount()));
        for (qsizetype row = 1; !rows.atEnd(); rows.next(), ++row) {
            auto entry = std::make_unique<TFiles>();
            entry->FileId = rows.value(QStringLiteral("FileId"));
            entry->Pid = rows.value(QStringLiteral("Pid"));
            entry->FileNewName = rows.value(QStringLiteral("FileNewName"));
            entry->ItemType = rows.value(QStringLiteral("ItemType"));
            entry->FilePath = rows.value(QStringLiteral("FilePath"));
            const QString flag = rows.value(QStringLiteral("Flag"));
            entry->UserName = rows.value(QStringLiteral("UserName"));
            if (!strictInt(flag, &entry->Flag)) {
                load.entries.clear();
                load.error = QStringLiteral("网盘目录有误：第%1行的“Flag”不是整数（“%2”）。")
                                 .arg(row)
                                 .arg(flag.left(40));
                return load;
            }
            load.entries.push_back(std::move(entry));
        }
    } catch (const std::exception& e) {
        load.entries.clear();
        load.error = QStringLiteral("网盘目录无法读取：%1").arg(QString::fromUtf8(e.what()));
        return load;
    }
    markLocalCopies(load.entries, userFolder);
    load.ok = true;
    return load;
}

}  // namespace library
