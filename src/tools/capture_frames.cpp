// kusolvanta-capture's picture queue: read-back slots on the GL thread, a writer thread feeding ffmpeg.
//
// THREADS. The GL thread fills a slot between acquire() and submit(); the writer thread only
// reads slots that are queued. The indices and flags change under mutex_ alone; writeSeconds_
// belongs to the writer and is read only after close() has joined it.
#include "capture.h"

#include <sys/uio.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>

FrameQueue::FrameQueue(int outFd) : outFd_(outFd)
{
    for (auto& slot : slots_)
        slot.assign(frameBytes, 0);
    writer_ = std::thread([this] { writeLoop(); });
}

FrameQueue::~FrameQueue()
{
    close();
}

uint8_t* FrameQueue::acquire(double& waitSeconds)
{
    const auto start = std::chrono::steady_clock::now();
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [&] { return queued_ < slots || failed_; });
    waitSeconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return slots_[(head_ + queued_) % slots].data();
}

bool FrameQueue::submit(bool repeat)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (repeat)
        slots_[(head_ + queued_) % slots] = slots_[(head_ + queued_ + slots - 1) % slots];
    queued_++;
    changed_.notify_all();
    return !failed_;
}

bool FrameQueue::close()
{
    if (writer_.joinable()) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            closing_ = true;
            changed_.notify_all();
        }
        writer_.join();
    }
    return !failed_;
}

void FrameQueue::writeLoop()
{
    for (;;) {
        const uint8_t* frame;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            changed_.wait(lock, [&] { return queued_ > 0 || closing_; });
            if (queued_ == 0 || failed_)
                return;
            frame = slots_[head_].data();
        }
        const auto start = std::chrono::steady_clock::now();
        const bool ok = writeFlipped(frame);
        writeSeconds_ += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        std::lock_guard<std::mutex> lock(mutex_);
        failed_ = failed_ || !ok;
        head_ = (head_ + 1) % slots;
        queued_--;
        changed_.notify_all();
    }
}

// One writev of the rows in reverse order: the flip costs no copy.
bool FrameQueue::writeFlipped(const uint8_t* frame)
{
    constexpr int rowBytes = viewWidth * 3;
    iovec rows[viewHeight];
    for (int y = 0; y < viewHeight; y++)
        rows[y] = {const_cast<uint8_t*>(frame) + (viewHeight - 1 - y) * rowBytes, size_t(rowBytes)};
    int first = 0;
    while (first < viewHeight) {
        const ssize_t n = writev(outFd_, rows + first, viewHeight - first);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        size_t left = size_t(n);
        while (first < viewHeight && left >= rows[first].iov_len)
            left -= rows[first++].iov_len;
        if (first < viewHeight) {
            rows[first].iov_base = static_cast<uint8_t*>(rows[first].iov_base) + left;
            rows[first].iov_len -= left;
        }
    }
    return true;
}
