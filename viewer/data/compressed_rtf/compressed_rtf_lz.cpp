#include "viewer/data/compressed_rtf/compressed_rtf_lz.h"

#include <algorithm>
#include <limits>
#include <optional>

namespace velmora {

RtfDictionary::RtfDictionary() {
    std::copy(kInitialRtfDictionary.begin(), kInitialRtfDictionary.end(), bytes_.begin());
}

void RtfDictionary::Append(std::uint8_t byte) {
    bytes_[write_] = byte;
    write_ = (write_ + 1) % kSize;
    bytes_[write_] = 0;
}

namespace {

constexpr int kTokensPerControlByte = 8;
constexpr int kReferenceBytes = 2;
constexpr int kMinimumReferenceLength = 2;

// One decode: the data read position, the output count and the dictionary.
class LzDecoder {
  public:
    LzDecoder(const std::uint8_t* data, int length, std::uint8_t* output, int capacity)
        : data_(data), length_(length), output_(output), capacity_(capacity) {}

    LzResult Run() {
        while (!AtEnd()) {
            const std::uint8_t control = data_[read_++];
            if (auto stop = DecodeGroup(control)) return *stop;
        }
        return {LzStatus::kDone, count_};
    }

  private:
    bool AtEnd() const { return read_ >= length_; }

    // The up to 8 tokens a control byte announces, lowest bit first.
    std::optional<LzResult> DecodeGroup(std::uint8_t control) {
        for (int bit = 0; bit < kTokensPerControlByte; ++bit) {
            if (AtEnd()) return LzResult{LzStatus::kDone, count_};
            const bool reference = (control >> bit) & 1;
            if (auto stop = reference ? CopyReference() : CopyLiteral()) return stop;
        }
        return std::nullopt;
    }

    std::optional<LzResult> CopyLiteral() {
        if (count_ >= capacity_) return LzResult{LzStatus::kOutputFull, count_};
        Emit(data_[read_++]);
        return std::nullopt;
    }

    std::optional<LzResult> CopyReference() {
        if (length_ - read_ < kReferenceBytes) return LzResult{LzStatus::kTruncated, 0};
        const unsigned value = (static_cast<unsigned>(data_[read_]) << 8) | data_[read_ + 1];
        read_ += kReferenceBytes;
        std::size_t offset = value >> 4;
        const int length = static_cast<int>(value & 0xF) + kMinimumReferenceLength;
        if (length > capacity_ - count_) return LzResult{LzStatus::kTooLong, NeededFor(length)};
        for (int i = 0; i < length; ++i) Emit(dictionary_.At(offset++));
        return std::nullopt;
    }

    // The count a reference of `length` needs, kept in the int range.
    int NeededFor(int length) const {
        const std::int64_t needed = static_cast<std::int64_t>(count_) + length;
        return static_cast<int>(std::min<std::int64_t>(needed, std::numeric_limits<int>::max()));
    }

    void Emit(std::uint8_t byte) {
        output_[count_++] = byte;
        dictionary_.Append(byte);
    }

    const std::uint8_t* data_;
    int length_;
    int read_ = 0;
    std::uint8_t* output_;
    int capacity_;
    int count_ = 0;
    RtfDictionary dictionary_;
};

}  // namespace

LzResult DecodeLzTokens(const std::uint8_t* data, int length, std::uint8_t* output, int capacity) {
    return LzDecoder(data, length, output, capacity).Run();
}

}  // namespace velmora
