#include "Sha256.h"

#include <algorithm>
#include <cstring>

#if (defined(__x86_64__) || defined(__i386__)) && (defined(__GNUC__) || defined(__clang__))
#define BEXOM_SHA_EXTENSIONS 1
#include <cpuid.h>
#include <immintrin.h>
#endif

namespace {

constexpr std::size_t BlockSize = 64;

constexpr std::array<std::uint32_t, 8> InitialState = {
    0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a, 0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};

alignas(16) constexpr std::uint32_t RoundConstants[64] = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2,
};

constexpr std::uint32_t rotateRight(std::uint32_t value, int bits)
{
    return (value >> bits) | (value << (32 - bits));
}

std::uint32_t loadBigEndian(const std::uint8_t *bytes)
{
    return std::uint32_t(bytes[0]) << 24 | std::uint32_t(bytes[1]) << 16 |
           std::uint32_t(bytes[2]) << 8 | std::uint32_t(bytes[3]);
}

void compressPortable(std::uint32_t *state, const std::uint8_t *blocks, std::size_t count)
{
    for (; count > 0; --count, blocks += BlockSize) {
        std::uint32_t schedule[64];
        for (int i = 0; i < 16; ++i)
            schedule[i] = loadBigEndian(blocks + 4 * i);
        for (int i = 16; i < 64; ++i) {
            const std::uint32_t s0 = rotateRight(schedule[i - 15], 7) ^
                                     rotateRight(schedule[i - 15], 18) ^ (schedule[i - 15] >> 3);
            const std::uint32_t s1 = rotateRight(schedule[i - 2], 17) ^
                                     rotateRight(schedule[i - 2], 19) ^ (schedule[i - 2] >> 10);
            schedule[i] = schedule[i - 16] + s0 + schedule[i - 7] + s1;
        }
        std::uint32_t a = state[0], b = state[1], c = state[2], d = state[3];
        std::uint32_t e = state[4], f = state[5], g = state[6], h = state[7];
        for (int i = 0; i < 64; ++i) {
            const std::uint32_t s1 = rotateRight(e, 6) ^ rotateRight(e, 11) ^ rotateRight(e, 25);
            const std::uint32_t choice = (e & f) ^ (~e & g);
            const std::uint32_t t1 = h + s1 + choice + RoundConstants[i] + schedule[i];
            const std::uint32_t s0 = rotateRight(a, 2) ^ rotateRight(a, 13) ^ rotateRight(a, 22);
            const std::uint32_t majority = (a & b) ^ (a & c) ^ (b & c);
            h = g;
            g = f;
            f = e;
            e = d + t1;
            d = c;
            c = b;
            b = a;
            a = t1 + s0 + majority;
        }
        state[0] += a;
        state[1] += b;
        state[2] += c;
        state[3] += d;
        state[4] += e;
        state[5] += f;
        state[6] += g;
        state[7] += h;
    }
}

#ifdef BEXOM_SHA_EXTENSIONS

bool processorHasShaExtensions()
{
    unsigned int eax = 0, ebx = 0, ecx = 0, edx = 0;
    if (__get_cpuid_max(0, nullptr) < 7)
        return false;
    __cpuid_count(7, 0, eax, ebx, ecx, edx);
    const bool sha = (ebx >> 29) & 1;
    __cpuid(1, eax, ebx, ecx, edx);
    const bool ssse3 = (ecx >> 9) & 1;
    const bool sse41 = (ecx >> 19) & 1;
    return sha && ssse3 && sse41;
}

// The state of one message in the instructions' order, ABEF and CDGH, and the ring of four
// registers that holds the message schedule while it is extended, four words at a time.
struct ShaLane
{
    __m128i abef;
    __m128i cdgh;
    __m128i words[4];
};

__attribute__((target("sha,sse4.1,ssse3"))) ShaLane laneOf(const std::uint32_t *state)
{
    const __m128i dcba = _mm_loadu_si128(reinterpret_cast<const __m128i *>(state));
    const __m128i hgfe = _mm_loadu_si128(reinterpret_cast<const __m128i *>(state + 4));
    const __m128i cdab = _mm_shuffle_epi32(dcba, 0xB1);
    const __m128i efgh = _mm_shuffle_epi32(hgfe, 0x1B);
    return {_mm_alignr_epi8(cdab, efgh, 8), _mm_blend_epi16(efgh, cdab, 0xF0), {}};
}

__attribute__((target("sha,sse4.1,ssse3"))) void storeLane(const ShaLane &lane,
                                                           std::uint32_t *state)
{
    const __m128i feba = _mm_shuffle_epi32(lane.abef, 0x1B);
    const __m128i dchg = _mm_shuffle_epi32(lane.cdgh, 0xB1);
    _mm_storeu_si128(reinterpret_cast<__m128i *>(state), _mm_blend_epi16(feba, dchg, 0xF0));
    _mm_storeu_si128(reinterpret_cast<__m128i *>(state + 4), _mm_alignr_epi8(dchg, feba, 8));
}

// Four rounds of the block, two per instruction, and the next four words of its schedule.
__attribute__((target("sha,sse4.1,ssse3"), always_inline)) inline void
fourRounds(ShaLane &lane, const std::uint8_t *block, int group)
{
    const __m128i byteSwap = _mm_set_epi64x(0x0c0d0e0f08090a0bULL, 0x0405060700010203ULL);
    __m128i &current = lane.words[group % 4];
    __m128i &next = lane.words[(group + 1) % 4];
    __m128i &previous = lane.words[(group + 3) % 4];
    if (group < 4)
        current = _mm_shuffle_epi8(
            _mm_loadu_si128(reinterpret_cast<const __m128i *>(block + 16 * group)), byteSwap);
    __m128i message = _mm_add_epi32(
        current, _mm_load_si128(reinterpret_cast<const __m128i *>(RoundConstants) + group));
    lane.cdgh = _mm_sha256rnds2_epu32(lane.cdgh, lane.abef, message);
    if (group >= 3 && group < 15)
        next = _mm_sha256msg2_epu32(_mm_add_epi32(next, _mm_alignr_epi8(current, previous, 4)),
                                    current);
    message = _mm_shuffle_epi32(message, 0x0E);
    lane.abef = _mm_sha256rnds2_epu32(lane.abef, lane.cdgh, message);
    if (group >= 1 && group < 13)
        previous = _mm_sha256msg1_epu32(previous, current);
}

__attribute__((target("sha,sse4.1,ssse3"), always_inline)) inline void
endBlock(ShaLane &lane, const ShaLane &before)
{
    lane.abef = _mm_add_epi32(lane.abef, before.abef);
    lane.cdgh = _mm_add_epi32(lane.cdgh, before.cdgh);
}

// Unrolled, the ring of registers stays in registers: about a third faster.
__attribute__((target("sha,sse4.1,ssse3"))) void
compressShaExtensions(std::uint32_t *state, const std::uint8_t *blocks, std::size_t count)
{
    ShaLane lane = laneOf(state);
    for (; count > 0; --count, blocks += BlockSize) {
        const ShaLane before = lane;
#pragma GCC unroll 16
        for (int group = 0; group < 16; ++group)
            fourRounds(lane, blocks, group);
        endBlock(lane, before);
    }
    storeLane(lane, state);
}

// Each round waits for the one before it, and the processor could start more: the rounds of two
// messages interleaved run about half again as fast as the same rounds one message after the other.
__attribute__((target("sha,sse4.1,ssse3"))) void
compressTwoShaExtensions(std::uint32_t *firstState, const std::uint8_t *firstBlocks,
                         std::uint32_t *secondState, const std::uint8_t *secondBlocks,
                         std::size_t count)
{
    ShaLane first = laneOf(firstState);
    ShaLane second = laneOf(secondState);
    for (; count > 0; --count, firstBlocks += BlockSize, secondBlocks += BlockSize) {
        const ShaLane firstBefore = first;
        const ShaLane secondBefore = second;
#pragma GCC unroll 16
        for (int group = 0; group < 16; ++group) {
            fourRounds(first, firstBlocks, group);
            fourRounds(second, secondBlocks, group);
        }
        endBlock(first, firstBefore);
        endBlock(second, secondBefore);
    }
    storeLane(first, firstState);
    storeLane(second, secondState);
}

#endif

} // namespace

Sha256::Engine Sha256::fastestEngine()
{
    static const Engine fastest =
        isAvailable(Engine::ShaExtensions) ? Engine::ShaExtensions : Engine::Portable;
    return fastest;
}

bool Sha256::isAvailable(Engine engine)
{
#ifdef BEXOM_SHA_EXTENSIONS
    if (engine == Engine::ShaExtensions)
        return processorHasShaExtensions();
#else
    if (engine == Engine::ShaExtensions)
        return false;
#endif
    return true;
}

Sha256::Sha256(Engine engine) : m_compress(compressPortable), m_state(InitialState)
{
#ifdef BEXOM_SHA_EXTENSIONS
    if (engine == Engine::ShaExtensions)
        m_compress = compressShaExtensions;
#else
    (void)engine;
#endif
}

void Sha256::update(const char *data, std::size_t size)
{
    // An empty piece may come without any bytes behind it, and memcpy takes no null pointer.
    if (size == 0)
        return;
    const auto *bytes = reinterpret_cast<const std::uint8_t *>(data);
    m_totalSize += size;
    if (m_pendingSize > 0) {
        const std::size_t taken = std::min(size, BlockSize - m_pendingSize);
        std::memcpy(m_pending.data() + m_pendingSize, bytes, taken);
        m_pendingSize += taken;
        bytes += taken;
        size -= taken;
        if (m_pendingSize < BlockSize)
            return;
        m_compress(m_state.data(), m_pending.data(), 1);
        m_pendingSize = 0;
    }
    m_compress(m_state.data(), bytes, size / BlockSize);
    m_pendingSize = size % BlockSize;
    std::memcpy(m_pending.data(), bytes + size - m_pendingSize, m_pendingSize);
}

// Whole blocks of both go through the two-message engine; whatever is left over, or a hash with
// bytes pending, the ordinary way.
void Sha256::updateTogether(Sha256 &first, std::string_view firstBytes, Sha256 &second,
                            std::string_view secondBytes)
{
#ifdef BEXOM_SHA_EXTENSIONS
    if (first.m_compress == compressShaExtensions && second.m_compress == compressShaExtensions &&
        first.m_pendingSize == 0 && second.m_pendingSize == 0) {
        const std::size_t blocks = std::min(firstBytes.size(), secondBytes.size()) / BlockSize;
        compressTwoShaExtensions(
            first.m_state.data(), reinterpret_cast<const std::uint8_t *>(firstBytes.data()),
            second.m_state.data(), reinterpret_cast<const std::uint8_t *>(secondBytes.data()),
            blocks);
        first.m_totalSize += blocks * BlockSize;
        second.m_totalSize += blocks * BlockSize;
        firstBytes.remove_prefix(blocks * BlockSize);
        secondBytes.remove_prefix(blocks * BlockSize);
    }
#endif
    first.update(firstBytes);
    second.update(secondBytes);
}

Sha256::Digest Sha256::finish()
{
    const std::uint64_t bitCount = m_totalSize * 8;
    // A one bit, zeros up to 56 bytes into a block, then the length in bits, big-endian.
    std::array<char, BlockSize + 8> padding{};
    padding[0] = char(0x80);
    const std::size_t zeros = (BlockSize + 56 - (m_pendingSize + 1) % BlockSize) % BlockSize;
    std::size_t length = 1 + zeros;
    for (int shift = 56; shift >= 0; shift -= 8)
        padding[length++] = char(bitCount >> shift);
    update(padding.data(), length);
    Digest digest;
    for (std::size_t i = 0; i < m_state.size(); ++i)
        for (int byte = 0; byte < 4; ++byte)
            digest[4 * i + byte] = std::uint8_t(m_state[i] >> (24 - 8 * byte));
    return digest;
}

std::string Sha256::bytesOf(const Digest &digest)
{
    return std::string(reinterpret_cast<const char *>(digest.data()), digest.size());
}

std::string Sha256::of(std::string_view bytes, Engine engine)
{
    Sha256 hash(engine);
    hash.update(bytes);
    return bytesOf(hash.finish());
}
