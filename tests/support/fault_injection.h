#pragma once

#include <sqlite3.h>

#include <cstddef>
#include <filesystem>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <system_error>

#include "store/files.h"

// Stand-ins for the file system that pass everything to the real one and fail on demand, so that
// tests see the program meet a full disk, a failing device or a file it may not read or write,
// also when they run as root (whom file permissions do not bind).
namespace spinalyst::testing {

// A SQLite VFS over the default one. Registered under its own name (never as the default) for
// its lifetime; a database goes through it after Database::setVfs(name()). Faults can be armed
// and cleared while connections are open. Owned by the test; must outlive every connection
// made through it.
class FaultVfs {
  public:
    FaultVfs();
    ~FaultVfs();
    FaultVfs(const FaultVfs&) = delete;
    FaultVfs& operator=(const FaultVfs&) = delete;

    const std::string& name() const { return name_; }

    // After `after` more writes succeed, every write to any file returns `rc` (SQLITE_FULL for a
    // full disk, SQLITE_IOERR_WRITE for a failing device) until heal().
    void failWrites(int rc, int after = 0);
    // Every sync returns `rc` until heal().
    void failSyncs(int rc);
    // A file: opened read-only when the program asks to write it, as the default VFS does for a
    // file without write permission. A directory: no file can be made or removed in it; the
    // files already in it can be written.
    void makeReadOnly(const std::filesystem::path& fileOrDirectory);
    // Ends every fault.
    void heal();

    // Writes and syncs that failed so far, so a test can tell that its fault was met.
    int failures() const { return failures_; }

  private:
    struct File;
    static int open(sqlite3_vfs* vfs, const char* name, sqlite3_file* file, int flags,
                    int* outFlags);
    static int remove(sqlite3_vfs* vfs, const char* name, int syncDirectory);
    static int access(sqlite3_vfs* vfs, const char* name, int flags, int* result);
    static int write(sqlite3_file* file, const void* data, int amount, sqlite3_int64 offset);
    static int sync(sqlite3_file* file, int flags);

    bool isReadOnlyFile(const char* name) const;
    bool isInReadOnlyDirectory(const char* name) const;

    sqlite3_vfs* real_;
    sqlite3_vfs vfs_{};
    std::string name_;
    std::set<std::filesystem::path> readOnly_;
    int writeFault_ = SQLITE_OK;
    int writesBeforeFault_ = 0;
    int syncFault_ = SQLITE_OK;
    int failures_ = 0;
};

// A file system over the real one for the files the program reads (import files).
class FaultFileSystem : public store::FileSystem {
  public:
    // Opening the file fails, as for a file without read permission.
    void refuseOpening(const std::filesystem::path& file);
    // Reading the file reports a device error at the first read that asks for more than its
    // first `bytes` bytes.
    void failReadingAfter(const std::filesystem::path& file, std::size_t bytes);

    std::filesystem::file_status status(const std::filesystem::path& path,
                                        std::error_code& ec) const override;
    std::unique_ptr<store::InputFile> openForReading(
        const std::filesystem::path& path) const override;

  private:
    std::set<std::filesystem::path> refused_;
    std::map<std::filesystem::path, std::size_t> readLimits_;
};

}  // namespace spinalyst::testing
