// Hands the parcels and routes of the object pass to the block writer on a
// second thread, which resolves their points and writes the blocks, while a
// third formats the coordinate lines of the new points into the SIMA file:
// reading and parsing the MIF text, resolving and writing blocks, and
// formatting coordinates take about a third of the time each, so on two
// cores the three keep both busy.
// Blocks are written in the order they were put, and a failing pass still
// has every block put before the failure written, as if written at once.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "engine/run_state.h"
#include "mif/UniSFMapUtil.h"
#include "mif/mid_values.h"
#include "sima/uniSimUtils.h"

namespace quorvex {

class TBlockPipeline {
  public:
    // The writer thread owns the run's points and scratch files until Finish().
    // `attrIndex` and `format` cut each block's attribute value from the MID
    // row it was put with.
    TBlockPipeline(TRunState& run, int32_t attrIndex, const TMidFormat& format);
    ~TBlockPipeline();
    TBlockPipeline(const TBlockPipeline&) = delete;
    TBlockPipeline& operator=(const TBlockPipeline&) = delete;

    // Queues one block; throws the writer's error once writing has failed.
    // `sameRow`: the row is the one of the block put just before (the parts
    // of a collection), kept and cut once however many parts share it.
    void Put(TSimBlockKind kind, std::span<const TSFPoint> points, int32_t number,
             std::string_view midRow, int64_t midRowNo, bool sameRow = false);
    // Waits until every queued block is written; throws the writer's error.
    void Finish();

  private:
    struct Item {
        TSimBlockKind kind;
        int32_t number;
        int64_t rowNo;
        size_t pointBegin, pointCount, rowBegin, rowSize;
        bool sameRow;  // takes the value of the item before, in this batch or the last
    };
    struct Batch {
        std::vector<Item> items;
        std::vector<TSFPoint> points;
        std::string rows;
        void Clear() {
            items.clear();
            points.clear();
            rows.clear();
            // A batch that carried a few huge rows does not keep their room.
            if (rows.capacity() > (size_t{2} << 20)) std::string().swap(rows);
        }
    };

    void Send();    // hands the current batch to the writer
    void Writer();  // the writer thread's loop
    void Lines();   // the coordinate-line thread's loop
    void RethrowWriterError();

    TRunState& run_;
    const int32_t attrIndex_;
    const TMidFormat& format_;
    std::unique_ptr<Batch> current_;

    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::unique_ptr<Batch>> full_;   // waiting to be written
    std::vector<std::unique_ptr<Batch>> free_;  // written, to be reused
    bool closing_ = false;
    bool busy_ = false;  // the writer holds a batch
    // Points whose numbers the writer has handed out; the coordinate-line
    // thread writes their lines up to there (run_.PointLinesWritten).
    size_t published_ = 0;
    std::exception_ptr error_;
    std::thread thread_;
    std::thread lines_;
};

}  // namespace quorvex
