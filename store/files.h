#pragma once

#include <cstddef>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <system_error>

// The file system as the program reads files the user chose (import files). Code that reads such
// a file takes a FileSystem and uses realFileSystem() unless a test hands it a stand-in that
// fails on demand; the database files go through SQLite's VFS instead (Database::setVfs).
namespace spinalyst::store {

// A file open for reading, owned by whoever opened it; closed when destroyed.
class InputFile {
  public:
    virtual ~InputFile() = default;
    // Reads up to buffer.size() bytes at the current position and moves past them. Returns how
    // many were read, fewer than asked only at the end of the file (0 once it is reached), or
    // std::nullopt when the device reports an error.
    virtual std::optional<std::size_t> read(std::span<char> buffer) = 0;
};

class FileSystem {
  public:
    virtual ~FileSystem() = default;
    // What the path names, following symbolic links, as std::filesystem::status: type
    // not_found for a missing file, and ec set when the type cannot be found out.
    virtual std::filesystem::file_status status(const std::filesystem::path& path,
                                                std::error_code& ec) const = 0;
    // Opens the file for reading from its start; nullptr when it cannot be opened (no
    // permission, missing).
    virtual std::unique_ptr<InputFile> openForReading(const std::filesystem::path& path) const = 0;
};

// The operating system's file system. Holds no state.
const FileSystem& realFileSystem();

}  // namespace spinalyst::store
