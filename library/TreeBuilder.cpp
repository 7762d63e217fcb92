#include "library/TreeBuilder.h"

#include <QHash>
#include <QSet>

#include "library/LibraryNode.h"
#include "library/StateImages.h"

namespace library {
namespace {

class Builder {
public:
    Builder(const EntryList& entries, int view) {
        for (const auto& e : entries) {
            if (e->Flag != view || e->ChangeState == 2) continue;
            byPid_[e->Pid].append(e.get());
            if (view == TreeBuilder::SharedView && e->Pid.isEmpty())
                byOwner_[e->UserName].append(e.get());
        }
    }

    // AddChildren: every qualifying entry whose Pid is `pid`, in list order, each followed
    // by its own children before the next sibling. Iterative, so a deep chain cannot
    // exhaust the stack.
    void AddChildren(LibraryNode* parent, const QString& pid, QList<QTreeWidgetItem*>* topLevel) {
        struct Frame {
            LibraryNode* node;
            const QList<TFiles*>* kids;
            qsizetype next;
        };
        std::vector<Frame> stack;
        auto push = [&](LibraryNode* node, const QString& id) {
            if (expanded_.contains(id)) return;
            expanded_.insert(id);
            const auto it = byPid_.constFind(id);
            if (it != byPid_.constEnd()) stack.push_back({node, &it.value(), 0});
        };
        push(parent, pid);
        while (!stack.empty()) {
            Frame& top = stack.back();
            if (top.next >= top.kids->size()) {
                stack.pop_back();
                continue;
            }
            TFiles* entry = (*top.kids)[top.next++];
            auto* node = new LibraryNode(entry->FileNewName, entry);
            if (top.node) {
                top.node->addChild(node);
            } else {
                topLevel->append(node);
            }
            push(node, entry->FileId);
        }
    }

    // AddGroupChildren: the owner's top-level shared entries (name compared exactly).
    void AddGroupChildren(LibraryNode* group, const QString& name) {
        const auto it = byOwner_.constFind(name);
        if (it == byOwner_.constEnd()) return;
        for (TFiles* entry : it.value()) {
            auto* node = new LibraryNode(entry->FileNewName, entry);
            group->addChild(node);
            AddChildren(node, entry->FileId, nullptr);
        }
    }

    // Top-level entries of the shared view hang under their owner's group, never under
    // an entry that happens to have an empty id.
    void reserveTopLevel() { expanded_.insert(QString()); }

private:
    QHash<QString, QList<TFiles*>> byPid_;
    QHash<QString, QList<TFiles*>> byOwner_;
    QSet<QString> expanded_;
};

}  // namespace

QList<QString> TreeBuilder::OwnerGroups(const EntryList& entries) {
    QList<QString> names;
    QSet<QString> seen;
    for (const auto& e : entries) {
        const QString folded = e->UserName.toCaseFolded();
        if (seen.contains(folded)) continue;
        seen.insert(folded);
        names.append(e->UserName);
    }
    return names;
}

QList<QTreeWidgetItem*> TreeBuilder::BuildTree(const EntryList& entries, int viewIndex) {
    QList<QTreeWidgetItem*> topLevel;
    Builder builder(entries, viewIndex);
    if (viewIndex == SharedView) {
        builder.reserveTopLevel();
        for (const QString& name : OwnerGroups(entries)) {
            auto* group = new LibraryNode(name, nullptr);
            topLevel.append(group);
            builder.AddGroupChildren(group, name);
        }
    } else {
        builder.AddChildren(nullptr, QString(), &topLevel);
    }
    return topLevel;
}

}  // namespace library
