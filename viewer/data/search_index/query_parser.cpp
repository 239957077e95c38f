#include "viewer/data/search_index/query_parser.h"

#include <chrono>
#include <vector>

#include "viewer/data/search_index/index_terms.h"
#include "viewer/data/search_index/index_words.h"

namespace velmora::search {
namespace {

// How many words one `word*` may stand for; the most frequent are kept.
constexpr Xapian::termcount kMaxWildcardWords = 1000;
constexpr std::int64_t kSecondsPerDay = 86'400;

struct ParseError {
    std::size_t column;
    std::string text;
};

[[noreturn]] void Fail(std::size_t position, std::string text) {
    throw ParseError{position + 1, std::move(text)};
}

struct Field {
    const char* name;
    const char* prefix;
};

constexpr Field kTextFields[] = {
    {"from", prefix::kFrom},       {"to", prefix::kRecipient}, {"cc", prefix::kCc},
    {"subject", prefix::kSubject}, {"body", prefix::kBody},    {"attachment", prefix::kAttachment},
    {"folder", prefix::kFolder},
};

constexpr char kKnownFields[] = "from: to: cc: subject: body: attachment: folder: date: has: is:";

// A term, or a term to leave out: NOT and `-` mark their operand so that the
// AND around it can take it away from the others.
struct Node {
    Xapian::Query query;
    bool negative = false;
};

Xapian::Query Resolved(const Node& node) {
    if (!node.negative) return node.query;
    return Xapian::Query(Xapian::Query::OP_AND_NOT, Xapian::Query::MatchAll, node.query);
}

Xapian::Query WordQuery(const std::string& prefix, const IndexWord& word, bool wildcard) {
    // A word typed without accents is its own plain form, which the index
    // holds for accented words as well; a word typed with them is looked up as
    // it stands.
    if (!wildcard) return Xapian::Query(prefix + word.exact);
    return Xapian::Query(Xapian::Query::OP_WILDCARD, prefix + word.exact, kMaxWildcardWords,
                         Xapian::Query::WILDCARD_LIMIT_MOST_FREQUENT);
}

// Query text quoted in an error: on one line, and short.
std::string Shown(const std::string& text) {
    constexpr std::size_t kMaxShownBytes = 40;
    std::string shown;
    for (Xapian::Utf8Iterator it(text); it != Xapian::Utf8Iterator(); ++it) {
        if (shown.size() >= kMaxShownBytes) return shown + "\u2026";
        Xapian::Unicode::append_utf8(shown, *it < 0x20 || *it == 0x7F ? ' ' : *it);
    }
    return shown;
}

bool IsAsciiLetter(unsigned c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

std::string Lower(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

// "YYYY-MM-DD" as days since 1970-01-01 in `days`; false when it is not such a day.
bool ParseDay(const std::string& text, std::int64_t& days) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-') return false;
    int parts[3] = {};
    const std::size_t starts[3] = {0, 5, 8};
    const std::size_t lengths[3] = {4, 2, 2};
    for (int i = 0; i < 3; ++i) {
        for (std::size_t k = starts[i]; k < starts[i] + lengths[i]; ++k) {
            if (text[k] < '0' || text[k] > '9') return false;
            parts[i] = parts[i] * 10 + (text[k] - '0');
        }
    }
    const std::chrono::year_month_day day{std::chrono::year(parts[0]),
                                          std::chrono::month(static_cast<unsigned>(parts[1])),
                                          std::chrono::day(static_cast<unsigned>(parts[2]))};
    if (!day.ok()) return false;
    days = std::chrono::sys_days(day).time_since_epoch().count();
    return true;
}

class Parser {
  public:
    explicit Parser(std::string_view text) {
        for (Xapian::Utf8Iterator it(text.data(), text.size()); it != Xapian::Utf8Iterator();
             ++it) {
            chars_.push_back(*it);
            if (chars_.size() > kMaxQueryCharacters)
                Fail(kMaxQueryCharacters, "the query is longer than " +
                                              std::to_string(kMaxQueryCharacters) + " characters");
        }
    }

    Xapian::Query Parse() {
        SkipSpace();
        if (AtEnd()) Fail(0, "the query is empty");
        const Node node = ParseOr(0);
        SkipSpace();
        if (!AtEnd()) Fail(pos_, "')' without a matching '('");
        return Resolved(node);
    }

  private:
    bool AtEnd() const { return pos_ >= chars_.size(); }
    unsigned Peek() const { return AtEnd() ? 0 : chars_[pos_]; }
    static bool IsSpace(unsigned c) {
        return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == 0x3000 || c == 0xA0;
    }
    void SkipSpace() {
        while (!AtEnd() && IsSpace(Peek())) ++pos_;
    }
    // Where a run of query text ends.
    bool EndsRun(std::size_t at) const {
        return at >= chars_.size() || IsSpace(chars_[at]) || chars_[at] == '(' ||
               chars_[at] == ')' || chars_[at] == '"';
    }
    bool IsKeyword(const char* word) const {
        std::size_t at = pos_;
        for (const char* c = word; *c != '\0'; ++c, ++at) {
            if (at >= chars_.size() || chars_[at] != static_cast<unsigned>(*c)) return false;
        }
        return EndsRun(at);
    }
    // No term can start here: the end, a closing parenthesis or an operator.
    bool AtTermBoundary() const {
        return AtEnd() || Peek() == ')' || IsKeyword("OR") || IsKeyword("AND");
    }
    std::string Utf8(std::size_t begin, std::size_t end) const {
        std::string text;
        for (std::size_t i = begin; i < end; ++i) Xapian::Unicode::append_utf8(text, chars_[i]);
        return text;
    }

    Node ParseOr(int depth) {
        std::vector<Xapian::Query> alternatives{Resolved(ParseAnd(depth))};
        Node single{alternatives[0]};
        bool several = false;
        while (IsKeyword("OR")) {
            const std::size_t at = pos_;
            pos_ += 2;
            SkipSpace();
            if (AtTermBoundary()) Fail(at, "'OR' needs a term after it");
            alternatives.push_back(Resolved(ParseAnd(depth)));
            several = true;
        }
        if (!several) return single;
        return {Xapian::Query(Xapian::Query::OP_OR, alternatives.begin(), alternatives.end())};
    }

    Node ParseAnd(int depth) {
        std::vector<Node> parts;
        for (;;) {
            SkipSpace();
            if (AtEnd() || Peek() == ')' || IsKeyword("OR")) break;
            if (IsKeyword("AND")) {
                const std::size_t at = pos_;
                if (parts.empty()) Fail(at, "'AND' needs a term before it");
                pos_ += 3;
                SkipSpace();
                if (AtTermBoundary()) Fail(at, "'AND' needs a term after it");
                continue;
            }
            parts.push_back(ParseUnary(depth));
        }
        if (parts.empty()) {
            if (IsKeyword("OR")) Fail(pos_, "'OR' needs a term before it");
            if (Peek() == ')')
                Fail(pos_,
                     depth > 0 ? "nothing between '(' and ')'" : "')' without a matching '('");
            Fail(pos_, "a term is missing here");
        }
        return Conjunction(parts);
    }

    // The terms all present and the negated ones all absent.
    static Node Conjunction(const std::vector<Node>& parts) {
        if (parts.size() == 1) return parts[0];
        std::vector<Xapian::Query> present;
        std::vector<Xapian::Query> absent;
        for (const Node& part : parts) (part.negative ? absent : present).push_back(part.query);
        Xapian::Query query = Xapian::Query::MatchAll;
        if (!present.empty())
            query = Xapian::Query(Xapian::Query::OP_AND, present.begin(), present.end());
        if (!absent.empty()) {
            query =
                Xapian::Query(Xapian::Query::OP_AND_NOT, query,
                              Xapian::Query(Xapian::Query::OP_OR, absent.begin(), absent.end()));
        }
        return {query};
    }

    void CheckDepth(std::size_t at, int depth) const {
        if (depth >= kMaxQueryNesting)
            Fail(at, "the query nests deeper than " + std::to_string(kMaxQueryNesting) + " levels");
    }

    Node ParseUnary(int depth) {
        const std::size_t at = pos_;
        const bool isNot = IsKeyword("NOT");
        if (!isNot && Peek() != '-') return ParsePrimary(depth);
        CheckDepth(at, depth);
        pos_ += isNot ? 3 : 1;
        if (isNot) SkipSpace();
        if (!isNot && EndsRun(pos_) && Peek() != '(' && Peek() != '"')
            Fail(at, "'-' needs a term right after it");
        if (AtTermBoundary())
            Fail(at, isNot ? "'NOT' needs a term after it" : "'-' needs a term right after it");
        Node node = ParseUnary(depth + 1);
        node.negative = !node.negative;
        return node;
    }

    Node ParsePrimary(int depth) {
        const std::size_t at = pos_;
        if (Peek() == '(') {
            CheckDepth(at, depth);
            ++pos_;
            const Node inner = ParseOr(depth + 1);
            SkipSpace();
            if (AtEnd()) Fail(at, "'(' is never closed");
            ++pos_;  // the ')'
            return {Resolved(inner)};
        }
        if (Peek() == '"') return {TextQuery("", ReadQuoted(), at, false)};
        std::size_t end = pos_;
        while (!EndsRun(end)) ++end;
        pos_ = end;
        // A field is letters before the first ':'; text such as 10:30 or a
        // link (http://...) is searched as its words.
        std::size_t colon = at;
        while (colon < end && IsAsciiLetter(chars_[colon])) ++colon;
        const bool link = colon + 2 < end && chars_[colon + 1] == '/' && chars_[colon + 2] == '/';
        if (colon > at && colon < end && chars_[colon] == ':' && !link)
            return FieldTerm(Lower(Utf8(at, colon)), at, colon + 1, end);
        return {TextQuery("", Utf8(at, end), at, true)};
    }

    // The text between double quotes, the quotes passed over.
    std::string ReadQuoted() {
        const std::size_t open = pos_++;
        std::size_t close = pos_;
        while (close < chars_.size() && chars_[close] != '"') ++close;
        if (close >= chars_.size()) Fail(open, "the phrase that starts here has no closing '\"'");
        pos_ = close + 1;
        return Utf8(open + 1, close);
    }

    // The value after `name:`: the run up to `end`, or a quoted phrase right after the colon.
    Node FieldTerm(const std::string& name, std::size_t at, std::size_t valueAt, std::size_t end) {
        const Field* field = nullptr;
        for (const Field& known : kTextFields) {
            if (name == known.name) field = &known;
        }
        const bool special = name == "date" || name == "has" || name == "is";
        if (field == nullptr && !special)
            Fail(at, "unknown field '" + Shown(name) + ":'; the fields are " + kKnownFields);
        std::string value = Utf8(valueAt, end);
        bool quoted = false;
        if (value.empty() && Peek() == '"') {
            value = ReadQuoted();
            quoted = true;
        } else if (value.empty()) {
            Fail(valueAt, "'" + name + ":' needs a value right after the colon");
        }
        if (name == "date") return {DateQuery(value, valueAt)};
        if (name == "has") return FlagTerm(value, valueAt);
        if (name == "is") return StateTerm(value, valueAt);
        return {TextQuery(field->prefix, value, valueAt, !quoted)};
    }

    // The words of `text` under `prefix`: one word, a phrase of several, and a
    // trailing `*` (when `wildcardAllowed`) making the last word a prefix.
    Xapian::Query TextQuery(const std::string& prefix, std::string text, std::size_t at,
                            bool wildcardAllowed) const {
        bool wildcard = false;
        if (wildcardAllowed && !text.empty() && text.back() == '*') {
            text.pop_back();
            if (text.empty() || !EndsWithWordCharacter(text))
                Fail(at, "'*' must follow a word, as in budg*");
            wildcard = true;
        }
        std::vector<IndexWord> words;
        ForEachWord(text, [&](const IndexWord& word) { words.push_back(word); });
        if (words.empty() && HasWordCharacter(text))
            Fail(at, "'" + Shown(text) + "' holds only words longer than " +
                         std::to_string(kMaxWordBytes) + " bytes, which the index does not keep");
        if (words.empty())
            Fail(at, "'" + Shown(text) + "' holds no letters or digits to search for");
        std::vector<Xapian::Query> terms;
        for (std::size_t i = 0; i < words.size(); ++i)
            terms.push_back(WordQuery(prefix, words[i], wildcard && i + 1 == words.size()));
        if (terms.size() == 1) return terms[0];
        // A prefix cannot stand in a phrase: the words are then only required together.
        if (wildcard) return Xapian::Query(Xapian::Query::OP_AND, terms.begin(), terms.end());
        return Xapian::Query(Xapian::Query::OP_PHRASE, terms.begin(), terms.end(),
                             static_cast<Xapian::termcount>(terms.size()));
    }

    static bool HasWordCharacter(const std::string& text) {
        for (Xapian::Utf8Iterator it(text); it != Xapian::Utf8Iterator(); ++it) {
            if (Xapian::Unicode::is_wordchar(*it)) return true;
        }
        return false;
    }

    static bool EndsWithWordCharacter(const std::string& text) {
        unsigned last = 0;
        for (Xapian::Utf8Iterator it(text); it != Xapian::Utf8Iterator(); ++it) last = *it;
        return Xapian::Unicode::is_wordchar(last);
    }

    static Node FlagTerm(const std::string& value, std::size_t at) {
        const std::string lower = Lower(value);
        if (lower != "attachment" && lower != "attachments")
            Fail(at, "has: takes only 'attachment'");
        return {Xapian::Query(flag::kHasAttachment)};
    }

    static Node StateTerm(const std::string& value, std::size_t at) {
        const std::string lower = Lower(value);
        if (lower == "unread") return {Xapian::Query(flag::kUnread)};
        if (lower == "read") return {Xapian::Query(flag::kUnread), true};
        if (lower == "important") return {Xapian::Query(flag::kImportanceHigh)};
        Fail(at, "is: takes 'unread', 'read' or 'important'");
    }

    static Xapian::Query DateQuery(const std::string& value, std::size_t at) {
        const std::size_t dots = value.find("..");
        const std::string from = dots == std::string::npos ? value : value.substr(0, dots);
        const std::string to = dots == std::string::npos ? value : value.substr(dots + 2);
        const std::size_t toAt = dots == std::string::npos ? at : at + dots + 2;
        if (from.empty() && to.empty()) Fail(at, "date: needs a day at one end at least");
        constexpr char kForm[] = "; a day is written YYYY-MM-DD, a range A..B, either end open";
        std::int64_t first = 0;
        std::int64_t last = 0;
        if (!from.empty() && !ParseDay(from, first))
            Fail(at, "'" + Shown(from) + "' is not a day" + kForm);
        if (!to.empty() && !ParseDay(to, last))
            Fail(toAt, "'" + Shown(to) + "' is not a day" + kForm);
        if (!from.empty() && !to.empty() && first > last)
            Fail(at, "the range ends before it starts");
        const unsigned slot = kSubmitTimeSlot;
        const std::string start = SubmitTimeValue(first * kSecondsPerDay);
        const std::string end = SubmitTimeValue((last + 1) * kSecondsPerDay - 1);
        if (to.empty()) return Xapian::Query(Xapian::Query::OP_VALUE_GE, slot, start);
        if (from.empty()) return Xapian::Query(Xapian::Query::OP_VALUE_LE, slot, end);
        return Xapian::Query(Xapian::Query::OP_VALUE_RANGE, slot, start, end);
    }

    std::vector<unsigned> chars_;
    std::size_t pos_ = 0;
};

}  // namespace

ParsedQuery ParseQuery(std::string_view text) {
    try {
        return {Parser(text).Parse(), {}};
    } catch (const ParseError& error) {
        return {std::nullopt, "column " + std::to_string(error.column) + ": " + error.text};
    } catch (const Xapian::Error& error) {
        return {std::nullopt, "the query cannot be run: " + error.get_description()};
    }
}

}  // namespace velmora::search
