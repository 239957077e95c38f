// The order of the folders on one level of the tree: alphabetical as the
// desktop's own trees sort, by the rules of the user's language ("Ärger"
// beside "Apfel" in German, after "Zimmer" in Swedish), letter case ignored.
#pragma once

#include <QCollator>
#include <QLocale>
#include <QString>

namespace velmora::panes {

class FolderNameOrder {
  public:
    // The C locale names no language: it sorts as the language-neutral order does.
    explicit FolderNameOrder(const QLocale& locale = QLocale());

    // True when `left` comes before `right`; names equal but for case are equal.
    bool operator()(const QString& left, const QString& right) const;

  private:
    QCollator collator_;
};

}  // namespace velmora::panes
