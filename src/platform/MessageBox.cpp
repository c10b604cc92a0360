#include "platform/MessageBox.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <fstream>
#include <sstream>

namespace platform {

namespace {

bool IsQuestion(BoxKind kind) {
    return kind == BoxKind::YesNo || kind == BoxKind::YesNoCancel || kind == BoxKind::OkCancel;
}

const char* AnswerName(BoxAnswer answer) {
    switch (answer) {
        case IDYES:
            return "yes";
        case IDNO:
            return "no";
        case IDCANCEL:
            return "cancel";
        default:
            return "ok";
    }
}

// A scripted word that names no button of the box is read by its sense: yes and ok
// accept, no and cancel decline. An unknown word gets the box's default answer.
BoxAnswer AnswerFor(BoxKind kind, const std::string& word) {
    bool accept = word == "yes" || word == "ok";
    bool decline = word == "no" || word == "cancel";
    if (!accept && !decline)
        return DefaultAnswer(kind);
    switch (kind) {
        case BoxKind::YesNo:
            return accept ? IDYES : IDNO;
        case BoxKind::YesNoCancel:
            if (accept)
                return IDYES;
            return word == "no" ? IDNO : IDCANCEL;
        case BoxKind::OkCancel:
            return accept ? IDOK : IDCANCEL;
        default:
            return IDOK;
    }
}

// One box per line: line breaks and tabs inside the texts must not split the record, and a
// backslash of its own (C:\readme) must not read as one of them.
std::string Escaped(const std::string& text) {
    std::string result;
    result.reserve(text.size());
    for (char c : text) {
        switch (c) {
            case '\\':
                result += "\\\\";
                break;
            case '\r':
                result += "\\r";
                break;
            case '\n':
                result += "\\n";
                break;
            case '\t':
                result += "\\t";
                break;
            default:
                result += c;
        }
    }
    return result;
}

std::string LogLine(BoxKind kind, const std::string& title, const std::string& text,
                    BoxAnswer answer) {
    return std::string(BoxKindName(kind)) + '\t' + Escaped(title) + '\t' + Escaped(text) + '\t' +
           AnswerName(answer) + '\n';
}

std::string Trimmed(const std::string& word) {
    auto first = word.find_first_not_of(" \t");
    if (first == std::string::npos)
        return {};
    auto last = word.find_last_not_of(" \t");
    return word.substr(first, last - first + 1);
}

// Through C's stream: the standard C++ streams cost every start of the program their setup.
void WriteToStandardError(const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stderr);
}

std::deque<std::string> AnswerWords(const std::string& answers) {
    std::deque<std::string> words;
    if (Trimmed(answers).empty())
        return words;
    std::istringstream list(answers);
    std::string word;
    while (std::getline(list, word, ',')) {
        word = Trimmed(word);
        for (char& c : word) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        words.push_back(word);
    }
    if (answers.back() == ',')
        words.emplace_back();
    return words;
}

class LogMessageBoxes : public MessageBoxes {
public:
    LogMessageBoxes(std::string logFile, const std::string& answers)
        : logFile_(std::move(logFile)), answers_(AnswerWords(answers)) {}

    BoxAnswer Show(BoxKind kind, const std::string& title, const std::string& text) override {
        BoxAnswer answer = DefaultAnswer(kind);
        if (IsQuestion(kind) && !answers_.empty()) {
            answer = AnswerFor(kind, answers_.front());
            answers_.pop_front();
        }
        std::string line = LogLine(kind, title, text, answer);
        // Opened per box, so the log is complete even if the program dies afterwards.
        std::ofstream log(logFile_, std::ios::binary | std::ios::app);
        log << line;
        log.flush();
        if (!log)
            WriteToStandardError(line);
        return answer;
    }

private:
    std::string logFile_;
    std::deque<std::string> answers_;
};

class StderrMessageBoxes : public MessageBoxes {
public:
    BoxAnswer Show(BoxKind kind, const std::string& title, const std::string& text) override {
        BoxAnswer answer = DefaultAnswer(kind);
        WriteToStandardError(LogLine(kind, title, text, answer));
        return answer;
    }
};

std::unique_ptr<MessageBoxes>& BoxesInUse() {
    static std::unique_ptr<MessageBoxes> boxes;
    return boxes;
}

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

}  // namespace

BoxAnswer DefaultAnswer(BoxKind kind) {
    switch (kind) {
        case BoxKind::YesNo:
            return IDNO;
        case BoxKind::YesNoCancel:
        case BoxKind::OkCancel:
            return IDCANCEL;
        default:
            return IDOK;
    }
}

const char* BoxKindName(BoxKind kind) {
    switch (kind) {
        case BoxKind::Error:
            return "error";
        case BoxKind::Warning:
            return "warning";
        case BoxKind::Information:
            return "information";
        case BoxKind::YesNo:
            return "yesno";
        case BoxKind::YesNoCancel:
            return "yesnocancel";
        case BoxKind::OkCancel:
            return "okcancel";
    }
    return "information";
}

std::unique_ptr<MessageBoxes> MakeLogMessageBoxes(const std::string& logFile,
                                                  const std::string& answers) {
    return std::make_unique<LogMessageBoxes>(logFile, answers);
}

std::unique_ptr<MessageBoxes> MakeStderrMessageBoxes() {
    return std::make_unique<StderrMessageBoxes>();
}

std::unique_ptr<MessageBoxes> MessageBoxesFromEnvironment() {
    std::string logFile = Environment("BOOTRAMA_MESSAGE_LOG");
    if (logFile.empty())
        return nullptr;
    return MakeLogMessageBoxes(logFile, Environment("BOOTRAMA_ANSWERS"));
}

MessageBoxes& CurrentMessageBoxes() {
    auto& boxes = BoxesInUse();
    if (!boxes)
        boxes = MessageBoxesFromEnvironment();
    if (!boxes)
        boxes = MakeStderrMessageBoxes();
    return *boxes;
}

void SetMessageBoxes(std::unique_ptr<MessageBoxes> boxes) {
    BoxesInUse() = std::move(boxes);
}

}  // namespace platform
