#include "tests/support/fault_injection.h"

#include <algorithm>
#include <cstdint>
#include <sstream>

namespace spinalyst::testing {

namespace fs = std::filesystem;

namespace {

// SQLite's full path names resolve symbolic links; the tests' paths may not.
fs::path comparable(const fs::path& path) {
    std::error_code ec;
    fs::path p = fs::weakly_canonical(path, ec);
    return ec ? path.lexically_normal() : p;
}

// The real file sits in the same allocation, just after the wrapper.
constexpr std::size_t kRealOffset =
    (sizeof(sqlite3_file) + sizeof(void*) + alignof(std::max_align_t) - 1) /
    alignof(std::max_align_t) * alignof(std::max_align_t);

sqlite3_file* realFile(sqlite3_file* file) {
    return reinterpret_cast<sqlite3_file*>(reinterpret_cast<char*>(file) + kRealOffset);
}

}  // namespace

// The file SQLite holds: the method table of the wrapper, the VFS it was opened through, then
// the file of the default VFS.
struct FaultVfs::File {
    sqlite3_file base;
    FaultVfs* owner;
};

FaultVfs::FaultVfs() : real_(sqlite3_vfs_find(nullptr)) {
    std::ostringstream name;
    name << "spinalyst-fault-" << static_cast<const void*>(this);
    name_ = name.str();

    // Everything but what the faults need is the default VFS's own.
    vfs_ = *real_;
    vfs_.iVersion = std::min(real_->iVersion, 2);
    vfs_.szOsFile = static_cast<int>(kRealOffset) + real_->szOsFile;
    vfs_.pNext = nullptr;
    vfs_.zName = name_.c_str();
    vfs_.pAppData = this;
    vfs_.xOpen = &FaultVfs::open;
    vfs_.xDelete = &FaultVfs::remove;
    vfs_.xAccess = &FaultVfs::access;
    vfs_.xFullPathname = [](sqlite3_vfs* v, const char* n, int size, char* out) {
        sqlite3_vfs* r = static_cast<FaultVfs*>(v->pAppData)->real_;
        return r->xFullPathname(r, n, size, out);
    };
    vfs_.xDlOpen = [](sqlite3_vfs* v, const char* n) {
        sqlite3_vfs* r = static_cast<FaultVfs*>(v->pAppData)->real_;
        return r->xDlOpen(r, n);
    };
    vfs_.xDlError = [](sqlite3_vfs* v, int size, char* out) {
        sqlite3_vfs* r = static_cast<FaultVfs*>(v->pAppData)->real_;
        r->xDlError(r, size, out);
    };
    vfs_.xDlSym = [](sqlite3_vfs* v, void* handle, const char* symbol) {
        sqlite3_vfs* r = static_cast<FaultVfs*>(v->pAppData)->real_;
        return r->xDlSym(r, handle, symbol);
    };
    vfs_.xDlClose = [](sqlite3_vfs* v, void* handle) {
        sqlite3_vfs* r = static_cast<FaultVfs*>(v->pAppData)->real_;
        r->xDlClose(r, handle);
    };
    vfs_.xRandomness = [](sqlite3_vfs* v, int size, char* out) {
        sqlite3_vfs* r = static_cast<FaultVfs*>(v->pAppData)->real_;
        return r->xRandomness(r, size, out);
    };
    vfs_.xSleep = [](sqlite3_vfs* v, int microseconds) {
        sqlite3_vfs* r = static_cast<FaultVfs*>(v->pAppData)->real_;
        return r->xSleep(r, microseconds);
    };
    vfs_.xCurrentTime = [](sqlite3_vfs* v, double* now) {
        sqlite3_vfs* r = static_cast<FaultVfs*>(v->pAppData)->real_;
        return r->xCurrentTime(r, now);
    };
    vfs_.xGetLastError = [](sqlite3_vfs* v, int size, char* out) {
        sqlite3_vfs* r = static_cast<FaultVfs*>(v->pAppData)->real_;
        return r->xGetLastError(r, size, out);
    };
    vfs_.xCurrentTimeInt64 = [](sqlite3_vfs* v, sqlite3_int64* now) {
        sqlite3_vfs* r = static_cast<FaultVfs*>(v->pAppData)->real_;
        return r->xCurrentTimeInt64(r, now);
    };
    vfs_.xSetSystemCall = nullptr;
    vfs_.xGetSystemCall = nullptr;
    vfs_.xNextSystemCall = nullptr;
    sqlite3_vfs_register(&vfs_, 0);
}

FaultVfs::~FaultVfs() {
    sqlite3_vfs_unregister(&vfs_);
}

void FaultVfs::failWrites(int rc, int after) {
    writeFault_ = rc;
    writesBeforeFault_ = after;
}

void FaultVfs::failSyncs(int rc) {
    syncFault_ = rc;
}

void FaultVfs::makeReadOnly(const fs::path& fileOrDirectory) {
    readOnly_.insert(comparable(fileOrDirectory));
}

void FaultVfs::heal() {
    writeFault_ = SQLITE_OK;
    writesBeforeFault_ = 0;
    syncFault_ = SQLITE_OK;
    readOnly_.clear();
}

bool FaultVfs::isReadOnlyFile(const char* name) const {
    return name != nullptr && readOnly_.contains(comparable(name));
}

bool FaultVfs::isInReadOnlyDirectory(const char* name) const {
    return name != nullptr && readOnly_.contains(comparable(name).parent_path());
}

int FaultVfs::open(sqlite3_vfs* vfs, const char* name, sqlite3_file* file, int flags,
                   int* outFlags) {
    static const sqlite3_io_methods methods = {
        3,
        [](sqlite3_file* f) {
            sqlite3_file* r = realFile(f);
            return r->pMethods->xClose(r);
        },
        [](sqlite3_file* f, void* data, int amount, sqlite3_int64 offset) {
            sqlite3_file* r = realFile(f);
            return r->pMethods->xRead(r, data, amount, offset);
        },
        &FaultVfs::write,
        [](sqlite3_file* f, sqlite3_int64 size) {
            sqlite3_file* r = realFile(f);
            return r->pMethods->xTruncate(r, size);
        },
        &FaultVfs::sync,
        [](sqlite3_file* f, sqlite3_int64* size) {
            sqlite3_file* r = realFile(f);
            return r->pMethods->xFileSize(r, size);
        },
        [](sqlite3_file* f, int lock) {
            sqlite3_file* r = realFile(f);
            return r->pMethods->xLock(r, lock);
        },
        [](sqlite3_file* f, int lock) {
            sqlite3_file* r = realFile(f);
            return r->pMethods->xUnlock(r, lock);
        },
        [](sqlite3_file* f, int* reserved) {
            sqlite3_file* r = realFile(f);
            return r->pMethods->xCheckReservedLock(r, reserved);
        },
        [](sqlite3_file* f, int op, void* arg) {
            sqlite3_file* r = realFile(f);
            return r->pMethods->xFileControl(r, op, arg);
        },
        [](sqlite3_file* f) {
            sqlite3_file* r = realFile(f);
            return r->pMethods->xSectorSize(r);
        },
        [](sqlite3_file* f) {
            sqlite3_file* r = realFile(f);
            return r->pMethods->xDeviceCharacteristics(r);
        },
        [](sqlite3_file* f, int region, int size, int extend, void volatile** memory) {
            sqlite3_file* r = realFile(f);
            return r->pMethods->iVersion < 2
                       ? SQLITE_IOERR_SHMMAP
                       : r->pMethods->xShmMap(r, region, size, extend, memory);
        },
        [](sqlite3_file* f, int offset, int n, int lockFlags) {
            sqlite3_file* r = realFile(f);
            return r->pMethods->iVersion < 2 ? SQLITE_IOERR_SHMLOCK
                                             : r->pMethods->xShmLock(r, offset, n, lockFlags);
        },
        [](sqlite3_file* f) {
            sqlite3_file* r = realFile(f);
            if (r->pMethods->iVersion >= 2) {
                r->pMethods->xShmBarrier(r);
            }
        },
        [](sqlite3_file* f, int deleteFlag) {
            sqlite3_file* r = realFile(f);
            return r->pMethods->iVersion < 2 ? SQLITE_OK : r->pMethods->xShmUnmap(r, deleteFlag);
        },
        [](sqlite3_file* f, sqlite3_int64 offset, int amount, void** pages) {
            sqlite3_file* r = realFile(f);
            if (r->pMethods->iVersion < 3) {
                *pages = nullptr;
                return SQLITE_OK;
            }
            return r->pMethods->xFetch(r, offset, amount, pages);
        },
        [](sqlite3_file* f, sqlite3_int64 offset, void* pages) {
            sqlite3_file* r = realFile(f);
            return r->pMethods->iVersion < 3 ? SQLITE_OK : r->pMethods->xUnfetch(r, offset, pages);
        },
    };

    static_assert(sizeof(File) <= kRealOffset);
    auto* self = static_cast<FaultVfs*>(vfs->pAppData);
    auto* wrapper = reinterpret_cast<File*>(file);
    wrapper->base.pMethods = nullptr;
    wrapper->owner = self;
    sqlite3_file* real = realFile(file);
    real->pMethods = nullptr;

    // As the default VFS: a journal cannot be made in a directory that cannot be written, and
    // a database file that cannot be made there cannot be opened either.
    if ((flags & SQLITE_OPEN_CREATE) != 0 && self->isInReadOnlyDirectory(name) &&
        !fs::exists(name)) {
        return (flags & SQLITE_OPEN_MAIN_DB) != 0 ? SQLITE_CANTOPEN : SQLITE_READONLY_DIRECTORY;
    }
    // As the default VFS: a file that cannot be written is opened read-only, and says so.
    if ((flags & SQLITE_OPEN_READWRITE) != 0 && self->isReadOnlyFile(name)) {
        flags = (flags & ~(SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE)) | SQLITE_OPEN_READONLY;
    }
    const int rc = self->real_->xOpen(self->real_, name, real, flags, outFlags);
    // SQLite closes a file whose method table is set, also after a failed open.
    if (real->pMethods != nullptr) {
        wrapper->base.pMethods = &methods;
    }
    return rc;
}

int FaultVfs::remove(sqlite3_vfs* vfs, const char* name, int syncDirectory) {
    auto* self = static_cast<FaultVfs*>(vfs->pAppData);
    if (self->isInReadOnlyDirectory(name)) {
        return SQLITE_IOERR_DELETE;
    }
    return self->real_->xDelete(self->real_, name, syncDirectory);
}

int FaultVfs::access(sqlite3_vfs* vfs, const char* name, int flags, int* result) {
    auto* self = static_cast<FaultVfs*>(vfs->pAppData);
    if (flags == SQLITE_ACCESS_READWRITE && self->isReadOnlyFile(name)) {
        *result = 0;
        return SQLITE_OK;
    }
    return self->real_->xAccess(self->real_, name, flags, result);
}

int FaultVfs::write(sqlite3_file* file, const void* data, int amount, sqlite3_int64 offset) {
    FaultVfs& self = *reinterpret_cast<File*>(file)->owner;
    if (self.writeFault_ != SQLITE_OK) {
        if (self.writesBeforeFault_ == 0) {
            ++self.failures_;
            return self.writeFault_;
        }
        --self.writesBeforeFault_;
    }
    sqlite3_file* r = realFile(file);
    return r->pMethods->xWrite(r, data, amount, offset);
}

int FaultVfs::sync(sqlite3_file* file, int flags) {
    FaultVfs& self = *reinterpret_cast<File*>(file)->owner;
    if (self.syncFault_ != SQLITE_OK) {
        ++self.failures_;
        return self.syncFault_;
    }
    sqlite3_file* r = realFile(file);
    return r->pMethods->xSync(r, flags);
}

// ---- FaultFileSystem -----------------------------------------------------------------------

namespace {

// Reads through the real file until its limit; the read that would pass it fails.
class LimitedFile final : public store::InputFile {
  public:
    LimitedFile(std::unique_ptr<store::InputFile> real, std::size_t limit)
        : real_(std::move(real)), left_(limit) {}

    std::optional<std::size_t> read(std::span<char> buffer) override {
        if (buffer.size() > left_) {
            return std::nullopt;
        }
        const auto got = real_->read(buffer);
        if (got) {
            left_ -= *got;
        }
        return got;
    }

  private:
    std::unique_ptr<store::InputFile> real_;
    std::size_t left_;
};

}  // namespace

void FaultFileSystem::refuseOpening(const fs::path& file) {
    refused_.insert(comparable(file));
}

void FaultFileSystem::failReadingAfter(const fs::path& file, std::size_t bytes) {
    readLimits_[comparable(file)] = bytes;
}

fs::file_status FaultFileSystem::status(const fs::path& path, std::error_code& ec) const {
    return store::realFileSystem().status(path, ec);
}

std::unique_ptr<store::InputFile> FaultFileSystem::openForReading(const fs::path& path) const {
    const fs::path key = comparable(path);
    if (refused_.contains(key)) {
        return nullptr;
    }
    auto file = store::realFileSystem().openForReading(path);
    const auto limit = readLimits_.find(key);
    if (file == nullptr || limit == readLimits_.end()) {
        return file;
    }
    return std::make_unique<LimitedFile>(std::move(file), limit->second);
}

}  // namespace spinalyst::testing
