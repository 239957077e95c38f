// Damaged copies of real stores: truncated, bit-flipped, with page pointers
// aimed anywhere, extreme page counts, broken data trees and zlib streams. Each
// must parse and be read without a crash, hang or sanitizer report, and what
// the damage does not reach must read as before.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <random>
#include <set>
#include <tuple>

#include "common/little_endian.h"
#include "engine/storage/block_reader.h"
#include "engine/storage/store_file.h"
#include "tests/engine/storage/store_fixtures.h"
#include "tests/engine/storage/store_layout.h"
#include "tests/support/test_paths.h"

namespace corvex {
namespace {

using velmora::test::BlockPlace;
using velmora::test::CorpusFile;
using velmora::test::PagePlace;
using velmora::test::StoreLayout;
using Image = std::vector<std::uint8_t>;
using NodeRecord = std::tuple<std::uint64_t, std::uint64_t, std::uint64_t, std::uint32_t>;

template <typename V>
std::map<std::uint64_t, NodeRecord> NodeRecords(const NodeDatabase<V>& database) {
    std::map<std::uint64_t, NodeRecord> records;
    for (const auto& [key, node] : database.Walker().nodes.All()) {
        records.emplace(key, NodeRecord{node->nid, node->bidData, node->bidSub, node->nidParent});
    }
    return records;
}

// Reads what the walks will read: every node's data and the data of its subnodes.
template <typename V>
void ReadEverything(const NodeDatabase<V>& database) {
    for (const auto& [key, node] : database.Walker().nodes.All()) {
        (void)database.Reader().ReadBlock(node->bidData);
        for (const SubnodeEntry& sub : node->Subnodes().entries)
            (void)database.ReadSubnodeData(node->Subnodes(), sub.Nid());
    }
}

template <typename V>
class DamageBench {
  public:
    explicit DamageBench(const std::string& store) : path_(CorpusFile(store)) {
        original_ = velmora::test::ReadFileBytes(path_);
        database_ = velmora::test::OpenStore<V>(path_);
        layout_ = velmora::test::LayoutOf(*database_);
        records_ = NodeRecords(*database_);
    }

    // Parses the damaged image and reads it through; returns its node records.
    std::map<std::uint64_t, NodeRecord> Parse(const Image& image) {
        const auto file = scratch_ / "damaged.store";
        velmora::test::WriteFileBytes(file, image);
        auto damaged = velmora::test::OpenStore<V>(file);
        if (!damaged) return {};
        ReadEverything(*damaged);
        return NodeRecords(*damaged);
    }

    const Image& Original() const { return original_; }
    const StoreLayout& Layout() const { return layout_; }
    const std::map<std::uint64_t, NodeRecord>& Records() const { return records_; }
    const NodeDatabase<V>& Database() const { return *database_; }

  private:
    std::filesystem::path path_;
    velmora::test::ScratchDir scratch_;
    Image original_;
    std::unique_ptr<NodeDatabase<V>> database_;
    StoreLayout layout_;
    std::map<std::uint64_t, NodeRecord> records_;
};

template <typename V>
void Truncations(const std::string& store) {
    DamageBench<V> bench(store);
    const std::size_t size = bench.Original().size();
    std::vector<std::size_t> cuts = {0, 1, 10, 23, 24, 100, 511, 512, 563, 564, 4096, size - 1};
    for (std::size_t cut = 600; cut < size; cut += size / 53 + 1) cuts.push_back(cut);
    for (const PagePlace& page : bench.Layout().pages) cuts.push_back(page.ib + 1);
    for (std::size_t cut : cuts) {
        if (cut > size) continue;
        SCOPED_TRACE("cut at " + std::to_string(cut));
        const Image image(bench.Original().begin(),
                          bench.Original().begin() + static_cast<std::ptrdiff_t>(cut));
        const auto damaged = bench.Parse(image);
        // Nothing is invented from the zeros past the end...
        for (const auto& [key, record] : damaged) EXPECT_EQ(bench.Records().at(key), record);
        // ...and every node whose page and ancestors lie before the cut survives.
        if (cut < 1024) continue;
        for (const PagePlace& page : bench.Layout().pages) {
            if (!page.nodeTree || page.highestAncestorEnd > cut) continue;
            for (std::uint64_t nid : page.leafKeys)
                EXPECT_TRUE(damaged.count(nid)) << "nid " << nid;
        }
    }
}

template <typename V>
std::size_t MetaOffset() {
    return V::kPageMetaOffset;
}

template <typename V>
void PageDamage(const std::string& store) {
    DamageBench<V> bench(store);
    std::mt19937 random(17);
    const auto& pages = bench.Layout().pages;
    const std::size_t m = MetaOffset<V>();
    const std::vector<std::function<void(Image&, const PagePlace&)>> damages = {
        [&](Image& im, const PagePlace& p) {
            im[p.ib + random() % V::kPageSize] ^= 1u << (random() % 8);
        },
        [&](Image& im, const PagePlace& p) {
            std::fill_n(im.begin() + p.ib + m, V::kWideEntryCounts ? 2 : 1, 0xFF);
        },
        [&](Image& im, const PagePlace& p) {
            im[p.ib + m + (V::kWideEntryCounts ? 4 : 2)] =
                static_cast<std::uint8_t>(random() % 3 * 127);
        },
        [&](Image& im, const PagePlace& p) {
            im[p.ib + m + (V::kWideEntryCounts ? 5 : 3)] =
                static_cast<std::uint8_t>(1 + random() % 255);
        },
        [&](Image& im, const PagePlace& p) {  // every entry's pointer aimed at a random place, the
                                              // page itself or the root
            const std::uint64_t targets[] = {random() % im.size(), p.ib, pages.front().ib,
                                             random()};
            for (std::size_t at = 0; at + 3 * V::kIdWidth <= m; at += 3 * V::kIdWidth) {
                const std::uint64_t t = targets[random() % 4];
                if constexpr (V::kIdWidth == 8)
                    common::StoreLE64(&im[p.ib + at + 16], t);
                else
                    common::StoreLE32(&im[p.ib + at + 8], static_cast<std::uint32_t>(t));
            }
        },
    };
    for (const PagePlace& page : pages) {
        for (std::size_t kind = 0; kind < damages.size(); ++kind) {
            SCOPED_TRACE("page " + std::to_string(page.ib) + " damage " + std::to_string(kind));
            Image image = bench.Original();
            damages[kind](image, page);
            (void)bench.Parse(image);
        }
    }
}

template <typename V>
void BlockDamage(const std::string& store) {
    DamageBench<V> bench(store);
    std::mt19937 random(29);
    for (const BlockPlace& block : bench.Layout().blocks) {
        if (block.size == 0 || block.ib + block.size > bench.Original().size()) continue;
        Image image = bench.Original();
        const common::Bytes data(&image[block.ib], block.size);
        const bool internal = (block.bid & 2) != 0;
        if (internal) {  // claim the most entries and bytes a header can
            common::StoreLE16(&image[block.ib + 2], 0xFFFF);
            if (data[0] == 0x01) common::StoreLE32(&image[block.ib + 4], 0xFFFFFFFF);
        }
        for (int i = 0; i < 8; ++i) image[block.ib + random() % block.size] ^= 1u << (random() % 8);
        if constexpr (V::kCompressed)
            common::StoreLE16(&image[block.ib + block.size - 6],
                              static_cast<std::uint16_t>(random()));
        SCOPED_TRACE("block " + std::to_string(block.bid));
        // Blocks hold no node records: the node index must come out whole.
        EXPECT_EQ(bench.Parse(image), bench.Records());
    }
}

template <typename V>
void DataTreeLoops(const std::string& store) {
    DamageBench<V> bench(store);
    for (const BlockPlace& block : bench.Layout().blocks) {
        if ((block.bid & 2) == 0 || block.ib + 8 + V::kIdWidth > bench.Original().size()) continue;
        Image image = bench.Original();
        const std::size_t first =
            block.ib + (bench.Original()[block.ib] == 0x02 ? V::kInternalHeaderSize : 8);
        // The tree's first child is the block itself (SLBLOCK: its first entry's data and subnode
        // tree).
        for (std::size_t k = 0; k < (bench.Original()[block.ib] == 0x02 ? 3u : 1u); ++k) {
            if constexpr (V::kIdWidth == 8)
                common::StoreLE64(&image[first + 8 * k], block.bid);
            else
                common::StoreLE32(&image[first + 4 * k], static_cast<std::uint32_t>(block.bid));
        }
        SCOPED_TRACE("block " + std::to_string(block.bid));
        EXPECT_EQ(bench.Parse(image), bench.Records());
    }
}

// A few KiB of file can describe a data tree of a thousand missing children
// and a total of 4 GiB. The missing parts read as zeros, but the value may not
// grow past what a file of that size could hold, and a tree whose children are
// present still reads whole.
TEST(DataTreeClaims, ValueStaysInProportionToTheFile) {
    using V = UnicodeTraits;
    constexpr std::size_t kChildren = 1000;
    Image image(8 + kChildren * V::kIdWidth + 16, 0);
    image[0] = kBtypeDataTree;
    image[1] = 1;
    common::StoreLE16(&image[2], kChildren);
    common::StoreLE32(&image[4], 0xFFFFFFFFu);
    for (std::size_t i = 0; i < kChildren; ++i)
        common::StoreLE64(&image[8 + i * 8], 0x1000 + 4 * i);
    const std::size_t childAt = image.size() - 16;
    std::fill(image.begin() + childAt, image.end(), 'v');
    const velmora::test::ScratchDir scratch;
    velmora::test::WriteFileBytes(scratch / "tree.pst", image);
    StoreFile file;
    std::string error;
    ASSERT_TRUE(file.Open((scratch / "tree.pst").string(), error)) << error;

    const BbtEntry<V> tree{0x2, 0, static_cast<std::uint16_t>(childAt), 1, {}};
    const BbtEntry<V> child{0x1000, childAt, 16, 1, {}};
    BlockMap<V> blocks;
    blocks.Add(tree.bid, &tree);
    blocks.Add(child.bid, &child);
    blocks.Seal();
    const BlockReader<V> reader(file, blocks, 0);

    const ByteBuffer value = reader.ReadBlock(tree.bid);
    EXPECT_LE(value.size(), (4u << 20) + 16 * image.size());
    ASSERT_GE(value.size(), 16u);
    EXPECT_EQ(std::string(value.begin(), value.begin() + 16), std::string(16, 'v'));
    EXPECT_EQ(std::count(value.begin() + 16, value.end(), 0),
              static_cast<std::ptrdiff_t>(value.size() - 16));
}

// A data tree whose children are partly missing reads with zeros where they
// were, each child's bytes at its own offset, so that a damaged attachment
// keeps every byte that could be read in its place.
TEST(DataTreeClaims, MissingChildrenLeaveZerosInTheirPlace) {
    using V = UnicodeTraits;
    constexpr std::size_t kBlock = 16;  // every child but the last is full
    constexpr std::size_t kLast = 6;
    const struct {
        const char* label;
        std::string present;  // per child: 'x' present, '-' missing
    } cases[] = {
        {"all present", "xxxx"},      {"one in the middle", "x-xx"}, {"two in the middle", "x--x"},
        {"the first", "-xxx"},        {"the first two", "--xx"},     {"the last", "xxx-"},
        {"all but the last", "---x"}, {"every other", "-x-x"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        const std::size_t children = c.present.size();
        const std::size_t total = (children - 1) * kBlock + kLast;
        const std::size_t dataAt = 8 + children * V::kIdWidth;
        Image image(dataAt + total, 0);
        image[0] = kBtypeDataTree;
        image[1] = 1;
        common::StoreLE16(&image[2], static_cast<std::uint16_t>(children));
        common::StoreLE32(&image[4], static_cast<std::uint32_t>(total));
        std::vector<BbtEntry<V>> entries;
        entries.reserve(children + 1);
        entries.push_back({0x2, 0, static_cast<std::uint16_t>(dataAt), 1, {}});
        std::string expected;
        for (std::size_t i = 0; i < children; ++i) {
            const std::size_t size = i + 1 == children ? kLast : kBlock;
            const std::uint64_t bid = 0x1000 + 4 * i;
            common::StoreLE64(&image[8 + i * 8], bid);
            const std::size_t at = dataAt + i * kBlock;
            std::fill(image.begin() + at, image.begin() + at + size, 'a' + i);
            expected += c.present[i] == 'x' ? std::string(size, 'a' + i) : std::string(size, '\0');
            if (c.present[i] == 'x')
                entries.push_back({bid, at, static_cast<std::uint16_t>(size), 1, {}});
        }
        const velmora::test::ScratchDir scratch;
        velmora::test::WriteFileBytes(scratch / "tree.pst", image);
        StoreFile file;
        std::string error;
        ASSERT_TRUE(file.Open((scratch / "tree.pst").string(), error)) << error;
        BlockMap<V> blocks;
        for (const BbtEntry<V>& entry : entries) blocks.Add(entry.bid, &entry);
        blocks.Seal();
        const BlockReader<V> reader(file, blocks, 0);

        const ByteBuffer value = reader.ReadBlock(0x2);
        EXPECT_EQ(std::string(value.begin(), value.end()), expected);
    }
}

struct DamageCase {
    const char* store;
    int variant;  // 0 ANSI, 1 Unicode, 2 4K
};

void PrintTo(const DamageCase& c, std::ostream* os) {
    *os << c.store;
}

class DamagedStore : public testing::TestWithParam<DamageCase> {
  protected:
    template <template <typename> class Run>
    void Dispatch() {
        VELMORA_REQUIRE_CORPUS();
        const DamageCase& c = GetParam();
        if (c.variant == 0) Run<AnsiTraits>{}(c.store);
        if (c.variant == 1) Run<UnicodeTraits>{}(c.store);
        if (c.variant == 2) Run<Unicode4KTraits>{}(c.store);
    }
};

template <typename V>
struct TruncationRun {
    void operator()(const std::string& s) { Truncations<V>(s); }
};
template <typename V>
struct PageRun {
    void operator()(const std::string& s) { PageDamage<V>(s); }
};
template <typename V>
struct BlockRun {
    void operator()(const std::string& s) { BlockDamage<V>(s); }
};
template <typename V>
struct LoopRun {
    void operator()(const std::string& s) { DataTreeLoops<V>(s); }
};

TEST_P(DamagedStore, Truncated) {
    Dispatch<TruncationRun>();
}
TEST_P(DamagedStore, PagesDamaged) {
    Dispatch<PageRun>();
}
TEST_P(DamagedStore, BlocksDamaged) {
    Dispatch<BlockRun>();
}
TEST_P(DamagedStore, InternalBlocksPointAtThemselves) {
    Dispatch<LoopRun>();
}

INSTANTIATE_TEST_SUITE_P(Corpus, DamagedStore,
                         testing::Values(DamageCase{"ansi-many-items.pst", 0},
                                         DamageCase{"unicode-cyclic.pst", 1},
                                         DamageCase{"unicode-password-embedded.pst", 1},
                                         DamageCase{"ost4k/unicode-plain.ost", 2},
                                         DamageCase{"ost4k/unicode-distlist.ost", 2}),
                         [](const auto& info) {
                             return velmora::test::TestNameOf(info.param.store);
                         });

}  // namespace
}  // namespace corvex
