// The compressed RTF decoder: published example streams, hand-built token
// streams for each decoding rule, streams with lying or damaged headers, the
// RTF file writer, and every compressed RTF body of the real stores.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "engine/storage/context_reader.h"
#include "engine/storage/node_database.h"
#include "engine/storage/variant_traits.h"
#include "tests/support/test_paths.h"
#include "viewer/data/compressed_rtf/compressed_rtf.h"
#include "viewer/data/compressed_rtf/compressed_rtf_file.h"
#include "viewer/data/compressed_rtf/compressed_rtf_header.h"

namespace velmora::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::uint32_t kLzfu = kCompressedRtfMagic;
constexpr std::uint32_t kMela = kUncompressedRtfMagic;
constexpr std::uint32_t kHuge = 0xFFFFFFFF;
constexpr int kUntouched = -7777;

Bytes FromText(std::string_view text) {
    return Bytes(text.begin(), text.end());
}

Bytes FromHex(std::string_view hex) {
    Bytes bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes.push_back(
            static_cast<std::uint8_t>(std::stoi(std::string(hex.substr(i, 2)), nullptr, 16)));
    return bytes;
}

void PutUint32(Bytes& bytes, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

struct StreamFields {
    std::uint32_t rawSize = 0;
    std::uint32_t magic = kLzfu;
    std::int64_t sizeDelta = 0;  // added to the correct cbSize
    std::uint32_t crcDelta = 0;  // added to the correct CRC
};

Bytes Stream(const Bytes& data, StreamFields fields = {}) {
    std::uint32_t crc = 0;
    CLZFuCompression().ComputeCrc(&crc, data.data(), static_cast<int>(data.size()));
    Bytes stream;
    PutUint32(stream, static_cast<std::uint32_t>(data.size() + 12 + fields.sizeDelta));
    PutUint32(stream, fields.rawSize);
    PutUint32(stream, fields.magic);
    PutUint32(stream, crc + fields.crcDelta);
    stream.insert(stream.end(), data.begin(), data.end());
    return stream;
}

struct Decoded {
    int result = 0;
    int count = 0;
    std::string text;  // the first `count` output bytes, when they fit the capacity
};

Decoded Decode(const Bytes& stream, int capacity) {
    Bytes output(static_cast<std::size_t>(std::max(capacity, 1)), 0xEE);
    Decoded decoded;
    decoded.count = capacity;
    decoded.result = CLZFuCompression().Decompress(output.data(), &decoded.count, stream.data(),
                                                   static_cast<int>(stream.size()));
    if (decoded.count >= 0 && decoded.count <= capacity)
        decoded.text.assign(output.begin(), output.begin() + decoded.count);
    return decoded;
}

int RawSizeOf(const Bytes& stream) {
    int size = kUntouched;
    CLZFuCompression().GetRawSize(stream.data(), static_cast<int>(stream.size()), &size);
    return size;
}

// Examples of the published description of the format, each with its text.
TEST(CompressedRtfTest, PublishedStreamsDecodeToTheirTextAndEndReference) {
    struct Case {
        Bytes stream;
        std::string text;
    };
    const Case cases[] = {
        {FromHex("2d0000002b0000004c5a4675f1c5c7a7"
                 "03000a007263706731323542320af320"
                 "68656c090020627705b06c647d0a800fa0"),
         "{\\rtf1\\ansi\\ansicpg1252\\pard hello world}\r\n"},
        {FromHex("1a0000001c0000004c5a4675e2d44b51"
                 "410004205758595a0d6e7d010eb0"),
         "{\\rtf1 WXYZWXYZWXYZWXYZWXYZ}"},
    };
    for (const Case& c : cases) {
        const int capacity = RawSizeOf(c.stream);
        ASSERT_EQ(capacity, static_cast<int>(c.text.size()) + 2);
        const Decoded decoded = Decode(c.stream, capacity);
        EXPECT_EQ(decoded.result, 1);
        EXPECT_EQ(decoded.text, c.text + std::string(2, '\0'));
    }
}

// One control byte's bits pick literals (0) and 2-byte big-endian references
// (1): 12 bits of dictionary offset, 4 bits of length minus 2. The write
// position starts at 207, just past the initial dictionary.
struct TokenCase {
    const char* name;
    Bytes data;
    std::string text;
};

TEST(CompressedRtfTest, TokenStreamsDecodeAsTheDictionaryRulesSay) {
    using namespace std::string_literals;
    const TokenCase cases[] = {
        {"no data bytes", {}, ""},
        {"literals over two control bytes",
         {0x00, 'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h', 0x00, 'i'},
         "abcdefghi"},
        {"reference into the initial dictionary", {0x01, 0x00, 0x03}, "{\\rtf"},
        {"reference overlapping its own output", {0x02, 'A', 0x0C, 0xF2}, "AAAAA"},
        {"end reference at the write position", {0x02, 'x', 0x0D, 0x00}, "x\0\0"s},
        {"decoding goes on after an end reference", {0x02, 'x', 0x0D, 0x00, 'y'}, "x\0\0y"s},
        {"reference to never-written slots", {0x01, 0xFA, 0x01}, "\0\0\0"s},
        {"reference wrapping past the dictionary end", {0x01, 0xFF, 0xF1}, "\0{\\"s},
        {"control bits left over when the data ends", {0xFE, 'z'}, "z"},
    };
    for (const TokenCase& c : cases) {
        const Decoded decoded =
            Decode(Stream(c.data, {.rawSize = static_cast<std::uint32_t>(c.text.size())}),
                   static_cast<int>(c.text.size()));
        EXPECT_EQ(decoded.result, 1) << c.name;
        EXPECT_EQ(decoded.text, c.text) << c.name;
    }
}

// Every failure returns -1 and reports through the count: untouched when the
// stream is rejected, else the needed size, the count reached, or 0.
struct FailureCase {
    const char* name;
    Bytes stream;
    int capacity;
    int count;
};

TEST(CompressedRtfTest, DamagedStreamsFailWithTheCountTheyReport) {
    const Bytes literals = {0x00, 'a', 'b', 'c'};
    Bytes shortStream = Stream(literals);
    shortStream.resize(15);
    const FailureCase cases[] = {
        {"unknown magic", Stream(literals, {.rawSize = 3, .magic = 0x12345678}), 10, kUntouched},
        {"cbSize too large", Stream(literals, {.rawSize = 3, .sizeDelta = 1}), 10, kUntouched},
        {"cbSize below 12", Stream({}, {.sizeDelta = -12}), 10, kUntouched},
        {"wrong CRC", Stream(literals, {.rawSize = 3, .crcDelta = 1}), 10, kUntouched},
        {"shorter than a header", shortStream, 10, kUntouched},
        {"capacity below the raw size", Stream(literals, {.rawSize = 3}), 2, 3},
        {"capacity below a lying raw size is capped", Stream(literals, {.rawSize = kHuge}), 2, 32},
        {"stored data above the capacity", Stream(literals, {.rawSize = 0, .magic = kMela}), 3, 4},
        {"literal beyond the capacity", Stream(literals, {.rawSize = 2}), 2, 2},
        {"reference beyond the capacity", Stream({0x02, 'a', 0x00, 0x03}, {.rawSize = 2}), 2, 6},
        {"reference cut off", Stream({0x02, 'a', 0x00}, {.rawSize = 1}), 4, 0},
    };
    for (const FailureCase& c : cases) {
        Bytes output(static_cast<std::size_t>(c.capacity));
        int count = c.capacity;
        CLZFuCompression decoder;
        const int result = decoder.Decompress(output.data(), &count, c.stream.data(),
                                              static_cast<int>(c.stream.size()));
        EXPECT_EQ(result, -1) << c.name;
        EXPECT_EQ(count, c.count == kUntouched ? c.capacity : c.count) << c.name;
        EXPECT_FALSE(decoder.FailureText().empty()) << c.name;
    }
}

TEST(CompressedRtfTest, MissingArgumentsFailWithoutTouchingTheCount) {
    const Bytes in = Stream({0x00, 'a'}, {.rawSize = 1});
    const int length = static_cast<int>(in.size());
    std::uint8_t out[8];
    int count = 8, size = kUntouched;
    std::uint32_t crc = 0;
    CLZFuCompression decoder;
    const int results[] = {
        decoder.Decompress(nullptr, &count, in.data(), length),
        decoder.Decompress(out, nullptr, in.data(), length),
        decoder.Decompress(out, &count, nullptr, length),
        decoder.Decompress(out, &count, in.data(), -1),
        decoder.GetRawSize(in.data(), length, nullptr),
        decoder.GetRawSize(nullptr, length, &size),
        decoder.GetRawSize(in.data(), -1, &size),
        decoder.ComputeCrc(&crc, nullptr, 1),
        decoder.ComputeCrc(&crc, in.data(), -1),
        decoder.ComputeCrc(nullptr, in.data(), 1),
    };
    for (int result : results) EXPECT_EQ(result, -1);
    EXPECT_EQ(count, 8);
    EXPECT_EQ(size, kUntouched);
}

// The declared raw size plus 2, but never more than 8 bytes per data byte (or
// the data itself, when stored) and never past the int range.
TEST(CompressedRtfTest, RawSizeIsCappedByWhatTheDataCanProduce) {
    struct Case {
        const char* name;
        Bytes stream;
        int rawSize;
    };
    const Bytes tenBytes(10, 0);
    const Case cases[] = {
        {"honest header", Stream(tenBytes, {.rawSize = 40}), 42},
        {"raw size of 4 GB", Stream(tenBytes, {.rawSize = kHuge}), 80},
        {"raw size just below 4 GB", Stream(tenBytes, {.rawSize = kHuge - 2}), 80},
        {"raw size just past the int range", Stream(tenBytes, {.rawSize = 0x7FFFFFFF}), 80},
        {"empty data", Stream({}, {.rawSize = kHuge}), 0},
        {"stored data", Stream(tenBytes, {.rawSize = kHuge, .magic = kMela}), 10},
        {"unknown magic", Stream(tenBytes, {.magic = 0}), kUntouched},
    };
    for (const Case& c : cases) EXPECT_EQ(RawSizeOf(c.stream), c.rawSize) << c.name;
}

// Control bytes of 8 references of 17 bytes each reach the cap exactly, and the
// capacity the cap gives is enough to decode them.
TEST(CompressedRtfTest, MostExpandingStreamFitsTheCappedRawSize) {
    Bytes data;
    for (int group = 0; group < 100; ++group) {
        data.push_back(0xFF);
        for (int reference = 0; reference < 8; ++reference) data.insert(data.end(), {0x00, 0x0F});
    }
    const Bytes stream = Stream(data, {.rawSize = kHuge});
    const int capacity = RawSizeOf(stream);
    EXPECT_EQ(capacity, 8 * static_cast<int>(data.size()));
    const Decoded decoded = Decode(stream, capacity);
    EXPECT_EQ(decoded.result, 1);
    EXPECT_EQ(decoded.count, capacity);
}

ExportedProp InMemoryProp(Bytes& bytes) {
    return ExportedProp{0x1009, 0x0102, 0, static_cast<std::uint32_t>(bytes.size()), bytes.data()};
}

std::string FileText(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

// A value that does not decode is written as it stands.
TEST(CompressedRtfTest, RtfFileHoldsTheDecodedTextOrTheStoredBytes) {
    struct Case {
        const char* name;
        Bytes value;
        bool decoded;
        std::string text;
    };
    const Bytes literals = {0x00, 'a', 'b'};
    const Case cases[] = {
        {"decodable", Stream(literals, {.rawSize = 2}), true, "ab"},
        {"wrong CRC", Stream(literals, {.rawSize = 2, .crcDelta = 1}), false, ""},
        {"wrong cbSize", Stream(literals, {.rawSize = 2, .sizeDelta = 4}), false, ""},
        {"unknown magic", Stream(literals, {.magic = 0x11111111}), false, ""},
        {"shorter than a header", FromText("{\\rtf1 x}"), false, ""},
        {"empty value", {}, false, ""},
    };
    ScratchDir scratch;
    for (Case c : cases) {
        const RtfFileOutcome outcome =
            WriteRtfFile(InMemoryProp(c.value), (scratch / "body.rtf").u16string());
        EXPECT_TRUE(outcome.written) << c.name;
        EXPECT_EQ(outcome.decoded, c.decoded) << c.name;
        EXPECT_EQ(outcome.failure.empty(), c.decoded) << c.name;
        EXPECT_EQ(FileText(scratch / "body.rtf"),
                  c.decoded ? c.text : std::string(c.value.begin(), c.value.end()))
            << c.name;
    }
}

Bytes Utf16Path(const std::filesystem::path& path) {
    Bytes bytes;
    for (char16_t unit : path.u16string() + u'\0') {
        bytes.push_back(static_cast<std::uint8_t>(unit & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>(unit >> 8));
    }
    return bytes;
}

TEST(CompressedRtfTest, RtfFileReadsAValueHeldInAFile) {
    ScratchDir scratch;
    const Bytes stream = Stream({0x00, 'o', 'k'}, {.rawSize = 2});
    std::ofstream(scratch / "value \u00e9.bin", std::ios::binary)
        .write(reinterpret_cast<const char*>(stream.data()),
               static_cast<std::streamsize>(stream.size()));
    Bytes path = Utf16Path(scratch / "value \u00e9.bin");
    ExportedProp prop = InMemoryProp(path);
    prop.inFile = 1;
    const RtfFileOutcome outcome = WriteRtfFile(prop, (scratch / "body.rtf").u16string());
    EXPECT_TRUE(outcome.decoded);
    EXPECT_EQ(FileText(scratch / "body.rtf"), "ok");

    Bytes missing = Utf16Path(scratch / "missing.bin");
    ExportedProp missingProp = InMemoryProp(missing);
    missingProp.inFile = 1;
    const RtfFileOutcome failed = WriteRtfFile(missingProp, (scratch / "other.rtf").u16string());
    EXPECT_FALSE(failed.written);
    EXPECT_FALSE(failed.failure.empty());
    EXPECT_TRUE(std::filesystem::exists(scratch / "other.rtf"));
}

// Compressed RTF bodies (PR_RTF_COMPRESSED) of the message nodes of a real store.
constexpr std::uint16_t kRtfCompressed = 0x1009;

template <typename V>
std::vector<Bytes> RtfBodiesOf(const std::filesystem::path& path) {
    corvex::NodeDatabase<V> store;
    std::string error;
    if (!store.Open(path.string(), error)) return {};
    store.Load(corvex::StopToken{});
    const corvex::ContextReader<V> reader(store.Reader());
    std::vector<Bytes> bodies;
    for (const auto& [nid, node] : store.Walker().nodes.All()) {
        if (node->NidType() != corvex::kNidTypeNormalMessage) continue;
        const corvex::PropertyMap properties = reader.NodeProperties(*node);
        const corvex::PropValue* value = properties.Find(kRtfCompressed);
        if (value != nullptr && !value->Empty()) bodies.push_back(reader.ValueBytes(*value));
    }
    return bodies;
}

// By the store's format version, the 16-bit wVer at byte offset 10.
std::vector<Bytes> RtfBodiesOf(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::uint8_t head[12] = {};
    file.read(reinterpret_cast<char*>(head), sizeof head);
    switch (head[10] | (head[11] << 8)) {
        case 14:
        case 15:
            return RtfBodiesOf<corvex::AnsiTraits>(path);
        case 21:
        case 23:
            return RtfBodiesOf<corvex::UnicodeTraits>(path);
        case 36:
            return RtfBodiesOf<corvex::Unicode4KTraits>(path);
        default:
            return {};
    }
}

CompressedRtfHeader HeaderOf(const Bytes& stream) {
    CompressedRtfHeader header;
    ParseCompressedRtfHeader(stream.data(), static_cast<int>(stream.size()), header);
    return header;
}

// A compressed body: RTF text of the declared raw size followed by the 2 NUL
// bytes of its end reference. A stored ("MELA") body: its data bytes, although
// the stores declare a raw size 12 bytes larger (cbRawSize equal to cbSize).
void ExpectDecodesToRtf(const Bytes& stream, const std::string& where) {
    const CompressedRtfHeader header = HeaderOf(stream);
    const int capacity = RawSizeOf(stream);
    const Decoded decoded = Decode(stream, capacity);
    ASSERT_EQ(decoded.result, 1) << where;
    EXPECT_TRUE(decoded.text.starts_with("{\\rtf")) << where;
    if (header.IsCompressed()) {
        EXPECT_EQ(capacity, static_cast<std::int64_t>(header.rawSize) + 2) << where;
        EXPECT_EQ(decoded.count, capacity) << where;
        EXPECT_TRUE(decoded.text.ends_with(std::string(2, '\0'))) << where;
    } else {
        EXPECT_EQ(decoded.text,
                  std::string(stream.begin() + kCompressedRtfHeaderSize, stream.end()))
            << where;
    }
}

// Each store with the number of message bodies it keeps as compressed RTF.
struct CorpusStore {
    const char* file;
    std::size_t bodies;
};

class CorpusRtfTest : public testing::TestWithParam<CorpusStore> {};

constexpr CorpusStore kStores[] = {
    {"unicode-password-embedded.pst", 9}, {"unicode-plain.pst", 10},
    {"unicode-permute.pst", 22},          {"unicode-cyclic.pst", 22},
    {"unicode-distlist.pst", 1},          {"ansi-many-items.pst", 294},
    {"ost4k/unicode-plain.ost", 10},      {"ost4k/unicode-cyclic.ost", 22},
    {"ost4k/unicode-distlist.ost", 1},
};

TEST_P(CorpusRtfTest, EveryCompressedBodyDecodesToRtf) {
    VELMORA_REQUIRE_CORPUS();
    const std::vector<Bytes> bodies = RtfBodiesOf(CorpusFile(GetParam().file));
    EXPECT_EQ(bodies.size(), GetParam().bodies);
    for (std::size_t i = 0; i < bodies.size(); ++i) {
        ExpectDecodesToRtf(bodies[i], std::string(GetParam().file) + " body " + std::to_string(i));
    }
}

INSTANTIATE_TEST_SUITE_P(Stores, CorpusRtfTest, testing::ValuesIn(kStores),
                         [](const auto& info) { return TestNameOf(info.param.file); });

}  // namespace
}  // namespace velmora::test
