#include "backup/CodecWorker.h"

#include <new>
#include <system_error>
#include <utility>

namespace backup {

using ce::BYTE;

std::span<const BYTE> CodecWorker::Job::Output(std::size_t piece) const {
    if (!pieces[piece].ok)
        return {};
    return std::span<const BYTE>(output).subspan(outputAt[piece], pieces[piece].outputLength);
}

std::unique_ptr<CodecWorker> CodecWorker::Start(Work work) {
    std::unique_ptr<CodecWorker> worker(new (std::nothrow) CodecWorker(work));
    if (!worker || !worker->codec_.AllocateWorkArea())
        return nullptr;
    try {
        worker->filling_.input.reserve(kJobBytes);
        worker->thread_ = std::thread([w = worker.get()] { w->Run(); });
    } catch (const std::exception&) {
        return nullptr;
    }
    return worker;
}

CodecWorker::CodecWorker(Work work) : work_(work) {}

CodecWorker::~CodecWorker() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;
    }
    wake_.notify_one();
    if (thread_.joinable())
        thread_.join();
}

bool CodecWorker::Add(std::span<const BYTE> bytes, ce::WORD tag, std::size_t outputLimit) {
    Piece piece;
    piece.tag = tag;
    piece.inputLength = bytes.size();
    piece.outputLimit = outputLimit;
    std::size_t before = filling_.input.size();
    try {
        filling_.input.insert(filling_.input.end(), bytes.begin(), bytes.end());
        filling_.pieces.push_back(piece);
    } catch (const std::bad_alloc&) {
        filling_.input.resize(before);
        return false;
    }
    if (filling_.input.size() >= kJobBytes)
        Send();
    return true;
}

void CodecWorker::Send() {
    if (filling_.pieces.empty())
        return;
    Job next;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        jobs_.push_back(std::move(filling_));
        if (!spare_.empty()) {
            next = std::move(spare_.back());
            spare_.pop_back();
        }
    }
    wake_.notify_one();
    filling_ = std::move(next);
    filling_.input.clear();
    filling_.pieces.clear();
}

bool CodecWorker::Full() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return jobs_.size() >= kQueuedJobs;
}

std::size_t CodecWorker::Outstanding() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return jobs_.size();
}

bool CodecWorker::Ready() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return coded_ > 0;
}

CodecWorker::Job CodecWorker::Take() {
    std::unique_lock<std::mutex> lock(mutex_);
    done_.wait(lock, [this] { return coded_ > 0; });
    Job job = std::move(jobs_.front());
    jobs_.pop_front();
    --coded_;
    return job;
}

void CodecWorker::Recycle(Job&& job) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (spare_.size() < kQueuedJobs) {
        try {
            spare_.push_back(std::move(job));
        } catch (const std::bad_alloc&) {
            // The buffers simply go.
        }
    }
}

void CodecWorker::Code(Job& job) {
    job.output.clear();
    job.outputAt.clear();
    std::size_t at = 0;
    bool ok = true;
    for (Piece& piece : job.pieces) {
        piece.ok = piece.limitReached = false;
        piece.outputLength = 0;
        const BYTE* input = job.input.data() + at;
        at += piece.inputLength;
        try {
            job.outputAt.push_back(job.output.size());
        } catch (const std::bad_alloc&) {
            ok = false;
        }
        if (!ok)
            continue;  // what follows a failure is not coded
        if (work_ == Work::kCompress) {
            ok = codec_.Compress(input, piece.inputLength);
        } else {
            codec_.SetOutputLimit(piece.outputLimit);
            ok = codec_.Decompress(input, piece.inputLength);
            piece.limitReached = !ok && codec_.OutputLimitReached();
        }
        try {
            if (ok)
                job.output.insert(job.output.end(), codec_.Output(),
                                  codec_.Output() + codec_.OutputLength());
        } catch (const std::bad_alloc&) {
            ok = false;
        }
        piece.ok = ok;
        piece.outputLength = ok ? codec_.OutputLength() : 0;
    }
}

void CodecWorker::Run() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return stop_ || coded_ < jobs_.size(); });
        if (stop_)
            return;
        // The job stays where it is: the caller only ever takes coded ones,
        // and a deque keeps its elements in place as it grows at the back.
        Job& job = jobs_[coded_];
        lock.unlock();
        Code(job);
        lock.lock();
        ++coded_;
        done_.notify_one();
    }
}

}  // namespace backup
