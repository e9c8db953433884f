// kusolvanta-capture's child processes and the ffmpeg command lines it runs.
#include "capture.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

bool isExecutableFile(const std::string& path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && access(path.c_str(), X_OK) == 0;
}

// Integer factors keep the demo's pixels sharp; other sizes get a smooth filter.
std::string scaleFilter(int height)
{
    const int width = height * 4 / 3;
    const char* flags = height % viewHeight == 0 ? "neighbor" : "lanczos";
    return "scale=" + std::to_string(width) + ":" + std::to_string(height) + ":flags=" + flags;
}

}  // namespace

std::string findProgram(const std::string& name)
{
    if (name.find('/') != std::string::npos)
        return isExecutableFile(name) ? name : "";
    const char* path = std::getenv("PATH");
    std::string dirs = path ? path : "/usr/local/bin:/usr/bin:/bin";
    size_t start = 0;
    while (start <= dirs.size()) {
        size_t end = dirs.find(':', start);
        if (end == std::string::npos)
            end = dirs.size();
        const std::string dir = end > start ? dirs.substr(start, end - start) : ".";
        const std::string candidate = dir + "/" + name;
        if (isExecutableFile(candidate))
            return candidate;
        start = end + 1;
    }
    return "";
}

bool startProcess(const std::vector<std::string>& argv, bool stdinPipe, int stderrFd,
                  const std::vector<int>& keepFds, ChildProcess& child)
{
    int fds[2] = {-1, -1};
    if (stdinPipe && pipe2(fds, O_CLOEXEC) != 0)
        return false;
    std::vector<char*> args;
    for (const std::string& arg : argv)
        args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    const pid_t parent = getpid();
    const pid_t pid = fork();
    if (pid < 0) {
        if (stdinPipe)
            close(fds[0]), close(fds[1]);
        return false;
    }
    if (pid == 0) {
        // Only async-signal-safe calls from here to exec.
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (getppid() != parent)
            _exit(127);
        signal(SIGPIPE, SIG_DFL);
        // Its own process group: Ctrl+C reaches the capture alone, which then stops its children
        // in order (an Xvfb killed under SDL would end the capture without cleaning up).
        setpgid(0, 0);
        if (stdinPipe)
            dup2(fds[0], STDIN_FILENO);
        if (stderrFd >= 0)
            dup2(stderrFd, STDERR_FILENO);
        for (int fd : keepFds)
            fcntl(fd, F_SETFD, 0);
        execv(args[0], args.data());
        _exit(127);
    }
    if (stdinPipe) {
        close(fds[0]);
        // A whole picture (900 KiB) fits in a 1 MiB pipe: one write, not fourteen wakeups.
        fcntl(fds[1], F_SETPIPE_SZ, 1 << 20);
        child.stdinFd = fds[1];
    }
    child.pid = pid;
    return true;
}

int finishProcess(ChildProcess& child)
{
    if (child.stdinFd >= 0) {
        close(child.stdinFd);
        child.stdinFd = -1;
    }
    if (child.pid < 0)
        return -1;
    int status = 0;
    while (waitpid(child.pid, &status, 0) < 0 && errno == EINTR) {
    }
    child.pid = -1;
    if (WIFEXITED(status))
        return WEXITSTATUS(status);
    return 128 + (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
}

int openLogFile()
{
    const char* dir = std::getenv("TMPDIR");
    std::string pattern = std::string(dir && *dir ? dir : "/tmp") + "/kusolvanta-capture-log.XXXXXX";
    const int fd = mkostemp(&pattern[0], O_CLOEXEC);
    if (fd >= 0)
        unlink(pattern.c_str());
    return fd;
}

std::string lastLogLine(int fd)
{
    if (fd < 0)
        return "";
    const off_t size = lseek(fd, 0, SEEK_END);
    const off_t from = size > 4096 ? size - 4096 : 0;
    std::string text(size_t(size - from), '\0');
    const ssize_t got = pread(fd, &text[0], text.size(), from);
    text.resize(got > 0 ? size_t(got) : 0);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' '))
        text.pop_back();
    const size_t cut = text.find_last_of("\r\n");
    return cut == std::string::npos ? text : text.substr(cut + 1);
}

std::vector<std::string> encodeCommand(const CaptureOptions& options, const std::string& target)
{
    const std::string size = std::to_string(viewWidth) + "x" + std::to_string(viewHeight);
    std::vector<std::string> cmd = {options.ffmpeg, "-hide_banner", "-nostats", "-loglevel", "error",
                                    "-f", "rawvideo", "-pix_fmt", "rgb24", "-s", size,
                                    "-framerate", std::to_string(options.fps), "-i", "pipe:0"};
    if (options.height != viewHeight)
        cmd.insert(cmd.end(), {"-vf", scaleFilter(options.height)});
    if (options.pngSequence) {
        cmd.insert(cmd.end(), {"-f", "image2", "-start_number", "0", "-y", target + "/frame-%06d.png"});
    } else {
        cmd.insert(cmd.end(), {"-c:v", "libx264", "-preset", options.preset, "-crf", std::to_string(options.crf),
                               "-pix_fmt", "yuv420p", "-f", "matroska", "-y", target});
    }
    return cmd;
}

std::vector<std::string> muxCommand(const CaptureOptions& options, const std::string& video,
                                    const std::string& audio, const std::string& target)
{
    std::vector<std::string> cmd = {options.ffmpeg, "-hide_banner", "-nostdin", "-nostats", "-loglevel", "error",
                                    "-i", video, "-i", audio, "-map", "0:v:0", "-map", "1:a:0", "-c:v", "copy"};
    if (options.losslessAudio)
        cmd.insert(cmd.end(), {"-c:a", "flac", "-f", "matroska"});
    else
        cmd.insert(cmd.end(), {"-c:a", "aac", "-b:a", "256k", "-f", "mp4", "-movflags", "+faststart"});
    cmd.insert(cmd.end(), {"-y", target});
    return cmd;
}
