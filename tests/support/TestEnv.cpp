#include "support/TestEnv.h"

#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <fstream>
#include <random>
#include <sstream>

namespace testenv {

TempDir::TempDir() {
    std::random_device random;
    auto base = fs::temp_directory_path();
    for (;;) {
        path_ = base / ("bootrama-test-" + std::to_string(random()));
        if (fs::create_directory(path_))
            break;
    }
}

TempDir::~TempDir() {
    std::error_code ignored;
    // Read-only files and folders left by a test must not stop the clean-up.
    for (auto it = fs::recursive_directory_iterator(path_, ignored);
         it != fs::recursive_directory_iterator(); it.increment(ignored)) {
        // Never through a link: a machine's z: points at the host's root.
        if (it->is_symlink(ignored))
            continue;
        fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
    }
    fs::remove_all(path_, ignored);
}

platform::BoxAnswer ScriptedMessageBoxes::Show(platform::BoxKind kind, const std::string& title,
                                               const std::string& text) {
    platform::BoxAnswer answer = platform::DefaultAnswer(kind);
    bool question = kind == platform::BoxKind::YesNo || kind == platform::BoxKind::YesNoCancel ||
                    kind == platform::BoxKind::OkCancel;
    if (question && !answers.empty()) {
        answer = answers.front();
        answers.erase(answers.begin());
    }
    log_->push_back(std::make_shared<ShownBox>(ShownBox{kind, title, text, answer}));
    return answer;
}

void RecordingHelp::SetHelpFile(const std::string& path) {
    log_->push_back("file " + path);
}
void RecordingHelp::Contents() {
    log_->push_back("contents");
}
void RecordingHelp::Index(const std::string& search) {
    log_->push_back("index " + search);
}
void RecordingHelp::UsingHelp() {
    log_->push_back("using");
}
void RecordingHelp::Topic(int context) {
    log_->push_back("topic " + std::to_string(context));
}

void WriteHostFile(const fs::path& path, const std::string& contents) {
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << contents;
}

std::string ReadHostFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool MakeCharacterDevice(const fs::path& path, unsigned minor) {
    fs::create_directories(path.parent_path());
    return ::mknod(path.c_str(), S_IFCHR | 0666, makedev(1, minor)) == 0;
}

fs::path TestDataDir() {
    fs::path dir = BOOTRAMA_TESTDATA;
    return fs::is_directory(dir) ? dir : fs::path();
}

}  // namespace testenv
