// A folder of this process's own for one fuzz input, in memory-backed storage
// where there is some: the input's bytes as a store file, and whatever the
// engine and the viewer write below it. Removed, with everything in it, when
// the input is done.
#pragma once

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

namespace velmora::fuzz {

class InputFolder {
  public:
    // `name` tells the targets' folders apart: "velmora-NAME-PID".
    explicit InputFolder(const std::string& name)
        : path_(Base() / ("velmora-" + name + "-" + std::to_string(::getpid()))) {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
        std::filesystem::create_directories(path_);
    }
    ~InputFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    InputFolder(const InputFolder&) = delete;
    InputFolder& operator=(const InputFolder&) = delete;

    // Writes the input as the store file and returns its path.
    std::filesystem::path WriteStore(const std::uint8_t* data, std::size_t size) const {
        const std::filesystem::path store = path_ / "input.store";
        std::ofstream out(store, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
        return store;
    }
    // A folder below this one, made on the first call.
    std::filesystem::path Folder(const std::string& name) const {
        std::error_code ignored;
        std::filesystem::create_directories(path_ / name, ignored);
        return path_ / name;
    }

  private:
    static std::filesystem::path Base() {
        std::error_code error;
        if (std::filesystem::is_directory("/dev/shm", error)) return "/dev/shm";
        return std::filesystem::temp_directory_path();
    }

    std::filesystem::path path_;
};

}  // namespace velmora::fuzz
