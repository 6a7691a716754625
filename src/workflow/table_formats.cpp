// The table formats of encode and folds.
#include "workflow/table_formats.h"

#include <charconv>

#include "core/arff.h"

namespace {
void append_number(std::string& out, uint64_t v) {
  char digits[24];
  const auto r = std::to_chars(digits, digits + sizeof digits, v);
  out.append(digits, r.ptr);
}

char separator_of(TableFormat f) { return f == TableFormat::Tsv ? '\t' : ','; }

// The widest value cell: a count (a whole number below 2^64), or a double in its shortest form.
constexpr size_t kValueBytes = 24;
// About how many bytes a value cell takes, for the estimates.
size_t typical_value_bytes(ValueKind v) {
  switch (v) {
    case ValueKind::Binary: return 1;
    case ValueKind::Count: return 1;
    case ValueKind::Tfidf: return 19;
  }
  return 1;
}

const std::string kArffMissing = "?";
}  // namespace

const std::vector<std::string>& format_names() {
  static const std::vector<std::string> names = {"arff", "sparse-arff", "csv", "tsv", "libsvm"};
  return names;
}

std::optional<TableFormat> format_named(std::string_view name) {
  const std::vector<std::string>& names = format_names();
  for (size_t f = 0; f < names.size(); ++f)
    if (names[f] == name) return static_cast<TableFormat>(f);
  return std::nullopt;
}

std::optional<TableFormat> format_of_path(std::string_view path) {
  const size_t dot = path.rfind('.');
  const size_t slash = path.rfind('/');
  if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash))
    return std::nullopt;
  const std::string_view ext = path.substr(dot + 1);
  if (ext == "sparse-arff") return std::nullopt;  // not an extension
  // NAME.sparse.arff: sparse ARFF (Weka reads it as any .arff).
  constexpr std::string_view kSparse = ".sparse.arff";
  const std::string_view name = path.substr(slash == std::string_view::npos ? 0 : slash + 1);
  if (name.size() > kSparse.size() && name.ends_with(kSparse)) return TableFormat::SparseArff;
  return format_named(ext);
}

const char* format_extension(TableFormat format) {
  switch (format) {
    case TableFormat::Arff:
    case TableFormat::SparseArff: return ".arff";
    case TableFormat::Csv: return ".csv";
    case TableFormat::Tsv: return ".tsv";
    case TableFormat::Libsvm: return ".libsvm";
  }
  return "";
}

bool format_is_dense(TableFormat format) {
  return format == TableFormat::Arff || format == TableFormat::Csv || format == TableFormat::Tsv;
}

std::string delimited_field(std::string_view field, char separator) {
  if (field.find_first_of(std::string{separator, '"', '\r', '\n'}) == std::string_view::npos)
    return std::string(field);
  std::string out = "\"";
  for (char c : field) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
  return out;
}

TableLayout::TableLayout(TableFormat format, const std::vector<std::string>& features,
                         const std::vector<std::string>& classes, ValueKind values)
    : format_(format),
      values_(values),
      features_(features),
      classes_(classes),
      withClass_(!classes.empty()) {
  for (const std::string& c : classes) {
    switch (format) {
      case TableFormat::Arff:
      case TableFormat::SparseArff: classCells_.push_back(arff_quote(c)); break;
      case TableFormat::Csv:
      case TableFormat::Tsv: classCells_.push_back(delimited_field(c, separator_of(format))); break;
      case TableFormat::Libsvm: break;
    }
  }
  if (format_is_dense(format)) {
    const char sep = separator_of(format);
    for (size_t i = 0; i < features.size(); ++i) {
      if (i > 0) denseZeros_ += sep;
      denseZeros_ += '0';
    }
  }
  classIndex_ = std::to_string(features.size());
}

void TableLayout::header(OutFile& out) const {
  switch (format_) {
    case TableFormat::Arff:
    case TableFormat::SparseArff: {
      ArffWriter arff(out);
      arff.relation();
      // In a sparse row an omitted value is the first declared one: 0 must come first (and is
      // a numeric attribute's omitted value).
      const char* declared = values_ != ValueKind::Binary   ? "numeric"
                             : format_ == TableFormat::Arff ? "{1,0}"
                                                            : "{0,1}";
      for (const std::string& f : features_) arff.attribute(f, declared);
      if (withClass_) arff.class_attribute(classes_);
      arff.data();
      break;
    }
    case TableFormat::Csv:
    case TableFormat::Tsv: {
      const char sep = separator_of(format_);
      std::string line = "id";
      for (const std::string& f : features_) {
        line += sep;
        line += delimited_field(f, sep);
      }
      if (withClass_) {
        line += sep;
        line += "class";
      }
      line += '\n';
      out.write(line);
      break;
    }
    case TableFormat::Libsvm: break;
  }
}

size_t TableLayout::row_size(size_t present) const {
  const size_t value = typical_value_bytes(values_);
  switch (format_) {
    case TableFormat::Arff:
    case TableFormat::Csv:
    case TableFormat::Tsv: return denseZeros_.size() + present * (value - 1) + 40;
    case TableFormat::SparseArff:
    case TableFormat::Libsvm: return present * (classIndex_.size() + 2 + value) + 40;
  }
  return 0;
}

char* TableLayout::value(char* p, char* end, double v) const {
  switch (values_) {
    case ValueKind::Binary: *p++ = '1'; return p;
    case ValueKind::Count:
      if (v < 10) {  // most counts: one digit
        *p++ = static_cast<char>('0' + static_cast<int>(v));
        return p;
      }
      return std::to_chars(p, end, static_cast<uint64_t>(v)).ptr;
    case ValueKind::Tfidf: return std::to_chars(p, end, v).ptr;
  }
  return p;
}

void TableLayout::value(std::string& out, double v) const {
  char cell[kValueBytes];
  out.append(cell, value(cell, cell + sizeof cell, v));
}

void TableLayout::row(std::string& out, std::string_view id, std::span<const uint32_t> columns,
                      std::span<const double> values, int64_t cls) const {
  const bool known = withClass_ && cls >= 0;
  switch (format_) {
    case TableFormat::Arff:
    case TableFormat::Csv:
    case TableFormat::Tsv: {
      const char sep = separator_of(format_);
      if (format_ != TableFormat::Arff) {
        out += delimited_field(id, sep);
        if (!features_.empty() || withClass_) out += sep;
      }
      // The zero cells joined by the separator: cell k sits at offset 2k of denseZeros_.
      if (values_ == ValueKind::Binary) {
        const size_t at = out.size();
        out += denseZeros_;
        for (uint32_t k : columns) out[at + 2 * size_t{k}] = '1';
      } else {
        // The zeros up to each non-zero cell, then its value.
        size_t from = 0;
        for (size_t i = 0; i < columns.size(); ++i) {
          const size_t cell = 2 * size_t{columns[i]};
          out.append(denseZeros_, from, cell - from);
          value(out, values[i]);
          from = cell + 1;
        }
        if (from < denseZeros_.size()) out.append(denseZeros_, from);
      }
      if (format_ == TableFormat::Arff) {
        append_arff_row_end(out, !features_.empty(),
                            !withClass_ ? nullptr
                            : known     ? &classCells_[static_cast<size_t>(cls)]
                                        : &kArffMissing);
        break;
      }
      if (withClass_) {
        if (!features_.empty()) out += sep;
        if (known) out += classCells_[static_cast<size_t>(cls)];
      }
      out += '\n';
      break;
    }
    case TableFormat::SparseArff: {
      out += '{';
      bool first = true;
      for (size_t i = 0; i < columns.size(); ++i) {
        if (!first) out += ',';
        first = false;
        append_number(out, columns[i]);
        if (values_ == ValueKind::Binary) {
          out += " 1";
        } else {
          out += ' ';
          value(out, values[i]);
        }
      }
      if (withClass_) {
        if (!first) out += ',';
        out += classIndex_;
        out += ' ';
        out += known ? classCells_[static_cast<size_t>(cls)] : std::string("?");
      }
      out += "}\n";
      break;
    }
    case TableFormat::Libsvm: {
      // Written in place: a row of hundreds of cells is most of the work of a sparse table.
      const size_t cellBytes =
          classIndex_.size() + 3 + (values_ == ValueKind::Binary ? 1 : kValueBytes);
      const size_t at = out.size();
      out.resize(at + 24 + columns.size() * cellBytes);
      char* p = out.data() + at;
      char* const end = out.data() + out.size();
      p = std::to_chars(p, end, known ? static_cast<uint64_t>(cls) + 1 : 0).ptr;
      for (size_t i = 0; i < columns.size(); ++i) {
        *p++ = ' ';
        p = std::to_chars(p, end, uint64_t{columns[i]} + 1).ptr;
        *p++ = ':';
        if (values_ == ValueKind::Binary)
          *p++ = '1';
        else
          p = value(p, end, values[i]);
      }
      *p++ = '\n';
      out.resize(static_cast<size_t>(p - out.data()));
      break;
    }
  }
}
