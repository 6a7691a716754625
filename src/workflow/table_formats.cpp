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
                         const std::vector<std::string>& classes)
    : format_(format), features_(features), classes_(classes), withClass_(!classes.empty()) {
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
      // In a sparse row an omitted value is the first declared one: 0 must come first.
      for (const std::string& f : features_)
        arff.attribute(f, format_ == TableFormat::Arff ? "{1,0}" : "{0,1}");
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
  switch (format_) {
    case TableFormat::Arff:
    case TableFormat::Csv:
    case TableFormat::Tsv: return denseZeros_.size() + 40;
    case TableFormat::SparseArff:
    case TableFormat::Libsvm: return present * (classIndex_.size() + 3) + 40;
  }
  return 0;
}

void TableLayout::row(std::string& out, std::string_view id, const std::vector<uint32_t>& present,
                      int64_t cls) const {
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
      // The values "1"/"0" joined by the separator: value k sits at offset 2k of the zeros.
      const size_t at = out.size();
      out += denseZeros_;
      for (uint32_t k : present) out[at + 2 * size_t{k}] = '1';
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
      for (uint32_t k : present) {
        if (!first) out += ',';
        first = false;
        append_number(out, k);
        out += " 1";
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
      const size_t at = out.size();
      out.resize(at + 24 + present.size() * (classIndex_.size() + 4));
      char* p = out.data() + at;
      char* const end = out.data() + out.size();
      p = std::to_chars(p, end, known ? static_cast<uint64_t>(cls) + 1 : 0).ptr;
      for (uint32_t k : present) {
        *p++ = ' ';
        p = std::to_chars(p, end, uint64_t{k} + 1).ptr;
        *p++ = ':';
        *p++ = '1';
      }
      *p++ = '\n';
      out.resize(static_cast<size_t>(p - out.data()));
      break;
    }
  }
}
