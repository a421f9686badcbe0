#include "runtime/Sha256.h"

#include <QTest>

Q_DECLARE_METATYPE(Sha256::Engine)

class Sha256Test : public QObject
{
    Q_OBJECT

private slots:
    void standardVectorsGiveTheirDigest_data();
    void standardVectorsGiveTheirDigest();
};

void Sha256Test::standardVectorsGiveTheirDigest_data()
{
    QTest::addColumn<Sha256::Engine>("engine");
    QTest::addColumn<QByteArray>("message");
    // Fed in pieces of this size, so that blocks are split across calls.
    QTest::addColumn<int>("piece");
    QTest::addColumn<QByteArray>("digest");

    const QByteArray millionA(1000000, 'a');
    const QByteArray twoBlocks = "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq";
    for (const auto engine : {Sha256::Engine::Portable, Sha256::Engine::ShaExtensions}) {
        const char *name = engine == Sha256::Engine::Portable ? "portable" : "SHA extensions";
        const auto row = [&](const char *vector, const QByteArray &message, int piece,
                             const char *digest) {
            QTest::addRow("%s, %s", name, vector)
                << engine << message << piece << QByteArray(digest);
        };
        row("empty", "", 1, "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
        row("abc", "abc", 1, "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
        row("448 bits", twoBlocks, 7,
            "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
        row("a million a, whole", millionA, millionA.size(),
            "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
        row("a million a, in odd pieces", millionA, 4099,
            "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
    }
}

void Sha256Test::standardVectorsGiveTheirDigest()
{
    QFETCH(Sha256::Engine, engine);
    QFETCH(QByteArray, message);
    QFETCH(int, piece);
    QFETCH(QByteArray, digest);
    if (!Sha256::isAvailable(engine))
        QSKIP("This processor lacks the SHA extensions.");

    Sha256 hash(engine);
    for (qsizetype at = 0; at < message.size(); at += piece)
        hash.update(message.constData() + at, std::min<qsizetype>(piece, message.size() - at));
    const Sha256::Digest result = hash.finish();

    QCOMPARE(QByteArray(reinterpret_cast<const char *>(result.data()), result.size()).toHex(),
             digest);
}

QTEST_GUILESS_MAIN(Sha256Test)
#include "tst_Sha256.moc"
