#include "ChildProcess.h"

#include <spawn.h>
#include <sys/wait.h>

extern char **environ;

int runToEnd(const std::string &program, const std::vector<std::string> &arguments)
{
    std::vector<std::string> texts{program};
    texts.insert(texts.end(), arguments.begin(), arguments.end());
    std::vector<char *> pointers;
    for (std::string &text : texts)
        pointers.push_back(text.data());
    pointers.push_back(nullptr);
    pid_t pid = -1;
    int status = 0;
    if (posix_spawn(&pid, program.c_str(), nullptr, nullptr, pointers.data(), environ) != 0 ||
        ::waitpid(pid, &status, 0) != pid)
        return -1;
    return WIFSIGNALED(status) ? 128 + WTERMSIG(status) : WEXITSTATUS(status);
}
