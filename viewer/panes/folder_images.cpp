#include "viewer/panes/folder_images.h"

#include <QApplication>
#include <QStyle>
#include <array>
#include <utility>

namespace velmora::panes {

int ContainerClassImage(const std::u16string& containerClass) {
    static const std::array<std::pair<std::u16string_view, int>, 7> kClasses = {{
        {u"IPF.Note", kMailFolderImage},
        {u"IPF.Appointment", kAppointmentImage},
        {u"IPF.Contact", kContactImage},
        {u"IPF.Journal", kJournalImage},
        {u"IPF_StickyNote", kStickyNoteImage},
        // What the stores themselves write for a notes folder.
        {u"IPF.StickyNote", kStickyNoteImage},
        {u"IPF.Task", kTaskImage},
    }};
    for (const auto& [name, image] : kClasses) {
        if (containerClass == name) return image;
    }
    return kMailFolderImage;
}

QIcon FolderIcon(int imageIndex) {
    // The style's own pictures, so that every look draws them in its colours.
    static const std::array<QStyle::StandardPixmap, kFolderImageCount> kPixmaps = {
        QStyle::SP_DirIcon,                 // mail folder
        QStyle::SP_FileDialogDetailedView,  // calendar
        QStyle::SP_FileDialogContentsView,  // contacts
        QStyle::SP_FileDialogInfoView,      // journal
        QStyle::SP_FileIcon,                // notes
        QStyle::SP_DialogApplyButton,       // tasks
        QStyle::SP_DriveHDIcon,             // store root
    };
    if (imageIndex < 0 || imageIndex >= kFolderImageCount) imageIndex = kMailFolderImage;
    return QApplication::style()->standardIcon(kPixmaps[static_cast<std::size_t>(imageIndex)]);
}

}  // namespace velmora::panes
