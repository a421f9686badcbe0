#pragma once

#include <doctest/doctest.h>

// Fails the test with the runtime's report when an operation that should succeed did not.
#define VERIFY_SUCCESS(outcome)                                                                    \
    do {                                                                                           \
        const auto verifiedResult = (outcome);                                                     \
        REQUIRE_MESSAGE(!verifiedResult.isError(),                                                 \
                        (verifiedResult.isError() ? verifiedResult.error().report() : ""));        \
    } while (false)
