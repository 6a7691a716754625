// The rows of a table: which features each sequence contains, formatted in the table's format.
// Sequences come in batches; worker threads match and format whole batches, and the rows are
// written in the order the batches were given, so the table is byte-identical whatever the
// number of threads. Memory depends on the features and on the batches in flight, not on the
// number of sequences.
#pragma once
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "core/out_file.h"
#include "engine/alphabet/reduced_alphabet.h"
#include "engine/matching/keyword_matcher.h"
#include "workflow/features_file.h"
#include "workflow/packed_texts.h"
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

// Finds the features a sequence contains: all at once through the keyword automaton (every
// approach, ma with distance 0), or, for ma with a distance above 0, one edit-distance test per
// motif (slow: its cost grows with motifs times residues). A sequence is first mapped to the
// alphabet the features were mined in.
class FeatureMatcher {
 public:
  explicit FeatureMatcher(const FeatureSet& set);
  // What one thread's searches need of their own.
  struct Scratch {
    KeywordMatcher::Scratch automaton;
    std::string mapped;  // the sequence in the features' alphabet
  };
  // The numbers of the features `sequence` contains, ascending.
  void find(std::string_view sequence, std::vector<uint32_t>& found, Scratch& scratch) const;

 private:
  std::vector<std::string> texts_;
  KeywordMatcher automaton_;
  int64_t distance_ = 0;
  std::vector<std::string> framed_;  // "*motif*" for the edit-distance test
  ReducedAlphabet alphabet_;
};

class Encoder {
 public:
  // Writes the header at once; `threads` workers match and format (at least 1). Ends the run
  // (status 1) when they cannot all start.
  Encoder(const FeatureSet& set, TableFormat format, unsigned threads, OutFile& out);
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
  void encode(RecordBatch& b, std::vector<uint32_t>& found, FeatureMatcher::Scratch& scratch) const;
  void write_done(bool wait);

  std::vector<std::string> texts_;
  FeatureMatcher matcher_;
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
