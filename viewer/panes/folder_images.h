// The pictures of the folder tree: one table from image index to icon, and the
// choice of index by a folder's container class.
#pragma once

#include <QIcon>
#include <string>

namespace velmora::panes {

// The image indices of the folder tree, in table order.
enum FolderImage : int {
    kMailFolderImage = 0,
    kAppointmentImage = 1,
    kContactImage = 2,
    kJournalImage = 3,
    kStickyNoteImage = 4,
    kTaskImage = 5,
    kStoreRootImage = 6,
};
inline constexpr int kFolderImageCount = 7;

// The item-data role under which the tree model hands out an item's image index.
inline constexpr int kImageIndexRole = 0x0100 + 1;  // Qt::UserRole + 1

// "IPF.Note" -> 0, "IPF.Appointment" -> 1, "IPF.Contact" -> 2, "IPF.Journal" -> 3,
// "IPF_StickyNote" and "IPF.StickyNote" -> 4, "IPF.Task" -> 5; any other class, the empty
// one included, -> 0.
// Whole-string, case-sensitive comparisons, as the stores write the classes.
int ContainerClassImage(const std::u16string& containerClass);

// The icon of an image index; the mail-folder icon for an index outside the table.
QIcon FolderIcon(int imageIndex);

}  // namespace velmora::panes
