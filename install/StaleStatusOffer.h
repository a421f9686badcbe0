#pragma once

#include "runtime/ErrorOr.h"
#include "runtime/RuntimeServices.h"
#include "StatusFile.h"

// A status file that says BEXOM is installed in a game folder that holds no trace of it: the
// game was wiped and installed again, or put back by hand. Neither procedure finds anything there
// to act on, so the player is offered to mark BEXOM as not installed; only a Yes changes the
// status file, and nothing else is touched.
class StaleStatusOffer final
{
public:
    explicit StaleStatusOffer(RuntimeServices &services) : m_services(services) {}

    // Whether the status was found stale and the player asked. A game folder that cannot be
    // looked at is not found stale: the procedure then tells what is wrong with it.
    ErrorOr<bool> offer(const StatusRecord &status);

private:
    ErrorOr<bool> holdsNoTrace(const std::string &gameDirectory);

    RuntimeServices &m_services;
};
