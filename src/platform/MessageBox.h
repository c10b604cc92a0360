#pragma once
// Message boxes go through one interface. Without a GUI the headless implementation
// writes each box to a log (BOOTRAMA_MESSAGE_LOG) and takes answers from
// BOOTRAMA_ANSWERS, so unattended runs and black-box tests never block.

#include <memory>
#include <string>

namespace platform {

enum class BoxKind { Error, Warning, Information, YesNo, YesNoCancel, OkCancel };

// The button a box was answered with, by its Windows code.
enum class BoxAnswer { IDOK = 1, IDCANCEL = 2, IDYES = 6, IDNO = 7 };
using enum BoxAnswer;

class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    virtual BoxAnswer Show(BoxKind kind, const std::string& title, const std::string& text) = 0;
};

// The answer a box gets when nobody is asked: ok for plain boxes, no for yes/no,
// cancel for the other two.
BoxAnswer DefaultAnswer(BoxKind kind);
// "error", "warning", "information", "yesno", "yesnocancel", "okcancel".
const char* BoxKindName(BoxKind kind);

// Appends "KIND<TAB>TITLE<TAB>TEXT<TAB>ANSWER" per box to the log file; in TITLE and TEXT a
// backslash is written as \\, a carriage return as \r, a line feed as \n and a tab as \t,
// so that each box stays one line and reads back exactly. Questions take their answers in order
// from a comma-separated list of yes,no,cancel,ok (letter case and blanks do not count), then the
// defaults; plain boxes take none. A word that names no button of the box counts by its
// sense: yes or ok accepts (ok, yes), no or cancel declines (cancel, no; no and cancel
// each keep their own button in a yes/no/cancel box); any other word gives the default.
// ANSWER is the button the box returned.
std::unique_ptr<MessageBoxes> MakeLogMessageBoxes(const std::string& logFile,
                                                  const std::string& answers);
// Prints the same line to standard error and answers with the defaults.
std::unique_ptr<MessageBoxes> MakeStderrMessageBoxes();
// The log implementation when BOOTRAMA_MESSAGE_LOG is set, else nullptr.
std::unique_ptr<MessageBoxes> MessageBoxesFromEnvironment();

// The implementation in use; until one is set, the environment's or standard error.
MessageBoxes& CurrentMessageBoxes();
void SetMessageBoxes(std::unique_ptr<MessageBoxes> boxes);

}  // namespace platform
