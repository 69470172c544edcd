#pragma once
// The codec on a thread of its own: buffers go in one after another and come
// back coded, in the order they went in, so that the caller (a backup
// reading the store, a restore writing it) goes on with its own work while
// the buffers it handed over are coded. Every buffer is an independent
// stream, exactly as LzwCodec makes it on the caller's thread.
//
// Buffers travel in jobs of about kJobBytes, since a record codes in well
// under the time it takes to wake a thread. What is in the worker, coded or
// not, stays under kQueuedJobs jobs, so that memory stays bounded by the
// largest record, not by the whole archive.

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <memory>
#include <mutex>
#include <span>
#include <thread>
#include <vector>

#include "backup/LzwCodec.h"
#include "platform/core/Types.h"

namespace backup {

class CodecWorker {
public:
    enum class Work { kCompress, kDecompress };

    // One buffer of a job and what became of it.
    struct Piece {
        // The caller's own note on the buffer (a record's property count).
        ce::WORD tag = 0;
        std::size_t inputLength = 0;
        // The output limit of a decompression.
        std::size_t outputLimit = LzwCodec::kDefaultOutputLimit;
        std::size_t outputLength = 0;
        // Whether it was coded; when not, a decompression tells whether the
        // stream ran past the output limit. The pieces after one that
        // failed are not coded either.
        bool ok = false;
        bool limitReached = false;
    };
    // Buffers one after another, in and out.
    struct Job {
        std::vector<ce::BYTE> input;
        std::vector<ce::BYTE> output;
        std::vector<Piece> pieces;
        // The output of each piece in turn.
        std::span<const ce::BYTE> Output(std::size_t piece) const;
        std::vector<std::size_t> outputAt;
    };

    static constexpr std::size_t kJobBytes = 32 * 1024;
    static constexpr std::size_t kQueuedJobs = 8;

    // A worker with its thread and its codec's work area, or null when
    // either cannot be had (the caller then codes on its own thread).
    static std::unique_ptr<CodecWorker> Start(Work work);
    // Stops the thread; what was not taken is dropped.
    ~CodecWorker();
    CodecWorker(const CodecWorker&) = delete;
    CodecWorker& operator=(const CodecWorker&) = delete;

    // Adds a copy of `bytes` to the job being filled, handing the job over
    // once it holds kJobBytes; false when memory runs out.
    bool Add(std::span<const ce::BYTE> bytes, ce::WORD tag,
             std::size_t outputLimit = LzwCodec::kDefaultOutputLimit);
    // Hands the job being filled over, if it holds anything.
    void Send();
    // Buffers in the job being filled: none right after it was handed over.
    std::size_t filling() const { return filling_.pieces.size(); }
    // Whether an Add now could pass the bounds: take a job first.
    bool Full() const;
    // Jobs handed over and not yet taken, and whether the oldest is coded.
    std::size_t Outstanding() const;
    bool Ready() const;
    // Waits for the oldest job and hands it back. Only with Outstanding().
    Job Take();
    // Gives a taken job's buffers back for reuse.
    void Recycle(Job&& job);
    // Hands each coded buffer in order to `use(piece, output)`: those of the
    // jobs done, or with `all` of every job handed over; when the worker is
    // full the oldest job is waited for. False at the first `use` that is.
    template <class Use>
    bool TakeCoded(bool all, Use use) {
        bool wait = all || Full();
        while (Outstanding() > 0 && (wait || Ready())) {
            Job job = Take();
            for (std::size_t i = 0; i < job.pieces.size(); ++i) {
                if (!use(job.pieces[i], job.Output(i)))
                    return false;
            }
            Recycle(std::move(job));
            wait = all;
        }
        return true;
    }

private:
    explicit CodecWorker(Work work);
    void Run();
    void Code(Job& job);

    const Work work_;
    LzwCodec codec_;
    Job filling_;
    mutable std::mutex mutex_;
    std::condition_variable wake_;  // the worker: a job arrived, or stop
    std::condition_variable done_;  // the caller: a job was coded
    std::deque<Job> jobs_;          // oldest first
    std::size_t coded_ = 0;         // the first coded_ of jobs_ are done
    bool stop_ = false;
    std::vector<Job> spare_;
    std::thread thread_;
};

}  // namespace backup
