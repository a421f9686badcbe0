#include "runtime/Sha256.h"
#include "runtime/Text.h"

#include <doctest/doctest.h>

#include <algorithm>
#include <string>

TEST_CASE("standardVectorsGiveTheirDigest")
{
    struct Row
    {
        const char *vector;
        std::string message;
        // Fed in pieces of this size, so that blocks are split across calls.
        std::size_t piece;
        std::string digest;
    };
    const std::string millionA(1000000, 'a');
    const std::string twoBlocks = "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq";
    const Row rows[] = {
        {"empty", "", 1, "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"abc", "abc", 1, "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {"448 bits", twoBlocks, 7,
         "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        {"a million a, whole", millionA, millionA.size(),
         "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
        {"a million a, in odd pieces", millionA, 4099,
         "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
    };
    for (const auto engine : {Sha256::Engine::Portable, Sha256::Engine::ShaExtensions}) {
        const std::string name = engine == Sha256::Engine::Portable ? "portable" : "SHA extensions";
        if (!Sha256::isAvailable(engine)) {
            MESSAGE("Skipped " << name << ": this processor lacks the SHA extensions.");
            continue;
        }
        for (const Row &row : rows) {
            CAPTURE(name);
            CAPTURE(row.vector);
            Sha256 hash(engine);
            for (std::size_t at = 0; at < row.message.size(); at += row.piece)
                hash.update(row.message.data() + at, std::min(row.piece, row.message.size() - at));
            const Sha256::Digest result = hash.finish();

            CHECK(Text::toHex(Sha256::bytesOf(result)) == row.digest);
        }
    }
}
