#pragma once

#include <QStringList>
#include <QTest>

#include <string>
#include <vector>

// After QtTest: its checks are the ones it uses.
#include "TestOutcome.h"

// The engine and its test support speak std::string holding UTF-8; the windows and their tests
// speak Qt. These convert where the two meet.
inline QStringList toQt(const std::vector<std::string> &lines)
{
    QStringList converted;
    for (const std::string &line : lines)
        converted.append(QString::fromStdString(line));
    return converted;
}

inline std::vector<std::string> toStd(const QStringList &lines)
{
    std::vector<std::string> converted;
    for (const QString &line : lines)
        converted.push_back(line.toStdString());
    return converted;
}
