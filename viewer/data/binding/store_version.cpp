#include "viewer/data/binding/store_version.h"

#include <system_error>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "common/path_text.h"
#include "common/utf16_text.h"
#include "viewer/data/binding/pff_parsers.h"

namespace velmora {
namespace {

constexpr long kVersionOffset = 10;

int FailOpen(int errorCode, OpenStatus* status) {
    if (status != nullptr) {
        status->code = 0;
        const std::u16string text = common::Utf8ToUtf16(std::system_category().message(errorCode));
        common::CopyToBuffer(text, status->text, CORVEX_OPEN_STATUS_TEXT_LENGTH);
    }
    return 0;
}

std::uint16_t LittleEndian16(const unsigned char* bytes) {
    return static_cast<std::uint16_t>(bytes[0] | (bytes[1] << 8));
}

}  // namespace

#ifdef _WIN32
int ReadStoreVersion(const std::u16string& storePath, std::uint16_t* version, OpenStatus* status) {
    // No sharing: a store another program holds open fails here.
    HANDLE file = ::CreateFileW(reinterpret_cast<const wchar_t*>(storePath.c_str()), GENERIC_READ,
                                0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return FailOpen(static_cast<int>(::GetLastError()), status);
    unsigned char bytes[2] = {};
    DWORD read = 0;
    if (::SetFilePointer(file, kVersionOffset, nullptr, FILE_BEGIN) != INVALID_SET_FILE_POINTER &&
        ::ReadFile(file, bytes, 2, &read, nullptr) && read == 2) {
        *version = LittleEndian16(bytes);
    }
    ::CloseHandle(file);
    return 1;
}
#else
int ReadStoreVersion(const std::u16string& storePath, std::uint16_t* version, OpenStatus* status) {
    // Read-only: other programs do not take advisory locks, so exclusive access cannot be had here.
    const int file = ::open(common::PathFromUtf16(storePath).c_str(), O_RDONLY | O_CLOEXEC);
    if (file < 0) return FailOpen(errno, status);
    struct stat info {};
    if (::fstat(file, &info) == 0 && S_ISDIR(info.st_mode)) {
        ::close(file);
        return FailOpen(EISDIR, status);
    }
    unsigned char bytes[2] = {};
    if (::pread(file, bytes, 2, kVersionOffset) == 2) *version = LittleEndian16(bytes);
    ::close(file);
    return 1;
}
#endif

bool IsVersionInRange(std::uint16_t version) {
    return static_cast<unsigned>(version - 14) <= 22u;
}

std::unique_ptr<CPFFDataParserInterFace> CreateParserForVersion(
    std::uint16_t version, const std::filesystem::path& libraryFolder) {
    switch (version) {
        case 14:
        case 15:
            return std::make_unique<CPFF32DataParser>(libraryFolder);
        case 21:
        case 23:
            return std::make_unique<CPFF64DataParser>(libraryFolder);
        case 36:
            return std::make_unique<CPFF64p4KDataParser>(libraryFolder);
        default:
            return nullptr;
    }
}

std::string VariantNameForVersion(std::uint16_t version) {
    switch (version) {
        case 14:
        case 15:
            return "ANSI";
        case 21:
        case 23:
            return "Unicode";
        case 36:
            return "Unicode 4K";
        default:
            return {};
    }
}

}  // namespace velmora
