#pragma once

#include <chrono>

// The processor time this process has used so far, all its threads and the system's work for them
// together. Unlike the clock, a machine busy with other work does not make it run faster.
std::chrono::nanoseconds processorTimeUsed();
