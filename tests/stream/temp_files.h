#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

namespace kwCore::testutil {

// TempFiles gives each test a fresh folder of its own for files, removed
// with everything in it when the test ends.
class TempFiles : public ::testing::Test {
  protected:
    void SetUp() override {
        std::random_device random;
        folder_ = std::filesystem::temp_directory_path() /
                  ("kwcore-stream-" + std::to_string(random()) + "-" + std::to_string(random()));
        ASSERT_TRUE(std::filesystem::create_directory(folder_));
    }
    void TearDown() override {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }

    // path is the full name of file in the test's folder.
    std::string path(const std::string& file) const { return (folder_ / file).string(); }

    // contents is what the file holds, read by the standard library.
    static std::string contents(const std::string& file) {
        std::ifstream in(file, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    // store replaces the file's contents with text.
    static void store(const std::string& file, const std::string& text) {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out << text;
    }

    static bool exists(const std::string& file) { return std::filesystem::exists(file); }

  private:
    std::filesystem::path folder_;
};

}  // namespace kwCore::testutil
