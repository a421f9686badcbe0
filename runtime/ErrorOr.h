#pragma once

#include "RuntimeError.h"

#include <optional>
#include <utility>
#include <variant>

// The result of an operation that can fail: a value, or the error that explains why there is
// none. Checked with isError() and unwrapped with TRY() in the callers.
template <typename T> class [[nodiscard]] ErrorOr final
{
public:
    ErrorOr(T value) : m_state(std::move(value)) {}
    ErrorOr(RuntimeError error) : m_state(std::move(error)) {}

    bool isError() const { return std::holds_alternative<RuntimeError>(m_state); }
    const RuntimeError &error() const { return std::get<RuntimeError>(m_state); }
    RuntimeError releaseError() { return std::get<RuntimeError>(std::move(m_state)); }
    const T &value() const { return std::get<T>(m_state); }
    T releaseValue() { return std::get<T>(std::move(m_state)); }

private:
    std::variant<T, RuntimeError> m_state;
};

template <> class [[nodiscard]] ErrorOr<void> final
{
public:
    ErrorOr() = default;
    ErrorOr(RuntimeError error) : m_error(std::move(error)) {}

    bool isError() const { return m_error.has_value(); }
    const RuntimeError &error() const { return *m_error; }
    RuntimeError releaseError() { return std::move(*m_error); }
    void releaseValue() {}

private:
    std::optional<RuntimeError> m_error;
};

// Evaluates an ErrorOr expression; returns its error from the enclosing function, or yields its
// value. A GNU statement expression, as GCC and Clang both provide.
#define TRY(expression)                                                                            \
    ({                                                                                             \
        auto _tryResult = (expression);                                                            \
        if (_tryResult.isError())                                                                  \
            return _tryResult.releaseError();                                                      \
        _tryResult.releaseValue();                                                                 \
    })
