#include "ProcessorTime.h"

#include <time.h>

std::chrono::nanoseconds processorTimeUsed()
{
    timespec used{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &used);
    return std::chrono::seconds(used.tv_sec) + std::chrono::nanoseconds(used.tv_nsec);
}
