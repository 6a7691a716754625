// The ARFF quoting rule and the context layout.
#include "core/arff.h"

namespace {
bool is_control(char c) { return static_cast<unsigned char>(c) < 0x20 || c == '\x7f'; }

// The escape of a byte that must not stand bare in a name, or null.
const char* escape_of(char c) {
  switch (c) {
    case '\\': return "\\\\";
    case '\'': return "\\'";
    case '"': return "\\\"";
    case '%': return "\\%";
    case '\t': return "\\t";
    case '\n': return "\\n";
    case '\r': return "\\r";
    default: return nullptr;
  }
}
}  // namespace

std::string arff_quote(std::string_view name) {
  std::string out;
  bool quote = name.empty() || name == "?";
  for (char c : name) {
    if (const char* escaped = escape_of(c)) {
      out += escaped;
      quote = true;
    } else {
      if (c == ' ' || c == ',' || c == '{' || c == '}' || is_control(c)) quote = true;
      out += c;
    }
  }
  return quote ? "'" + out + "'" : out;
}

void ArffWriter::relation() { f_.write("@relation Context\n\n"); }

void ArffWriter::attribute(std::string_view name, std::string_view values) {
  f_.write("@attribute ");
  f_.write(arff_quote(name));
  f_.write(" ");
  f_.write(values);
  f_.write("\n");
}

void ArffWriter::class_attribute(const std::vector<std::string>& names) {
  f_.write("@attribute class {");
  for (size_t i = 0; i < names.size(); ++i) {
    if (i > 0) f_.write(",");
    f_.write(arff_quote(names[i]));
  }
  // Closed even without a name: the reader takes "{}" (a context with no rows).
  f_.write("}\n");
}

void ArffWriter::data() { f_.write("\n@data\n"); }

void append_arff_row_end(std::string& out, bool afterValues, const std::string* classCell) {
  if (classCell) {
    if (afterValues) out.push_back(',');
    out += *classCell;
  }
  out.push_back('\n');
}

void ArffWriter::append_row_end(std::string& out, bool afterValues, const std::string* label) {
  if (!label) return append_arff_row_end(out, afterValues, nullptr);
  const std::string cell = arff_quote(*label);
  append_arff_row_end(out, afterValues, &cell);
}

void ArffWriter::end_row(const std::string* label) {
  append_row_end(row_, !row_.empty(), label);
  f_.write(row_);
  row_.clear();
}

void ArffWriter::row(std::string_view values, const std::string* label) {
  batch_.borrow(values);
  end_.clear();
  append_row_end(end_, !values.empty(), label);
  batch_.copy(end_);
}
