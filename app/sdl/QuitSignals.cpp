#include "app/sdl/QuitSignals.h"

#include <pthread.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <csignal>

namespace
{
// Shared with the signal handler, hence plain flags of the one type a handler
// may write.
volatile std::sig_atomic_t quitSignalled = 0;
volatile std::sig_atomic_t modalBoxOpen = 0;
pid_t forkingProcess = 0;

void OnQuitSignal(int)
{
    quitSignalled = 1;
    if (modalBoxOpen != 0)
        _exit(0);
}

void NoteForkingProcess()
{
    forkingProcess = getpid();
}

// Runs in every child the demo forks (SDL shows its X11 message boxes from
// one): the child ends with the demo instead of leaving its window behind.
// A parent already gone by then would never send the signal.
void DieWithTheParent()
{
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != forkingProcess)
        _exit(0);
}
} // namespace

void InstallQuitSignals()
{
    pthread_atfork(&NoteForkingProcess, nullptr, &DieWithTheParent);
    struct sigaction action
    {
    };
    action.sa_handler = &OnQuitSignal;
    sigemptyset(&action.sa_mask);
    // No SA_RESTART: a wait for events is cut short and the loop looks again.
    action.sa_flags = 0;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
}

bool QuitSignalled()
{
    return quitSignalled != 0;
}

void EnterModalBox()
{
    modalBoxOpen = 1;
    if (quitSignalled != 0)
        _exit(0);
}

void LeaveModalBox()
{
    modalBoxOpen = 0;
}
