#include "engine/block_pipeline.h"

namespace quorvex {
namespace {

// A batch is handed over at this size: large enough to keep hand-overs rare,
// small enough that a few of them in flight stay a few megabytes.
constexpr size_t kBatchPoints = 1 << 15;
constexpr size_t kBatchItems = 1 << 12;
// Rows are handed over by their bytes too, so long MID rows never pile up.
constexpr size_t kBatchRowBytes = 1 << 20;
constexpr size_t kBatchesInFlight = 4;

}  // namespace

TBlockPipeline::TBlockPipeline(TRunState& run, int32_t attrIndex, const TMidFormat& format)
    : run_(run),
      attrIndex_(attrIndex),
      format_(format),
      current_(std::make_unique<Batch>()),
      published_(run.Points.Count()) {
    // Points of an earlier run sharing the state have their lines already.
    WritePendingPointLines(run_);
    thread_ = std::thread([this] { Writer(); });
    lines_ = std::thread([this] { Lines(); });
}

TBlockPipeline::~TBlockPipeline() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        closing_ = true;
    }
    changed_.notify_all();
    if (thread_.joinable()) thread_.join();
    if (lines_.joinable()) lines_.join();
}

void TBlockPipeline::Put(TSimBlockKind kind, std::span<const TSFPoint> points, int32_t number,
                         std::string_view midRow, int64_t midRowNo, bool sameRow) {
    Batch& b = *current_;
    // Parts sharing a row take the value cut for the first, so a collection
    // of many parts and a long row neither copies nor decodes it per part.
    if (sameRow) {
        b.items.push_back({kind, number, midRowNo, b.points.size(), points.size(), 0, 0, true});
    } else {
        b.items.push_back({kind, number, midRowNo, b.points.size(), points.size(), b.rows.size(),
                           midRow.size(), false});
        b.rows.append(midRow);
    }
    b.points.insert(b.points.end(), points.begin(), points.end());
    if (b.points.size() >= kBatchPoints || b.items.size() >= kBatchItems ||
        b.rows.size() >= kBatchRowBytes)
        Send();
}

void TBlockPipeline::Send() {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [&] { return full_.size() < kBatchesInFlight || error_; });
    RethrowWriterError();
    full_.push_back(std::move(current_));
    if (!free_.empty()) {
        current_ = std::move(free_.back());
        free_.pop_back();
    } else {
        current_ = std::make_unique<Batch>();
    }
    lock.unlock();
    changed_.notify_all();
}

void TBlockPipeline::Finish() {
    if (!current_->items.empty()) Send();
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [&] {
        return (full_.empty() && !busy_ && run_.PointLinesWritten == published_) || error_;
    });
    RethrowWriterError();
}

void TBlockPipeline::RethrowWriterError() {
    if (error_) std::rethrow_exception(error_);
}

void TBlockPipeline::Writer() {
    std::string value;  // of the last item, for the parts that share its row
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        changed_.wait(lock, [&] { return !full_.empty() || closing_; });
        if (full_.empty() || error_) return;
        std::unique_ptr<Batch> batch = std::move(full_.front());
        full_.pop_front();
        busy_ = true;
        lock.unlock();
        changed_.notify_all();
        std::exception_ptr error;
        try {
            // All points of the batch at once: the lookups fetch ahead across
            // the many small parcels.
            const std::vector<int32_t>& numbers = run_.Points.FindOrAddAll(batch->points);
            for (const Item& it : batch->items) {
                TSimBlockScratch& out =
                    it.kind == TSimBlockKind::Parcel ? run_.Parcels : run_.Routes;
                if (attrIndex_ > 0 && !it.sameRow) {
                    value = MidValue(format_,
                                     std::string_view(batch->rows).substr(it.rowBegin, it.rowSize),
                                     it.rowNo, attrIndex_);
                }
                out.Put(it.kind,
                        std::span<const int32_t>(numbers).subspan(it.pointBegin, it.pointCount),
                        it.number, value);
            }
        } catch (...) {
            error = std::current_exception();
        }
        batch->Clear();
        lock.lock();
        busy_ = false;
        published_ = run_.Points.Count();
        free_.push_back(std::move(batch));
        if (error) error_ = error;
        changed_.notify_all();
    }
}

void TBlockPipeline::Lines() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        changed_.wait(lock, [&] { return published_ > run_.PointLinesWritten || closing_; });
        if (closing_ || error_) return;
        const size_t from = run_.PointLinesWritten, to = published_;
        lock.unlock();
        // The points below `to` no longer change; the writer adds more
        // behind them meanwhile.
        std::exception_ptr error;
        try {
            WriteSimPointLines(run_.PointLines, run_.Points, from, to, run_.SwapXY);
        } catch (...) {
            error = std::current_exception();
        }
        lock.lock();
        run_.PointLinesWritten = to;
        if (error) error_ = error;
        changed_.notify_all();
        if (error) return;
    }
}

}  // namespace quorvex
