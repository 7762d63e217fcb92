#include "platform/testing/FakeDialogs.h"

namespace platform::testing {

namespace {

Answer safeAnswer(Buttons buttons) {
    switch (buttons) {
        case Buttons::OkCancel:
            return Answer::Cancel;
        case Buttons::YesNo:
            return Answer::No;
        case Buttons::Ok:
            break;
    }
    return Answer::Ok;
}

}  // namespace

Answer FakeDialogs::messageBox(const QString& text, const QString& caption, Buttons buttons,
                               Icon icon) {
    Answer answer = defaultAnswer_.value_or(safeAnswer(buttons));
    if (!answers_.empty()) {
        answer = answers_.front();
        answers_.pop_front();
    }
    boxes_.push_back(ShownBox{text, caption, buttons, icon, answer});
    return answer;
}

QString FakeDialogs::inputBox(const QString& caption, const QString& prompt,
                              const QString& preset) {
    shownInputs_.push_back(ShownInput{caption, prompt, preset, false});
    if (inputs_.empty()) return preset;
    const ScriptedInput input = inputs_.front();
    inputs_.pop_front();
    return input.typed ? input.text : preset;
}

std::optional<QString> FakeDialogs::inputQuery(const QString& caption, const QString& prompt,
                                               const QString& preset) {
    shownInputs_.push_back(ShownInput{caption, prompt, preset, true});
    if (inputs_.empty()) return std::nullopt;
    const ScriptedInput input = inputs_.front();
    inputs_.pop_front();
    if (!input.typed) return std::nullopt;
    return input.text;
}

OpenFileResult FakeDialogs::openFiles(const OpenFileRequest& request) {
    openRequests_.push_back(request);
    if (opens_.empty()) return OpenFileResult{{}, request.filterIndex};
    OpenFileResult result = opens_.front();
    opens_.pop_front();
    return result;
}

QStringList FakeDialogs::boxTexts() const {
    QStringList texts;
    for (const ShownBox& box : boxes_) texts << box.text;
    return texts;
}

void FakeDialogs::clear() {
    answers_.clear();
    inputs_.clear();
    opens_.clear();
    boxes_.clear();
    shownInputs_.clear();
    openRequests_.clear();
    defaultAnswer_.reset();
}

}  // namespace platform::testing
