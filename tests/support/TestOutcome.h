#pragma once

#include "runtime/ErrorOr.h"
#include "ui/ErrorWording.h"

#include <string>

// The runtime's report of an outcome that should have been a success; empty when it was.
template <typename T> std::string failureOf(const ErrorOr<T> &outcome)
{
    return outcome.isError() ? ErrorWording::report(outcome.error()) : std::string();
}

// What the engine knows of why an operation failed; the words for it are the dialogue's.
inline ErrorReason reasonOf(const RuntimeError &error)
{
    return error.cause().reason();
}

// Fails the test with the runtime's report when an operation that should succeed did not, in
// QtTest or doctest, whichever the test includes.
#ifdef QVERIFY2
#define BEXOM_VERIFY_EMPTY(failure) QVERIFY2(failure.empty(), failure.c_str())
#else
#include <doctest/doctest.h>
#define BEXOM_VERIFY_EMPTY(failure) REQUIRE_MESSAGE(failure.empty(), failure)
#endif
#define VERIFY_SUCCESS(outcome)                                                                    \
    do {                                                                                           \
        const std::string verifiedFailure = failureOf(outcome);                                    \
        BEXOM_VERIFY_EMPTY(verifiedFailure);                                                       \
    } while (false)
