// kusolvanta-capture's parts: options, child processes (ffmpeg, Xvfb), output files and the GL window.
#pragma once

#include <sys/types.h>

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct CaptureOptions {
    std::string outputPath;              // the .mp4 / .mkv file, or the PNG directory
    bool pngSequence = false;            // outputPath names a directory of PNG frames
    bool losslessAudio = false;          // FLAC (in .mkv) instead of AAC (in .mp4)
    int fps = 60;                        // video frames per second, 1..240
    int height = 480;                    // output height; width is height * 4 / 3
    double seconds = 0;                  // 0: until the demo ends by itself
    std::string preset = "ultrafast";    // x264 preset; the fastest leaves the processors to the renderer
    int crf = 18;                        // x264 constant rate factor, 0..51
    bool forceXvfb = false;              // start a private Xvfb even when DISPLAY is set
    std::string ffmpeg = "ffmpeg";       // program name or path
    bool progress = true;                // progress lines on stderr
};

constexpr int viewWidth = 640;   // what the demo draws
constexpr int viewHeight = 480;

// A started program: its id, and the write end of its standard input when that is a pipe.
struct ChildProcess {
    pid_t pid = -1;
    int stdinFd = -1;
};

// Full path of an executable program (a name is looked up in PATH), or "" when there is none.
std::string findProgram(const std::string& name);
// Starts argv[0]. stdinPipe: the child's standard input is a pipe whose write end we keep.
// stderrFd (or -1 for ours) becomes its standard error; keepFds stay open in it. The child runs
// in a process group of its own and is sent SIGTERM when this process dies.
bool startProcess(const std::vector<std::string>& argv, bool stdinPipe, int stderrFd,
                  const std::vector<int>& keepFds, ChildProcess& child);
// Closes the child's input and waits: its exit status, or 128 + signal.
int finishProcess(ChildProcess& child);
// An unlinked temporary file for a child's messages, and its last non-empty line.
int openLogFile();
std::string lastLogLine(int fd);

// The ffmpeg command lines: frames from our pipe into the video-only intermediate (or the PNG
// frames), and the intermediate plus the soundtrack into the final file.
std::vector<std::string> encodeCommand(const CaptureOptions& options, const std::string& target);
std::vector<std::string> muxCommand(const CaptureOptions& options, const std::string& video,
                                    const std::string& audio, const std::string& target);

// Temporary names next to the output, removed unless published: a failed or interrupted
// capture never leaves a file under the output name.
class OutputFiles {
public:
    ~OutputFiles();
    bool create(const std::string& outputPath, bool directory, std::string& error);
    const std::string& finalTemp() const { return finalTemp_; }   // the file or directory to publish
    const std::string& videoTemp() const { return videoTemp_; }   // video-only intermediate
    const std::string& audioTemp() const { return audioTemp_; }   // the soundtrack WAV
    bool publish(std::string& error);                              // renames finalTemp to the output

private:
    std::string outputPath_, finalTemp_, videoTemp_, audioTemp_;
    bool directory_ = false, published_ = false;
};

// The soundtrack as a 16-bit stereo 44100 Hz WAV, written as the device buffers come.
class WavWriter {
public:
    ~WavWriter();
    bool open(const std::string& path);
    bool append(const uint8_t* bigEndianSamples, int bytes);      // device byte order in
    bool finish(int64_t frames);                                   // keeps exactly `frames`

private:
    int fd_ = -1;
    int64_t bytes_ = 0;
};

// Pictures travel from the GL thread to ffmpeg's pipe through a few slots, so the next frame is
// drawn and read back while the previous one is still being written. Slots hold GL's rows
// (bottom-up); the pipe gets them top-down.
class FrameQueue {
public:
    static constexpr int slots = 3;
    static constexpr int frameBytes = viewWidth * viewHeight * 3;   // RGB, 8 bits each

    explicit FrameQueue(int outFd);
    ~FrameQueue();
    uint8_t* acquire(double& waitSeconds);   // the slot to fill next, once the writer is done with it
    bool submit(bool repeat);                // queues it; repeat: the previous picture once more
    bool close();                            // writes what is queued; false if a write failed
    double writeSeconds() const { return writeSeconds_; }

private:
    void writeLoop();
    bool writeFlipped(const uint8_t* frame);

    int outFd_;
    std::vector<uint8_t> slots_[slots];
    int head_ = 0, queued_ = 0;               // oldest queued slot, and how many are queued
    bool closing_ = false, failed_ = false;
    double writeSeconds_ = 0;                 // writer thread time inside writev
    std::mutex mutex_;
    std::condition_variable changed_;
    std::thread writer_;
};

// The GL display: a private Xvfb when there is no DISPLAY (or when forced), then a 640 x 480
// OpenGL window through SDL. No audio device is opened.
bool openDisplay(bool forceXvfb, std::string& error, std::string& where);
void closeDisplay();
