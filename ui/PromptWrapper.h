#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// Lays out a message's prompt in lines no wider than the box allows. Lines break between words;
// a word wider than a line, such as a directory without a blank, breaks after a separator, and a
// name wider than a line wherever its line is full, so that the player sees every character of what
// they are asked to confirm. Only lines beyond what fits on the screen give way, from the middle,
// so that the start and the end of the prompt stay in view. Both front ends lay out their prompts
// here, each with its own font.
class PromptWrapper final
{
public:
    // The width of one character, given as its UTF-8 bytes, in the box's font.
    using CharacterWidth = std::function<int(std::string_view character)>;

    static inline const std::string Ellipsis = "\xE2\x80\xA6";

    PromptWrapper(CharacterWidth characterWidth, int lineWidth, int maxLines);

    // The prompt with a line break wherever a line ends.
    std::string wrap(std::string_view prompt);

private:
    int widthOf(std::string_view text);
    // Each character is measured once: a directory repeats few characters many times.
    int characterWidth(std::string_view character);
    void addWord(std::string_view word);
    void addPathPart(std::string_view part);
    void breakLine();

    CharacterWidth m_characterWidth;
    int m_lineWidth;
    int m_maxLines;
    std::unordered_map<std::string, int> m_widths;
    std::vector<std::string> m_lines;
    int m_currentWidth = 0;
};
