#include "viewer/panes/mail_view/runnable_file.h"

#include <QFile>
#include <QMimeDatabase>

#include <array>

namespace velmora {
namespace {

constexpr std::array kRunnableTypes = {
    "application/x-executable",
    "application/x-pie-executable",
    "application/x-sharedlib",
    "application/x-object",
    "application/x-msdownload",
    "application/x-ms-dos-executable",
    "application/x-ms-ne-executable",
    "application/x-msdos-program",
    "application/vnd.microsoft.portable-executable",
    "application/x-msi",
    "application/x-ms-shortcut",
    "application/vnd.ms-cab-compressed",
    "application/java-archive",
    "application/x-java-archive",
    "application/x-java-jnlp-file",
    "application/x-desktop",
    "application/x-shellscript",
    "application/x-csh",
    "text/x-sh",
    "application/x-perl",
    "text/x-perl",
    "application/x-python",
    "text/x-python",
    "text/x-python3",
    "application/x-ruby",
    "application/x-php",
    "application/x-bat",
    "text/x-msdos-batch",
    "application/x-powershell",
    "application/javascript",
    "text/javascript",
    "application/x-deb",
    "application/vnd.debian.binary-package",
    "application/x-rpm",
    "application/x-appimage",
    "application/vnd.appimage",
    "application/vnd.flatpak",
    "application/vnd.flatpak.ref",
    "application/x-flatpak",
    "application/x-executable-script",
};

// Words in a type name that always mean a program of some kind.
constexpr std::array kRunnableWords = {"executable", "script", "program", "installer"};

bool IsRunnableName(const QString& name) {
    for (const char* type : kRunnableTypes) {
        if (name == QLatin1String(type)) return true;
    }
    for (const char* word : kRunnableWords) {
        if (name.contains(QLatin1String(word))) return true;
    }
    return false;
}

bool IsRunnableType(const QMimeType& type) {
    if (!type.isValid()) return false;
    if (IsRunnableName(type.name())) return true;
    for (const QString& ancestor : type.allAncestors()) {
        if (IsRunnableName(ancestor)) return true;
    }
    for (const QString& alias : type.aliases()) {
        if (IsRunnableName(alias)) return true;
    }
    return false;
}

// The first bytes of programs and scripts, whatever the type database says.
bool StartsLikeAProgram(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return false;
    const QByteArray head = file.read(4);
    return head.startsWith("#!") ||
           head.startsWith(
               "\x7f"
               "ELF") ||
           head.startsWith("MZ");
}

}  // namespace

bool MayRunAsProgram(const QString& path) {
    const QMimeDatabase types;
    return IsRunnableType(types.mimeTypeForFile(path, QMimeDatabase::MatchExtension)) ||
           IsRunnableType(types.mimeTypeForFile(path, QMimeDatabase::MatchContent)) ||
           StartsLikeAProgram(path);
}

}  // namespace velmora
