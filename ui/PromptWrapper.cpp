#include "PromptWrapper.h"

#include <algorithm>

namespace {

// The length of the UTF-8 sequence that starts with this byte; a stray byte stands alone.
std::size_t sequenceLength(unsigned char lead)
{
    if (lead >= 0xF0 && lead <= 0xF4)
        return 4;
    if (lead >= 0xE0)
        return 3;
    if (lead >= 0xC2 && lead < 0xE0)
        return 2;
    return 1;
}

template <typename Visitor> void forEachCharacter(std::string_view text, Visitor visit)
{
    for (std::size_t index = 0; index < text.size();) {
        const std::size_t length =
            std::min(sequenceLength(static_cast<unsigned char>(text[index])), text.size() - index);
        visit(text.substr(index, length));
        index += length;
    }
}

} // namespace

PromptWrapper::PromptWrapper(CharacterWidth characterWidth, int lineWidth, int maxLines)
    : m_characterWidth(std::move(characterWidth)), m_lineWidth(std::max(lineWidth, 1)),
      m_maxLines(std::max(maxLines, 3))
{}

std::string PromptWrapper::wrap(std::string_view prompt)
{
    m_lines.assign(1, {});
    m_currentWidth = 0;
    std::size_t start = 0;
    while (start <= prompt.size()) {
        const std::size_t end = std::min(prompt.find_first_of(" \n", start), prompt.size());
        addWord(prompt.substr(start, end - start));
        if (end < prompt.size() && prompt[end] == '\n')
            breakLine();
        start = end + 1;
    }
    if (m_lines.size() > static_cast<std::size_t>(m_maxLines)) {
        const std::size_t kept = static_cast<std::size_t>(m_maxLines - 1) / 2;
        m_lines.erase(m_lines.begin() + kept, m_lines.end() - kept);
        m_lines.insert(m_lines.begin() + kept, Ellipsis);
    }
    std::string wrapped = m_lines.front();
    for (auto line = m_lines.begin() + 1; line != m_lines.end(); ++line)
        wrapped += '\n' + *line;
    return wrapped;
}

int PromptWrapper::widthOf(std::string_view text)
{
    int width = 0;
    forEachCharacter(text, [&](std::string_view character) { width += characterWidth(character); });
    return width;
}

int PromptWrapper::characterWidth(std::string_view character)
{
    auto [known, added] = m_widths.try_emplace(std::string(character), 0);
    if (added)
        known->second = m_characterWidth(character);
    return known->second;
}

void PromptWrapper::addWord(std::string_view word)
{
    const bool lineEmpty = m_lines.back().empty();
    const int space = lineEmpty ? 0 : widthOf(" ");
    const int wordWidth = widthOf(word);
    if (m_currentWidth + space + wordWidth <= m_lineWidth) {
        if (!lineEmpty)
            m_lines.back() += ' ';
        m_lines.back() += word;
        m_currentWidth += space + wordWidth;
        return;
    }
    if (!lineEmpty)
        breakLine();
    // A path breaks after a separator, so that each of its folders' names stays whole; only a
    // name wider than a line breaks wherever its line is full.
    for (std::size_t start = 0; start < word.size();) {
        const std::size_t separator = word.find_first_of("\\/", start);
        const std::size_t end = separator == word.npos ? word.size() : separator + 1;
        addPathPart(word.substr(start, end - start));
        start = end;
    }
}

void PromptWrapper::addPathPart(std::string_view part)
{
    const int partWidth = widthOf(part);
    if (partWidth <= m_lineWidth && m_currentWidth + partWidth > m_lineWidth)
        breakLine();
    if (m_currentWidth + partWidth <= m_lineWidth) {
        m_lines.back() += part;
        m_currentWidth += partWidth;
        return;
    }
    forEachCharacter(part, [&](std::string_view character) {
        const int width = characterWidth(character);
        if (m_currentWidth + width > m_lineWidth && !m_lines.back().empty())
            breakLine();
        m_lines.back() += character;
        m_currentWidth += width;
    });
}

void PromptWrapper::breakLine()
{
    m_lines.emplace_back();
    m_currentWidth = 0;
}
