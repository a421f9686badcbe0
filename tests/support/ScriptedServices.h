#pragma once

#include "runtime/RuntimeServices.h"
#include "ScriptedMessageBox.h"

// The runtime services for a test: a file system of the test's choosing, message boxes answered
// from a script, and a busy sign that counts how often it was shown.
class ScriptedServices final : private BusyIndicator
{
public:
    ScriptedServices(FileSystem &fileSystem, ScriptedMessageBox::Answers answers = {})
        : m_messageBox(std::move(answers)), m_services{fileSystem, m_messageBox, *this}
    {}

    RuntimeServices &services() { return m_services; }
    const ScriptedMessageBox &messageBox() const { return m_messageBox; }
    // How many times the busy sign came up; every one of them has gone again.
    int busySpells() const { return m_depth == 0 ? m_spells : -1; }

private:
    void begin() override
    {
        ++m_depth;
        ++m_spells;
    }
    void end() override { --m_depth; }

    ScriptedMessageBox m_messageBox;
    RuntimeServices m_services;
    int m_depth = 0;
    int m_spells = 0;
};
