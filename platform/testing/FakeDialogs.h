#pragma once
// Dialogs double: records every box and dialog shown and answers from script queues.
// Unscripted message boxes give the "safe" button: Ok for Ok, Cancel for OkCancel and
// No for YesNo (or the answer set with setDefaultAnswer). Unscripted input boxes and
// queries are cancelled, unscripted open-file dialogs are cancelled.
// Thread: use from one thread (the UI thread of the test).
#include <QString>
#include <QStringList>
#include <deque>
#include <optional>
#include <vector>

#include "platform/Dialogs.h"
#include "platform/testing/ScopedInstall.h"

namespace platform::testing {

struct ShownBox {
    QString text;
    QString caption;
    Buttons buttons = Buttons::Ok;
    Icon icon = Icon::None;
    Answer answer = Answer::Ok;  // what the double answered
};

struct ShownInput {
    QString caption;
    QString prompt;
    QString preset;
    bool query = false;  // inputQuery rather than inputBox
};

class FakeDialogs final : public Dialogs {
public:
    Answer messageBox(const QString& text, const QString& caption, Buttons buttons,
                      Icon icon) override;
    QString inputBox(const QString& caption, const QString& prompt, const QString& preset) override;
    std::optional<QString> inputQuery(const QString& caption, const QString& prompt,
                                      const QString& preset) override;
    OpenFileResult openFiles(const OpenFileRequest& request) override;

    // Scripts, consumed in order.
    void answerNext(Answer answer) { answers_.push_back(answer); }
    void setDefaultAnswer(std::optional<Answer> answer) { defaultAnswer_ = answer; }
    // A text typed into the next input box or query; nothing = cancel.
    void inputNext(std::optional<QString> text) {
        inputs_.push_back(ScriptedInput{text.has_value(), text.value_or(QString())});
    }
    // Files chosen in the next open-file dialog; an empty list = cancel.
    void openNext(QStringList files, int filterIndex = 1) {
        opens_.push_back(OpenFileResult{std::move(files), filterIndex});
    }

    const std::vector<ShownBox>& boxes() const { return boxes_; }
    const std::vector<ShownInput>& inputs() const { return shownInputs_; }
    const std::vector<OpenFileRequest>& openRequests() const { return openRequests_; }
    // Texts of all boxes shown, in order (handy for EXPECT_THAT).
    QStringList boxTexts() const;
    const ShownBox* lastBox() const { return boxes_.empty() ? nullptr : &boxes_.back(); }
    void clear();
    // True when every scripted answer, input and file choice was used.
    bool scriptUsedUp() const { return answers_.empty() && inputs_.empty() && opens_.empty(); }

private:
    std::deque<Answer> answers_;
    std::optional<Answer> defaultAnswer_;
    struct ScriptedInput {
        bool typed = false;  // false: the box is cancelled
        QString text;
    };
    std::deque<ScriptedInput> inputs_;
    std::deque<OpenFileResult> opens_;
    std::vector<ShownBox> boxes_;
    std::vector<ShownInput> shownInputs_;
    std::vector<OpenFileRequest> openRequests_;
};

using InstallDialogs = ScopedInstall<Dialogs, &dialogs, &setDialogs>;

}  // namespace platform::testing
