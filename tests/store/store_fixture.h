#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>

#include "store/database.h"

namespace spinalyst::store::testing {

// A fresh temporary directory per test, removed afterwards.
class TempDir {
  public:
    TempDir() {
        std::random_device rd;
        path_ = std::filesystem::temp_directory_path() /
                ("spinalyst-test-" + std::to_string(rd()) + "-" + std::to_string(rd()));
        std::filesystem::create_directories(path_);
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ec);
        std::filesystem::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return path_; }

  private:
    std::filesystem::path path_;
};

// A connected main database in a temporary directory.
class StoreTest : public ::testing::Test {
  protected:
    StoreTest() {
        db.setLocation(dir.path() / Database::fileName(DatabaseFile::Roulette));
        db.connect();
    }
    TempDir dir;
    Database db{DatabaseFile::Roulette};
};

}  // namespace spinalyst::store::testing
