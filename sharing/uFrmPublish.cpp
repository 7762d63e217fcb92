#include "sharing/uFrmPublish.h"

#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>

#include "platform/Dialogs.h"
#include "service/ucm.h"

namespace sharing {

QString EncodeQueryValue(const QString& value) {
    static const char kHex[] = "0123456789ABCDEF";
    QString out;
    out.reserve(value.size());
    const QByteArray utf8 = value.toUtf8();
    for (const char c : utf8) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte <= 0x20 || byte == 0x7F || byte >= 0x80 || byte == '#') {
            out += u'%';
            out += QChar::fromLatin1(kHex[byte >> 4]);
            out += QChar::fromLatin1(kHex[byte & 0x0F]);
        } else {
            out += QChar::fromLatin1(c);
        }
    }
    return out;
}

std::vector<MemberRecord> ParseMembers(const QString& answer) {
    std::vector<MemberRecord> members;
    if (answer.isEmpty()) return members;
    for (const QString& record : ucm::SplitDelimited(answer, u'|')) {
        const QStringList fields = ucm::SplitDelimited(record, u'!');
        if (fields.size() == 2) members.push_back({fields.at(0), fields.at(1)});
    }
    return members;
}

}  // namespace sharing

namespace {

enum Column { kEmail = 0, kName = 1 };

void notice(const QString& text) {
    platform::dialogs().messageBox(text, QStringLiteral("提示"), platform::Buttons::Ok,
                                   platform::Icon::Information);
}

QString friendsSetPath(const QString& mail, int flag) {
    return QStringLiteral("UserMng/FriendsSet?userid=") + ucm::CurrentUserId() +
           QStringLiteral("&mail=") + sharing::EncodeQueryValue(mail) + QStringLiteral("&flag=") +
           QString::number(flag);
}

}  // namespace

TFrmPublish::TFrmPublish(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FrmPublish"));
    setWindowTitle(QStringLiteral("团队共享成员"));
    QFont dialogFont(QStringLiteral("MS Sans Serif"));
    dialogFont.setPixelSize(11);
    setFont(dialogFont);
    setFixedSize(439, 336);

    btnAdd = new QPushButton(QStringLiteral("添加"), this);
    btnAdd->setObjectName(QStringLiteral("btnAdd"));
    btnAdd->setGeometry(16, 16, 75, 25);
    btnDel = new QPushButton(QStringLiteral("删除"), this);
    btnDel->setObjectName(QStringLiteral("btnDel"));
    btnDel->setGeometry(104, 16, 75, 25);
    for (QPushButton* b : {btnAdd, btnDel}) b->setAutoDefault(false);

    lv1 = new QTableWidget(0, 2, this);
    lv1->setObjectName(QStringLiteral("lv1"));
    lv1->setGeometry(8, 56, 417, 265);
    lv1->setHorizontalHeaderLabels({QStringLiteral("Email"), QStringLiteral("姓名")});
    lv1->setShowGrid(true);
    lv1->setSelectionBehavior(QAbstractItemView::SelectRows);
    lv1->setSelectionMode(QAbstractItemView::SingleSelection);
    // Only the first column can be edited in place; the edit is kept nowhere else.
    lv1->setEditTriggers(QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed);
    lv1->verticalHeader()->setVisible(false);
    lv1->horizontalHeader()->setSectionsClickable(false);
    lv1->horizontalHeader()->setHighlightSections(false);

    connect(btnAdd, &QPushButton::clicked, this, &TFrmPublish::btnAddClick);
    connect(btnDel, &QPushButton::clicked, this, &TFrmPublish::btnDelClick);

    if (parent) {
        const QRect frame = parent->window()->frameGeometry();
        move(frame.center() - QPoint(width() / 2, height() / 2));
    }
    FormCreate();
}

TFrmPublish::~TFrmPublish() = default;

void TFrmPublish::FormCreate() {
    lv1->setColumnWidth(kEmail, static_cast<int>(lv1->width() * 0.6));
    lv1->setColumnWidth(kName, static_cast<int>(lv1->width() * 0.3));
    const QString answer =
        ucm::ServiceGet(QStringLiteral("UserMng/FriendsGet?userid=") + ucm::CurrentUserId());
    lv1->setRowCount(0);
    for (const sharing::MemberRecord& member : sharing::ParseMembers(answer)) {
        addRow(member.second, member.first);
    }
}

void TFrmPublish::addRow(const QString& email, const QString& name) {
    const int row = lv1->rowCount();
    lv1->insertRow(row);
    auto* emailItem = new QTableWidgetItem(email);
    emailItem->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsEditable);
    auto* nameItem = new QTableWidgetItem(name);
    nameItem->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    lv1->setItem(row, kEmail, emailItem);
    lv1->setItem(row, kName, nameItem);
}

void TFrmPublish::btnAddClick() {
    const QString mail = platform::dialogs().inputBox(QStringLiteral("添加好友"),
                                                      QStringLiteral("请输入朋友的注册邮箱地址："),
                                                      QStringLiteral("@"));
    if (!mail.contains(u'@')) notice(QStringLiteral("您输入的格式不正确。"));
    const QStringList parts = ucm::SplitDelimited(ucm::ServiceGet(friendsSetPath(mail, 81)), u',');
    if (parts.size() != 2) return;
    if (parts.at(0) == QStringLiteral("Y")) {
        addRow(mail, parts.at(1));
    } else {
        notice(parts.at(1));
    }
}

void TFrmPublish::btnDelClick() {
    const QModelIndexList rows = lv1->selectionModel()->selectedRows(kEmail);
    if (rows.isEmpty()) return;
    const int row = rows.first().row();
    const QString email = lv1->item(row, kEmail) ? lv1->item(row, kEmail)->text() : QString();
    const QString name = lv1->item(row, kName) ? lv1->item(row, kName)->text() : QString();
    const QStringList parts = ucm::SplitDelimited(ucm::ServiceGet(friendsSetPath(name, 71)), u',');
    if (parts.size() != 2) return;
    if (parts.at(0) == QStringLiteral("Y")) {
        notice(QStringLiteral("已删除，不再向用户[") + email + QStringLiteral("]提供分享"));
    } else {
        notice(parts.at(1));
    }
}
