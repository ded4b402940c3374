#include "ape_strict_decoder.h"

#include "encoding/ape/range_tables.h"

#include <openssl/evp.h>
#include <zlib.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <vector>

namespace tesslow::test {

namespace {

struct Corrupt : std::runtime_error {
    using std::runtime_error::runtime_error;
};

void Check(bool condition, const char* what)
{
    if (!condition) throw Corrupt(what);
}

std::uint32_t U16(const std::uint8_t* at) { return at[0] | at[1] << 8; }
std::uint32_t U32(const std::uint8_t* at) { return U16(at) | U16(at + 2) << 16; }

std::string Hex(const unsigned char* bytes, std::size_t count)
{
    static const char kDigits[] = "0123456789abcdef";
    std::string out;
    for (std::size_t i = 0; i < count; ++i) {
        out.push_back(kDigits[bytes[i] >> 4]);
        out.push_back(kDigits[bytes[i] & 15]);
    }
    return out;
}

class Digest {
public:
    Digest() : context_(EVP_MD_CTX_new(), EVP_MD_CTX_free) { EVP_DigestInit_ex(context_.get(), EVP_md5(), nullptr); }
    void Add(const void* data, std::size_t bytes) { EVP_DigestUpdate(context_.get(), data, bytes); }
    std::array<unsigned char, 16> Take()
    {
        std::array<unsigned char, 16> out{};
        EVP_DigestFinal_ex(context_.get(), out.data(), nullptr);
        return out;
    }

private:
    std::unique_ptr<EVP_MD_CTX, void (*)(EVP_MD_CTX*)> context_;
};

// The frame area in stream order: stored as 32-bit little-endian words whose
// bytes run most significant first, counted from the area's start.
class StreamReader {
public:
    StreamReader(std::ifstream& file, std::uint64_t start, std::uint64_t bytes) : file_(file), size_(bytes)
    {
        file_.seekg(static_cast<std::streamoff>(start));
    }

    std::uint64_t Position() const { return position_; }

    std::uint8_t Next()
    {
        Check(position_ < size_, "read past the end of the frame area");
        const std::uint64_t word = position_ / 4;
        if (word < chunkStart_ || word >= chunkStart_ + chunk_.size() / 4) Load(word);
        const std::size_t at = static_cast<std::size_t>((word - chunkStart_) * 4 + 3 - position_ % 4);
        ++position_;
        return chunk_[at];
    }

private:
    void Load(std::uint64_t word)
    {
        Check(word == chunkStart_ + chunk_.size() / 4, "the stream went backwards");
        chunkStart_ = word;
        const std::uint64_t left = size_ - word * 4;
        chunk_.resize(static_cast<std::size_t>(std::min<std::uint64_t>(left, 1 << 20)));
        file_.read(reinterpret_cast<char*>(chunk_.data()), static_cast<std::streamsize>(chunk_.size()));
        Check(file_.good(), "the file ends inside the frame area");
    }

    std::ifstream& file_;
    std::uint64_t size_;
    std::uint64_t position_ = 0;
    std::uint64_t chunkStart_ = 0;  // in words
    std::vector<std::uint8_t> chunk_;
};

// Reads what the encoder's range coder wrote, with the decoder's lag of one
// bit and three bytes.
class RangeDecoder {
public:
    explicit RangeDecoder(StreamReader& in) : in_(in) {}

    void Start()
    {
        Check(in_.Next() == 0, "the byte before a frame's coded data is not 0");
        buffer_ = in_.Next();
        low_ = buffer_ >> 1;
        range_ = 1u << 7;
    }

    void Normalize()
    {
        while (range_ <= (1u << 23)) {
            buffer_ = (buffer_ << 8) | in_.Next();
            low_ = (low_ << 8) | ((buffer_ >> 1) & 0xFF);
            range_ <<= 8;
        }
    }

    std::uint32_t Uniform(std::uint32_t total)
    {
        Normalize();
        range_ /= total;
        const std::uint32_t value = low_ / range_;
        Check(value < total, "a coded value beyond its range");
        Take(1, value);
        return value;
    }

    std::uint32_t Bits(int bits) { return Uniform(1u << bits); }

    std::uint32_t Overflow()
    {
        Normalize();
        range_ >>= ape::kOverflowTotalBits;
        const std::uint32_t point = low_ / range_;
        Check(point < (1u << ape::kOverflowTotalBits), "an overflow symbol beyond the model");
        int symbol = 0;
        while (ape::kOverflowModel.cumulative[static_cast<std::size_t>(symbol)] +
                   ape::kOverflowModel.width[static_cast<std::size_t>(symbol)] <=
               point)
            ++symbol;
        Take(ape::kOverflowModel.width[static_cast<std::size_t>(symbol)],
             ape::kOverflowModel.cumulative[static_cast<std::size_t>(symbol)]);
        if (symbol < ape::kOverflowEscape) return static_cast<std::uint32_t>(symbol);
        const std::uint32_t high = Bits(16);
        return high << 16 | Bits(16);
    }

private:
    void Take(std::uint32_t width, std::uint32_t start)
    {
        low_ -= range_ * start;
        range_ *= width;
    }

    StreamReader& in_;
    std::uint32_t low_ = 0, range_ = 0, buffer_ = 0;
};

std::int32_t DecodeValue(RangeDecoder& coder, std::uint32_t& kSum)
{
    const std::uint32_t pivot = std::max(kSum >> 5, 1u);
    const std::uint32_t overflow = coder.Overflow();
    std::uint32_t base;
    if (pivot < (1u << 16)) {
        base = coder.Uniform(pivot);
    } else {
        const int lowBits = std::bit_width(pivot) - 16;
        const std::uint32_t high = coder.Uniform((pivot >> lowBits) + 1);
        base = high << lowBits | coder.Uniform(1u << lowBits);
    }
    const std::uint32_t value = overflow * pivot + base;
    kSum += (value + 1) / 2 - ((kSum + 16) >> 5);
    return value & 1 ? static_cast<std::int32_t>((value >> 1) + 1) : -static_cast<std::int32_t>(value >> 1);
}

// Undoes one NN filter: the same prediction from the reconstructed inputs.
// The history runs through a buffer twice the order long, each value written
// twice, so the last `order` values are always one contiguous run.
class InverseFilter {
public:
    InverseFilter(int order, int shift)
        : order_(static_cast<std::size_t>(order)),
          shift_(shift),
          weights_(order_),
          history_(2 * order_),
          steps_(2 * order_)
    {
    }

    std::int32_t Restore(std::int32_t coded)
    {
        const std::int16_t* past = &history_[next_];  // oldest first
        const std::int16_t* steps = &steps_[next_];
        std::uint32_t dot = 0;
        for (std::size_t i = 0; i < order_; ++i) dot += static_cast<std::uint32_t>(past[i] * weights_[i]);
        const std::int32_t value = static_cast<std::int32_t>(
            static_cast<std::uint32_t>(coded) +
            static_cast<std::uint32_t>(
                (static_cast<std::int64_t>(static_cast<std::int32_t>(dot)) + (1 << (shift_ - 1))) >> shift_));
        for (std::size_t i = 0; i < order_ && coded != 0; ++i)
            weights_[i] = static_cast<std::int16_t>(coded > 0 ? weights_[i] - steps[i] : weights_[i] + steps[i]);

        const std::int64_t magnitude = value < 0 ? -static_cast<std::int64_t>(value) : value;
        const int step = magnitude > 3 * average_ ? 32 : magnitude > average_ * 4 / 3 ? 16 : magnitude ? 8 : 0;
        average_ += (magnitude - average_) / 16;
        Push(steps_, static_cast<std::int16_t>(value > 0 ? -step : step));
        Push(history_, static_cast<std::int16_t>(std::clamp<std::int32_t>(value, -32768, 32767)));
        next_ = (next_ + 1) % order_;
        for (std::size_t back : {1u, 2u, 8u}) {
            // `back` steps before the newest, which now sits just before next_.
            const std::size_t at = (next_ + order_ - 1 - back) % order_;
            steps_[at] = static_cast<std::int16_t>(steps_[at] >> 1);
            steps_[at + order_] = steps_[at];
        }
        return value;
    }

private:
    // Writes the newest value in place of the oldest, at next_ and next_ + order.
    void Push(std::vector<std::int16_t>& ring, std::int16_t value)
    {
        ring[next_] = value;
        ring[next_ + order_] = value;
    }

    std::size_t order_;
    int shift_;
    std::vector<std::int16_t> weights_;
    std::vector<std::int16_t> history_;
    std::vector<std::int16_t> steps_;
    std::size_t next_ = 0;  // the oldest value's slot
    std::int64_t average_ = 0;
};

// Undoes the first-order filters and the adaptive predictor of one channel.
class InversePredictor {
public:
    std::int32_t Restore(std::int32_t residual, std::int32_t cross)
    {
        auto u = [](std::int32_t v) { return static_cast<std::uint32_t>(v); };
        auto s = [](std::uint32_t v) { return static_cast<std::int32_t>(v); };
        const std::int32_t b = s(u(cross) - u(s(u(lastCross_) * 31u) >> 5));
        lastCross_ = cross;
        const std::int32_t e = s(u(b) - u(b_[0]));
        std::int32_t bTerms[5] = {b, e, e_[0], e_[1], e_[2]};
        std::int32_t aTerms[4] = {a_[0], s(u(a_[0]) - u(a_[1])), s(u(a_[1]) - u(a_[2])), s(u(a_[2]) - u(a_[3]))};
        std::uint32_t predictionA = 0, predictionB = 0;
        for (int i = 0; i < 4; ++i) predictionA += u(aTerms[i]) * u(wa_[i]);
        for (int i = 0; i < 5; ++i) predictionB += u(bTerms[i]) * u(wb_[i]);
        const std::int32_t a = s(u(residual) + u(s(predictionA + u(s(predictionB) >> 1)) >> 10));
        const int direction = (residual > 0) - (residual < 0);
        auto sign = [](std::int32_t v) { return (v > 0) - (v < 0); };
        for (int i = 0; i < 4; ++i) wa_[i] += sign(aTerms[i]) * direction;
        for (int i = 0; i < 5; ++i) wb_[i] += sign(bTerms[i]) * direction;
        e_[2] = e_[1];
        e_[1] = e_[0];
        e_[0] = e;
        b_[0] = b;
        for (int i = 3; i > 0; --i) a_[i] = a_[i - 1];
        a_[0] = a;
        const std::int32_t value = s(u(a) + u(s(u(last_) * 31u) >> 5));
        last_ = value;
        return value;
    }

private:
    std::int32_t last_ = 0, lastCross_ = 0;
    std::int32_t a_[4] = {};  // a(n-1) .. a(n-4)
    std::int32_t b_[1] = {};  // b(n-1)
    std::int32_t e_[3] = {};  // the last three differences of b
    std::int32_t wa_[4] = {360, 317, -109, 98};
    std::int32_t wb_[5] = {};
};

struct Channel {
    explicit Channel(int level)
    {
        // Decoders undo the filters in the reverse of the order the
        // compressor applied them.
        if (level == 2000) filters.emplace_back(16, 11);
        if (level == 3000) filters.emplace_back(64, 11);
        if (level == 4000) {
            filters.emplace_back(32, 10);
            filters.emplace_back(256, 13);
        }
    }
    std::int32_t Restore(std::int32_t coded, std::int32_t cross)
    {
        for (auto& filter : filters) coded = filter.Restore(coded);
        return predictor.Restore(coded, cross);
    }
    std::vector<InverseFilter> filters;
    InversePredictor predictor;
    std::uint32_t kSum = ape::kInitialKSum;
};

void PutSample(std::vector<std::uint8_t>& out, std::int32_t value)
{
    Check(value >= -32768 && value <= 32767, "a decoded sample outside 16 bits");
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
    out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
}

}  // namespace

StrictApeResult DecodeApeStrictly(const std::filesystem::path& path, bool keepPcm)
{
    StrictApeResult result;
    std::string where = "the descriptor";
    try {
        std::ifstream file(path, std::ios::binary);
        Check(file.good(), "cannot open the file");
        std::array<std::uint8_t, 76> start{};
        file.read(reinterpret_cast<char*>(start.data()), start.size());
        Check(file.good(), "shorter than a descriptor and header");
        Check(std::memcmp(start.data(), "MAC ", 4) == 0, "no \"MAC \" signature");
        Check(U16(&start[4]) == 3990 && U16(&start[6]) == 0, "not version 3990");
        Check(U32(&start[8]) == 52 && U32(&start[12]) == 24, "unexpected descriptor or header size");
        const std::uint32_t seekBytes = U32(&start[16]);
        Check(seekBytes % 4 == 0, "a seek table of a partial entry");
        Check(U32(&start[20]) == 0 && U32(&start[32]) == 0, "stored WAV header or terminating data");
        result.frameBytes = U32(&start[24]) | std::uint64_t{U32(&start[28])} << 32;
        Check(result.frameBytes % 4 == 0, "a frame area of partial words");
        const std::uint8_t* header = &start[52];
        result.level = static_cast<int>(U16(header));
        Check(result.level >= 1000 && result.level <= 4000 && result.level % 1000 == 0, "unknown level");
        Check(U16(header + 2) == 32, "format flags other than \"create WAV header\"");
        const std::uint32_t blocksPerFrame = U32(header + 4);
        Check(blocksPerFrame == (result.level == 4000 ? 4 * 73728u : 73728u), "wrong blocks per frame");
        const std::uint32_t finalBlocks = U32(header + 8);
        result.frames = U32(header + 12);
        Check(U16(header + 16) == 16, "not 16-bit");
        result.channels = static_cast<int>(U16(header + 18));
        Check(result.channels == 1 || result.channels == 2, "neither mono nor stereo");
        Check(result.frames == 0 ? finalBlocks == 0 : finalBlocks >= 1 && finalBlocks <= blocksPerFrame,
              "final frame blocks out of range");
        result.seekEntries = seekBytes / 4;
        Check(result.frames <= result.seekEntries, "more frames than seek entries");

        std::vector<std::uint8_t> table(seekBytes);
        file.read(reinterpret_cast<char*>(table.data()), static_cast<std::streamsize>(seekBytes));
        Check(file.good(), "the file ends inside the seek table");
        const std::uint64_t first = 76 + std::uint64_t{seekBytes};
        std::vector<std::uint64_t> starts;
        for (std::uint32_t i = 0; i < result.seekEntries; ++i) {
            const std::uint32_t entry = U32(&table[i * 4]);
            if (i < result.frames) {
                Check(entry >= first, "a seek entry before the frame area");
                starts.push_back(entry - first);
            } else {
                Check(entry == 0, "a used entry after the last frame");
            }
        }
        if (!starts.empty()) Check(starts[0] == 0, "the first seek entry is not the frame area's start");

        // The MD5 covers the frame area as stored, the header and the seek table.
        Digest stored;
        {
            std::vector<char> buffer(1 << 20);
            for (std::uint64_t left = result.frameBytes; left > 0;) {
                const auto take = static_cast<std::streamsize>(std::min<std::uint64_t>(left, buffer.size()));
                file.read(buffer.data(), take);
                Check(file.good(), "the file ends inside the frame area");
                stored.Add(buffer.data(), static_cast<std::size_t>(take));
                left -= static_cast<std::uint64_t>(take);
            }
            stored.Add(header, 24);
            stored.Add(table.data(), table.size());
            Check(stored.Take() == std::to_array(*reinterpret_cast<const std::uint8_t(*)[16]>(&start[36])),
                  "MD5 mismatch");
        }

        StreamReader in(file, first, result.frameBytes);
        Digest pcmDigest;
        std::vector<std::uint8_t> pcm;
        for (std::uint32_t frame = 0; frame < result.frames; ++frame) {
            where = "frame " + std::to_string(frame);
            Check(in.Position() == starts[frame], "the frame does not start at its seek entry");
            std::uint32_t storedCrc = 0;
            for (int i = 0; i < 4; ++i) storedCrc = storedCrc << 8 | in.Next();
            Check((storedCrc & 0x80000000u) == 0, "special codes");
            const std::uint32_t blocks = frame + 1 == result.frames ? finalBlocks : blocksPerFrame;
            RangeDecoder coder(in);
            coder.Start();
            Channel x(result.level), y(result.level);
            pcm.clear();
            std::int32_t lastMid = 0;
            for (std::uint32_t i = 0; i < blocks; ++i) {
                if (result.channels == 1) {
                    PutSample(pcm, x.Restore(DecodeValue(coder, x.kSum), 0));
                    continue;
                }
                const std::int32_t sideCoded = DecodeValue(coder, y.kSum);
                const std::int32_t midCoded = DecodeValue(coder, x.kSum);
                const std::int32_t side = y.Restore(sideCoded, lastMid);
                const std::int32_t mid = x.Restore(midCoded, side);
                lastMid = mid;
                const std::int32_t left = mid - side / 2;
                PutSample(pcm, left);
                PutSample(pcm, left + side);
            }
            coder.Normalize();  // the decoder's last shifts take in the flush bytes
            const std::uint64_t end = frame + 1 < result.frames ? starts[frame + 1] : in.Position();
            if (in.Position() != end)
                throw Corrupt("the coded data ends at " + std::to_string(in.Position()) +
                              " but the next frame starts at " + std::to_string(end));
            const auto crc = static_cast<std::uint32_t>(::crc32_z(0, pcm.data(), pcm.size())) >> 1;
            Check(crc == storedCrc, "CRC mismatch");
            pcmDigest.Add(pcm.data(), pcm.size());
            if (keepPcm) result.pcm.append(pcm.begin(), pcm.end());
            result.blocks += blocks;
        }
        where = "the frame area's end";
        Check(result.frameBytes == (in.Position() / 4 + 1) * 4, "the frame area is not one word past the last byte");
        const std::array<unsigned char, 16> digest = pcmDigest.Take();
        result.pcmMd5 = Hex(digest.data(), digest.size());
    } catch (const std::exception& e) {
        result.error = where + ": " + e.what();
    }
    return result;
}

}  // namespace tesslow::test
