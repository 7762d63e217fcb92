#pragma once
// The library pane `pnlDoc`: the library toolbar `TBToolbar1`, a slot for the login
// panel `pnlLogin`, the filter `rg1`, the tree `tv1` with its popup menu `pm1`, the
// catalogue `FileList` and every library command. The main window owns the pane and
// hands it a LibraryHost; the pane owns its widgets and never reaches outside them.
#include <QWidget>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

#include "library/LibraryHost.h"
#include "library/TFiles.h"

class QTreeWidget;
class QTreeWidgetItem;
class QToolButton;
class QAction;
class QButtonGroup;
class QGroupBox;
class QMenu;
class QVBoxLayout;

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

    // The entry last opened from the tree, or nullptr.
    TFiles* CurrentEntry() const;
    std::vector<std::unique_ptr<TFiles>>& FileList();

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

}  // namespace library
