// `search` as a person uses it: queries of every kind against a store whose
// every word is known (plain, HTML-only and RTF-only bodies, an attached
// message, accented and non-Latin words), and against real stores, where the
// expected messages are picked from `dump` independently of the index. Then
// the index's place, its rebuild when the store changes, and its resumption.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <set>

#include "tests/tools/velmora-cli/cli_fixture.h"
#include "tools/storewriter/store_builder.h"
#include "tools/velmora-cli/command_support.h"
#include "tools/velmora-cli/search_command.h"
#include "viewer/data/search_index/index_builder.h"
#include "viewer/data/search_index/index_location.h"

namespace velmora::test {
namespace {

namespace sw = velmora::storewriter;

// 100 ns ticks since 1601 of a UTC day and time.
std::uint64_t FileTime(int year, unsigned month, unsigned day, int hour, int minute) {
    const auto days = std::chrono::sys_days(std::chrono::year_month_day(
        std::chrono::year(year), std::chrono::month(month), std::chrono::day(day)));
    const std::int64_t seconds =
        days.time_since_epoch().count() * 86400LL + hour * 3600 + minute * 60;
    return static_cast<std::uint64_t>(seconds + 11'644'473'600LL) * 10'000'000ULL;
}

sw::RecipientSpec Person(const char* name, const char* address,
                         sw::RecipientType type = sw::RecipientType::kTo) {
    return {name, address, "SMTP", type};
}

// Five messages whose words are all written here; their subjects name them.
void WriteKnownStore(const std::filesystem::path& store, const std::filesystem::path& spool) {
    sw::StoreBuilder builder({.variant = sw::Variant::kUnicode, .spoolDirectory = spool});
    const std::uint32_t inbox = builder.AddFolder(builder.TopFolder(), "Inbox");
    const std::uint32_t projects = builder.AddFolder(builder.TopFolder(), "Projects");
    const std::uint32_t budget = builder.AddFolder(projects, "Budget 2009");
    const std::uint32_t sent = builder.AddFolder(builder.TopFolder(), "Sent Items");

    sw::MessageSpec contract;
    contract.subject = "Contract renewal 2009";
    contract.senderName = "Alice Martin";
    contract.senderEmail = "alice@example.com";
    contract.recipients = {Person("Bob Stone", "bob@example.org"),
                           Person("Carol Ng", "carol@example.net", sw::RecipientType::kCc),
                           Person("Dave Hill", "dave@example.com", sw::RecipientType::kBcc)};
    contract.body = "Please sign the contract before Friday. The caf\xc3\xa9 opens at nine.";
    contract.submitTime = FileTime(2009, 3, 2, 10, 0);
    contract.importance = 2;
    contract.attachments = {{"budget.xlsx", {1, 2, 3}, nullptr}};
    builder.AddMessage(inbox, contract);

    sw::MessageSpec lunch;
    lunch.subject = "Lunch plans";
    lunch.senderName = "Bob Stone";
    lunch.senderEmail = "bob@example.org";
    lunch.recipients = {Person("Alice Martin", "alice@example.com")};
    lunch.htmlBody =
        "<html><body><p>Meet at the <b>cafe</b> near the station</p>"
        "<script>var scriptword = 1;</script></body></html>";
    lunch.submitTime = FileTime(2010, 7, 15, 12, 0);
    lunch.flags = 0;
    builder.AddMessage(inbox, lunch);

    sw::MessageSpec resume;
    resume.subject = "R\xc3\xa9sum\xc3\xa9 for the position";
    resume.senderName = "\xc3\x89mile Zola";
    resume.senderEmail = "emile@example.fr";
    resume.recipients = {Person("Alice Martin", "alice@example.com")};
    resume.rtfBody =
        "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\f0 Zanzibar quarterly "
        "figures, d\\'e9j\\'e0 vu\\par}";
    resume.submitTime = FileTime(2001, 5, 10, 8, 0);
    resume.importance = 0;
    resume.attachments = {{"r\xc3\xa9sum\xc3\xa9.pdf", {4, 5}, nullptr}};
    builder.AddMessage(budget, resume);

    auto itinerary = std::make_shared<sw::MessageSpec>();
    itinerary->subject = "Itinerary";
    itinerary->senderName = "Travel Desk";
    itinerary->senderEmail = "desk@travel.example";
    itinerary->body = "Flight to Reykjavik on Tuesday";
    itinerary->attachments = {{"ticket.pdf", {6}, nullptr}};
    sw::MessageSpec forward;
    forward.subject = "Fwd: travel";
    forward.senderName = "Carol Ng";
    forward.senderEmail = "carol@example.net";
    forward.recipients = {Person("Bob Stone", "bob@example.org")};
    forward.body = "See the attached itinerary.";
    forward.submitTime = FileTime(2001, 12, 31, 23, 30);
    forward.attachments = {{"Itinerary", {}, itinerary}};
    builder.AddMessage(budget, forward);

    sw::MessageSpec japanese;
    japanese.subject = "\xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e\xe3\x81\xae\xe4\xbb\xb6\xe5\x90\x8d";
    japanese.senderName = "\xe5\xb1\xb1\xe7\x94\xb0\xe5\xa4\xaa\xe9\x83\x8e";
    japanese.senderEmail = "yamada@example.jp";
    japanese.body = "\xe6\x9d\xb1\xe4\xba\xac meeting notes";
    builder.AddMessage(sent, japanese);

    std::string error;
    ASSERT_TRUE(builder.WriteTo(store, &error)) << error;
}

class SearchTest : public CliTest {
  protected:
    static Json SearchJson(const std::filesystem::path& store, const std::string& query,
                           std::size_t limit = 0, bool noCache = false) {
        std::ostringstream out;
        EXPECT_EQ(cli::RunSearch({store, query, true, limit, noCache}, out, nullptr), 0) << query;
        return out.str().empty() ? Json::array() : Json::parse(out.str());
    }
    static std::set<std::string> Subjects(const Json& hits) {
        std::set<std::string> subjects;
        for (const Json& hit : hits) subjects.insert(hit["subject"].get<std::string>());
        return subjects;
    }
    static std::set<std::uint32_t> Nids(const Json& hits) {
        std::set<std::uint32_t> nids;
        for (const Json& hit : hits) nids.insert(hit["nid"].get<std::uint32_t>());
        return nids;
    }
};

const std::string kContract = "Contract renewal 2009";
const std::string kLunch = "Lunch plans";
const std::string kResume = "R\xc3\xa9sum\xc3\xa9 for the position";
const std::string kForward = "Fwd: travel";
const std::string kJapanese =
    "\xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e\xe3\x81\xae\xe4\xbb\xb6\xe5\x90\x8d";

TEST_F(SearchTest, QueriesOfEveryKindFindTheMessagesThatHoldTheirWords) {
    const ScratchDir folder;
    const auto store = folder / "known.pst";
    WriteKnownStore(store, folder.Path());
    const struct {
        std::string query;
        std::set<std::string> subjects;
    } cases[] = {
        // Whole words, any case, no stemming; a bare word is any text field.
        {"contract", {kContract}},
        {"CONTRACT", {kContract}},
        {"contracts", {}},
        {"contr*", {kContract}},
        {"friday", {kContract}},
        {"budget", {kContract}},  // the attachment's name; the folder path is not searched bare
        // Fields.
        {"from:alice", {kContract}},
        {"from:example.com", {kContract}},
        {"to:alice", {kLunch, kResume}},
        {"to:carol", {kContract}},  // Cc
        {"to:dave", {kContract}},   // Bcc
        {"to:example.org", {kContract, kForward}},
        {"cc:carol", {kContract}},
        {"cc:bob", {}},
        {"subject:renewal", {kContract}},
        {"subject:friday", {}},
        {"subject:\"contract renewal\"", {kContract}},
        {"\"renewal contract\"", {}},
        {"body:friday", {kContract}},
        {"attachment:budget", {kContract}},
        {"attachment:budget.xlsx", {kContract}},
        {"attachment:xlsx", {kContract}},
        {"folder:budget", {kResume, kForward}},
        {"folder:\"budget 2009\"", {kResume, kForward}},
        {"folder:inbox", {kContract, kLunch}},
        // An HTML-only body is its visible text; an RTF-only body its text.
        {"station", {kLunch}},
        {"scriptword", {}},
        {"zanzibar", {kResume}},
        {"body:quarterly", {kResume}},
        // Accents: plain input finds both forms, accented input only itself.
        {"cafe", {kContract, kLunch}},
        {"caf\xc3\xa9", {kContract}},
        {"CAF\xc3\x89", {kContract}},
        {"deja", {kResume}},
        {"resume", {kResume}},
        {"attachment:r\xc3\xa9sum\xc3\xa9", {kResume}},
        {"from:emile", {kResume}},
        {"from:\xc3\xa9mile", {kResume}},
        {"from:\xc3\xa8mile", {}},
        // An attached message's text is its parent's.
        {"reykjavik", {kForward}},
        {"body:itinerary", {kForward}},
        {"attachment:ticket", {kForward}},
        {"travel", {kForward}},
        {"from:travel", {}},
        // Other scripts.
        {"\xe6\x9d\xb1\xe4\xba\xac", {kJapanese}},
        {"subject:" + kJapanese, {kJapanese}},
        {"from:\xe5\xb1\xb1\xe7\x94\xb0\xe5\xa4\xaa\xe9\x83\x8e", {kJapanese}},
        // Dates (UTC days, both ends included), flags and states.
        {"date:2001-05-01..2001-12-31", {kResume, kForward}},
        {"date:2009-03-02", {kContract}},
        {"date:2010-01-01..", {kLunch}},
        {"date:..2001-12-31", {kResume, kForward}},
        {"date:2002-01-01..2009-03-01", {}},
        {"has:attachment", {kContract, kResume, kForward}},
        {"-has:attachment", {kLunch, kJapanese}},
        {"is:unread", {kLunch}},
        {"is:read", {kContract, kResume, kForward, kJapanese}},
        {"is:important", {kContract}},
        // Operators.
        {"meeting notes", {kJapanese}},
        {"meeting AND notes", {kJapanese}},
        {"\"notes meeting\"", {}},
        {"alice OR zola", {kContract, kLunch, kResume}},
        {"cafe NOT station", {kContract}},
        {"cafe -station", {kContract}},
        {"(cafe OR zanzibar) -is:important", {kLunch, kResume}},
        {"NOT contract", {kLunch, kResume, kForward, kJapanese}},
        {"date:2001-05-01..2001-12-31 has:attachment -folder:inbox", {kResume, kForward}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Subjects(SearchJson(store, c.query)), c.subjects) << c.query;
}

TEST_F(SearchTest, HitsComeNewestFirstAsLinesOrJson) {
    const ScratchDir folder;
    const auto store = folder / "known.pst";
    WriteKnownStore(store, folder.Path());
    const Json hits = SearchJson(store, "has:attachment OR is:unread OR meeting");
    std::vector<std::string> order;
    for (const Json& hit : hits) order.push_back(hit["subject"]);
    EXPECT_EQ(order, (std::vector<std::string>{kLunch, kContract, kForward, kResume, kJapanese}));
    EXPECT_EQ(SearchJson(store, "has:attachment OR is:unread", 2).size(), 2u);

    // The NID is the one dump gives the message; the line has the list's fields.
    const Json dump = Dump(store);
    const Json& contract = (*FolderAt(dump, {"Top of Personal Folders", "Inbox"}))["messages"][0];
    ASSERT_EQ(contract["subject"], kContract);
    const Json one = SearchJson(store, "renewal")[0];
    EXPECT_EQ(one, (Json{{"nid", contract["nid"]},
                         {"folder", "Top of Personal Folders/Inbox"},
                         {"subject", kContract},
                         {"sender", "Alice Martin"},
                         {"submit_time", "2009-03-02T10:00:00Z"}}));
    const Json& japanese =
        (*FolderAt(dump, {"Top of Personal Folders", "Sent Items"}))["messages"][0];
    std::ostringstream lines;
    ASSERT_EQ(cli::RunSearch({store, "renewal OR meeting", false, 0, false}, lines, nullptr), 0);
    EXPECT_EQ(lines.str(), "Top of Personal Folders/Inbox\t2009-03-02T10:00:00Z\tAlice Martin\t" +
                               kContract + "\t" + cli::NidText(contract["nid"]) + "\n" +
                               "Top of Personal Folders/Sent Items\t\t" +
                               "\xe5\xb1\xb1\xe7\x94\xb0\xe5\xa4\xaa\xe9\x83\x8e\t" + kJapanese +
                               "\t" + cli::NidText(japanese["nid"]) + "\n");
}

// The dump's messages, each with its folder path, for the real stores' oracle.
using Predicate = std::function<bool(const Json& message, const std::string& folder)>;

void Select(const Json& folders, const std::string& parent, const Predicate& keep,
            std::set<std::uint32_t>& out) {
    for (const Json& folder : folders) {
        const std::string path = parent.empty() ? folder["name"].get<std::string>()
                                                : parent + "/" + folder["name"].get<std::string>();
        for (const Json& message : folder["messages"]) {
            if (keep(message, path)) out.insert(message["nid"].get<std::uint32_t>());
        }
        Select(folder["folders"], path, keep, out);
    }
}

// Whether `word` (lower case) stands in `text` as a whole word: ASCII
// letters and digits join words, everything else but non-ASCII bytes parts them.
bool HasWord(const std::string& text, const std::string& word) {
    std::string lower = text;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    const auto joins = [](unsigned char c) { return std::isalnum(c) || c >= 0x80; };
    for (std::size_t at = lower.find(word); at != std::string::npos;
         at = lower.find(word, at + 1)) {
        const std::size_t end = at + word.size();
        const bool startOk = at == 0 || !joins(lower[at - 1]) || !joins(word.front());
        const bool endOk = end == lower.size() || !joins(lower[end]) || !joins(word.back());
        if (startOk && endOk) return true;
    }
    return false;
}

bool SenderHas(const Json& m, const std::string& word) {
    return HasWord(m["sender_name"], word) || HasWord(m["sender_email"], word) ||
           HasWord(m["sender_address"], word);
}

bool RecipientHas(const Json& m, const std::string& word, int type = 0) {
    for (const Json& r : m["recipients"]) {
        if (type != 0 && r["type"] != type) continue;
        if (HasWord(r["name"], word) || HasWord(r["email"], word) || HasWord(r["smtp"], word))
            return true;
    }
    return false;
}

// Attachment names, those inside attached messages too.
bool AttachmentHas(const Json& m, const std::string& word) {
    for (const Json& a : m["attachments"]) {
        if (HasWord(a["name"], word)) return true;
        if (a.contains("message") && AttachmentHas(a["message"], word)) return true;
    }
    return false;
}

std::string Day(const Json& m) {
    return m["submit_time"].is_null() ? "" : m["submit_time"].get<std::string>().substr(0, 10);
}

TEST_F(SearchTest, RealStoresGiveTheMessagesTheDumpSaysMatch) {
    VELMORA_REQUIRE_CORPUS();
    using M = const Json&;
    using F = const std::string&;
    const struct {
        const char* store;
        std::string query;
        Predicate expected;
    } cases[] = {
        {"unicode-flags.pst", "is:unread", [](M m, F) { return (m["flags"].get<int>() & 1) == 0; }},
        {"ost4k/unicode-flags.ost", "is:unread",
         [](M m, F) { return (m["flags"].get<int>() & 1) == 0; }},
        {"unicode-flags.pst", "is:important", [](M m, F) { return m["importance"] == 2; }},
        {"unicode-flags.pst", "from:jane", [](M m, F) { return SenderHas(m, "jane"); }},
        {"unicode-flags.pst", "to:john -is:unread",
         [](M m, F) { return RecipientHas(m, "john") && (m["flags"].get<int>() & 1) != 0; }},
        {"unicode-flags.pst", "subject:needs OR subject:needed",
         [](M m, F) { return HasWord(m["subject"], "needs") || HasWord(m["subject"], "needed"); }},
        {"unicode-flags.pst", "folder:\"sent items\"",
         [](M, F f) { return f.ends_with("/Sent Items"); }},
        {"unicode-flags.pst", "date:2010-06-24", [](M m, F) { return Day(m) == "2010-06-24"; }},
        {"unicode-flags.pst", "date:2010-06-25..", [](M, F) { return false; }},
        {"unicode-to-cc.pst", "cc:pst-test-3@aranetic.com",
         [](M m, F) { return RecipientHas(m, "pst-test-3@aranetic.com", 2); }},
        {"ost4k/unicode-to-cc.ost", "to:jane", [](M m, F) { return RecipientHas(m, "jane"); }},
        {"unicode-password-embedded.pst", "has:attachment",
         [](M m, F) { return !m["attachments"].empty(); }},
        {"unicode-password-embedded.pst", "attachment:doc",
         [](M m, F) { return AttachmentHas(m, "doc"); }},
        {"unicode-password-embedded.pst", "attachment:txt -folder:inbox",
         [](M m, F f) { return AttachmentHas(m, "txt") && !HasWord(f, "inbox"); }},
        {"unicode-password-embedded.pst", "to:receiver2@receiver.com",
         [](M m, F) { return RecipientHas(m, "receiver2@receiver.com"); }},
        {"unicode-password-embedded.pst", "cc:receiver2 OR cc:receiver3",
         [](M m, F) { return RecipientHas(m, "receiver2", 2) || RecipientHas(m, "receiver3", 2); }},
        {"unicode-password-embedded.pst", "date:..2010-01-01",
         [](M m, F) { return !Day(m).empty() && Day(m) <= "2010-01-01"; }},
        {"unicode-password-embedded.pst", "date:2016-12-19 -subject:delivered",
         [](M m, F) { return Day(m) == "2016-12-19" && !HasWord(m["subject"], "delivered"); }},
        {"unicode-password-embedded.pst",
         "subject:\xe9\x87\x87\xe8\xb4\xad\xe6\x88\x90\xe6\x9c\xac"
         "\xe4\xb8\xba\xe4\xbd\x95\xe5\xb1\x85\xe9\xab\x98\xe4\xb8\x8d\xe4\xb8\x8b\xe5\x91\xa2",
         [](M m, F) {
             return m["subject"].get<std::string>().find(
                        "\xe9\x87\x87\xe8\xb4\xad\xe6\x88\x90\xe6\x9c\xac") != std::string::npos;
         }},
        {"unicode-password-embedded.pst", "from:\xe5\xbd\xad\xe6\xb1\xb5\xe8\x8c\x9c",
         [](M m, F) { return m["sender_name"] == "\xe5\xbd\xad\xe6\xb1\xb5\xe8\x8c\x9c"; }},
        {"unicode-password-embedded.pst", "subject:\"test mail with success\"",
         [](M m, F) {
             return m["subject"].get<std::string>().find("Test mail with success") !=
                    std::string::npos;
         }},
        {"ansi-many-items.pst", "subject:lorem",
         [](M m, F) { return HasWord(m["subject"], "lorem"); }},
        {"ansi-many-items.pst", "NOT subject:lorem",
         [](M m, F) { return !HasWord(m["subject"], "lorem"); }},
        {"unicode-plain.pst", "attachment:gif from:outlook",
         [](M m, F) { return AttachmentHas(m, "gif") && SenderHas(m, "outlook"); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.store) + ": " + c.query);
        const auto store = CorpusFile(c.store);
        std::set<std::uint32_t> expected;
        Select(Dump(store)["folders"], "", c.expected, expected);
        EXPECT_EQ(Nids(SearchJson(store, c.query)), expected);
    }
}

TEST_F(SearchTest, AnAttachedMessagesBodyIsFoundUnderItsParent) {
    VELMORA_REQUIRE_CORPUS();
    // The parent's body is "This is the body of the regular message"; the
    // message attached to it says "This is the body of an embedded message".
    for (const char* name : {"unicode-submessage.pst", "ost4k/unicode-submessage.ost"}) {
        SCOPED_TRACE(name);
        const auto store = CorpusFile(name);
        EXPECT_EQ(Nids(SearchJson(store, "body:\"body of an embedded message\"")),
                  (std::set<std::uint32_t>{2097188}));
        EXPECT_EQ(Nids(SearchJson(store, "body:regular")), (std::set<std::uint32_t>{2097188}));
        EXPECT_EQ(Nids(SearchJson(store, "subject:body")), (std::set<std::uint32_t>{}));
    }
}

TEST_F(SearchTest, AQueryThatCannotBeParsedIsOneLineAndExitCodeTwo) {
    const ScratchDir folder;
    std::ostringstream out;
    EXPECT_EQ(cli::RunSearch({folder / "none.pst", "from:(alice", false, 0, false}, out, nullptr),
              2);
    EXPECT_EQ(OnlyMessage(),
              "velmora-cli: query: column 6: 'from:' needs a value right after the colon");
    EXPECT_TRUE(out.str().empty());
}

// A damaged store is searched as far as it can be read, and the search says
// how many messages it could not read.
TEST_F(SearchTest, ADamagedStoreSaysHowManyMessagesItCouldNotRead) {
    VELMORA_REQUIRE_CORPUS();
    const ScratchDir folder;
    const auto store = folder / "damaged.pst";
    std::filesystem::copy_file(CorpusFile("unicode-plain.pst"), store);
    // 16 KiB zeroed where some of the messages' blocks lie; the node census
    // still counts all 20 messages.
    std::vector<std::uint8_t> bytes = FileBytes(store);
    ASSERT_GT(bytes.size(), 0xC000u);
    std::fill(bytes.begin() + 0x8000, bytes.begin() + 0xC000, 0);
    std::ofstream(store, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    const Json hits = SearchJson(store, "has:attachment OR -has:attachment", 0, true);
    EXPECT_EQ(hits.size(), 16u);
    EXPECT_EQ(OnlyMessage(), "velmora-cli: " + store.string() +
                                 ": 4 of 20 messages could not be read and are not searched");
}

std::filesystem::perms Mode(const std::filesystem::path& path) {
    return std::filesystem::status(path).permissions() & std::filesystem::perms::all;
}

// Each store's index is a private folder below the cache, named by the
// store's path; the store's folder gets nothing. A store that changes (size
// or modification time) is indexed again; --no-cache leaves nothing behind.
TEST_F(SearchTest, TheIndexLivesInTheCacheAndFollowsTheStore) {
    const ScratchDir folder;
    const auto store = folder / "known.pst";
    WriteKnownStore(store, folder.Path());
    const auto root = cache_->Path() / "Velmora" / "index";
    std::error_code ignored;
    std::filesystem::remove_all(root, ignored);

    EXPECT_EQ(SearchJson(store, "zanzibar", 0, true).size(), 1u);
    EXPECT_FALSE(std::filesystem::exists(root));  // --no-cache: nothing kept

    EXPECT_EQ(SearchJson(store, "zanzibar").size(), 1u);
    std::vector<std::filesystem::path> indexes;
    for (const auto& entry : std::filesystem::directory_iterator(root))
        indexes.push_back(entry.path());
    ASSERT_EQ(indexes.size(), 1u);
    EXPECT_EQ(Mode(root), std::filesystem::perms::owner_all);
    EXPECT_EQ(Mode(indexes[0]), std::filesystem::perms::owner_all);
    std::set<std::string> beside;
    for (const auto& entry : std::filesystem::directory_iterator(folder.Path()))
        beside.insert(entry.path().filename().string());
    EXPECT_EQ(beside, (std::set<std::string>{"known.pst"}));

    // The same store again: the index is reused, as is.
    const auto indexed = std::filesystem::last_write_time(indexes[0] / "iamglass", ignored);
    EXPECT_EQ(SearchJson(store, "zanzibar").size(), 1u);
    EXPECT_EQ(std::filesystem::last_write_time(indexes[0] / "iamglass", ignored), indexed);

    // An index left damaged is made anew.
    std::ofstream(indexes[0] / "iamglass", std::ios::trunc) << "not an index";
    EXPECT_EQ(SearchJson(store, "zanzibar").size(), 1u);

    // Another store written over it: the old words go, the new ones are found.
    {
        sw::StoreBuilder builder({.variant = sw::Variant::kAnsi, .spoolDirectory = folder.Path()});
        sw::MessageSpec only;
        only.subject = "Replaced";
        only.body = "Kilimanjaro";
        builder.AddMessage(builder.AddFolder(builder.TopFolder(), "Inbox"), only);
        std::filesystem::remove(store);
        std::string error;
        ASSERT_TRUE(builder.WriteTo(store, &error)) << error;
    }
    EXPECT_EQ(SearchJson(store, "zanzibar").size(), 0u);
    EXPECT_EQ(Subjects(SearchJson(store, "kilimanjaro")), (std::set<std::string>{"Replaced"}));

    std::string error;
    ASSERT_TRUE(search::ForgetSearchIndexes(error)) << error;
    EXPECT_TRUE(std::filesystem::is_empty(root));
}

// Sixty messages, 35 in Inbox and 25 in Archive.
void WriteNumberedStore(const std::filesystem::path& store, const std::filesystem::path& spool) {
    sw::StoreBuilder builder({.variant = sw::Variant::kUnicode, .spoolDirectory = spool});
    const std::uint32_t inbox = builder.AddFolder(builder.TopFolder(), "Inbox");
    const std::uint32_t archive = builder.AddFolder(builder.TopFolder(), "Archive");
    for (int i = 0; i < 60; ++i) {
        sw::MessageSpec message;
        message.subject = "Number " + std::to_string(i);
        message.body = i % 2 == 0 ? "even" : "odd";
        builder.AddMessage(i < 35 ? inbox : archive, message);
    }
    std::string error;
    ASSERT_TRUE(builder.WriteTo(store, &error)) << error;
}

// Writes the numbered store in `folder` and opens it in `session`; its stamp.
std::optional<search::StoreStamp> OpenNumberedStore(const ScratchDir& folder,
                                                    cli::StoreSession& session) {
    const auto store = folder / "many.pst";
    WriteNumberedStore(store, folder.Path());
    std::string error;
    auto stamp = search::ReadStoreStamp(store, error);
    if (!stamp || !session.Open(store, error)) {
        ADD_FAILURE() << error;
        return std::nullopt;
    }
    return stamp;
}

// A build stopped part way keeps what it committed and the next one goes on
// from there, to the same index a build in one go makes.
TEST_F(SearchTest, AStoppedBuildResumesWhereItStopped) {
    const ScratchDir folder;
    cli::StoreSession session;
    const auto stamp = OpenNumberedStore(folder, session);
    ASSERT_TRUE(stamp);
    const auto indexFolder = folder / "index";

    std::atomic<bool> stop = false;
    std::vector<std::uint64_t> seen;
    search::IndexOptions options;
    options.batchSize = 10;
    options.commitEvery = 10;
    options.messageCount = [&](FolderEntry* f) { return session.MessageCount(f); };
    options.progress = [&](const search::IndexProgress& step) {
        seen.push_back(step.done);
        EXPECT_EQ(step.total, 60u);
        if (step.done >= 20) stop = true;
    };
    options.stopRequested = [&] { return stop.load(); };
    search::IndexOutcome first =
        search::BuildIndex(indexFolder, *stamp, session.Binding(), options);
    EXPECT_FALSE(first.complete);
    EXPECT_EQ(first.indexed, 20u);
    EXPECT_EQ(seen, (std::vector<std::uint64_t>{10, 20}));

    stop = false;
    seen.clear();
    options.progress = [&](const search::IndexProgress& step) { seen.push_back(step.done); };
    const search::IndexOutcome second =
        search::BuildIndex(indexFolder, *stamp, session.Binding(), options);
    EXPECT_TRUE(second.complete) << second.error;
    EXPECT_EQ(second.indexed, 60u);
    EXPECT_EQ(second.unreadable, 0u);
    EXPECT_EQ(seen.front(), 30u);  // on from the 20 done before

    const search::IndexOutcome again =
        search::BuildIndex(indexFolder, *stamp, session.Binding(), options);
    EXPECT_TRUE(again.complete);
    EXPECT_EQ(again.indexed, 60u);
}

// The window stops a build through the engine's stop word, which also ends
// the walk under way: the short batch that walk hands out is where it
// stopped, not the folder's end, and the folder is finished by the next build.
TEST_F(SearchTest, ABuildStoppedInsideAnEngineWalkIsNotTakenForFinished) {
    const ScratchDir folder;
    cli::StoreSession session;
    const auto stamp = OpenNumberedStore(folder, session);
    ASSERT_TRUE(stamp);
    std::int32_t* stopWord = session.Handle()->status->stopWord;
    ASSERT_NE(stopWord, nullptr);

    search::IndexOptions options;
    options.batchSize = 10;
    options.commitEvery = 10;
    options.messageCount = [&](FolderEntry* f) { return session.MessageCount(f); };
    // The user stops after 20 messages, just after the builder last asked:
    // the engine sees the stop first.
    int asksAfterStop = 0;
    options.progress = [&](const search::IndexProgress& step) {
        if (step.done == 20) *stopWord = CORVEX_STOP_STATE;
    };
    options.stopRequested = [&] { return *stopWord == CORVEX_STOP_STATE && ++asksAfterStop > 1; };
    const search::IndexOutcome stopped =
        search::BuildIndex(folder / "index", *stamp, session.Binding(), options);
    EXPECT_FALSE(stopped.complete);
    EXPECT_EQ(stopped.indexed, 20u);
    EXPECT_EQ(stopped.unreadable, 0u);

    *stopWord = CORVEX_DONE_STATE;
    const search::IndexOutcome resumed =
        search::BuildIndex(folder / "index", *stamp, session.Binding(), options);
    EXPECT_TRUE(resumed.complete) << resumed.error;
    EXPECT_EQ(resumed.indexed, 60u);
    EXPECT_EQ(resumed.unreadable, 0u);
}

}  // namespace
}  // namespace velmora::test
