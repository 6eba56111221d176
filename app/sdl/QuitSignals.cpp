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
pid_t demoProcess = 0;

void OnQuitSignal(int)
{
    quitSignalled = 1;
    if (modalBoxOpen != 0)
        _exit(0);
}

// Runs in every child the demo forks (SDL shows its X11 message boxes from
// one): the child ends with the demo instead of leaving its window behind.
void DieWithTheDemo()
{
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != demoProcess)
        _exit(0);
}
} // namespace

void InstallQuitSignals()
{
    demoProcess = getpid();
    pthread_atfork(nullptr, nullptr, &DieWithTheDemo);
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
