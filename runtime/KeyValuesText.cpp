#include "KeyValuesText.h"

#include "Text.h"

#include <optional>

namespace {

bool isBlank(char character)
{
    return character == ' ' || character == '\t' || character == '\r' || character == '\n' ||
           character == '\v' || character == '\f';
}

class Tokenizer final
{
public:
    enum class Kind { Text, Open, Close, End };
    struct Token
    {
        Kind kind;
        std::string text;
    };

    explicit Tokenizer(std::string_view text) : m_rest(text) {}

    Token next()
    {
        skipBlanksAndComments();
        if (m_rest.empty())
            return {Kind::End, {}};
        const char first = m_rest.front();
        if (first == '{' || first == '}') {
            m_rest.remove_prefix(1);
            return {first == '{' ? Kind::Open : Kind::Close, {}};
        }
        if (first == '"') {
            m_rest.remove_prefix(1);
            std::optional<std::string> quoted = takeQuoted();
            if (!quoted)
                return {Kind::End, {}};
            return {Kind::Text, std::move(*quoted)};
        }
        return {Kind::Text, takeBare()};
    }

    // A condition such as [$WIN32] right after a token, on the same line.
    void skipCondition()
    {
        std::size_t index = 0;
        while (index < m_rest.size() && (m_rest[index] == ' ' || m_rest[index] == '\t'))
            ++index;
        if (index == m_rest.size() || m_rest[index] != '[')
            return;
        const std::size_t end = m_rest.find_first_of("]\n", index);
        m_rest.remove_prefix(end == std::string_view::npos ? m_rest.size() : end + 1);
    }

private:
    void skipBlanksAndComments()
    {
        while (!m_rest.empty()) {
            if (isBlank(m_rest.front())) {
                m_rest.remove_prefix(1);
            } else if (m_rest.starts_with("//")) {
                const std::size_t end = m_rest.find('\n');
                m_rest.remove_prefix(end == std::string_view::npos ? m_rest.size() : end + 1);
            } else {
                return;
            }
        }
    }

    // Steam writes a backslash as two and a quote as \"; other escapes stand for what C means.
    std::optional<std::string> takeQuoted()
    {
        std::string text;
        while (!m_rest.empty()) {
            const char character = m_rest.front();
            m_rest.remove_prefix(1);
            if (character == '"')
                return text;
            if (character != '\\' || m_rest.empty()) {
                text += character;
                continue;
            }
            const char escaped = m_rest.front();
            m_rest.remove_prefix(1);
            text += escaped == 'n' ? '\n' : escaped == 't' ? '\t' : escaped;
        }
        // Cut short: the rest of the file is one unfinished text, which names nothing.
        return std::nullopt;
    }

    std::string takeBare()
    {
        std::size_t length = 0;
        while (length < m_rest.size() && !isBlank(m_rest[length]) && m_rest[length] != '"' &&
               m_rest[length] != '{' && m_rest[length] != '}')
            ++length;
        std::string text(m_rest.substr(0, length));
        m_rest.remove_prefix(length);
        return text;
    }

    std::string_view m_rest;
};

} // namespace

namespace KeyValuesText {

std::vector<std::string> valuesAt(std::string_view text, const std::vector<std::string> &path)
{
    std::vector<std::string> folded;
    for (const std::string &key : path)
        folded.push_back(Text::toLowerAscii(key));
    const auto matches = [&](std::size_t depth, const std::string &key) {
        return depth < folded.size() &&
               (folded[depth] == AnyKey || Text::toLowerAscii(key) == folded[depth]);
    };
    std::vector<std::string> values;
    Tokenizer tokens(text);
    // For each open block, whether it and the blocks around it lie on the path; each key is
    // compared once, when its block opens, so that deep nesting costs no more than its text.
    std::vector<bool> onPath;
    std::optional<std::string> key;
    for (Tokenizer::Token token = tokens.next(); token.kind != Tokenizer::Kind::End;
         token = tokens.next()) {
        const bool insidePath = onPath.empty() || onPath.back();
        switch (token.kind) {
        case Tokenizer::Kind::Open:
            // A block without a key is kept apart from every path.
            onPath.push_back(key && insidePath && matches(onPath.size(), *key));
            key.reset();
            tokens.skipCondition();
            break;
        case Tokenizer::Kind::Close:
            // A stray closing brace at the top closes nothing.
            if (!onPath.empty())
                onPath.pop_back();
            key.reset();
            break;
        default:
            if (!key) {
                key = std::move(token.text);
                break;
            }
            tokens.skipCondition();
            if (insidePath && onPath.size() + 1 == folded.size() && matches(onPath.size(), *key))
                values.push_back(std::move(token.text));
            key.reset();
        }
    }
    return values;
}

} // namespace KeyValuesText
