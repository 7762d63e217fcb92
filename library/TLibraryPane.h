#pragma once
// The library pane `pnlDoc`: the library toolbar `TBToolbar1`, a slot for the login
// panel `pnlLogin`, the filter `rg1`, the tree `tv1` with its popup menu `pm1`, the
// catalogue `FileList` and every library command. The main window owns the pane and
// hands it a LibraryHost (which must outlive the pane); the pane owns its widgets, the
// entries and the login panel once handed over, and never reaches outside them.
// UI thread only; service requests and downloads block it while they run.
#include <QString>
#include <QStringList>
#include <QWidget>
#include <memory>
#include <vector>

#include "library/LibraryHost.h"
#include "library/TFiles.h"

class QTreeWidget;
class QTreeWidgetItem;

namespace library {

class TLibraryPane : public QWidget {
    Q_OBJECT
public:
    explicit TLibraryPane(LibraryHost& host, QWidget* parent = nullptr);
    ~TLibraryPane() override;

    // Puts the login panel between the toolbar and the filter (the pane owns it then).
    void setLoginPanel(QWidget* loginPanel);
    // Applies the logged-in / logged-out visibility and enabled rules.
    void applyLoginState();

    // Catalogue operations the main window calls.
    void LoadCatalogue();
    void UploadChanges();
    void ImportFiles(const QStringList& files);

    // The entry last opened from the tree, or nullptr. It stays valid after a load that
    // dropped it from FileList, until the next open.
    TFiles* CurrentEntry() const;
    std::vector<std::unique_ptr<TFiles>>& FileList();
    // The view for which the tree was last built (0 own, 1 shared).
    int LastFilterIndex() const;
    // The tree `tv1`.
    QTreeWidget* tree() const;

private:
    // Command handlers, named after their controls.
    void bbAddClick();
    void tbtmAddSubClick();
    void bbAddFileClick();
    void TBXEditClick();
    void tv1Edited(QTreeWidgetItem* node, const QString& text);
    void tbtmModifyClick();
    void tbtmReplaceClick();
    void tbtmOpenPathClick();
    void tbtmDelClick();
    void tbtmRefreshClick();
    void tbtmUserClick();
    void tv1DblClick();
    void rg1Click(int index);

    void buildWidgets();
    void BuildTree();
    void rebuildTree();
    void applyViewEnabling(int index);
    TFiles* selectedEntry(QTreeWidgetItem** node = nullptr) const;
    // Runs a command; an error it does not handle is shown like the default error report.
    template <class F>
    void guarded(F&& command);
    bool ensureLocalCopy(TFiles& entry);

    struct Impl;
    std::unique_ptr<Impl> d;
};

}  // namespace library
