#pragma once
// A fresh machine in a temporary folder for each test of the platform layer.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/Machine.h"
#include "support/TestEnv.h"

namespace platformtest {

namespace fs = std::filesystem;

class PlatformTest : public ::testing::Test {
protected:
    PlatformTest() { platform::UseMachine(Root()); }

    fs::path Root() const { return temp_.Path() / "machine"; }
    fs::path DriveC() const { return Root() / "drive_c"; }
    fs::path Outside() const { return temp_.Path(); }

    static void Write(const fs::path& file, const std::string& contents) {
        fs::create_directories(file.parent_path());
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out << contents;
    }
    static std::string Read(const fs::path& file) {
        std::ifstream in(file, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }
    // Names of the files in a folder, to see that nothing was left beside a file.
    static std::vector<std::string> Listing(const fs::path& directory) {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(directory)) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

private:
    testenv::TempDir temp_;
};

}  // namespace platformtest
