#include "backup/CodecWorker.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "tests/backup/LzwTestData.h"

namespace {

using backup::CodecWorker;
using backup::LzwCodec;
using lzw_test::Bytes;

Bytes Compressed(LzwCodec& codec, const Bytes& input) {
    EXPECT_TRUE(codec.Compress(input.data(), input.size()));
    return Bytes(codec.Output(), codec.Output() + codec.OutputLength());
}

TEST(CodecWorkerTest, BuffersComeBackInOrderAsTheCodecMakesThemOnItsOwn) {
    auto worker = CodecWorker::Start(CodecWorker::Work::kCompress);
    ASSERT_NE(worker, nullptr);
    LzwCodec codec;
    ASSERT_TRUE(codec.AllocateWorkArea());
    // Record-sized buffers, empty ones, and one larger than a whole job.
    std::vector<Bytes> inputs;
    for (std::uint32_t i = 0; i < 3000; ++i)
        inputs.push_back(lzw_test::RecordLike(i % 7 == 0 ? 0 : 50 + i % 400, i));
    inputs.insert(inputs.begin() + 1500, lzw_test::TextLike(3 * CodecWorker::kJobBytes, 7));
    std::vector<Bytes> outputs;
    std::vector<ce::WORD> tags;
    auto keep = [&](const CodecWorker::Piece& piece, std::span<const ce::BYTE> output) {
        outputs.emplace_back(output.begin(), output.end());
        tags.push_back(piece.tag);
        return true;
    };
    std::size_t mostOutstanding = 0;
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        if (worker->Full())
            worker->TakeCoded(false, keep);  // waits for the oldest job
        ASSERT_TRUE(worker->Add(inputs[i], static_cast<ce::WORD>(i)));
        mostOutstanding = std::max(mostOutstanding, worker->Outstanding());
    }
    worker->Send();
    worker->TakeCoded(true, keep);
    EXPECT_LE(mostOutstanding, CodecWorker::kQueuedJobs);
    ASSERT_EQ(outputs.size(), inputs.size());
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        EXPECT_EQ(tags[i], static_cast<ce::WORD>(i));
        ASSERT_EQ(outputs[i], Compressed(codec, inputs[i])) << "buffer " << i;
    }
}

TEST(CodecWorkerTest, AFailedDecompressionMarksItsBufferAndTheRestOfItsJobGoesUncoded) {
    auto worker = CodecWorker::Start(CodecWorker::Work::kDecompress);
    ASSERT_NE(worker, nullptr);
    LzwCodec codec;
    ASSERT_TRUE(codec.AllocateWorkArea());
    Bytes text = lzw_test::TextLike(1000, 3);
    Bytes good = Compressed(codec, text);
    Bytes garbage(good.begin(), good.begin() + 8);
    garbage.insert(garbage.end(), 40, 0xFF);  // codes that name no entry yet
    ASSERT_TRUE(worker->Add(good, 1));
    ASSERT_TRUE(worker->Add(good, 2, 100));  // decodes past its limit
    ASSERT_TRUE(worker->Add(good, 3));
    worker->Send();
    ASSERT_TRUE(worker->Add(good, 4));
    ASSERT_TRUE(worker->Add(garbage, 5));
    ASSERT_TRUE(worker->Add(good, 6));
    worker->Send();
    CodecWorker::Job first = worker->Take();
    ASSERT_EQ(first.pieces.size(), 3u);
    EXPECT_TRUE(first.pieces[0].ok);
    EXPECT_EQ(Bytes(first.Output(0).begin(), first.Output(0).end()), text);
    EXPECT_FALSE(first.pieces[1].ok);
    EXPECT_TRUE(first.pieces[1].limitReached);
    EXPECT_FALSE(first.pieces[2].ok);
    EXPECT_TRUE(first.Output(2).empty());
    // The next job starts afresh.
    CodecWorker::Job second = worker->Take();
    ASSERT_EQ(second.pieces.size(), 3u);
    EXPECT_TRUE(second.pieces[0].ok);
    EXPECT_FALSE(second.pieces[1].ok);
    EXPECT_FALSE(second.pieces[1].limitReached);
    EXPECT_FALSE(second.pieces[2].ok);
    EXPECT_EQ(worker->Outstanding(), 0u);
}

TEST(CodecWorkerTest, AWorkerLetGoWithJobsOutstandingStopsAtOnce) {
    auto worker = CodecWorker::Start(CodecWorker::Work::kCompress);
    ASSERT_NE(worker, nullptr);
    Bytes input = lzw_test::RandomBytes(CodecWorker::kJobBytes, 9);
    for (std::size_t i = 0; i < CodecWorker::kQueuedJobs; ++i)
        ASSERT_TRUE(worker->Add(input, 0));
    EXPECT_TRUE(worker->Full());
    worker.reset();  // joins; must not wait for takers that never come
}

}  // namespace
