#pragma once

#include <QStringList>
#include <QTest>

#include <string>
#include <vector>

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

// Fails the test with the runtime's report when an operation that should succeed did not.
#define VERIFY_SUCCESS(outcome)                                                                    \
    do {                                                                                           \
        const auto verifiedResult = (outcome);                                                     \
        QVERIFY2(!verifiedResult.isError(),                                                        \
                 verifiedResult.isError() ? verifiedResult.error().report().c_str() : "");         \
    } while (false)
