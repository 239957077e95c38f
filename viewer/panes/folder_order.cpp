#include "viewer/panes/folder_order.h"

namespace velmora::panes {
namespace {

// A plain code-unit order would put every accented capital after "Z". English
// has no rules of its own beyond the language-neutral order, so it stands for it.
QLocale CollationLocale(const QLocale& locale) {
    if (locale.language() == QLocale::C) return QLocale(QLocale::English, QLocale::UnitedStates);
    return locale;
}

}  // namespace

FolderNameOrder::FolderNameOrder(const QLocale& locale) : collator_(CollationLocale(locale)) {
    collator_.setCaseSensitivity(Qt::CaseInsensitive);
}

bool FolderNameOrder::operator()(const QString& left, const QString& right) const {
    return collator_.compare(left, right) < 0;
}

}  // namespace velmora::panes
