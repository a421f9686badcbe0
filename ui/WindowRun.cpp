#include "WindowRun.h"

#include "install/StatusFile.h"
#include "LogWording.h"

WindowRun::WindowRun(const RunPlatform &platform, MessageBox &windowMessageBox,
                     BusyIndicator &windowBusyIndicator)
    : m_log(InstallerStart::packageFolder()), m_messageBox(windowMessageBox, m_log),
      m_busyIndicator(windowBusyIndicator, m_log)
{
    m_log.write(LogWording::start(platform, InstallerStart::packageFolder(), "window"));
}

std::unique_ptr<WindowRun> WindowRun::begin(const RunPlatform &platform,
                                            MessageBox &windowMessageBox,
                                            BusyIndicator &windowBusyIndicator)
{
    std::unique_ptr<WindowRun> run(new WindowRun(platform, windowMessageBox, windowBusyIndicator));
    run->m_start = InstallerStart::begin(run->m_messageBox);
    if (!run->m_start)
        return nullptr;
    FileSystem &fileSystem = run->m_start->fileSystem();
    run->m_log.write(LogWording::status(StatusFile(fileSystem).read()));
    run->m_services.emplace(RuntimeServices{fileSystem, run->m_messageBox, run->m_busyIndicator});
    return run;
}
