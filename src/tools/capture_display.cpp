// kusolvanta-capture's GL context: an SDL 1.2 OpenGL window, on a private Xvfb when there is no display.
#include "capture.h"

#include <SDL.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

namespace {

ChildProcess xvfb;
int xvfbLog = -1;
constexpr int xvfbStartMs = 20000;

// Xvfb picks a free display number itself (-displayfd) and writes it once it accepts clients.
bool startXvfb(std::string& error, std::string& where)
{
    const std::string program = findProgram("Xvfb");
    if (program.empty()) {
        error = "no display to draw on: set DISPLAY or install Xvfb (Debian package xvfb)";
        return false;
    }
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
        error = "cannot start Xvfb: no pipe";
        return false;
    }
    xvfbLog = openLogFile();
    const std::vector<std::string> argv = {program, "-displayfd", std::to_string(fds[1]), "-screen", "0",
                                           "1024x768x24", "-nolisten", "tcp", "-noreset"};
    const bool started = startProcess(argv, false, xvfbLog, {fds[1]}, xvfb);
    close(fds[1]);
    std::string number;
    if (started) {
        pollfd wait = {fds[0], POLLIN, 0};
        char c = 0;
        while (poll(&wait, 1, xvfbStartMs) == 1 && read(fds[0], &c, 1) == 1 && c != '\n')
            number += c;
    }
    close(fds[0]);
    if (number.empty() || number.find_first_not_of("0123456789") != std::string::npos) {
        const std::string why = lastLogLine(xvfbLog);
        error = "cannot start Xvfb" + (why.empty() ? std::string() : ": " + why);
        return false;
    }
    where = "private Xvfb :" + number;
    setenv("DISPLAY", (":" + number).c_str(), 1);
    return true;
}

void stopXvfb()
{
    if (xvfb.pid > 0) {
        kill(xvfb.pid, SIGTERM);
        finishProcess(xvfb);
    }
    if (xvfbLog >= 0)
        close(xvfbLog);
    xvfbLog = -1;
}

}  // namespace

bool openDisplay(bool forceXvfb, std::string& error, std::string& where)
{
    const char* display = std::getenv("DISPLAY");
    if (forceXvfb || !display || !*display) {
        if (!startXvfb(error, where))
            return false;
    } else {
        where = std::string("display ") + display;
    }
    // X11 only, unless asked otherwise: SDL would fall back to drivers such as a text-mode one
    // that take over the terminal and have no OpenGL.
    setenv("SDL_VIDEODRIVER", "x11", 0);
    // Video only: the soundtrack comes from calling the audio callback, never from a device.
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_NOPARACHUTE) < 0) {
        error = "cannot open the " + where + ": " + SDL_GetError() +
                (xvfb.pid > 0 ? "" : " (unset DISPLAY or add --xvfb to draw on a private Xvfb)");
        stopXvfb();
        return false;
    }
    if (!SDL_SetVideoMode(viewWidth, viewHeight, 32, SDL_OPENGL)) {
        error = "cannot set a 640x480 OpenGL video mode on the " + where + ": " + SDL_GetError();
        closeDisplay();
        return false;
    }
    SDL_WM_SetCaption("Ku Solvanta (capture)", nullptr);
    return true;
}

void closeDisplay()
{
    SDL_Quit();
    stopXvfb();
}
