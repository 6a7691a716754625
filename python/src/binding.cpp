// The Python module protfeat._native: the workflow's own reading, mining, features file and
// tables, so that Python gets the command line's features and tables byte for byte. It is an
// adapter like the command line: every check and every message is the workflow's.
//
// A failure of the workflow ends in RunExit with its error line kept (and not printed: the
// module keeps error lines quiet); it becomes ValueError with that line's text, or OSError (with
// its errno) for what the system refused: a file that cannot be opened, read or written.
// Exhausted memory becomes MemoryError. Long work runs without the interpreter lock.
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <exception>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <system_error>
#include <thread>
#include <unordered_map>
#include <vector>

#include "core/progress.h"
#include "core/run_exit.h"
#include "workflow/approach.h"
#include "workflow/encoder.h"
#include "workflow/fasta_reader.h"
#include "workflow/features_file.h"
#include "workflow/label_source.h"
#include "workflow/mine.h"
#include "workflow/option_values.h"
#include "workflow/packed_texts.h"
#include "workflow/row_values.h"
#include "workflow/sequence_set.h"
#include "workflow/signal_cleanup.h"
#include "workflow/staged_output.h"
#include "workflow/table_formats.h"
#include "workflow/version.h"

namespace py = pybind11;

namespace {

// ---- Texts between Python and the workflow: UTF-8, with any other byte kept as a surrogate
// (surrogateescape), so that every byte of an id, a class or a feature survives both ways.

py::str to_python(std::string_view text) {
  PyObject* o =
      PyUnicode_DecodeUTF8(text.data(), static_cast<Py_ssize_t>(text.size()), "surrogateescape");
  if (!o) throw py::error_already_set();
  return py::reinterpret_steal<py::str>(o);
}

py::list to_python(const std::vector<std::string>& texts) {
  py::list l(texts.size());
  for (size_t i = 0; i < texts.size(); ++i) l[i] = to_python(texts[i]);
  return l;
}

// The bytes of a str (or bytes) object; a TypeError naming `what` for anything else.
std::string from_python(py::handle o, const std::string& what) {
  if (PyBytes_Check(o.ptr()))
    return std::string(PyBytes_AS_STRING(o.ptr()), static_cast<size_t>(PyBytes_GET_SIZE(o.ptr())));
  if (!PyUnicode_Check(o.ptr()))
    throw py::type_error(what + " is a " + std::string(Py_TYPE(o.ptr())->tp_name) + ", not a str");
  PyObject* b = PyUnicode_AsEncodedString(o.ptr(), "utf-8", "surrogateescape");
  if (!b) throw py::error_already_set();
  const py::bytes bytes = py::reinterpret_steal<py::bytes>(b);
  return std::string(PyBytes_AS_STRING(b), static_cast<size_t>(PyBytes_GET_SIZE(b)));
}

// A list of texts or sequences: a list or tuple as it is, any other iterable listed; a single
// str or bytes is refused (iterating it would give one letter a sequence).
py::sequence as_list(py::handle o, const char* what) {
  if (PyUnicode_Check(o.ptr()) || PyBytes_Check(o.ptr()))
    throw py::type_error(std::string(what) + " must be a list of str, not a single " +
                         Py_TYPE(o.ptr())->tp_name);
  if (PyList_Check(o.ptr()) || PyTuple_Check(o.ptr()))
    return py::reinterpret_borrow<py::sequence>(o);
  if (!PyObject_HasAttrString(o.ptr(), "__iter__"))
    throw py::type_error(std::string(what) + " must be a list of str, not a " +
                         Py_TYPE(o.ptr())->tp_name);
  PyObject* list = PySequence_List(o.ptr());
  if (!list) throw py::error_already_set();
  return py::reinterpret_steal<py::list>(list);
}

// ---- Sequences given from Python: cleaned as the FASTA reader cleans a residue line.
PackedTexts cleaned_sequences(py::handle sequences) {
  const py::sequence list = as_list(sequences, "the sequences");
  PackedTexts out;
  std::string residues, escaped;
  const auto n = static_cast<size_t>(py::len(list));
  for (size_t i = 0; i < n; ++i) {
    // A list or a tuple (as_list), whose items need no reference of their own.
    PyObject* item = PySequence_Fast_GET_ITEM(list.ptr(), static_cast<Py_ssize_t>(i));
    std::string_view text;
    if (PyUnicode_Check(item)) {
      Py_ssize_t size = 0;
      const char* data = PyUnicode_AsUTF8AndSize(item, &size);
      if (data) {
        text = std::string_view(data, static_cast<size_t>(size));
      } else {  // lone surrogates: the bytes they stand for
        PyErr_Clear();
        escaped = from_python(item, "");
        text = escaped;
      }
    } else if (PyBytes_Check(item)) {
      text = std::string_view(PyBytes_AS_STRING(item), static_cast<size_t>(PyBytes_GET_SIZE(item)));
    } else {
      throw py::type_error("the sequence at index " + std::to_string(i) + " is a " +
                           Py_TYPE(item)->tp_name + ", not a str");
    }
    residues.clear();
    if (const size_t bad = append_residues(text, residues); bad != std::string_view::npos)
      throw py::value_error("the sequence at index " + std::to_string(i) + ": " +
                            shown_byte(static_cast<unsigned char>(text[bad])) +
                            " is not a residue letter");
    out.add(residues);
  }
  return out;
}

std::vector<std::string_view> views_of(const PackedTexts& texts) {
  std::vector<std::string_view> v;
  v.reserve(texts.size());
  for (size_t i = 0; i < texts.size(); ++i) v.push_back(texts[i]);
  return v;
}

// Class names given from Python, one per sequence (None: no label where `missing` allows it).
std::vector<std::optional<std::string>> labels_of(py::handle labels, size_t sequences,
                                                  bool missing) {
  const py::sequence list = as_list(labels, "the labels");
  const auto n = static_cast<size_t>(py::len(list));
  if (n != sequences)
    throw py::value_error(std::to_string(n) + " labels for " + std::to_string(sequences) +
                          " sequences: give one label per sequence");
  std::vector<std::optional<std::string>> out;
  out.reserve(n);
  for (size_t i = 0; i < n; ++i) {
    const py::handle item = list[i];
    if (missing && item.is_none())
      out.emplace_back();
    else
      out.emplace_back(from_python(item, "the label at index " + std::to_string(i)));
  }
  return out;
}

// ---- Settings from Python: setting name -> text, each checked and stored by the approach
// table's own parser, as the command line's options and a features file's #setting lines are.

Approach approach_of(const std::string& name) {
  if (const std::optional<Approach> a = approach_named(name)) return *a;
  throw py::value_error("unknown approach \"" + name + "\": the approaches are " + approach_list());
}

std::vector<std::string> setting_names(Approach a) {
  std::vector<std::string> names;
  for (const ApproachOption* o : approach_info(a).options) names.emplace_back(o->setting);
  return names;
}

MineSettings settings_from(Approach a, const py::dict& given) {
  const ApproachInfo& info = approach_info(a);
  MineSettings s;
  s.approach = a;
  std::vector<const ApproachOption*> seen;
  for (const auto& [key, value] : given) {
    const std::string name = from_python(key, "a setting name");
    const ApproachOption* option = approach_setting(a, name);
    if (!option) {
      std::string list;
      for (const std::string& n : setting_names(a)) list += (list.empty() ? "" : ", ") + n;
      throw py::value_error("\"" + name + "\" is not a setting of " + std::string(info.name) +
                            " (its settings: " + list + ")");
    }
    const std::string problem = option->parse(s, from_python(value, "the setting " + name));
    if (!problem.empty()) throw py::value_error(name + diagnostic_text(problem));
    seen.push_back(option);
  }
  for (const ApproachOption* o : info.options)
    if (o->required && std::find(seen.begin(), seen.end(), o) == seen.end())
      throw py::value_error(std::string(info.name) + " needs the setting " +
                            std::string(o->setting));
  if (const std::string problem = info.check(s, false); !problem.empty())
    throw py::value_error(problem);
  return s;
}

// ---- The features of one mining, as Python holds them.

class Features {
 public:
  explicit Features(FeatureSet set) : set_(std::move(set)) {}
  const FeatureSet& set() const { return set_; }
  // The values of one kind for the rows, built at the first use, once, whatever the threads that
  // ask; throws ValueError for tf-idf of features that lack the training frequencies.
  const RowValues& values(ValueKind kind) const {
    const auto k = static_cast<size_t>(kind);
    std::call_once(once_[k], [&] {
      try {
        values_[k] = std::make_unique<RowValues>(std::vector<const FeatureSet*>{&set_}, kind);
      } catch (const std::invalid_argument& e) {
        throw py::value_error(e.what());
      }
    });
    return *values_[k];
  }

 private:
  FeatureSet set_;
  static constexpr size_t kKinds = 3;
  mutable std::array<std::once_flag, kKinds> once_;
  mutable std::array<std::unique_ptr<RowValues>, kKinds> values_;
};
using FeaturesPtr = std::shared_ptr<Features>;

FeaturesPtr mine(const std::string& approach, py::handle sequences, py::handle labels,
                 const py::dict& settings, py::handle background) {
  const Approach a = approach_of(approach);
  const MineSettings s = settings_from(a, settings);
  const PackedTexts seqs = cleaned_sequences(sequences);
  PackedTexts backgroundSeqs;
  if (!background.is_none()) {
    if (!approach_info(a).takesBackground)
      throw py::value_error("a background applies to the approaches that take one (dd, ddsm)");
    backgroundSeqs = cleaned_sequences(background);
  }
  if (seqs.size() == 0) throw py::value_error("no sequence to mine");
  std::vector<uint32_t> classes;
  std::vector<std::string> classNames;
  if (!labels.is_none()) {
    // Classes in order of first appearance, as the labels of a table or of the headers give them.
    std::unordered_map<std::string, uint32_t> number;
    for (const std::optional<std::string>& l : labels_of(labels, seqs.size(), false)) {
      const auto [at, added] = number.emplace(*l, static_cast<uint32_t>(classNames.size()));
      if (added) classNames.push_back(*l);
      classes.push_back(at->second);
    }
  } else if (approach_info(a).needsLabels) {
    throw py::value_error(std::string(approach_name(a)) + " needs labels");
  }
  const py::gil_scoped_release unlocked;
  return std::make_shared<Features>(
      mine_features(views_of(seqs), classes, classNames, s, views_of(backgroundSeqs)));
}

// ---- Rows.

struct RowScratch {
  RowValues::Row row;
  RowValues::Scratch values;
};

// An array in memory of malloc: it grows by realloc (which moves a large block by remapping its
// pages, without copying them), and hands its memory to a numpy array without a copy.
template <class T>
class Buffer {
 public:
  Buffer() = default;
  Buffer(const Buffer&) = delete;
  Buffer& operator=(const Buffer&) = delete;
  Buffer(Buffer&& o) noexcept : data_(o.data_), size_(o.size_), capacity_(o.capacity_) {
    o.data_ = nullptr;
    o.size_ = o.capacity_ = 0;
  }
  ~Buffer() { std::free(data_); }

  size_t size() const { return size_; }
  T* data() { return data_; }
  const T* data() const { return data_; }
  void reserve(size_t n) {
    if (n > capacity_) grow(n);
  }
  // The size set to n; new elements are left as they are, for the caller to write.
  void resize(size_t n) {
    if (n > capacity_) grow(n);
    size_ = n;
  }
  void push_back(T v) {
    if (size_ == capacity_) grow(std::max<size_t>(1024, 2 * capacity_));
    data_[size_++] = v;
  }
  // Appends n elements, made by put(T* where).
  template <class Put>
  void append(size_t n, Put&& put) {
    if (size_ + n > capacity_) grow(std::max(size_ + n, 2 * capacity_));
    put(data_ + size_);
    size_ += n;
  }

  // A numpy array of type U (of T's size) over the memory, which it frees; the buffer is empty.
  template <class U>
  py::array_t<U> to_numpy() {
    static_assert(sizeof(U) == sizeof(T));
    if (capacity_ == 0) grow(1);  // an allocation of its own, even when empty
    const py::capsule owner(data_, [](void* p) { std::free(p); });
    py::array_t<U> a(static_cast<py::ssize_t>(size_), reinterpret_cast<U*>(data_), owner);
    data_ = nullptr;
    size_ = capacity_ = 0;
    return a;
  }

 private:
  void grow(size_t n) {
    void* p = std::realloc(data_, n * sizeof(T));
    if (!p) throw std::bad_alloc();
    data_ = static_cast<T*>(p);
    capacity_ = n;
  }

  T* data_ = nullptr;
  size_t size_ = 0, capacity_ = 0;
};

// Rows of consecutive sequences: the columns and values of each, back to back, and the end of
// each row in them. Each thread fills one; a cache line of its own keeps the threads' appends
// from contending for one line.
struct alignas(64) RowChunk {
  Buffer<uint32_t> columns;
  Buffer<double> values;
  Buffer<int64_t> ends;
};

// The row of one sequence, appended: the numbers of its columns, ascending, and their values.
// Every row that Python gets is made here, by the values the command line's tables hold.
void append_row(const RowValues& values, std::string_view sequence, RowScratch& scratch,
                RowChunk& out) {
  values.compute(sequence, scratch.row, scratch.values);
  const RowValues::Row& row = scratch.row;
  out.columns.append(row.columns.size(),
                     [&](uint32_t* to) { std::copy(row.columns.begin(), row.columns.end(), to); });
  out.values.append(row.values.size(),
                    [&](double* to) { std::copy(row.values.begin(), row.values.end(), to); });
  out.ends.push_back(static_cast<int64_t>(out.columns.size()));
}

ValueKind value_kind_of(const std::string& name) {
  if (const std::optional<ValueKind> k = value_kind_named(name)) return *k;
  std::string ignored;
  throw py::value_error("values" + read_choice(name, value_kind_names(), ignored));
}

// Runs `work(t)` for t from 0 to count - 1, each on a thread of its own (the first on this one);
// rethrows the first failure once all are done.
template <class Work>
void on_threads(size_t count, Work&& work) {
  if (count == 0) return;
  std::vector<std::exception_ptr> errors(count);
  auto run = [&](size_t t) {
    try {
      work(t);
    } catch (...) {
      errors[t] = std::current_exception();
    }
  };
  std::vector<std::thread> threads;
  try {
    for (size_t t = 1; t < count; ++t) threads.emplace_back(run, t);
  } catch (const std::system_error& e) {
    for (std::thread& th : threads) th.join();
    fail_system(e.code().value(), "cannot start %zu threads: %s; ask for fewer with n_jobs", count,
                e.code().message().c_str());
  }
  run(0);
  for (std::thread& th : threads) th.join();
  for (const std::exception_ptr& e : errors)
    if (e) std::rethrow_exception(e);
}

// The parts of `n` items for `jobs` threads: contiguous, of sizes differing by one at most.
std::vector<size_t> part_starts(size_t n, size_t jobs) {
  jobs = std::max<size_t>(1, std::min(jobs, n));
  std::vector<size_t> starts(jobs + 1);
  for (size_t t = 0; t <= jobs; ++t) starts[t] = n * t / jobs;
  return starts;
}

// The rows of `sequences` as the arrays of a CSR matrix (indptr int64, indices int32, data
// float64), the same whatever the number of threads: each thread makes the rows of a contiguous
// part; the first part's arrays grow to hold the others', which are copied in, in parallel.
py::tuple encode(const FeaturesPtr& features, py::handle sequences, size_t jobs,
                 const std::string& valueKind) {
  const RowValues& values = features->values(value_kind_of(valueKind));
  if (features->set().features.size() > static_cast<size_t>(INT32_MAX))
    throw py::value_error("more features than the int32 column numbers of a CSR matrix hold");
  const PackedTexts seqs = cleaned_sequences(sequences);
  const std::vector<size_t> starts = part_starts(seqs.size(), jobs);
  std::vector<RowChunk> chunks(starts.size() - 1);
  {
    const py::gil_scoped_release unlocked;
    chunks[0].ends.push_back(0);
    on_threads(chunks.size(), [&](size_t c) {
      RowScratch scratch;
      RowChunk& chunk = chunks[c];
      // Room for a row of about as many features as residues (up to all of them), reserved at
      // once: memory that the rows do not take is never touched.
      size_t room = 0;
      for (size_t i = starts[c]; i < starts[c + 1]; ++i)
        room += std::min(seqs[i].size(), features->set().features.size());
      chunk.columns.reserve(room);
      chunk.values.reserve(room);
      chunk.ends.reserve(chunk.ends.size() + starts[c + 1] - starts[c]);
      for (size_t i = starts[c]; i < starts[c + 1]; ++i)
        append_row(values, seqs[i], scratch, chunk);
    });
    RowChunk& all = chunks[0];
    std::vector<size_t> offset(chunks.size() + 1, 0), rowOffset(chunks.size() + 1, 0);
    for (size_t c = 0; c < chunks.size(); ++c) {
      offset[c + 1] = offset[c] + chunks[c].columns.size();
      rowOffset[c + 1] = rowOffset[c] + chunks[c].ends.size();
    }
    all.columns.resize(offset.back());
    all.values.resize(offset.back());
    all.ends.resize(rowOffset.back());
    // Every thread copies its share of each later part.
    const size_t threads = chunks.size();
    on_threads(chunks.size() > 1 ? threads : 0, [&](size_t t) {
      for (size_t c = 1; c < chunks.size(); ++c) {
        const RowChunk& k = chunks[c];
        const size_t from = k.columns.size() * t / threads,
                     to = k.columns.size() * (t + 1) / threads;
        std::copy(k.columns.data() + from, k.columns.data() + to,
                  all.columns.data() + offset[c] + from);
        std::copy(k.values.data() + from, k.values.data() + to,
                  all.values.data() + offset[c] + from);
        const size_t rowFrom = k.ends.size() * t / threads,
                     rowTo = k.ends.size() * (t + 1) / threads;
        for (size_t r = rowFrom; r < rowTo; ++r)
          all.ends.data()[rowOffset[c] + r] = static_cast<int64_t>(offset[c]) + k.ends.data()[r];
      }
    });
  }
  RowChunk& all = chunks[0];
  return py::make_tuple(all.ends.to_numpy<int64_t>(), all.columns.to_numpy<int32_t>(),
                        all.values.to_numpy<double>());
}

// ---- Tables and files.

TableFormat table_format(const std::string& format, const std::string& path) {
  if (format.empty()) {
    if (const std::optional<TableFormat> f = format_of_path(path)) return *f;
    throw py::value_error("cannot tell the format of the table \"" + path +
                          "\" from its name: give format");
  }
  if (const std::optional<TableFormat> f = format_named(format)) return *f;
  std::string list;
  for (const std::string& n : format_names()) list += (list.empty() ? "" : ", ") + n;
  throw py::value_error("format: \"" + format + "\" is not one of " + list);
}

// Writes the table of `sequences` (with their ids, and their classes when labels are given) as
// `encode` writes it, staged like the command line's outputs.
void write_table(const FeaturesPtr& features, const std::string& path, py::handle ids,
                 py::handle sequences, py::handle labels, const std::string& format, size_t jobs,
                 const std::string& valueKind) {
  const FeatureSet& set = features->set();
  const ValueKind kind = value_kind_of(valueKind);
  features->values(kind);  // refused here, as ValueError, when the features cannot give them
  const TableFormat f = table_format(format, path);
  const PackedTexts seqs = cleaned_sequences(sequences);
  PackedTexts idTexts;
  {
    const py::sequence list = as_list(ids, "the ids");
    if (static_cast<size_t>(py::len(list)) != seqs.size())
      throw py::value_error(std::to_string(py::len(list)) + " ids for " +
                            std::to_string(seqs.size()) + " sequences: give one id per sequence");
    for (size_t i = 0; i < seqs.size(); ++i)
      idTexts.add(from_python(list[i], "the id at index " + std::to_string(i)));
  }
  std::vector<int64_t> classes(seqs.size(), -1);
  if (!labels.is_none()) {
    if (set.classes.empty())
      throw py::value_error(
          "the features list no class (they were mined without labels), so the table can hold "
          "none: write it without labels");
    std::unordered_map<std::string, int64_t> number;
    for (size_t c = 0; c < set.classes.size(); ++c)
      number.emplace(set.classes[c], static_cast<int64_t>(c));
    const auto given = labels_of(labels, seqs.size(), true);
    for (size_t i = 0; i < given.size(); ++i) {
      if (!given[i]) continue;
      const auto it = number.find(*given[i]);
      if (it == number.end())
        throw py::value_error("the class \"" + diagnostic_text(*given[i]) +
                              "\" of the sequence \"" + diagnostic_text(idTexts[i]) +
                              "\" is not one of the classes of the features");
      classes[i] = it->second;
    }
  }
  const py::gil_scoped_release unlocked;
  StagedFile out(path);
  {
    Encoder enc(set, f, static_cast<unsigned>(std::max<size_t>(1, jobs)), out.out(), kind);
    for (size_t i = 0; i < seqs.size(); ++i) enc.add(idTexts[i], seqs[i], classes[i]);
    enc.finish();
  }
  out.commit();
}

void save(const FeaturesPtr& features, const std::string& path) {
  const py::gil_scoped_release unlocked;
  StagedFile out(path);
  write_features(out.out(), features->set());
  out.commit();
}

FeaturesPtr load_features(const std::string& path) {
  const py::gil_scoped_release unlocked;
  return std::make_shared<Features>(read_features(path));
}

FeaturesPtr features_from_string(const std::string& text) {
  const py::gil_scoped_release unlocked;
  return std::make_shared<Features>(features_from_text(text, "the features text"));
}

// Features of an approach whose features file has one column of counts (ng, ma), from their
// texts and counts: the merge of features mined on parts of a set.
FeaturesPtr counted_features(const std::string& approach, const py::dict& settings,
                             py::handle classes, py::handle texts, py::handle counts,
                             uint64_t training) {
  const Approach a = approach_of(approach);
  const auto& columns = approach_info(a).columns;
  if (columns.size() != 1 || columns[0] != FeatureColumn::Sequences)
    throw py::value_error("the features of " + approach +
                          " are not texts and counts alone: mine them whole");
  FeatureSet set;
  set.version = kProtfeatVersion;
  set.settings = settings_from(a, settings);
  set.training = training;
  for (const py::handle c : as_list(classes, "the classes"))
    set.classes.push_back(from_python(c, "a class"));
  const py::sequence t = as_list(texts, "the texts"), n = as_list(counts, "the counts");
  if (py::len(t) != py::len(n)) throw py::value_error("one count per text is needed");
  set.features.resize(static_cast<size_t>(py::len(t)));
  for (size_t i = 0; i < set.features.size(); ++i) {
    set.features[i].text = from_python(t[i], "the text at index " + std::to_string(i));
    set.features[i].sequences = n[i].cast<uint64_t>();
  }
  // Checked as a features file is read: no feature twice, no feature named as a column.
  return features_from_string(features_text(set));
}

// The sequences of a FASTA file (plain, gzip, "-" for standard input) with the command line's
// checks; with `header_labels`, the class of each from the second word of its header.
py::tuple read_fasta(const std::string& path, bool headerLabels) {
  PackedTexts ids, seqs;
  std::vector<uint32_t> classes;
  std::vector<std::string> classNames;
  {
    const py::gil_scoped_release unlocked;
    FastaReader reader(path);
    IdChecker checker(reader.name());
    std::optional<LabelSource> labels;
    if (headerLabels) labels = LabelSource::from_headers(reader.name());
    FastaRecord r;
    while (reader.next(r)) {
      checker.check(r.id, r.line);
      if (labels) classes.push_back(labels->class_of(seqs.size(), r));
      ids.add(r.id);
      seqs.add(r.residues);
    }
    if (seqs.size() == 0) no_sequence(path);
    if (labels) classNames = labels->classes();
  }
  py::list idList(ids.size()), seqList(seqs.size());
  for (size_t i = 0; i < seqs.size(); ++i) {
    idList[i] = to_python(ids[i]);
    const std::string_view s = seqs[i];
    PyObject* o = PyUnicode_DecodeASCII(s.data(), static_cast<Py_ssize_t>(s.size()), "strict");
    if (!o) throw py::error_already_set();
    seqList[i] = py::reinterpret_steal<py::str>(o);
  }
  if (!headerLabels) return py::make_tuple(idList, seqList);
  py::list names(classes.size());
  std::vector<py::str> classTexts;
  for (const std::string& c : classNames) classTexts.push_back(to_python(c));
  for (size_t i = 0; i < classes.size(); ++i) names[i] = classTexts[classes[i]];
  return py::make_tuple(idList, seqList, names);
}

py::dict settings_dict(const FeatureSet& set) {
  py::dict d;
  for (const auto& [name, value] : settings_lines(set.settings))
    d[to_python(name)] = to_python(value);
  return d;
}

}  // namespace

PYBIND11_MODULE(_native, m) {
  m.doc() = "protfeat's engines and files: mining, features files, rows and tables";
  // A library reports its failures as exceptions, and leaves the terminal to its caller.
  keep_errors_quiet();
  progress::silence();
  signal_cleanup::leave_signals_alone();
  py::register_exception_translator([](std::exception_ptr p) {
    try {
      if (p) std::rethrow_exception(p);
    } catch (const RunExit&) {
      const LastError& e = last_error();
      const py::str message = to_python(e.message);
      if (e.system && e.err != 0)
        PyErr_SetObject(PyExc_OSError, py::make_tuple(e.err, message).ptr());
      else
        PyErr_SetObject(e.system ? PyExc_OSError : PyExc_ValueError, message.ptr());
    }
  });

  m.attr("version") = kProtfeatVersion;

  py::class_<Features, FeaturesPtr>(m, "Features",
                                    "The features of one mining: what a features file holds.")
      .def_property_readonly(
          "approach",
          [](const Features& f) { return std::string(approach_name(f.set().approach())); })
      .def_property_readonly("version", [](const Features& f) { return f.set().version; })
      .def_property_readonly("classes",
                             [](const Features& f) { return to_python(f.set().classes); })
      .def_property_readonly(
          "feature_names", [](const Features& f) { return to_python(feature_names(f.set())); },
          "the names of the table columns, in order")
      .def_property_readonly("settings", [](const Features& f) { return settings_dict(f.set()); })
      .def_property_readonly(
          "sequence_counts",
          [](const Features& f) {
            std::vector<uint64_t> counts;
            for (const Feature& x : f.set().features) counts.push_back(x.sequences);
            return counts;
          },
          "ng, ma: the training sequences that contain each feature (0 for the others)")
      .def("__len__", [](const Features& f) { return f.set().features.size(); })
      .def("__repr__",
           [](const Features& f) {
             return "<protfeat Features " + std::string(approach_name(f.set().approach())) + ": " +
                    std::to_string(f.set().features.size()) + " features, " +
                    std::to_string(f.set().classes.size()) + " classes>";
           })
      .def("save", &save, py::arg("path"), "writes the features file, as `protfeat mine` writes it")
      .def(
          "to_string", [](const Features& f) { return to_python(features_text(f.set())); },
          "the features file's text")
      .def_static(
          "from_string",
          [](py::handle text) {
            return features_from_string(from_python(text, "the features text"));
          },
          py::arg("text"))
      .def(py::pickle(
          [](const Features& f) { return py::bytes(features_text(f.set())); },
          [](const py::bytes& text) { return features_from_string(std::string(text)); }));

  m.def(
      "settings_of",
      [](const std::string& approach) { return setting_names(approach_of(approach)); },
      py::arg("approach"), "the setting names of an approach, as its features file records them");
  m.def(
      "check_settings",
      [](const std::string& approach, const py::dict& settings) {
        FeatureSet set;
        set.settings = settings_from(approach_of(approach), settings);
        return settings_dict(set);
      },
      py::arg("approach"), py::arg("settings"),
      "checks settings as mine does, before any work; returns them as a features file records "
      "them");
  m.def("mine", &mine, py::arg("approach"), py::arg("sequences"), py::arg("labels"),
        py::arg("settings"), py::arg("background") = py::none(),
        "mines the features of an approach; settings maps setting names to their texts");
  m.def("load_features", &load_features, py::arg("path"), "reads a features file");
  m.def("encode", &encode, py::arg("features"), py::arg("sequences"), py::arg("n_jobs") = 1,
        py::arg("values") = "binary",
        "the rows of the sequences: (indptr, indices, data) of a CSR matrix");
  m.def("write_table", &write_table, py::arg("features"), py::arg("path"), py::arg("ids"),
        py::arg("sequences"), py::arg("labels") = py::none(), py::arg("format") = "",
        py::arg("n_jobs") = 1, py::arg("values") = "binary",
        "writes a table as `protfeat encode` writes it");
  m.def(
      "table_format",
      [](const std::string& path, const std::string& format) {
        return format_names()[static_cast<size_t>(table_format(format, path))];
      },
      py::arg("path"), py::arg("format") = "",
      "the format of a table: the one given, checked, or the one its name's end tells");
  m.def(
      "format_extension",
      [](const std::string& format) { return format_extension(table_format(format, "")); },
      py::arg("format"), "the end of a table's name in a format (sparse-arff: .arff)");
  m.def("read_fasta", &read_fasta, py::arg("path"), py::arg("header_labels") = false,
        "(ids, sequences), or (ids, sequences, labels) with header_labels");
  m.def("counted_features", &counted_features, py::arg("approach"), py::arg("settings"),
        py::arg("classes"), py::arg("texts"), py::arg("counts"), py::arg("training"),
        "ng or ma features from their texts and sequence counts, in order, mined on `training` "
        "sequences");
}
