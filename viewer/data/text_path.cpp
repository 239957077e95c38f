#include "viewer/data/text_path.h"

#include "engine/interface/utf16_text.h"

namespace velmora {

#ifdef _WIN32
std::filesystem::path PathFromText(const std::u16string& text) {
    return std::filesystem::path(std::wstring(text.begin(), text.end()));
}
std::u16string TextFromPath(const std::filesystem::path& path) {
    const std::wstring& wide = path.native();
    return std::u16string(wide.begin(), wide.end());
}
#else
// File names here are UTF-8 bytes.
std::filesystem::path PathFromText(const std::u16string& text) {
    return corvex::Utf16ToUtf8(text);
}
std::u16string TextFromPath(const std::filesystem::path& path) {
    return corvex::Utf8ToUtf16(path.native());
}
#endif

}  // namespace velmora
