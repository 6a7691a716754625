// The rows of a table: the values of each sequence's cells (RowValues), formatted in the table's
// format. Sequences come in batches; worker threads match and format whole batches, and the rows
// are written in the order the batches were given, so the table is byte-identical whatever the
// number of threads. Memory depends on the features and on the batches in flight, not on the
// number of sequences.
#pragma once
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "core/out_file.h"
#include "workflow/features_file.h"
#include "workflow/packed_texts.h"
#include "workflow/row_values.h"
#include "workflow/table_formats.h"

// Sequences side by side in one buffer, with their ids and classes; and, once encoded, their
// rows.
struct RecordBatch {
  PackedTexts residues, ids;
  std::vector<int64_t> classes;  // class number, -1 for none
  std::string rows;

  void add(std::string_view id, std::string_view seq, int64_t cls);
  size_t size() const { return residues.size(); }
  std::string_view sequence(size_t i) const { return residues[i]; }
  std::string_view id(size_t i) const { return ids[i]; }
  void clear();
};

class Encoder {
 public:
  // Writes the header at once; `threads` workers compute and format the rows (at least 1). The
  // table's feature columns are those of `values`, named `columns`, and its class attribute
  // lists `classes` (none when empty); all three must outlive the encoder. Ends the run
  // (status 1) when the workers cannot all start.
  Encoder(const RowValues& values, const std::vector<std::string>& columns,
          const std::vector<std::string>& classes, TableFormat format, unsigned threads,
          OutFile& out);
  // The table of one features file: its features as the columns, its classes.
  Encoder(const FeatureSet& set, TableFormat format, unsigned threads, OutFile& out,
          ValueKind values = ValueKind::Binary);
  ~Encoder();
  Encoder(const Encoder&) = delete;
  Encoder& operator=(const Encoder&) = delete;

  // Adds one sequence (cls: its class number, -1 for none). A full batch goes to the workers,
  // the next one sized from its mean length so that its rows stay a few megabytes; returns true
  // then.
  bool add(std::string_view id, std::string_view residues, int64_t cls);
  // Submits the last batch, waits for every batch and writes the rest.
  void finish();

  const TableLayout& layout() const { return layout_; }
  // Bytes of rows written so far.
  uint64_t written() const { return written_; }

 private:
  // An empty batch to fill (recycled from written ones).
  std::unique_ptr<RecordBatch> batch();
  // Queues a filled batch; writes the batches that are done, in order, and waits when too many
  // are in flight.
  void submit(std::unique_ptr<RecordBatch> batch);
  // How many records a batch should hold so that its rows stay a few megabytes.
  size_t batch_records(size_t averageResidues) const;
  void work();
  // Stops and joins the workers (a joinable thread must not be destroyed).
  void stop_workers();
  void start(unsigned threads);
  void encode(RecordBatch& b, RowValues::Row& row, RowValues::Scratch& scratch) const;
  void write_done(bool wait);

  // The one-file encoder's own values and names.
  std::optional<RowValues> ownValues_;
  std::vector<std::string> ownColumns_;
  const RowValues& values_;
  TableLayout layout_;
  OutFile& out_;
  size_t maxInFlight_;
  uint64_t written_ = 0;
  std::unique_ptr<RecordBatch> filling_;
  size_t perBatch_ = 256;

  std::mutex mutex_;
  std::condition_variable workReady_, batchDone_;
  // Batches in submission order, each with its state; the front is the next to write.
  struct Slot {
    std::unique_ptr<RecordBatch> batch;
    bool taken = false, done = false;
  };
  std::deque<Slot> slots_;
  std::vector<std::unique_ptr<RecordBatch>> free_;
  bool stopping_ = false;
  std::exception_ptr error_;  // the first failure of a worker
  std::vector<std::thread> workers_;
};
