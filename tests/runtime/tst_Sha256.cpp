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
    const std::string millionADigest =
        "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0";
    const std::string twoBlocks = "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq";
    const Row rows[] = {
        {"empty", "", 1, "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"abc", "abc", 1, "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {"448 bits", twoBlocks, 7,
         "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        // Either side of the lengths at which the padding needs a second block.
        {"55 a", std::string(55, 'a'), 13,
         "9f4390f8d30c2dd92ec9f095b65e2b9ae9b0a925a5258e241c9f1e910f734318"},
        {"56 a", std::string(56, 'a'), 56,
         "b35439a4ac6f0948b6d6f9e3c6af0f5f590ce20f1bde7090ef7970686ec6738a"},
        {"64 a", std::string(64, 'a'), 63,
         "ffe054fe7ae0cb6dc65c3af9b61d5209f439851db43d0ba5997337df154668eb"},
        {"119 a", std::string(119, 'a'), 65,
         "31eba51c313a5c08226adf18d4a359cfdfd8d2e816b13f4af952f7ea6584dcfb"},
        {"a million a, whole", millionA, millionA.size(), millionADigest},
        {"a million a, in odd pieces", millionA, 4099, millionADigest},
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
            // Side by side with another message, each hash keeps to its own.
            Sha256 together(engine), beside(engine);
            Sha256::updateTogether(together, row.message, beside, millionA);
            CHECK(Text::toHex(Sha256::bytesOf(together.finish())) == row.digest);
            CHECK(Text::toHex(Sha256::bytesOf(beside.finish())) == millionADigest);
        }
    }
}
