#include "ui/PromptWrapper.h"

#include <doctest/doctest.h>

TEST_CASE("A prompt breaks between words, a word too wide at any character, the middle gives way")
{
    // Every character is one unit wide here, a line ten units, and the screen holds five lines.
    const auto oneEach = [](std::string_view) {
        return 1;
    };
    const struct
    {
        std::string name;
        std::string prompt;
        std::string shown;
    } rows[] = {
        {"fits", "Exit now?", "Exit now?"},
        {"between words", "Are you sure you wish", "Are you\nsure you\nwish"},
        {"line breaks kept", "Error\n\nFile", "Error\n\nFile"},
        {"directory without a blank, after its separators", "Dir: C:\\WESTWOOD\\RA\\",
         "Dir:\nC:\\\nWESTWOOD\\\nRA\\"},
        {"characters of several bytes stay whole", "\xC3\xBC\xC3\xBC\xE2\x82\xAC\xF0\x9F\x8E\xAE",
         "\xC3\xBC\xC3\xBC\xE2\x82\xAC\xF0\x9F\x8E\xAE"},
        {"start and end in view", "C:\\" + std::string(60, 'D') + "\\END\\",
         "C:\\DDDDDDD\nDDDDDDDDDD\n" + PromptWrapper::Ellipsis + "\nDDDDDDDDDD\nDDD\\END\\"},
    };
    for (const auto &row : rows) {
        CAPTURE(row.name);
        CHECK(PromptWrapper(oneEach, 10, 5).wrap(row.prompt) == row.shown);
    }
}
