#include "viewer/panes/tree_item_data.h"

namespace velmora::panes {

int TreeItemData::Row() const {
    if (parent == nullptr) return 0;
    const auto& siblings = parent->children;
    for (std::size_t row = 0; row < siblings.size(); ++row) {
        if (siblings[row].get() == this) return static_cast<int>(row);
    }
    return 0;
}

}  // namespace velmora::panes
