// The folder tree over real stores and over a store made in memory: what the
// user sees after opening, lazy expansion, and the stores' teardown.
#include <gtest/gtest.h>

#include <QSignalSpy>
#include <fstream>
#include <nlohmann/json.hpp>
#include <set>

#include "common/path_text.h"
#include "tests/support/qt_test_environment.h"
#include "tests/support/test_paths.h"
#include "tests/viewer/panes/fake_binding.h"
#include "tests/viewer/panes/test_open_context.h"
#include "viewer/data/binding/store_version.h"
#include "viewer/data/mail_access/record_getters.h"
#include "viewer/data/work_folder/work_folder.h"
#include "viewer/panes/class_view.h"
#include "viewer/panes/folder_images.h"
#include "viewer/panes/folder_order.h"

namespace velmora::panes {
namespace {

QStringList ChildTexts(const StoreList& model, const QModelIndex& parent) {
    QStringList texts;
    for (int row = 0; row < model.rowCount(parent); ++row)
        texts << model.index(row, 0, parent).data().toString();
    return texts;
}

QModelIndex ChildNamed(const StoreList& model, const QModelIndex& parent, const QString& name) {
    for (int row = 0; row < model.rowCount(parent); ++row) {
        const QModelIndex child = model.index(row, 0, parent);
        if (child.data().toString() == name) return child;
    }
    return {};
}

// Every folder record appears once in the whole tree, and each level is in
// alphabetical order; returns how many folder items there are.
int CheckLevels(const StoreList& model, const QModelIndex& parent,
                std::set<const FolderEntry*>& seen) {
    int folders = 0;
    QStringList texts = ChildTexts(model, parent);
    QStringList sorted = texts;
    std::stable_sort(sorted.begin(), sorted.end(), FolderNameOrder());
    EXPECT_EQ(texts, sorted) << "level below " << parent.data().toString().toStdString();
    for (int row = 0; row < model.rowCount(parent); ++row) {
        const QModelIndex child = model.index(row, 0, parent);
        const TreeItemData* item = StoreList::ItemAt(child);
        EXPECT_EQ(item->kind, TreeItemKind::FolderItem);
        EXPECT_TRUE(seen.insert(item->folder).second)
            << "shown twice: " << item->text.toStdString();
        folders += 1 + CheckLevels(model, child, seen);
    }
    return folders;
}

struct CorpusStore {
    const char* file;
    const char* expected;  // expected/<name>.json
};

void PrintTo(const CorpusStore& store, std::ostream* out) {
    *out << store.file;
}

class CorpusTreeTest : public ::testing::TestWithParam<CorpusStore> {};

TEST_P(CorpusTreeTest, OpeningShowsOneRootWithTheTopFolderFullyExpandedAndSorted) {
    VELMORA_REQUIRE_CORPUS();
    const std::filesystem::path store = test::CorpusFile(GetParam().file);
    std::ifstream expectedFile(test::CorpusDir() / "expected" / GetParam().expected);
    const nlohmann::json expected = nlohmann::json::parse(expectedFile);
    test::RecordingMessageHost messages;
    CClassView view;
    view.SetOpenContext(test::TestOpenContext(&view));

    ASSERT_TRUE(view.OpenStore(QString::fromStdString(store.string())));
    EXPECT_TRUE(messages.texts.empty());
    const StoreList& model = view.Tree().Stores();
    ASSERT_EQ(model.rowCount(), 1);
    const QModelIndex root = model.index(0, 0);
    EXPECT_EQ(root.data().toString().toStdString(), store.string());
    EXPECT_EQ(root.data(kImageIndexRole).toInt(), kStoreRootImage);
    EXPECT_EQ(view.Tree().currentIndex(), root);

    const QString topName = QString::fromStdString(expected["top"].get<std::string>());
    ASSERT_EQ(ChildTexts(model, root), QStringList{topName});
    const QModelIndex top = model.index(0, 0, root);
    EXPECT_TRUE(view.Tree().isExpanded(top));
    // The engine also lists folders the independent reader leaves out (search
    // folders, folders found only through parent links): every folder it
    // reports must be there, more may be.
    const QStringList shown = ChildTexts(model, top);
    for (const auto& folder : expected["folders"]) {
        const QString path = QString::fromStdString(folder["path"].get<std::string>());
        if (path.isEmpty() || path.contains('/')) continue;
        EXPECT_TRUE(shown.contains(path)) << path.toStdString();
    }
    std::set<const FolderEntry*> seen;
    EXPECT_GE(CheckLevels(model, top, seen), static_cast<int>(shown.size()));
}

// Every store of the corpus, and every 4K twin of one.
const CorpusStore kCorpusStores[] = {
    CorpusStore{"ansi-basic.pst", "ansi-basic.json"},
    CorpusStore{"ansi-many-items.pst", "ansi-many-items.json"},
    CorpusStore{"ansi-small-backup.pst", "ansi-small-backup.json"},
    CorpusStore{"unicode-archive.pst", "unicode-archive.json"},
    CorpusStore{"unicode-backup.pst", "unicode-backup.json"},
    CorpusStore{"unicode-basic.pst", "unicode-basic.json"},
    CorpusStore{"unicode-contacts.pst", "unicode-contacts.json"},
    CorpusStore{"unicode-cyclic.pst", "unicode-cyclic.json"},
    CorpusStore{"unicode-distlist.pst", "unicode-distlist.json"},
    CorpusStore{"unicode-empty-2007.pst", "unicode-empty-2007.json"},
    CorpusStore{"unicode-flags.pst", "unicode-flags.json"},
    CorpusStore{"unicode-nested-folders.pst", "unicode-nested-folders.json"},
    CorpusStore{"unicode-outlook.pst", "unicode-outlook.json"},
    CorpusStore{"unicode-password-embedded.pst", "unicode-password-embedded.json"},
    CorpusStore{"unicode-password.pst", "unicode-password.json"},
    CorpusStore{"unicode-permute.pst", "unicode-permute.json"},
    CorpusStore{"unicode-personal.pst", "unicode-personal.json"},
    CorpusStore{"unicode-plain.pst", "unicode-plain.json"},
    CorpusStore{"unicode-submessage.pst", "unicode-submessage.json"},
    CorpusStore{"unicode-to-cc.pst", "unicode-to-cc.json"},
    CorpusStore{"unicode-user1.pst", "unicode-user1.json"},
    CorpusStore{"ost4k/unicode-basic.ost", "unicode-basic.json"},
    CorpusStore{"ost4k/unicode-basic.plain.ost", "unicode-basic.json"},
    CorpusStore{"ost4k/unicode-contacts.ost", "unicode-contacts.json"},
    CorpusStore{"ost4k/unicode-contacts.plain.ost", "unicode-contacts.json"},
    CorpusStore{"ost4k/unicode-cyclic.ost", "unicode-cyclic.json"},
    CorpusStore{"ost4k/unicode-cyclic.plain.ost", "unicode-cyclic.json"},
    CorpusStore{"ost4k/unicode-distlist.ost", "unicode-distlist.json"},
    CorpusStore{"ost4k/unicode-distlist.plain.ost", "unicode-distlist.json"},
    CorpusStore{"ost4k/unicode-flags.ost", "unicode-flags.json"},
    CorpusStore{"ost4k/unicode-flags.plain.ost", "unicode-flags.json"},
    CorpusStore{"ost4k/unicode-nested-folders.ost", "unicode-nested-folders.json"},
    CorpusStore{"ost4k/unicode-nested-folders.plain.ost", "unicode-nested-folders.json"},
    CorpusStore{"ost4k/unicode-personal.ost", "unicode-personal.json"},
    CorpusStore{"ost4k/unicode-personal.plain.ost", "unicode-personal.json"},
    CorpusStore{"ost4k/unicode-plain.ost", "unicode-plain.json"},
    CorpusStore{"ost4k/unicode-plain.plain.ost", "unicode-plain.json"},
    CorpusStore{"ost4k/unicode-submessage.ost", "unicode-submessage.json"},
    CorpusStore{"ost4k/unicode-submessage.plain.ost", "unicode-submessage.json"},
    CorpusStore{"ost4k/unicode-to-cc.ost", "unicode-to-cc.json"},
    CorpusStore{"ost4k/unicode-to-cc.plain.ost", "unicode-to-cc.json"},
};

INSTANTIATE_TEST_SUITE_P(Stores, CorpusTreeTest, ::testing::ValuesIn(kCorpusStores),
                         [](const auto& info) { return test::TestNameOf(info.param.file); });

TEST(FolderTreeTest, FoldersShowThePictureOfTheirContainerClass) {
    VELMORA_REQUIRE_CORPUS();
    CClassView view;
    view.SetOpenContext(test::TestOpenContext(&view));
    ASSERT_TRUE(
        view.OpenStore(QString::fromStdString(test::CorpusFile("unicode-backup.pst").string())));
    const StoreList& model = view.Tree().Stores();
    const QModelIndex top = model.index(0, 0, model.index(0, 0));
    const std::pair<const char*, int> expected[] = {
        {"Inbox", kMailFolderImage}, {"Calendar", kAppointmentImage}, {"Contacts", kContactImage},
        {"Journal", kJournalImage},  {"Notes", kStickyNoteImage},     {"Tasks", kTaskImage},
    };
    for (const auto& [name, image] : expected) {
        const QModelIndex folder = ChildNamed(model, top, name);
        ASSERT_TRUE(folder.isValid()) << name;
        EXPECT_EQ(folder.data(kImageIndexRole).toInt(), image)
            << name << ": "
            << QString::fromStdU16String(FolderClass(StoreList::ItemAt(folder)->folder))
                   .toStdString();
    }
}

// A store without any of the top folders: its root folders wait to be expanded.
std::unique_ptr<test::FakeBinding> StoreWithoutTopFolder() {
    using test::FakeFolder;
    return std::make_unique<test::FakeBinding>(
        u"/stores/no-top.pst",
        std::vector<FakeFolder>{
            {u"Zeta", u"IPF.Note", true, {{u"Listed child", u"IPF.Note", true, {}}}},
            {u"Alpha", u"IPF.Task", false, {{u"Found on expansion", u"IPF.Note", true, {}}}},
            {u"Empty", u"IPF.Note", false, {}},
        });
}

TEST(FolderTreeTest, LazyFoldersFillOnceOnExpansionWithoutRepeatingListedChildren) {
    CClassView view;
    auto owned = StoreWithoutTopFolder();
    test::FakeBinding* binding = owned.get();
    const QModelIndex root = view.Tree().AddStore(std::move(owned));
    StoreList& model = view.Tree().Stores();

    // Store order, not alphabetical; each with a placeholder child.
    ASSERT_EQ(ChildTexts(model, root), (QStringList{"Zeta", "Alpha", "Empty"}));
    EXPECT_EQ(model.index(1, 0, root).data(kImageIndexRole).toInt(), kTaskImage);
    for (int row = 0; row < 3; ++row)
        EXPECT_EQ(ChildTexts(model, model.index(row, 0, root)), QStringList{kPlaceholderText});

    struct Expansion {
        int row;
        QStringList children;
        int enumerationsAfter;
    };
    const Expansion expansions[] = {
        {0, {"Listed child"}, 0},        // listed by the all-folders walk: not asked again
        {1, {"Found on expansion"}, 1},  // asked once
        {1, {"Found on expansion"}, 1},  // expanded again: nothing new
        {2, {}, 2},                      // no children: the placeholder just goes
    };
    for (const Expansion& step : expansions) {
        const QModelIndex folder = model.index(step.row, 0, root);
        view.Tree().collapse(folder);
        view.Tree().expand(folder);
        EXPECT_EQ(ChildTexts(model, folder), step.children) << "row " << step.row;
        EXPECT_EQ(binding->childEnumerations, step.enumerationsAfter) << "row " << step.row;
    }
    // The new children wait for their own expansion.
    const QModelIndex found = model.index(0, 0, model.index(1, 0, root));
    EXPECT_EQ(ChildTexts(model, found), QStringList{kPlaceholderText});
}

struct OrderCase {
    const char* label;
    QLocale locale;
    QStringList storeOrder;
    QStringList shown;
};

// Sorting by code units would put every accented capital after "Z".
TEST(FolderOrderTest, FoldersSortByTheLanguagesRulesIgnoringCase) {
    using L = QLocale;
    const OrderCase cases[] = {
        {"German: umlauts and accents beside their letters",
         L(L::German, L::Germany),
         {"Zimmer", "Éléments envoyés", "Ärger", "apfel", "Banane"},
         {"apfel", "Ärger", "Banane", "Éléments envoyés", "Zimmer"}},
        {"Swedish: Å, Ä and Ö are letters of their own after Z",
         L(L::Swedish, L::Sweden),
         {"Ärger", "Zimmer", "Åsa", "Ost", "Öl"},
         {"Ost", "Zimmer", "Åsa", "Ärger", "Öl"}},
        {"French: accents weigh less than letters",
         L(L::French, L::France),
         {"Zèbre", "éléments", "Eux", "Archives"},
         {"Archives", "éléments", "Eux", "Zèbre"}},
        {"names equal but for case keep the store's order",
         L(L::English, L::UnitedStates),
         {"inbox", "Drafts", "INBOX", "drafts"},
         {"Drafts", "drafts", "inbox", "INBOX"}},
        {"the C locale sorts as the language-neutral order",
         L::c(),
         {"Zimmer", "Ärger", "_Archive", "Éléments envoyés", "10 Reports", "2 Plans"},
         {"_Archive", "10 Reports", "2 Plans", "Ärger", "Éléments envoyés", "Zimmer"}},
    };
    for (const OrderCase& c : cases) {
        QStringList names = c.storeOrder;
        std::stable_sort(names.begin(), names.end(), FolderNameOrder(c.locale));
        EXPECT_EQ(names, c.shown) << c.label;
    }
}

TEST(FolderOrderTest, TheTreeSortsEachLevelOfTheTopFolderInTheUsersLanguage) {
    using test::FakeFolder;
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    CClassView view;
    const QModelIndex root = view.Tree().AddStore(std::make_unique<test::FakeBinding>(
        u"/stores/umlauts.pst",
        std::vector<FakeFolder>{
            {u"Top of Personal Folders",
             u"",
             true,
             {{u"Zimmer", u"IPF.Note", true, {}},
              {u"Ärger",
               u"IPF.Note",
               true,
               {{u"Übersicht", u"IPF.Note", true, {}}, {u"Ost", u"IPF.Note", true, {}}}},
              {u"Éléments envoyés", u"IPF.Note", true, {}},
              {u"apfel", u"IPF.Note", true, {}}}}}));
    QLocale::setDefault(before);
    const StoreList& model = view.Tree().Stores();
    const QModelIndex top = model.index(0, 0, root);
    EXPECT_EQ(ChildTexts(model, top),
              (QStringList{"apfel", "Ärger", "Éléments envoyés", "Zimmer"}));
    EXPECT_EQ(ChildTexts(model, model.index(1, 0, top)), (QStringList{"Ost", "Übersicht"}));
}

TEST(FolderTreeTest, ClosingTheStoresReleasesEachEngineSessionOnce) {
    CClassView view;
    std::vector<std::shared_ptr<std::atomic<int>>> deletions;
    for (int i = 0; i < 2; ++i) {
        auto binding = StoreWithoutTopFolder();
        deletions.push_back(binding->deletions);
        view.Tree().AddStore(std::move(binding));
    }
    // The same file twice gives two roots with the same text.
    const StoreList& model = view.Tree().Stores();
    ASSERT_EQ(model.rowCount(), 2);
    EXPECT_EQ(model.index(0, 0).data(), model.index(1, 0).data());

    view.CloseStores();
    EXPECT_EQ(model.rowCount(), 0);
    for (const auto& count : deletions) EXPECT_EQ(count->load(), 1);
    view.CloseStores();
    for (const auto& count : deletions) EXPECT_EQ(count->load(), 1);
}

TEST(FolderTreeTest, SelectingAFolderListsItsMessagesAndCountsThem) {
    VELMORA_REQUIRE_CORPUS();
    CClassView view;
    view.SetOpenContext(test::TestOpenContext(&view));
    QSignalSpy counted(&view, &CClassView::FolderMessagesCounted);
    ASSERT_TRUE(
        view.OpenStore(QString::fromStdString(test::CorpusFile("unicode-to-cc.pst").string())));
    // Selecting the root only moves the caret.
    EXPECT_EQ(counted.count(), 0);

    const StoreList& model = view.Tree().Stores();
    const QModelIndex top = model.index(0, 0, model.index(0, 0));
    int messages = 0;
    for (int row = 0; row < model.rowCount(top); ++row) {
        view.Tree().setCurrentIndex(model.index(row, 0, top));
        ASSERT_EQ(counted.count(), row + 1);
        messages += counted.at(row).at(1).toInt();
    }
    EXPECT_EQ(messages, 1);
}

}  // namespace
}  // namespace velmora::panes
