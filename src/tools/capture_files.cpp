// kusolvanta-capture's output files: temporary names beside the output, and the soundtrack WAV.
#include "capture.h"
#include "wav.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

std::string directoryOf(const std::string& path)
{
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string baseOf(const std::string& path)
{
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// A fresh hidden file "dir/.name.tag.XXXXXX", or "" (errno set).
std::string makeTempFile(const std::string& dir, const std::string& name, const char* tag)
{
    std::string pattern = dir + "/." + name + "." + tag + ".XXXXXX";
    const int fd = mkostemp(&pattern[0], O_CLOEXEC);
    if (fd < 0)
        return "";
    close(fd);
    return pattern;
}

void removeTree(const std::string& path)
{
    if (DIR* dir = opendir(path.c_str())) {
        while (const dirent* entry = readdir(dir)) {
            if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
                unlink((path + "/" + entry->d_name).c_str());
        }
        closedir(dir);
    }
    rmdir(path.c_str());
}

bool isNonEmptyDirectory(const std::string& path)
{
    DIR* dir = opendir(path.c_str());
    if (!dir)
        return false;
    int entries = 0;
    while (const dirent* entry = readdir(dir))
        if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
            entries++;
    closedir(dir);
    return entries > 0;
}

}  // namespace

OutputFiles::~OutputFiles()
{
    if (!videoTemp_.empty())
        unlink(videoTemp_.c_str());
    if (!directory_ && !audioTemp_.empty())
        unlink(audioTemp_.c_str());
    if (!published_ && !finalTemp_.empty()) {
        if (directory_)
            removeTree(finalTemp_);
        else
            unlink(finalTemp_.c_str());
    }
}

bool OutputFiles::create(const std::string& outputPath, bool directory, std::string& error)
{
    outputPath_ = outputPath;
    directory_ = directory;
    std::string path = outputPath;
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    const std::string dir = directoryOf(path);
    const std::string name = baseOf(path);
    struct stat info;
    if (directory) {
        if (stat(path.c_str(), &info) == 0 && (!S_ISDIR(info.st_mode) || isNonEmptyDirectory(path))) {
            error = "cannot write " + outputPath + ": it exists and is not an empty directory";
            return false;
        }
        std::string pattern = dir + "/." + name + ".XXXXXX";
        if (!mkdtemp(&pattern[0])) {
            error = "cannot write " + outputPath + ": " + std::strerror(errno);
            return false;
        }
        finalTemp_ = pattern;
        audioTemp_ = finalTemp_ + "/soundtrack.wav";
        outputPath_ = path;
        return true;
    }
    if (stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
        error = "cannot write " + outputPath + ": it is a directory";
        return false;
    }
    finalTemp_ = makeTempFile(dir, name, "part");
    if (!finalTemp_.empty())
        videoTemp_ = makeTempFile(dir, name, "video");
    if (!videoTemp_.empty())
        audioTemp_ = makeTempFile(dir, name, "wav");
    if (audioTemp_.empty()) {
        error = "cannot write " + outputPath + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

bool OutputFiles::publish(std::string& error)
{
    // mkostemp and mkdtemp made it private; give it the mode a plainly created one would have.
    const mode_t mask = umask(0);
    umask(mask);
    chmod(finalTemp_.c_str(), (directory_ ? 0777 : 0666) & ~mask);
    if (rename(finalTemp_.c_str(), outputPath_.c_str()) != 0) {
        error = "cannot write " + outputPath_ + ": " + std::strerror(errno);
        return false;
    }
    published_ = true;
    return true;
}

WavWriter::~WavWriter()
{
    if (fd_ >= 0)
        close(fd_);
}

bool WavWriter::open(const std::string& path)
{
    fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    uint8_t header[wavHeaderBytes] = {};
    return fd_ >= 0 && write(fd_, header, sizeof header) == wavHeaderBytes;
}

bool WavWriter::append(const uint8_t* bigEndianSamples, int bytes)
{
    uint8_t little[8192];
    for (int done = 0; done < bytes;) {
        const int chunk = bytes - done < int(sizeof little) ? bytes - done : int(sizeof little);
        for (int i = 0; i + 1 < chunk; i += 2) {
            little[i] = bigEndianSamples[done + i + 1];
            little[i + 1] = bigEndianSamples[done + i];
        }
        if (write(fd_, little, size_t(chunk)) != chunk)
            return false;
        done += chunk;
    }
    bytes_ += bytes;
    return true;
}

bool WavWriter::finish(int64_t frames)
{
    const int64_t dataBytes = frames * 4;
    if (dataBytes > bytes_ || dataBytes > 0xFFFFFFFFll - 36)
        return false;
    uint8_t h[wavHeaderBytes];
    fillWavHeader(h, uint32_t(dataBytes));
    const bool ok = ftruncate(fd_, wavHeaderBytes + dataBytes) == 0 &&
                    pwrite(fd_, h, sizeof h, 0) == wavHeaderBytes && close(fd_) == 0;
    fd_ = -1;
    return ok;
}
