#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// SHA-256 over a stream of bytes fed in pieces of any size. Processors with the x86 SHA
// extensions hash several times faster; the engine is chosen once, when the hash is made.
class Sha256 final
{
public:
    enum class Engine { Portable, ShaExtensions };
    using Digest = std::array<std::uint8_t, 32>;

    // The fastest engine this processor offers.
    static Engine fastestEngine();
    static bool isAvailable(Engine engine);

    Sha256() : Sha256(fastestEngine()) {}
    // The engine must be available.
    explicit Sha256(Engine engine);

    void update(const char *data, std::size_t size);
    void update(std::string_view bytes) { update(bytes.data(), bytes.size()); }
    // Feeds each hash its bytes; with the SHA extensions the two are hashed side by side, about
    // half again as fast as one after the other.
    static void updateTogether(Sha256 &first, std::string_view firstBytes, Sha256 &second,
                               std::string_view secondBytes);
    // Ends the stream; the hash takes no more bytes afterwards.
    Digest finish();

    // The 32 bytes of a digest, as the engine's byte strings hold them.
    static std::string bytesOf(const Digest &digest);
    // The hash of the bytes at once, as a byte string.
    static std::string of(std::string_view bytes, Engine engine = fastestEngine());

private:
    using Compress = void (*)(std::uint32_t *state, const std::uint8_t *blocks, std::size_t count);

    Compress m_compress;
    std::array<std::uint32_t, 8> m_state;
    std::array<std::uint8_t, 64> m_pending{};
    std::size_t m_pendingSize = 0;
    std::uint64_t m_totalSize = 0;
};
