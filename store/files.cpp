#include "store/files.h"

#include <fstream>

namespace spinalyst::store {

namespace {

class StreamFile final : public InputFile {
  public:
    explicit StreamFile(const std::filesystem::path& path) : in_(path, std::ios::binary) {}
    bool isOpen() const { return static_cast<bool>(in_); }

    std::optional<std::size_t> read(std::span<char> buffer) override {
        in_.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
        if (in_.bad()) {
            return std::nullopt;
        }
        return static_cast<std::size_t>(in_.gcount());
    }

  private:
    std::ifstream in_;
};

class RealFileSystem final : public FileSystem {
  public:
    std::filesystem::file_status status(const std::filesystem::path& path,
                                        std::error_code& ec) const override {
        return std::filesystem::status(path, ec);
    }

    std::unique_ptr<InputFile> openForReading(const std::filesystem::path& path) const override {
        auto file = std::make_unique<StreamFile>(path);
        if (!file->isOpen()) {
            return nullptr;
        }
        return file;
    }
};

}  // namespace

const FileSystem& realFileSystem() {
    static const RealFileSystem files;
    return files;
}

}  // namespace spinalyst::store
