#include "bench/child_run.h"

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

namespace velmora::bench {

ChildFigures RunInChild(const std::function<int(int resultFd)>& work) {
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0) return {};
    std::fflush(stdout);  // the child must not inherit unwritten output
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipeEnds[0]);
        ::_exit(work(pipeEnds[1]));
    }
    ::close(pipeEnds[1]);
    ChildFigures figures;
    char chunk[256];
    for (ssize_t got; (got = ::read(pipeEnds[0], chunk, sizeof(chunk))) > 0;)
        figures.output.append(chunk, got);
    ::close(pipeEnds[0]);
    int status = 0;
    rusage usage{};
    ::wait4(child, &status, 0, &usage);
    figures.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    figures.peakKib = usage.ru_maxrss;
    return figures;
}

}  // namespace velmora::bench
