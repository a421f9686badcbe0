#pragma once

#include <memory>

class ErrorCause;

// A cause held inside another, such as the refusal beneath the games found elsewhere. It is held
// by value: a copy copies the cause, and two compare equal when their causes do. It is never
// empty, so a move copies too; causes are small and made only when something failed.
class NestedCause final
{
public:
    NestedCause(ErrorCause cause);
    NestedCause(const NestedCause &other);
    NestedCause &operator=(const NestedCause &other);
    ~NestedCause();

    const ErrorCause &operator*() const { return *m_cause; }
    const ErrorCause *operator->() const { return m_cause.get(); }
    bool operator==(const NestedCause &other) const;

private:
    std::unique_ptr<ErrorCause> m_cause;
};
