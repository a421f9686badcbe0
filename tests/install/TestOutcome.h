#pragma once

#include <QTest>

// Fails the test with the runtime's report when an operation that should succeed did not.
#define VERIFY_SUCCESS(outcome)                                                                    \
    do {                                                                                           \
        const auto verifiedResult = (outcome);                                                     \
        QVERIFY2(!verifiedResult.isError(),                                                        \
                 verifiedResult.isError() ? qPrintable(verifiedResult.error().report()) : "");     \
    } while (false)
