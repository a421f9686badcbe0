#include "NestedCause.h"

#include "ErrorCause.h"

NestedCause::NestedCause(ErrorCause cause) : m_cause(std::make_unique<ErrorCause>(std::move(cause)))
{}

NestedCause::NestedCause(const NestedCause &other)
    : m_cause(std::make_unique<ErrorCause>(*other.m_cause))
{}

NestedCause &NestedCause::operator=(const NestedCause &other)
{
    m_cause = std::make_unique<ErrorCause>(*other.m_cause);
    return *this;
}

NestedCause::~NestedCause() = default;

bool NestedCause::operator==(const NestedCause &other) const
{
    return *m_cause == *other.m_cause;
}
