#pragma once

#include <cstdio>
#include <string>

// Counts what a table covered: prints each procedure's count as it is added, and the whole count
// once all the tests have run.
class PointsCovered final
{
public:
    explicit PointsCovered(const char *what) : m_what(what) {}
    ~PointsCovered() { std::printf("%d %s covered in all\n", m_total, m_what); }

    void add(const std::string &name, int points)
    {
        std::printf("%s: %d %s\n", name.c_str(), points, m_what);
        m_total += points;
    }

private:
    const char *m_what;
    int m_total = 0;
};
