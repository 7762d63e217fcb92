#pragma once
// The sharing members dialog "团队共享成员": lists the members with whom the user
// shares drawings, adds one by e-mail address and removes one. Created for each use,
// shown modally by the main window, disposed of when closed. UI thread only; owns
// its controls and holds no data beyond what the list shows.
#include <QDialog>
#include <QString>
#include <vector>

class QPushButton;
class QTableWidget;

class TFrmPublish : public QDialog {
    Q_OBJECT
public:
    // Loads the members at once (FormCreate). `parent` is the main window; the
    // dialog opens centred on it.
    explicit TFrmPublish(QWidget* parent = nullptr);
    ~TFrmPublish() override;

    void FormCreate();
    void btnAddClick();
    void btnDelClick();

    QPushButton* btnAdd = nullptr;
    QPushButton* btnDel = nullptr;
    QTableWidget* lv1 = nullptr;

private:
    void addRow(const QString& email, const QString& name);
};

namespace sharing {
// Percent-encodes what would break a request address: bytes 0-32 and 127, "#" and
// every non-ASCII character (as its UTF-8 bytes). Everything else stays as it is.
QString EncodeQueryValue(const QString& value);
// Parses a "FriendsGet" answer into (first field, second field) pairs.
struct MemberRecord {
    QString first;   // shown under "姓名", sent back on removal
    QString second;  // shown under "Email"
};
std::vector<MemberRecord> ParseMembers(const QString& answer);
}  // namespace sharing
