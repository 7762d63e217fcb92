#include "tasks/ModalRunner.h"

#include <QDialog>

namespace tasks {
namespace {
std::function<int(QDialog&)>& hook() {
    static std::function<int(QDialog&)> instance;
    return instance;
}
}  // namespace

int RunModal(QDialog& dialog) {
    if (hook()) return hook()(dialog);
    return dialog.exec();
}

void SetModalHook(std::function<int(QDialog&)> h) {
    hook() = std::move(h);
}

}  // namespace tasks
