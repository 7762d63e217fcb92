#include "platform/Dialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <atomic>

namespace platform {

QString qtFilterFromPairs(const QString& filter) {
    // "Description|*.a;*.b|Other|*.c" -> "Description (*.a *.b);;Other (*.c)"
    const QStringList items = filter.split(QLatin1Char('|'));
    QStringList out;
    for (qsizetype i = 0; i + 1 < items.size(); i += 2) {
        QString patterns = items[i + 1];
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        out << items[i] + QStringLiteral(" (") + patterns.trimmed() + QLatin1Char(')');
    }
    if (items.size() % 2 == 1 && !items.last().isEmpty()) out << items.last();
    return out.join(QStringLiteral(";;"));
}

namespace {

QMessageBox::Icon qtIcon(Icon icon) {
    switch (icon) {
        case Icon::Information:
            return QMessageBox::Information;
        case Icon::Warning:
            return QMessageBox::Warning;
        case Icon::Error:
            return QMessageBox::Critical;
        case Icon::Question:
            return QMessageBox::Question;
        case Icon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

class QtDialogs final : public Dialogs {
public:
    Answer messageBox(const QString& text, const QString& caption, Buttons buttons,
                      Icon icon) override {
        QMessageBox box(qtIcon(icon), caption, text, QMessageBox::NoButton,
                        QApplication::activeWindow());
        switch (buttons) {
            case Buttons::Ok:
                box.setStandardButtons(QMessageBox::Ok);
                break;
            case Buttons::OkCancel:
                box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
                break;
            case Buttons::YesNo:
                box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
                break;
        }
        switch (box.exec()) {
            case QMessageBox::Ok:
                return Answer::Ok;
            case QMessageBox::Yes:
                return Answer::Yes;
            case QMessageBox::No:
                return Answer::No;
            default:
                // Closing the box with Esc or the title bar counts as the negative button.
                return buttons == Buttons::YesNo ? Answer::No
                       : buttons == Buttons::Ok  ? Answer::Ok
                                                 : Answer::Cancel;
        }
    }

    QString inputBox(const QString& caption, const QString& prompt,
                     const QString& preset) override {
        return inputQuery(caption, prompt, preset).value_or(preset);
    }

    std::optional<QString> inputQuery(const QString& caption, const QString& prompt,
                                      const QString& preset) override {
        bool ok = false;
        const QString text = QInputDialog::getText(QApplication::activeWindow(), caption, prompt,
                                                   QLineEdit::Normal, preset, &ok);
        if (!ok) return std::nullopt;
        return text;
    }

    OpenFileResult openFiles(const OpenFileRequest& request) override {
        QFileDialog dialog(QApplication::activeWindow(), request.title, request.initialDir);
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(request.multiSelect ? QFileDialog::ExistingFiles
                                               : QFileDialog::ExistingFile);
        // A chosen shortcut is returned as itself, not as its target.
        dialog.setOption(QFileDialog::DontResolveSymlinks, true);
        const QStringList filters =
            qtFilterFromPairs(request.filter).split(QStringLiteral(";;"), Qt::SkipEmptyParts);
        if (!filters.isEmpty()) {
            dialog.setNameFilters(filters);
            const int index = request.filterIndex >= 1 && request.filterIndex <= filters.size()
                                  ? request.filterIndex
                                  : 1;
            dialog.selectNameFilter(filters[index - 1]);
        }
        OpenFileResult result;
        result.filterIndex = request.filterIndex;
        if (dialog.exec() != QDialog::Accepted) return result;
        result.files = dialog.selectedFiles();
        const qsizetype chosen = filters.indexOf(dialog.selectedNameFilter());
        if (chosen >= 0) result.filterIndex = static_cast<int>(chosen) + 1;
        return result;
    }
};

std::atomic<Dialogs*> g_installed{nullptr};

}  // namespace

Dialogs& dialogs() {
    if (Dialogs* installed = g_installed.load()) return *installed;
    static QtDialogs real;
    return real;
}

void setDialogs(Dialogs* instance) {
    g_installed.store(instance);
}

}  // namespace platform
