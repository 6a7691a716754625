// Matching and formatting rows in worker threads, writing them in order.
#include "workflow/encoder.h"

#include <sys/uio.h>

#include <algorithm>
#include <exception>
#include <system_error>

#include "core/run_exit.h"
#include "workflow/signal_cleanup.h"

namespace {
constexpr size_t kBatchRowBytes = size_t{8} << 20;  // rows of one batch, about
constexpr size_t kBatchResidues = size_t{4} << 20;  // residues of one batch, about
}  // namespace

void RecordBatch::add(std::string_view id, std::string_view seq, int64_t cls) {
  residues.add(seq);
  ids.add(id);
  classes.push_back(cls);
}

void RecordBatch::clear() {
  residues.clear();
  ids.clear();
  classes.clear();
  rows.clear();
}

Encoder::Encoder(const RowValues& values, const std::vector<std::string>& columns,
                 const std::vector<std::string>& classes, TableFormat format, unsigned threads,
                 OutFile& out)
    : values_(values),
      layout_(format, columns, classes, values.kind()),
      out_(out),
      maxInFlight_(2 * std::max(1u, threads) + 1) {
  start(threads);
}

Encoder::Encoder(const FeatureSet& set, TableFormat format, unsigned threads, OutFile& out,
                 ValueKind values)
    : ownValues_(std::in_place, std::vector<const FeatureSet*>{&set}, values),
      ownColumns_(feature_names(set)),
      values_(*ownValues_),
      layout_(format, ownColumns_, set.classes, values),
      out_(out),
      maxInFlight_(2 * std::max(1u, threads) + 1) {
  start(threads);
}

void Encoder::start(unsigned threads) {
  layout_.header(out_);
  const unsigned wanted = std::max(1u, threads);
  // The workers never take the signals that end a run: the thread that writes handles them.
  signal_cleanup::HeldSignals held;
  try {
    for (unsigned i = 0; i < wanted; ++i) workers_.emplace_back([this] { work(); });
  } catch (const std::system_error& e) {
    stop_workers();
    fail_system(e.code().value(),
                "cannot start %u worker threads: %s; ask for fewer with --threads", wanted,
                e.code().message().c_str());
  } catch (...) {
    stop_workers();
    throw;
  }
}

Encoder::~Encoder() { stop_workers(); }

void Encoder::stop_workers() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  workReady_.notify_all();
  for (std::thread& t : workers_) t.join();
  workers_.clear();
}

size_t Encoder::batch_records(size_t averageResidues) const {
  const size_t byRows = kBatchRowBytes / std::max<size_t>(1, layout_.row_size(averageResidues));
  const size_t byResidues = kBatchResidues / std::max<size_t>(1, averageResidues);
  return std::clamp<size_t>(std::min(byRows, byResidues), 16, 65536);
}

std::unique_ptr<RecordBatch> Encoder::batch() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (free_.empty()) return std::make_unique<RecordBatch>();
  std::unique_ptr<RecordBatch> b = std::move(free_.back());
  free_.pop_back();
  b->clear();
  return b;
}

void Encoder::encode(RecordBatch& b, RowValues::Row& row, RowValues::Scratch& scratch) const {
  b.rows.clear();
  for (size_t i = 0; i < b.size(); ++i) {
    values_.compute(b.sequence(i), row, scratch);
    layout_.row(b.rows, b.id(i), row.columns, row.values, b.classes[i]);
  }
}

void Encoder::work() {
  RowValues::Row row;
  RowValues::Scratch scratch;
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    Slot* slot = nullptr;
    workReady_.wait(lock, [&] {
      if (stopping_) return true;
      for (Slot& s : slots_)
        if (!s.taken) {
          slot = &s;
          return true;
        }
      return stopping_;
    });
    if (stopping_) return;
    slot->taken = true;
    RecordBatch* b = slot->batch.get();
    lock.unlock();
    std::exception_ptr error;
    try {
      encode(*b, row, scratch);
    } catch (...) {
      error = std::current_exception();  // handed to the writing thread (memory exhausted)
    }
    lock.lock();
    if (error && !error_) error_ = error;
    for (Slot& s : slots_)
      if (s.batch.get() == b) s.done = true;
    batchDone_.notify_all();
  }
}

void Encoder::write_done(bool wait) {
  for (;;) {
    std::unique_ptr<RecordBatch> b;
    {
      std::unique_lock<std::mutex> lock(mutex_);
      if (wait) batchDone_.wait(lock, [&] { return slots_.empty() || slots_.front().done; });
      if (error_) std::rethrow_exception(error_);
      if (slots_.empty() || !slots_.front().done) return;
      b = std::move(slots_.front().batch);
      slots_.pop_front();
    }
    // Straight from the batch's buffer: rows of megabytes need no copy into the stream's.
    iovec piece{b->rows.data(), b->rows.size()};
    out_.write_pieces(&piece, 1);
    written_ += b->rows.size();
    std::lock_guard<std::mutex> lock(mutex_);
    free_.push_back(std::move(b));
  }
}

void Encoder::submit(std::unique_ptr<RecordBatch> batch) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    slots_.push_back(Slot{std::move(batch)});
  }
  workReady_.notify_one();
  write_done(false);
  // Too many batches in flight: wait for the oldest one, so memory stays bounded.
  for (;;) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (slots_.size() < maxInFlight_) return;
    }
    std::unique_lock<std::mutex> lock(mutex_);
    batchDone_.wait(lock, [&] { return slots_.front().done || error_; });
    lock.unlock();
    write_done(false);
  }
}

bool Encoder::add(std::string_view id, std::string_view residues, int64_t cls) {
  if (!filling_) filling_ = batch();
  filling_->add(id, residues, cls);
  if (filling_->size() < perBatch_) return false;
  perBatch_ = batch_records(filling_->residues.bytes() / filling_->size() + 1);
  submit(std::move(filling_));
  return true;
}

void Encoder::finish() {
  if (filling_ && filling_->size() > 0) submit(std::move(filling_));
  for (;;) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (slots_.empty()) return;
    }
    write_done(true);
  }
}
