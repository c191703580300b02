#include "engine/block_pipeline.h"

namespace quorvex {
namespace {

// A batch is handed over at this size: large enough to keep hand-overs rare,
// small enough that a few of them in flight stay a few megabytes.
constexpr size_t kBatchPoints = 1 << 15;
constexpr size_t kBatchItems = 1 << 12;
constexpr size_t kBatchesInFlight = 4;

}  // namespace

TBlockPipeline::TBlockPipeline(TRunState& run, int32_t attrIndex, const TMidFormat& format)
    : run_(run), attrIndex_(attrIndex), format_(format), current_(std::make_unique<Batch>()) {
    thread_ = std::thread([this] { Writer(); });
}

TBlockPipeline::~TBlockPipeline() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        closing_ = true;
    }
    changed_.notify_all();
    if (thread_.joinable()) thread_.join();
}

void TBlockPipeline::Put(TSimBlockKind kind, std::span<const TSFPoint> points, int32_t number,
                         std::string_view midRow, int64_t midRowNo) {
    Batch& b = *current_;
    b.items.push_back(
        {kind, number, midRowNo, b.points.size(), points.size(), b.rows.size(), midRow.size()});
    b.points.insert(b.points.end(), points.begin(), points.end());
    b.rows.append(midRow);
    if (b.points.size() >= kBatchPoints || b.items.size() >= kBatchItems) Send();
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
    changed_.wait(lock, [&] { return (full_.empty() && !busy_) || error_; });
    RethrowWriterError();
    lock.unlock();
    WritePendingPointLines(run_);
}

void TBlockPipeline::RethrowWriterError() {
    if (error_) std::rethrow_exception(error_);
}

void TBlockPipeline::Writer() {
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
                TFileWriter& out = it.kind == TSimBlockKind::Parcel ? run_.Parcels : run_.Routes;
                WriteSimBlockNumbers(
                    out, it.kind,
                    std::span<const int32_t>(numbers).subspan(it.pointBegin, it.pointCount),
                    it.number,
                    attrIndex_ > 0
                        ? MidValue(format_,
                                   std::string_view(batch->rows).substr(it.rowBegin, it.rowSize),
                                   it.rowNo, attrIndex_)
                        : std::string());
            }
            // With no batch waiting, the new points get their coordinate
            // lines now, while the reading goes on; the rest are written at
            // the end.
            bool idle;
            {
                std::lock_guard<std::mutex> peek(mutex_);
                idle = full_.empty();
            }
            if (idle) WritePendingPointLines(run_);
        } catch (...) {
            error = std::current_exception();
        }
        batch->Clear();
        lock.lock();
        busy_ = false;
        free_.push_back(std::move(batch));
        if (error) error_ = error;
        changed_.notify_all();
    }
}

}  // namespace quorvex
